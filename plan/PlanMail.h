#pragma once

#include "plan/PlanExport.h"
#include "storage/FileTime.h"

#include <filesystem>
#include <string>

namespace strikeline {

enum class PlanMailFormat { Excel, Csv };

std::string PlanMailSubject();
std::string PlanMailBody();
// "TradingPlan_2010-04-13_17_05_09.xlsx" (or ".csv") for `now` in local time.
std::string PlanAttachmentName(PlanMailFormat format, FileTime now);

// Where attachments wait for the mail composer: a private folder under the system's
// temporary folder. Composers read an attachment after the command that handed it over
// has returned, so the files stay until the program ends (the folder is removed when the
// object goes away, or by RemoveAll).
class CMailAttachments {
public:
    CMailAttachments() = default;
    ~CMailAttachments() { RemoveAll(); }
    CMailAttachments(const CMailAttachments&) = delete;
    CMailAttachments& operator=(const CMailAttachments&) = delete;

    // A new empty folder of its own for one attachment, so two plans sent within the
    // same second keep their names; empty when none can be made.
    std::filesystem::path NewFolder();
    void RemoveAll();
    const std::filesystem::path& Root() const { return m_Root; }

private:
    std::filesystem::path m_Root;
};

// Opens the user's mail composer with a new message.
class CMailComposer {
public:
    virtual ~CMailComposer() = default;
    // Returns false with the message to show: "Unable to load MAPI library" when there is
    // no composer command at all, "Unable to get MAPI functions" when it finds no mail
    // program, "Error %d: Unable to create email message" for any other failure.
    virtual bool Compose(const std::string& subject, const std::string& body,
                         const std::filesystem::path& attachment, std::string& error) = 0;
};

// Hands the message to the desktop's own mail program through `xdg-email` (or another
// command taking the same options, for tests).
class CXdgEmailComposer : public CMailComposer {
public:
    explicit CXdgEmailComposer(std::string program = "xdg-email") : m_Program(std::move(program)) {}
    bool Compose(const std::string& subject, const std::string& body,
                 const std::filesystem::path& attachment, std::string& error) override;

private:
    std::string m_Program;
};

// The "Send to Email" commands: writes the plan as a workbook or as CSV under its
// attachment name and opens a new message with it. Fails with "Unable to generate
// temporary file name", the writer's message (no file is left then) or the composer's.
bool SendPlanByMail(const CPlanExport& content, PlanMailFormat format, FileTime now,
                    CMailAttachments& attachments, CMailComposer& composer, std::string& error);

} // namespace strikeline
