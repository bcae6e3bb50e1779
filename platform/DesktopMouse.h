#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace strikeline {

// Whether the user set the mouse up for the left hand (primary and secondary buttons
// swapped) in the desktop's own settings. Each source answers "left-handed", "not" or
// "no such setting here"; the buttons count as swapped when any source says so.
struct CDesktopMouseSources {
    // GNOME and the desktops built on its settings.
    std::function<std::optional<bool>()> gnome;
    // Plasma's input settings file (kcminputrc); an absent file is no setting.
    std::string plasmaConfigFile;
};

// The user's own sources: GNOME's setting read through its settings library when that
// library and the setting are installed (nothing is started, nothing written), and
// kcminputrc in the user's config folder.
CDesktopMouseSources UserDesktopMouseSources();

bool MouseButtonsSwapped(const CDesktopMouseSources& sources = UserDesktopMouseSources());

// GNOME's org.gnome.desktop.peripherals.mouse left-handed; nothing when the settings
// library or that setting is not installed, or there is no session bus to reach them by.
std::optional<bool> GnomeLeftHanded();

// What a kcminputrc text says: "XLbInptLeftHanded" or "MouseButtonMapping=LeftHanded" in
// its [Mouse] group (X11), or "LeftHanded" for a pointer device under [Libinput] (Wayland).
std::optional<bool> PlasmaLeftHanded(std::string_view kcminputrc);

} // namespace strikeline
