#include "platform/ModuleLoader.h"

#include <algorithm>
#include <dlfcn.h>
#include <filesystem>
#include <map>
#include <mutex>
#include <system_error>

namespace strikeline {

namespace {

namespace fs = std::filesystem;

// The running program's own file, links resolved.
fs::path ProgramFile() {
    std::error_code failed;
    fs::path program = fs::canonical("/proc/self/exe", failed);
    return failed ? fs::path() : program;
}

// Whether `file` lies inside `folder` (both without links).
bool IsInside(const fs::path& file, const fs::path& folder) {
    const auto [end, at] = std::mismatch(folder.begin(), folder.end(), file.begin(), file.end());
    return end == folder.end() && at != file.end();
}

struct CModuleTable {
    std::mutex lock;
    std::map<std::string, void*> opened; // by path
};

CModuleTable& Modules() {
    static CModuleTable table;
    return table;
}

} // namespace

std::vector<std::string> ModuleFolders() {
    std::vector<std::string> folders;
    const fs::path program = ProgramFile();
    if (program.empty()) {
        return folders;
    }
    folders.push_back((program.parent_path().parent_path() / STRIKELINE_PRIVATE_LIBDIR)
                          .lexically_normal()
                          .string());
    std::error_code failed;
    const fs::path buildTree = fs::canonical(STRIKELINE_BUILD_TREE, failed);
    if (!failed && IsInside(program, buildTree)) {
        folders.push_back(STRIKELINE_MODULE_BUILD_DIR);
    }
    return folders;
}

void* FindModuleEntry(const std::string& name, const char* entry, std::string& error) {
    static const std::vector<std::string> folders = ModuleFolders();
    return FindModuleEntry(name, entry, folders, error);
}

void* FindModuleEntry(const std::string& name, const char* entry,
                      const std::vector<std::string>& folders, std::string& error) {
    const std::string file = name + ".so";
    std::string path;
    for (const std::string& folder : folders) {
        std::error_code failed;
        if (fs::is_regular_file(fs::path(folder) / file, failed)) {
            path = (fs::path(folder) / file).string();
            break;
        }
    }
    if (path.empty()) {
        error = "the program's module " + file + " was not found";
        if (!folders.empty()) {
            error += " in " + folders.front();
        }
        return nullptr;
    }
    CModuleTable& modules = Modules();
    const std::lock_guard guard(modules.lock);
    void*& handle = modules.opened[path];
    if (handle == nullptr) {
        // Every symbol resolved now, so a broken module fails here and not in the middle of a
        // command; its symbols stay its own.
        handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (handle == nullptr) {
            const char* reason = ::dlerror();
            error = "the program's module " + path +
                    " could not be loaded: " + (reason != nullptr ? reason : "unknown reason");
            modules.opened.erase(path);
            return nullptr;
        }
    }
    ::dlerror();
    void* address = ::dlsym(handle, entry);
    if (address == nullptr) {
        error = "the program's module " + path + " has no " + entry;
    }
    return address;
}

} // namespace strikeline
