#include "platform/DesktopMouse.h"

#include "platform/UserFolders.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <dlfcn.h>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

namespace strikeline {

namespace {

constexpr const char* kGnomeSchema = "org.gnome.desktop.peripherals.mouse";
constexpr const char* kGnomeKey = "left-handed";

std::string_view Trimmed(std::string_view text) {
    const auto blank = [](char c) {
        return std::isspace(static_cast<unsigned char>(c)) != 0;
    };
    while (!text.empty() && blank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && blank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

std::string Lower(std::string_view text) {
    std::string lower(text);
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return lower;
}

// The words the desktop's settings files use for a yes.
bool IsTrue(std::string_view value) {
    const std::string word = Lower(Trimmed(value));
    return word == "true" || word == "on" || word == "yes" || word == "1";
}

// The parts of GNOME's settings library that read one boolean setting. The library is
// looked for when the setting is wanted, so that the program neither needs it nor links it.
struct CGnomeSettingsLibrary {
    using Source = void* (*)();
    using Lookup = void* (*)(void*, const char*, int);
    using HasKey = int (*)(void*, const char*);
    using Unref = void (*)(void*);
    using NewFull = void* (*)(void*, void*, const char*);
    using GetBoolean = int (*)(void*, const char*);

    Source defaultSource = nullptr;
    Lookup lookup = nullptr;
    HasKey hasKey = nullptr;
    Unref unrefSchema = nullptr;
    NewFull newSettings = nullptr;
    GetBoolean getBoolean = nullptr;
    Unref unrefObject = nullptr;

    bool Complete() const {
        return defaultSource != nullptr && lookup != nullptr && hasKey != nullptr &&
               unrefSchema != nullptr && newSettings != nullptr && getBoolean != nullptr &&
               unrefObject != nullptr;
    }
};

template <typename T> void Find(void* library, const char* name, T& function) {
    function = reinterpret_cast<T>(::dlsym(library, name));
}

const CGnomeSettingsLibrary* GnomeSettingsLibrary() {
    static const CGnomeSettingsLibrary found = [] {
        CGnomeSettingsLibrary functions;
        // Never closed: the library registers types that must outlive any use of it.
        void* library = ::dlopen("libgio-2.0.so.0", RTLD_NOW | RTLD_LOCAL);
        if (library == nullptr) {
            return functions;
        }
        Find(library, "g_settings_schema_source_get_default", functions.defaultSource);
        Find(library, "g_settings_schema_source_lookup", functions.lookup);
        Find(library, "g_settings_schema_has_key", functions.hasKey);
        Find(library, "g_settings_schema_unref", functions.unrefSchema);
        Find(library, "g_settings_new_full", functions.newSettings);
        Find(library, "g_settings_get_boolean", functions.getBoolean);
        Find(library, "g_object_unref", functions.unrefObject);
        return functions;
    }();
    return found.Complete() ? &found : nullptr;
}

// GNOME's settings are read through the session bus's settings service; without a bus
// there is no GNOME session to ask, and the library would try to start a bus of its own.
// A backend named in GSETTINGS_BACKEND needs no bus.
bool GnomeSettingsReachable() {
    if (std::getenv("GSETTINGS_BACKEND") != nullptr ||
        std::getenv("DBUS_SESSION_BUS_ADDRESS") != nullptr) {
        return true;
    }
    const char* runtime = std::getenv("XDG_RUNTIME_DIR");
    struct stat bus = {};
    return runtime != nullptr && ::stat(PathInFolder(runtime, "bus").c_str(), &bus) == 0;
}

std::optional<std::string> ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return std::nullopt;
    }
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

} // namespace

std::optional<bool> GnomeLeftHanded() {
    if (!GnomeSettingsReachable()) {
        return std::nullopt;
    }
    const CGnomeSettingsLibrary* gio = GnomeSettingsLibrary();
    if (gio == nullptr) {
        return std::nullopt;
    }
    void* source = gio->defaultSource();
    if (source == nullptr) {
        return std::nullopt;
    }
    // The library ends the process when asked for a setting it does not know: ask only
    // for one it has.
    void* schema = gio->lookup(source, kGnomeSchema, 1);
    if (schema == nullptr) {
        return std::nullopt;
    }
    std::optional<bool> leftHanded;
    if (gio->hasKey(schema, kGnomeKey) != 0) {
        if (void* settings = gio->newSettings(schema, nullptr, nullptr)) {
            leftHanded = gio->getBoolean(settings, kGnomeKey) != 0;
            gio->unrefObject(settings);
        }
    }
    gio->unrefSchema(schema);
    return leftHanded;
}

std::optional<bool> PlasmaLeftHanded(std::string_view kcminputrc) {
    std::optional<bool> leftHanded;
    std::string group;
    std::istringstream lines{std::string(kcminputrc)};
    for (std::string line; std::getline(lines, line);) {
        const std::string_view text = Trimmed(line);
        if (text.empty() || text.front() == '#') {
            continue;
        }
        if (text.front() == '[') {
            group = std::string(text);
            continue;
        }
        const std::size_t equals = text.find('=');
        if (equals == std::string_view::npos) {
            continue;
        }
        std::string_view key = Trimmed(text.substr(0, equals));
        // "Key[$e]" and the like carry flags for the settings library, not another key.
        key = key.substr(0, key.find('['));
        const std::string_view value = text.substr(equals + 1);
        bool says = false;
        if (group == "[Mouse]" && key == "XLbInptLeftHanded") {
            says = IsTrue(value);
        } else if (group == "[Mouse]" && key == "MouseButtonMapping") {
            says = Lower(Trimmed(value)) == "lefthanded";
        } else if (group.rfind("[Libinput]", 0) == 0 && key == "LeftHanded") {
            says = IsTrue(value);
        } else {
            continue;
        }
        leftHanded = leftHanded.value_or(false) || says;
    }
    return leftHanded;
}

CDesktopMouseSources UserDesktopMouseSources() {
    const std::string config = UserConfigFolder();
    return {GnomeLeftHanded, config.empty() ? std::string() : PathInFolder(config, "kcminputrc")};
}

bool MouseButtonsSwapped(const CDesktopMouseSources& sources) {
    if (sources.gnome && sources.gnome().value_or(false)) {
        return true;
    }
    if (sources.plasmaConfigFile.empty()) {
        return false;
    }
    const std::optional<std::string> text = ReadFile(sources.plasmaConfigFile);
    return text && PlasmaLeftHanded(*text).value_or(false);
}

} // namespace strikeline
