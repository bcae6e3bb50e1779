#pragma once

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
// ("<file>.damaged"), since the program writes its own files back at exit; what was read
// before the fault is kept. Returns the problems in the order the files were loaded.
std::vector<CUserFileProblem> LoadUserDatabases(const std::string& dataFolder);

// Writes the diary, the trading plan and the average trades back (each atomically) and
// destroys them. Returns a message for each file that could not be written.
std::vector<CUserFileProblem> SaveUserDatabases(const std::string& dataFolder);

} // namespace strikeline
