#include "plan/PlanMail.h"

#include "plan/PlanCsvWriter.h"
#include "plan/PlanXlsxWriter.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <spawn.h>
#include <sys/wait.h>
#include <system_error>
#include <vector>

extern char** environ;

namespace strikeline {

namespace {

constexpr std::string_view kProductName = "Strikeline";

// What xdg-email reports when it finds no mail program to run.
constexpr int kNoMailProgram = 3;

std::string ComposeErrorMessage(int code) {
    return "Error " + std::to_string(code) + ": Unable to create email message";
}

} // namespace

std::string PlanMailSubject() {
    std::string name(kProductName);
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return "TRADING PLAN BY " + name;
}

std::string PlanMailBody() {
    const std::string n(kProductName);
    return "Please find attached your Trading Plan which was created using " + n +
           " software.\n\n" + n +
           " is a PC based software that uses stock option data via the internet to automate "
           "the Buy-Write / Covered Call trading system.  " +
           n +
           " Users can quickly create a report showing all available Options [both Call and "
           "Put] and the Yields In, At and Out of the Money for Exercised and Not Exercised "
           "outcomes.  " +
           n +
           " also displays the respective underlying share(s) price Trend from six months to 5 "
           "years, in the reports.\n\nUsing " +
           n +
           ", the User can then compile a Short List from the report, add Dividends due if "
           "appropriate, and select options from the short list which are then added to a "
           "Trading Plan. The Trading Plan which shows the share buy price, option Strike "
           "price, option Premium and all outcomes; is then printed or exported to MS Excel, "
           "and executed on-line or via broker.\n";
}

std::string PlanAttachmentName(PlanMailFormat format, FileTime now) {
    std::string name = "TradingPlan_" +
                       FormatFileTime(now, TimeZoneMode::Local, FileTimeStyle::DateTime) +
                       (format == PlanMailFormat::Excel ? ".xlsx" : ".csv");
    std::replace_if(
        name.begin(), name.end(),
        [](char c) { return c == ':' || c == '/' || c == '\\' || c == ' '; }, '_');
    return name;
}

std::filesystem::path CMailAttachments::NewFolder() {
    if (m_Root.empty()) {
        std::error_code failed;
        std::string pattern =
            (std::filesystem::temp_directory_path(failed) / "strikeline-mail.XXXXXX").string();
        if (failed || ::mkdtemp(pattern.data()) == nullptr) {
            return {};
        }
        m_Root = pattern;
    }
    std::string pattern = (m_Root / "XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) {
        return {};
    }
    return pattern;
}

void CMailAttachments::RemoveAll() {
    if (!m_Root.empty()) {
        std::error_code ignored; // what cannot be removed at exit stays in the temporary folder
        std::filesystem::remove_all(m_Root, ignored);
        m_Root.clear();
    }
}

bool CXdgEmailComposer::Compose(const std::string& subject, const std::string& body,
                                const std::filesystem::path& attachment, std::string& error) {
    const std::string file = attachment.string();
    std::vector<std::string> arguments = {m_Program, "--subject", subject, "--body",
                                          body,      "--attach",  file};
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    pid_t child = 0;
    const int spawned =
        ::posix_spawnp(&child, m_Program.c_str(), nullptr, nullptr, argv.data(), environ);
    if (spawned != 0) {
        error = spawned == ENOENT ? "Unable to load MAPI library" : ComposeErrorMessage(spawned);
        return false;
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0) {
        if (errno != EINTR) {
            error = ComposeErrorMessage(errno);
            return false;
        }
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0) {
        return true;
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == kNoMailProgram) {
        error = "Unable to get MAPI functions";
        return false;
    }
    error = ComposeErrorMessage(WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status));
    return false;
}

bool SendPlanByMail(const CPlanExport& content, PlanMailFormat format, FileTime now,
                    CMailAttachments& attachments, CMailComposer& composer, std::string& error) {
    const std::filesystem::path folder = attachments.NewFolder();
    if (folder.empty()) {
        error = "Unable to generate temporary file name";
        return false;
    }
    const std::filesystem::path file = folder / PlanAttachmentName(format, now);
    const bool written = format == PlanMailFormat::Excel
                             ? WritePlanXlsx(content, file.string(), error)
                             : WritePlanCsv(content, file.string(), error);
    if (!written) {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
        return false;
    }
    return composer.Compose(PlanMailSubject(), PlanMailBody(), file, error);
}

} // namespace strikeline
