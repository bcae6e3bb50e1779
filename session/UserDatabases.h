#pragma once

#include <functional>
#include <string>
#include <vector>

namespace strikeline {

class CSession;

// A user file that failed to load: written back only when its database changed since, and
// the user agreed to the question.
struct CUserFileGuard {
    // The file's name in the data folder.
    std::string fileName;
    std::string question;
    std::function<bool()> changed;
    // No complete copy could be kept: the file is then never written over, whatever the
    // user would answer, since it may hold the only record of what could not be read.
    std::string uncopied;
};

// A user file that the program could not read or write, and the message that says so.
struct CUserFileProblem {
    std::string message;
    // Where the unreadable file was copied before anything writes over it ("" if none).
    std::string keptCopy;
};

// Loads the session's trading plan, average trades and diary from each of their files in
// the session's data folder that exists (a database whose file does not exist is left
// empty). A file that fails to load is copied aside
// ("<file>.damaged"; a copy already kept with the same contents is named again instead),
// and what could be read is kept. Such a file is guarded: it is written back at exit only
// when the user changed its database, and only when the user agrees (see
// SaveUserDatabases), so an empty or partial database never silently replaces it. When no
// complete copy could be kept (every copy name taken, a full disk), it is never written.
// Returns the problems in the order the files were loaded.
std::vector<CUserFileProblem> LoadUserDatabases(CSession& session);

// Asks the user a Yes/No question; true for Yes.
using CAskUser = std::function<bool(const std::string& question)>;

// Writes the session's diary, trading plan and average trades back (each atomically). A file that
// failed to load is left as it is unless its database changed since and `ask` answers Yes to "The
// trading plan could not be read when the program started ... Save the current plan over it?" (or
// the diary's or average trades' like question); with no `ask` it is left as it is. One of which no
// complete copy could be kept is left as it is without a question, with a message when its database
// changed. Returns a message for each file that could not be written.
std::vector<CUserFileProblem> SaveUserDatabases(CSession& session, const CAskUser& ask);

} // namespace strikeline
