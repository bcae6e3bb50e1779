#pragma once

#include <functional>
#include <string>
#include <vector>

namespace strikeline {

// A user file that the program could not read or write, and the message that says so.
struct CUserFileProblem {
    std::string message;
    // Where the unreadable file was copied before anything writes over it ("" if none).
    std::string keptCopy;
};

// Creates the process-wide trading plan, average trades and diary, and loads each of
// their files in `dataFolder` that exists. A file that fails to load is copied aside
// ("<file>.damaged"; a copy already kept with the same contents is named again instead),
// and what could be read is kept. Such a file is guarded: it is written back at exit only
// when the user changed its database, and only when the user agrees (see
// SaveUserDatabases), so an empty or partial database never silently replaces it. When no
// complete copy could be kept (every copy name taken, a full disk), it is never written.
// Returns the problems in the order the files were loaded.
std::vector<CUserFileProblem> LoadUserDatabases(const std::string& dataFolder);

// Asks the user a Yes/No question; true for Yes.
using CAskUser = std::function<bool(const std::string& question)>;

// Writes the diary, the trading plan and the average trades back (each atomically) and
// destroys them. A file that failed to load is left as it is unless its database changed
// since and `ask` answers Yes to "The trading plan could not be read when the program
// started ... Save the current plan over it?" (or the diary's or average trades' like
// question); with no `ask` it is left as it is. One of which no complete copy could be kept
// is left as it is without a question, with a message when its database changed. Returns a
// message for each file that could not be written.
std::vector<CUserFileProblem> SaveUserDatabases(const std::string& dataFolder, const CAskUser& ask);

} // namespace strikeline
