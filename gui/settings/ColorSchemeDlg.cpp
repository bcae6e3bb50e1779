#include "gui/settings/ColorSchemeDlg.h"

#include "gui/reports/ReportBlockBuilder.h"
#include "gui/reports/SeriesTable.h"
#include "gui/settings/ColorButtonWnd.h"
#include "gui/widgets/QtColor.h"
#include "gui/widgets/SchemeFont.h"
#include "marketdata/CompanyNameTable.h"
#include "reports/SeriesFigures.h"
#include "session/UserMessenger.h"

#include <QColorDialog>
#include <QComboBox>
#include <QDateTime>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFileDialog>
#include <QFontDatabase>
#include <QFontInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

namespace strikeline {

namespace {

// Each button edits the background and the text colour of one kind of cell.
struct CButtonColors {
    const char* caption;
    SchemeColor background;
    SchemeColor text;
};
constexpr CButtonColors kButtonColors[CColorSchemeDlg::kButtonCount] = {
    {"Normal Text", SchemeColor::ReportBk, SchemeColor::ReportFg},
    {"Company Header", SchemeColor::CompanyHeaderBk, SchemeColor::CompanyHeaderFg},
    {"Options Header", SchemeColor::OptionsHeaderBk, SchemeColor::OptionsHeaderFg},
    {"Strike Price", SchemeColor::StrikePriceBk, SchemeColor::StrikePriceFg},
    {"ASX Fair Price", SchemeColor::ASXFairPriceBk, SchemeColor::ASXFairPriceFg},
    {"Return %", SchemeColor::ReturnPercentsBk, SchemeColor::ReturnPercentsFg},
    {"Leverage Cost", SchemeColor::LeverageCostBk, SchemeColor::LeverageCostFg},
};
// Where each button sits: the first three side by side, the other four two by two.
constexpr int kButtonRow[CColorSchemeDlg::kButtonCount] = {0, 0, 0, 1, 1, 2, 2};
constexpr int kButtonColumn[CColorSchemeDlg::kButtonCount] = {0, 1, 2, 0, 1, 0, 1};

const QString kFileFilter = QStringLiteral("Color Schema Files (*.slclr);;All Files (*)");
const QString kFileSuffix = QStringLiteral("slclr");

// The sample share of the preview and its eight series.
constexpr int kSampleSeriesCount = 8;
// The table is wider than its area, so that the preview shows the cells at the size a
// report window gives them; its right part is cut off.
constexpr int kPreviewWidthPercent = 150;
constexpr int kPreviewMinimumWidth = 560;
constexpr int kPreviewMinimumHeight = 220;

CReportBlock MakeSampleBlock(FileTime now) {
    CReportBlock block;
    auto sample = std::make_shared<CCompanyInfo>();
    block.company = sample;
    CCompanyInfo& company = *sample;
    company.SetCode("XYZ");
    company.SetIsCall(true);
    company.SetLast(1.375);
    company.SetChange(-0.005);
    company.SetBid(1.37);
    company.SetOffer(1.375);
    company.SetOpen(1.41);
    company.SetHigh(1.41);
    company.SetLow(1.355);
    company.SetVolume(1634411);
    for (int n = 1; n <= kSampleSeriesCount; ++n) {
        CContractInfo series;
        series.SetCode(QStringLiteral("XYZA%1").arg(n).toStdString());
        series.SetContractSize(n * 1000.0);
        series.SetExpiry(now);
        series.SetExercise(n * 1.5);
        series.SetLast(n * 0.004);
        series.SetVolume(0.0);
        series.SetOpenInterest(n * 50.0);
        series.SetLastTraded(now);
        company.AddContract(std::move(series));
    }
    std::size_t nearest = 0;
    for (std::size_t i = 0; i < company.Contracts().size(); ++i) {
        block.series.push_back(i);
        const auto distance = [&](std::size_t k) {
            return std::fabs(company.Contracts()[k].Exercise() - company.Last());
        };
        if (distance(i) < distance(nearest)) {
            nearest = i;
        }
    }
    // The leveraged line is shown too, so that its colours can be judged with the others.
    block.atTheMoney = nearest;
    block.leveraged = true;
    block.costOfLeverage = CostOfLeverage(company, block.Series(0), now);
    return block;
}

QString OpenSchemeFile(QWidget* parent) {
    return QFileDialog::getOpenFileName(parent, QString(), QString(), kFileFilter);
}

QString SaveSchemeFile(QWidget* parent) {
    QFileDialog dialog(parent, QString(), QString(), kFileFilter);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setDefaultSuffix(kFileSuffix);
    // Asking before replacing a file is the dialog's own default.
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return {};
    }
    return dialog.selectedFiles().front();
}

std::optional<QColor> ChooseColor(const QColor& initial, QWidget* parent) {
    QColorDialog dialog(initial, parent);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.selectedColor();
}

} // namespace

CColorSchemeDlg::CColorSchemeDlg(const CColorScheme& scheme, CUserMessenger& messages,
                                 QWidget* parent, bool mouseButtonsSwapped)
    : QDialog(parent), m_Scheme(scheme), m_Messages(messages),
      m_SampleBlock(
          MakeSampleBlock(FileTimeFromUnix(QDateTime::currentDateTimeUtc().toSecsSinceEpoch()))),
      m_OpenFile(OpenSchemeFile), m_SaveFile(SaveSchemeFile), m_ChooseColor(ChooseColor),
      m_Help(new QLabel(HelpText(mouseButtonsSwapped), this)), m_FontList(new QComboBox(this)),
      m_SizeList(new QComboBox(this)),
      m_RestoreDefault(new QPushButton(QStringLiteral("Restore Default"), this)),
      m_Load(new QPushButton(QStringLiteral("Load Colors"), this)),
      m_Save(new QPushButton(QStringLiteral("Save Colors"), this)),
      m_PreviewArea(new QWidget(this)) {
    setWindowTitle(QStringLiteral("Colour Scheme Settings"));

    auto* colours = new QGridLayout;
    for (int i = 0; i < kButtonCount; ++i) {
        auto* button = new CColorButtonWnd(QString::fromLatin1(kButtonColors[i].caption), this);
        m_Buttons[static_cast<std::size_t>(i)] = button;
        colours->addWidget(button, kButtonRow[i], kButtonColumn[i]);
        connect(button, &CColorButtonWnd::Clicked, this,
                [this, i](Qt::MouseButton which) { EditColor(i, which); });
    }

    m_FontList->addItems(FontFamilies());
    for (unsigned size = kSmallestListedSize; size <= kLargestListedSize; ++size) {
        m_SizeList->addItem(QString::number(size));
    }
    auto* fonts = new QHBoxLayout;
    fonts->addWidget(new QLabel(QStringLiteral("Font Style:"), this));
    fonts->addWidget(m_FontList, 1);
    fonts->addSpacing(fontMetrics().averageCharWidth() * 2);
    fonts->addWidget(new QLabel(QStringLiteral("Font Size:"), this));
    fonts->addWidget(m_SizeList);

    auto* files = new QHBoxLayout;
    files->addWidget(m_RestoreDefault);
    files->addStretch(1);
    files->addWidget(m_Load);
    files->addWidget(m_Save);
    // Enter belongs to OK, not to whichever of these had the focus last.
    for (QPushButton* button : {m_RestoreDefault, m_Load, m_Save}) {
        button->setAutoDefault(false);
    }

    auto* preview = new QGroupBox(QStringLiteral("Preview"), this);
    auto* previewLayout = new QVBoxLayout(preview);
    m_PreviewArea->setMinimumSize(kPreviewMinimumWidth, kPreviewMinimumHeight);
    m_PreviewArea->installEventFilter(this);
    previewLayout->addWidget(m_PreviewArea);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &CColorSchemeDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CColorSchemeDlg::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_Help);
    layout->addLayout(colours);
    layout->addLayout(fonts);
    layout->addLayout(files);
    layout->addWidget(preview, 1);
    layout->addWidget(buttons);

    // Tab follows the dialog from top to bottom.
    QList<QWidget*> chain(m_Buttons.begin(), m_Buttons.end());
    chain << m_FontList << m_SizeList << m_RestoreDefault << m_Load << m_Save
          << buttons->button(QDialogButtonBox::Ok) << buttons->button(QDialogButtonBox::Cancel);
    for (qsizetype i = 1; i < chain.size(); ++i) {
        setTabOrder(chain[i - 1], chain[i]);
    }

    connect(m_FontList, &QComboBox::currentIndexChanged, this, &CColorSchemeDlg::OnFontChosen);
    connect(m_SizeList, &QComboBox::currentIndexChanged, this, &CColorSchemeDlg::OnSizeChosen);
    connect(m_RestoreDefault, &QPushButton::clicked, this, &CColorSchemeDlg::RestoreDefaults);
    connect(m_Load, &QPushButton::clicked, this, &CColorSchemeDlg::LoadColors);
    connect(m_Save, &QPushButton::clicked, this, &CColorSchemeDlg::SaveColors);

    SchemeChanged();
}

QString CColorSchemeDlg::HelpText(bool mouseButtonsSwapped) {
    return mouseButtonsSwapped
               ? QStringLiteral("Right-click the button to select highlight colour, left-click "
                                "to change the font colour.")
               : QStringLiteral("Left-click the button to select highlight colour, right-click "
                                "to change the font colour.");
}

QStringList CColorSchemeDlg::FontFamilies() {
    QStringList families;
    for (const QString& family : QFontDatabase::families(QFontDatabase::Latin)) {
        if (!QFontDatabase::isPrivateFamily(family)) {
            families << family;
        }
    }
    families.sort(Qt::CaseInsensitive);
    families.removeDuplicates();
    return families;
}

CColorButtonWnd* CColorSchemeDlg::ColorButton(int index) const {
    return index >= 0 && index < kButtonCount ? m_Buttons[static_cast<std::size_t>(index)]
                                              : nullptr;
}

void CColorSchemeDlg::SchemeChanged() {
    // Showing the scheme selects list entries; that must not write back into the scheme
    // (a face that is not installed selects nothing and stays as it is).
    m_ShowingScheme = true;
    int face = m_FontList->findText(QString::fromStdString(m_Scheme.FontStyle()),
                                    Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (face < 0) {
        // A face that is not installed (the default one is missing on most systems) shows
        // the face the tables are drawn with in its place; the scheme keeps its name.
        const QFontInfo used(CreateSchemeFont(m_Scheme, false, false, false).m_Font);
        face = m_FontList->findText(used.family(), Qt::MatchExactly | Qt::MatchCaseSensitive);
    }
    m_FontList->setCurrentIndex(face);
    m_SizeList->setCurrentIndex(m_SizeList->findText(QString::number(m_Scheme.FontSize()),
                                                     Qt::MatchExactly | Qt::MatchCaseSensitive));
    m_ShowingScheme = false;
    for (int i = 0; i < kButtonCount; ++i) {
        m_Buttons[static_cast<std::size_t>(i)]->SetColors(m_Scheme.Get(kButtonColors[i].background),
                                                          m_Scheme.Get(kButtonColors[i].text));
    }
    RebuildPreview();
}

void CColorSchemeDlg::OnFontChosen(int index) {
    if (m_ShowingScheme || index < 0) {
        return;
    }
    m_Scheme.SetFontStyle(m_FontList->itemText(index).toStdString());
    RebuildPreview();
}

void CColorSchemeDlg::OnSizeChosen(int index) {
    if (m_ShowingScheme || index < 0) {
        return;
    }
    m_Scheme.SetFontSize(m_SizeList->itemText(index).toUInt());
    RebuildPreview();
}

void CColorSchemeDlg::EditColor(int index, Qt::MouseButton button) {
    const CButtonColors& colors = kButtonColors[index];
    // The primary button edits the background whichever physical button it is.
    const SchemeColor which = button == Qt::RightButton ? colors.text : colors.background;
    const std::optional<QColor> chosen = m_ChooseColor(ToQColor(m_Scheme.Get(which)), this);
    if (!chosen || !chosen->isValid()) {
        return;
    }
    m_Scheme.Set(which, FromQColor(*chosen));
    m_Buttons[static_cast<std::size_t>(index)]->SetColors(m_Scheme.Get(colors.background),
                                                          m_Scheme.Get(colors.text));
    RebuildPreview();
}

void CColorSchemeDlg::RestoreDefaults() {
    m_Scheme = m_DefaultScheme;
    SchemeChanged();
}

void CColorSchemeDlg::LoadColors() {
    const QString path = m_OpenFile(this);
    if (path.isEmpty()) {
        return;
    }
    // Read into a scratch scheme, so that a bad file leaves the edited one as it was.
    CColorScheme loaded;
    std::string error;
    if (!loaded.LoadFromFile(path.toStdString(), error)) {
        m_Messages.Show(QStringLiteral("Unable to load file %1\n\nReason: %2")
                            .arg(path, QString::fromStdString(error))
                            .toStdString(),
                        MessageKind::Warning);
        return;
    }
    m_Scheme = loaded;
    SchemeChanged();
}

void CColorSchemeDlg::SaveColors() {
    const QString path = m_SaveFile(this);
    if (path.isEmpty()) {
        return;
    }
    if (!m_Scheme.SaveToFile(path.toStdString())) {
        m_Messages.Show(QStringLiteral("Unable to create file %1").arg(path).toStdString(),
                        MessageKind::Warning);
    }
}

void CColorSchemeDlg::RebuildPreview() {
    const CSchemeFont regular = CreateSchemeFont(m_Scheme, false, false, false);
    const CSchemeFont underlined = CreateSchemeFont(m_Scheme, false, true, false);
    const CSchemeFont bold = CreateSchemeFont(m_Scheme, true, false, false);
    const CReportBlockBuilder builder(m_Scheme, regular.m_Font, underlined.m_Font, bold.m_Font);
    auto* table = new CSeriesTable(nullptr, m_PreviewArea);
    // A picture of a report, not a place to work in.
    table->setFocusPolicy(Qt::NoFocus);
    builder.Build(*table, m_SampleBlock, CCompanyNameTable());
    delete m_PreviewTable.data();
    m_PreviewTable = table;
    PlacePreviewTable();
    table->show();
}

void CColorSchemeDlg::PlacePreviewTable() {
    if (m_PreviewTable) {
        m_PreviewTable->setGeometry(0, 0, m_PreviewArea->width() * kPreviewWidthPercent / 100,
                                    m_PreviewArea->height());
    }
}

bool CColorSchemeDlg::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_PreviewArea && event->type() == QEvent::Resize) {
        PlacePreviewTable();
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace strikeline
