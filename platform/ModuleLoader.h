#pragma once

#include <string>
#include <vector>

namespace strikeline {

// The program's own modules: shared objects that hold the code tied to a large library
// (the downloader's HTTP client, the office writers), opened the first time a command needs
// them, so that a program that never fetches or exports never maps those libraries.
//
// A module is looked for in the program's private library folder beside the program's own
// file (<program folder>/../<private library folder>/<name>.so), and, when the program runs
// from the build tree, where the build put it. An installed program never loads a module
// from a build tree.

// The folders searched for the modules of the running program, in order.
std::vector<std::string> ModuleFolders();

// The address of `entry` in the module `name` ("strikeline-http"), opening the module the
// first time; it stays open to the end. Null when the module is in none of `folders`, cannot
// be loaded or lacks the entry, with the reason in `error` ("the program's module
// strikeline-http.so was not found in /usr/lib/strikeline"), for the caller to put in its
// own message. Thread-safe.
void* FindModuleEntry(const std::string& name, const char* entry, std::string& error);
void* FindModuleEntry(const std::string& name, const char* entry,
                      const std::vector<std::string>& folders, std::string& error);

// A typed FindModuleEntry for a function entry.
template <typename Function>
Function* FindModuleFunction(const std::string& name, const char* entry, std::string& error) {
    return reinterpret_cast<Function*>(FindModuleEntry(name, entry, error));
}

} // namespace strikeline
