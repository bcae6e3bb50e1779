#include "gui/plan/TradingPlanExportCommands.h"

#include "gui/app/CommandIds.h"
#include "plan/PlanCsvWriter.h"
#include "plan/PlanDocxWriter.h"
#include "plan/PlanHtmlWriter.h"
#include "plan/PlanXlsxWriter.h"
#include "session/Session.h"

#include <QCheckBox>
#include <QDesktopServices>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QVBoxLayout>
#include <array>

namespace strikeline {

namespace {

struct CFileFormat {
    int command;
    const char* filter;
    const char* suffix;
    const char* success;
};

constexpr std::array<CFileFormat, 4> kFileFormats = {{
    {ID_FILE_EXPORT_EXCEL, "Excel Files (*.xlsx);;All Files (*)", "xlsx",
     "Excel file created successfully."},
    {ID_FILE_EXPORT_WORD, "Word Files (*.docx);;All Files (*)", "docx",
     "Word file created successfully."},
    {ID_FILE_EXPORT_CSV, "CSV Files (*.csv);;All Files (*)", "csv",
     "CSV file created successfully."},
    {ID_FILE_EXPORT_HTML, "HTML Files (*.html);;All Files (*)", "html",
     "HTML file created successfully."},
}};

const CFileFormat* FormatOf(int command) {
    for (const CFileFormat& format : kFileFormats) {
        if (format.command == command) {
            return &format;
        }
    }
    return nullptr;
}

bool WriteFile(int command, const CPlanExport& content, const CColorScheme& scheme,
               const std::string& path, std::string& error) {
    switch (command) {
    case ID_FILE_EXPORT_EXCEL:
        return WritePlanXlsx(content, path, error);
    case ID_FILE_EXPORT_WORD:
        return WritePlanDocx(content, path, error);
    case ID_FILE_EXPORT_CSV:
        return WritePlanCsv(content, path, error);
    default:
        return WritePlanHtml(content, scheme, path, error);
    }
}

} // namespace

CTradingPlanExportCommands::CTradingPlanExportCommands(QWidget& owner, CSession& session)
    : m_Owner(owner), m_Session(session) {
    SetSavePathChooser({});
    SetFileOpener({});
    SetAnalyticsChooser({});
    SetMailComposer({});
}

bool CTradingPlanExportCommands::Handles(int command) {
    return FormatOf(command) != nullptr || command == ID_FILE_EXPORT_EXCEL_MAIL ||
           command == ID_FILE_EXPORT_CSV_MAIL;
}

void CTradingPlanExportCommands::SetSavePathChooser(CSavePathChooser chooser) {
    m_ChooseSavePath = chooser ? std::move(chooser) : CSavePathChooser(AskSavePath);
}

void CTradingPlanExportCommands::SetFileOpener(CFileOpener opener) {
    m_OpenFile = opener ? std::move(opener)
                        : CFileOpener([](const QUrl& url) { QDesktopServices::openUrl(url); });
}

void CTradingPlanExportCommands::SetAnalyticsChooser(CAnalyticsChooser chooser) {
    m_ChooseAnalytics = chooser ? std::move(chooser) : CAnalyticsChooser(AskIncludeAnalytics);
}

void CTradingPlanExportCommands::SetMailComposer(std::shared_ptr<CMailComposer> composer) {
    m_Composer = composer ? std::move(composer) : std::make_shared<CXdgEmailComposer>();
}

QString CTradingPlanExportCommands::AskSavePath(QWidget* parent, const QString& filter,
                                                const QString& suffix) {
    QFileDialog dialog(parent);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilters(filter.split(QStringLiteral(";;")));
    dialog.setDefaultSuffix(suffix);
    if (dialog.exec() != QDialog::Accepted) {
        return {};
    }
    return dialog.selectedFiles().value(0);
}

std::optional<bool> CTradingPlanExportCommands::AskIncludeAnalytics(QWidget* parent) {
    QDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("Export Trading Plan"));
    auto* layout = new QVBoxLayout(&dialog);
    auto* include = new QCheckBox(
        QStringLiteral("&Include analytics (days, annual return and warnings)"), &dialog);
    layout->addWidget(include);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    // Space ticks the box, Enter goes on, Escape cancels.
    include->setFocus();
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return include->isChecked();
}

void CTradingPlanExportCommands::Run(int command, const CContentBuilder& build,
                                     const CColorScheme& scheme, FileTime now) {
    if (!Handles(command)) {
        return;
    }
    const std::optional<bool> includeAnalytics = m_ChooseAnalytics(&m_Owner);
    if (!includeAnalytics) {
        return;
    }
    const CPlanExport content = build(*includeAnalytics);
    if (command == ID_FILE_EXPORT_EXCEL_MAIL) {
        SendByMail(PlanMailFormat::Excel, content, now);
    } else if (command == ID_FILE_EXPORT_CSV_MAIL) {
        SendByMail(PlanMailFormat::Csv, content, now);
    } else if (FormatOf(command) != nullptr) {
        ExportFile(command, content, scheme);
    }
}

void CTradingPlanExportCommands::ExportFile(int command, const CPlanExport& content,
                                            const CColorScheme& scheme) {
    const CFileFormat& format = *FormatOf(command);
    const QString path = m_ChooseSavePath(&m_Owner, QString::fromLatin1(format.filter),
                                          QString::fromLatin1(format.suffix));
    if (path.isEmpty()) {
        return;
    }
    // The writers replace a file that is there only once the new one is complete, so a
    // failed export leaves the old file as it was rather than deleting it first.
    std::string error;
    if (!WriteFile(command, content, scheme, QFile::encodeName(path).toStdString(), error)) {
        Tell(QString::fromStdString(error), true);
        return;
    }
    Tell(QString::fromLatin1(format.success), false);
    if (command == ID_FILE_EXPORT_EXCEL) {
        m_OpenFile(QUrl::fromLocalFile(path));
    }
}

void CTradingPlanExportCommands::SendByMail(PlanMailFormat format, const CPlanExport& content,
                                            FileTime now) {
    CMailAttachments& attachments =
        m_Attachments != nullptr ? *m_Attachments : m_Session.MailAttachments();
    std::string error;
    if (!SendPlanByMail(content, format, now, attachments, *m_Composer, error)) {
        Tell(QString::fromStdString(error), true);
    }
}

void CTradingPlanExportCommands::Tell(const QString& text, bool failed) {
    m_Session.Messages().Show(text.toStdString(),
                              failed ? MessageKind::Warning : MessageKind::Information);
}

} // namespace strikeline
