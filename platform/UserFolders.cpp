#include "platform/UserFolders.h"

#include <cerrno>
#include <cstdlib>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

namespace strikeline {

namespace {

constexpr std::string_view kProductName = "Strikeline";

std::string HomeFolder() {
    if (const char* home = std::getenv("HOME"); home != nullptr && home[0] == '/') {
        return home;
    }
    if (const passwd* entry = ::getpwuid(::getuid());
        entry != nullptr && entry->pw_dir != nullptr) {
        return entry->pw_dir;
    }
    return {};
}

// $variable when it holds an absolute path, else the home folder followed by `fallback`.
std::string BaseFolder(const char* variable, std::string_view fallback) {
    if (const char* value = std::getenv(variable); value != nullptr && value[0] == '/') {
        return value;
    }
    const std::string home = HomeFolder();
    return home.empty() ? std::string() : home + "/" + std::string(fallback);
}

std::string ProductFolder(const char* variable, std::string_view fallback) {
    const std::string base = BaseFolder(variable, fallback);
    if (base.empty()) {
        return {};
    }
    std::string folder = PathInFolder(base, kProductName);
    MakeFolders(folder);
    return folder;
}

} // namespace

std::string UserConfigFolder() {
    return BaseFolder("XDG_CONFIG_HOME", ".config");
}

std::string PathInFolder(const std::string& folder, std::string_view name) {
    if (folder.empty()) {
        return std::string(name);
    }
    return folder.back() == '/' ? folder + std::string(name) : folder + "/" + std::string(name);
}

bool MakeFolders(const std::string& path) {
    for (std::size_t slash = path.find('/', 1); slash != std::string::npos;
         slash = path.find('/', slash + 1)) {
        ::mkdir(path.substr(0, slash).c_str(), 0755);
    }
    if (::mkdir(path.c_str(), 0755) == 0) {
        return true;
    }
    struct stat info {};
    return errno == EEXIST && ::stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

std::string DataFolder() {
    return ProductFolder("XDG_DATA_HOME", ".local/share");
}

std::string SettingsFilePath() {
    return PathInFolder(ProductFolder("XDG_CONFIG_HOME", ".config"), "settings.reg");
}

} // namespace strikeline
