#pragma once

#include "plan/PlanExport.h"
#include "plan/PlanMail.h"
#include "storage/FileTime.h"

#include <QString>
#include <QUrl>
#include <functional>
#include <memory>
#include <optional>

class QWidget;

namespace strikeline {

class CSession;

class CColorScheme;

// The plan's export commands: the four file exports and the two "Send to Email" ones.
// Each first asks whether the analytics columns go in (off unless ticked), then asks for a
// path (or makes an attachment), writes through the plan writers and tells the user how it
// went. The dialogs, the program that opens a saved workbook and the mail composer are
// replaceable, so that tests run without modal dialogs or other programs.
class CTradingPlanExportCommands {
public:
    // Asks where to save: the path chosen, or empty when the user cancels.
    using CSavePathChooser =
        std::function<QString(QWidget* parent, const QString& filter, const QString& suffix)>;
    using CFileOpener = std::function<void(const QUrl& url)>;
    // Asks whether the export includes the analytics columns; nothing when the user cancels.
    using CAnalyticsChooser = std::function<std::optional<bool>(QWidget* parent)>;
    // The export's content, with or without the analytics columns.
    using CContentBuilder = std::function<CPlanExport(bool includeAnalytics)>;

    CTradingPlanExportCommands(QWidget& owner, CSession& session);

    static bool Handles(int command);
    // Runs an export command on the content `build` makes; the HTML page takes the scheme's
    // colours and the mail attachment's name the moment `now`.
    void Run(int command, const CContentBuilder& build, const CColorScheme& scheme, FileTime now);

    // Seams; an empty function restores the default.
    void SetSavePathChooser(CSavePathChooser chooser);
    void SetFileOpener(CFileOpener opener);
    void SetAnalyticsChooser(CAnalyticsChooser chooser);
    void SetMailComposer(std::shared_ptr<CMailComposer> composer);
    // Null restores the program's own attachments folder.
    void SetMailAttachments(CMailAttachments* attachments) { m_Attachments = attachments; }

    // The save dialog: "Excel Files (*.xlsx)" and the like, the suffix added when the
    // name has none, an overwrite question, only existing folders.
    static QString AskSavePath(QWidget* parent, const QString& filter, const QString& suffix);
    // The question before an export: an "Include analytics" box, unticked, with OK and
    // Cancel.
    static std::optional<bool> AskIncludeAnalytics(QWidget* parent);

private:
    void ExportFile(int command, const CPlanExport& content, const CColorScheme& scheme);
    void SendByMail(PlanMailFormat format, const CPlanExport& content, FileTime now);
    void Tell(const QString& text, bool failed);

    QWidget& m_Owner;
    CSession& m_Session;
    CSavePathChooser m_ChooseSavePath;
    CFileOpener m_OpenFile;
    CAnalyticsChooser m_ChooseAnalytics;
    std::shared_ptr<CMailComposer> m_Composer;
    CMailAttachments* m_Attachments = nullptr;
};

} // namespace strikeline
