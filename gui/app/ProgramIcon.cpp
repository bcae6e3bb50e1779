#include "gui/app/ProgramIcon.h"

#include <QApplication>
#include <QDirIterator>
#include <QIconEngine>
#include <QImageReader>
#include <QPainter>
#include <QStyle>
#include <QStyleOption>
#include <algorithm>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

namespace strikeline {

namespace {

// Desktops find the installed icon under the program's id; the built-in sizes sit under
// the same name.
const QString kIconName = QStringLiteral("au.com.varnel.Strikeline");

// The built-in sizes, each read from its file when a window first asks for a picture of
// about that size: a window shows one or two of the nine, and reading them all at start-up
// cost a few milliseconds and a megabyte and a half for the largest, which nothing shows.
struct CIconSizes {
    struct CSize {
        QSize size;
        QString path;
    };
    std::vector<CSize> sizes; // smallest first
    std::mutex mutex;
    std::map<QString, QPixmap> read;

    QPixmap Picture(const CSize& entry) {
        const std::lock_guard lock(mutex);
        auto found = read.find(entry.path);
        if (found == read.end()) {
            found =
                read.emplace(entry.path, QPixmap::fromImage(QImageReader(entry.path).read())).first;
        }
        return found->second;
    }
};

class CProgramIconEngine final : public QIconEngine {
public:
    explicit CProgramIconEngine(std::shared_ptr<CIconSizes> sizes) : m_Sizes(std::move(sizes)) {}

    QIconEngine* clone() const override { return new CProgramIconEngine(m_Sizes); }
    QString key() const override { return QStringLiteral("strikeline-program-icon"); }
    bool isNull() override { return m_Sizes->sizes.empty(); }

    // The pictures were added as the normal, off ones, as a plain icon's files are.
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
        QList<QSize> sizes;
        if (mode == QIcon::Normal && state == QIcon::Off) {
            for (const CIconSizes::CSize& entry : m_Sizes->sizes) {
                sizes << entry.size;
            }
        }
        return sizes;
    }

    QSize actualSize(const QSize& size, QIcon::Mode, QIcon::State) override {
        const CIconSizes::CSize* best = Best(size);
        if (best == nullptr) {
            return {};
        }
        QSize actual = best->size;
        if (actual.width() > size.width() || actual.height() > size.height()) {
            actual.scale(size, Qt::KeepAspectRatio);
        }
        return actual;
    }

    // As a plain icon does: the best size, scaled down to fit, and the style's rendering
    // of it for the other modes.
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        const CIconSizes::CSize* best = Best(size);
        if (best == nullptr) {
            return {};
        }
        QPixmap picture = m_Sizes->Picture(*best);
        const QSize actual = actualSize(size, mode, state);
        if (!picture.isNull() && picture.size() != actual) {
            picture = picture.scaled(actual, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        }
        if (mode != QIcon::Normal && !picture.isNull() && qobject_cast<QApplication*>(qApp)) {
            QStyleOption option(0);
            option.palette = QGuiApplication::palette();
            picture = QApplication::style()->generatedIconPixmap(mode, picture, &option);
        }
        return picture;
    }

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        const qreal ratio =
            painter->device() != nullptr ? painter->device()->devicePixelRatioF() : 1;
        QPixmap picture = pixmap(rect.size() * ratio, mode, state);
        picture.setDevicePixelRatio(ratio);
        const QSize shown = picture.size() / ratio;
        painter->drawPixmap(QRect(rect.topLeft() + QPoint((rect.width() - shown.width()) / 2,
                                                          (rect.height() - shown.height()) / 2),
                                  shown),
                            picture);
    }

private:
    std::shared_ptr<CIconSizes> m_Sizes;

    // The smallest size that covers `size`, else the largest.
    const CIconSizes::CSize* Best(const QSize& size) const {
        const auto& sizes = m_Sizes->sizes;
        if (sizes.empty()) {
            return nullptr;
        }
        const auto covers =
            std::find_if(sizes.begin(), sizes.end(), [&size](const CIconSizes::CSize& entry) {
                return entry.size.width() >= size.width() && entry.size.height() >= size.height();
            });
        return covers != sizes.end() ? &*covers : &sizes.back();
    }
};

QIcon LoadProgramIcon() {
    auto sizes = std::make_shared<CIconSizes>();
    QDirIterator files(QStringLiteral(":/icons"), {kIconName + QStringLiteral(".png")}, QDir::Files,
                       QDirIterator::Subdirectories);
    while (files.hasNext()) {
        const QString path = files.next();
        // The file's header alone gives its size.
        const QSize size = QImageReader(path).size();
        if (size.isValid()) {
            sizes->sizes.push_back({size, path});
        }
    }
    if (sizes->sizes.empty()) {
        return QIcon::fromTheme(kIconName);
    }
    std::sort(sizes->sizes.begin(), sizes->sizes.end(),
              [](const CIconSizes::CSize& a, const CIconSizes::CSize& b) {
                  return a.size.width() * a.size.height() < b.size.width() * b.size.height();
              });
    return QIcon(new CProgramIconEngine(std::move(sizes)));
}

} // namespace

QIcon ProgramIcon() {
    static const QIcon icon = LoadProgramIcon();
    return icon;
}

} // namespace strikeline
