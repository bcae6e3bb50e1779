#include "gui/charts/ChartPanel.h"

#include "gui/widgets/QtColor.h"
#include "platform/ModuleLoader.h"
#include "storage/ColorScheme.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPalette>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QVBoxLayout>

namespace strikeline {

CChartColours ChartColoursOf(const CColorScheme& scheme, const QPalette& palette) {
    CChartColours colours;
    colours.background = ToQColor(scheme.Get(SchemeColor::ReportBk));
    colours.text = ToQColor(scheme.Get(SchemeColor::ReportFg));
    colours.grid = palette.color(QPalette::Midlight);
    colours.first = ToQColor(scheme.Get(SchemeColor::ASXFairPriceBk));
    colours.second = ToQColor(scheme.Get(SchemeColor::CompanyHeaderBk));
    return colours;
}

void RecolourCharts(QWidget& window, const CColorScheme& scheme) {
    const CChartColours colours = ChartColoursOf(scheme, window.palette());
    for (CChartPanel* chart : window.findChildren<CChartPanel*>()) {
        chart->Recolour(colours);
    }
}

CChartFactory* LoadChartFactory(const std::optional<std::vector<std::string>>& folders,
                                QString& error) {
    std::string reason;
    void* const entry =
        folders ? FindModuleEntry(kChartModuleName, kChartFactoryEntry, *folders, reason)
                : FindModuleEntry(kChartModuleName, kChartFactoryEntry, reason);
    if (entry == nullptr) {
        error = QString::fromStdString(reason);
        return nullptr;
    }
    CChartFactory* const factory = reinterpret_cast<ChartFactoryEntry*>(entry)();
    if (factory == nullptr || factory->InterfaceVersion() != kChartInterfaceVersion) {
        error = QStringLiteral("the program's module %1.so belongs to another version of the "
                               "program")
                    .arg(QString::fromLatin1(kChartModuleName));
        return nullptr;
    }
    return factory;
}

CChartPanel::CChartPanel(QWidget* parent, std::optional<std::vector<std::string>> moduleFolders)
    : QWidget(parent), m_ModuleFolders(std::move(moduleFolders)), m_Area(new QVBoxLayout),
      m_Save(new QPushButton(tr("Save Picture..."), this)),
      m_Print(new QPushButton(tr("Print Chart..."), this)) {
    const CColorScheme defaults;
    m_Colours = ChartColoursOf(defaults, palette());
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_Area->setContentsMargins(0, 0, 0, 0);
    layout->addLayout(m_Area, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_Save);
    buttons->addWidget(m_Print);
    layout->addLayout(buttons);
    m_Save->setEnabled(false);
    m_Print->setEnabled(false);
    connect(m_Save, &QPushButton::clicked, this, &CChartPanel::SavePictureAs);
    connect(m_Print, &QPushButton::clicked, this, &CChartPanel::Print);
}

void CChartPanel::Clear() {
    delete m_Chart;
    m_Chart = nullptr;
    delete m_Message;
    m_Message = nullptr;
}

void CChartPanel::Recolour(const CChartColours& colours) {
    m_Colours = colours;
    if (m_Chart != nullptr && m_Maker) {
        ShowChart(m_Maker);
    }
}

bool CChartPanel::ShowChart(CChartMaker make) {
    m_Maker = std::move(make);
    QString error;
    CChartFactory* const factory = LoadChartFactory(m_ModuleFolders, error);
    if (factory == nullptr) {
        ShowMessage(tr("The chart cannot be shown: the charts module could not be loaded (%1).")
                        .arg(error));
        return false;
    }
    Clear();
    m_Chart = m_Maker(*factory, m_Colours, this);
    if (m_Chart == nullptr) {
        ShowMessage(tr("The chart cannot be shown."));
        return false;
    }
    m_Area->addWidget(m_Chart);
    m_Save->setEnabled(true);
    m_Print->setEnabled(true);
    return true;
}

void CChartPanel::ShowMessage(const QString& text) {
    Clear();
    m_Message = new QLabel(text, this);
    m_Message->setWordWrap(true);
    m_Message->setAlignment(Qt::AlignCenter);
    m_Area->addWidget(m_Message);
    m_Save->setEnabled(false);
    m_Print->setEnabled(false);
}

QString CChartPanel::Message() const {
    return m_Message != nullptr ? m_Message->text() : QString();
}

bool CChartPanel::SavePicture(const QString& path, QString& error) const {
    if (m_Chart == nullptr) {
        error = tr("there is no chart to save");
        return false;
    }
    if (QFileInfo(path).suffix().compare(QStringLiteral("svg"), Qt::CaseInsensitive) == 0) {
        // The module is loaded: a chart is shown.
        CChartFactory* const factory = LoadChartFactory(m_ModuleFolders, error);
        return factory != nullptr &&
               factory->WriteSvg(*m_Chart, path, window()->windowTitle(), error);
    }
    if (!m_Chart->grab().save(path, "PNG")) {
        error = tr("the file could not be written");
        return false;
    }
    return true;
}

bool CChartPanel::PrintChart(QPrinter& printer) const {
    if (m_Chart == nullptr) {
        return false;
    }
    QPainter painter;
    if (!painter.begin(&printer)) {
        return false;
    }
    // As large as the page allows, keeping the chart's shape.
    const QRectF page = printer.pageLayout().paintRectPixels(printer.resolution());
    const QSizeF size = m_Chart->size();
    const double scale = std::min(page.width() / size.width(), page.height() / size.height());
    painter.scale(scale, scale);
    m_Chart->render(&painter, QPoint(), QRegion(), QWidget::DrawChildren);
    return painter.end();
}

void CChartPanel::SavePictureAs() {
    QString filter;
    const QString path =
        QFileDialog::getSaveFileName(this, tr("Save Picture"), QString(),
                                     tr("PNG picture (*.png);;SVG picture (*.svg)"), &filter);
    if (path.isEmpty()) {
        return;
    }
    QString chosen = path;
    if (QFileInfo(path).suffix().isEmpty()) {
        chosen += filter.contains(QStringLiteral("svg")) ? QStringLiteral(".svg")
                                                         : QStringLiteral(".png");
    }
    QString error;
    if (!SavePicture(chosen, error)) {
        QMessageBox::warning(this, tr("Save Picture"),
                             tr("The picture could not be saved to %1: %2.").arg(chosen, error));
    }
}

void CChartPanel::Print() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(QPageLayout::Landscape);
    QPrintDialog dialog(&printer, this);
    if (dialog.exec() == QDialog::Accepted) {
        PrintChart(printer);
    }
}

} // namespace strikeline
