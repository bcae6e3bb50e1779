#pragma once

#include "storage/RegistryKey.h"

#include <memory>
#include <string>
#include <string_view>

namespace strikeline {

// The per-user settings registry, kept in a text file in the registry-export format:
//
//   Windows Registry Editor Version 5.00
//
//   [HKEY_CURRENT_USER\Software\Varnel Pty. Ltd.\Strikeline\Settings\AppConfig]
//   "LastCallTime"=dword:4b3c8a00
//   "LastDataDateStr"="Tue 3 Nov 2009"
//   "Blob"=hex:01,02
//
// Strings are 8-bit texts with "\\" and "\"" escaped. A string holding a control character
// (the enciphered URLs hold CR LF) is written as hex(1): its stored bytes, terminating zero
// included, so that every value reads back byte for byte. Other value types are kept as
// hex(N). Only keys under HKEY_CURRENT_USER are held, at most kMaxKeyDepth levels deep, with
// names no longer than the registry allows.
class CRegistryFile {
public:
    static constexpr std::string_view kHeader = "Windows Registry Editor Version 5.00";
    // The most levels of keys below HKEY_CURRENT_USER that a file may hold: the program's
    // own key three levels down, and 32 levels under it (it uses four).
    static constexpr std::size_t kMaxKeyDepth = 35;
    // The longest value name, as in the registry (a key name holds at most 255 characters).
    static constexpr std::size_t kMaxValueNameLength = 16383;

    CRegistryFile();

    // HKEY_CURRENT_USER: the key the settings root is opened from.
    const std::shared_ptr<CRegistryKey>& CurrentUser() const { return m_CurrentUser; }

    // Reads the file at `path`. A missing file is an empty registry and no error. A file that
    // cannot be read or does not parse is moved aside (kept, never deleted), the registry is
    // left empty, and false is returned with a reason that names the kept copy.
    bool Load(const std::string& path, std::string& error);
    // Writes the whole registry to `path`, atomically. False with a reason on failure, and
    // also when a damaged file could not be moved aside, which it would otherwise replace.
    bool Save(const std::string& path, std::string& error) const;

    // The file text, and the reverse. Parse leaves the registry empty on failure and gives
    // the line and the fault in `error`.
    std::string ToText() const;
    bool Parse(std::string_view text, std::string& error);

private:
    std::shared_ptr<CRegistryKey> m_CurrentUser;
    std::string m_UnmovedDamagedFile;
};

} // namespace strikeline
