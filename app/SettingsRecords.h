#pragma once

#include "app/ApplicationState.h"
#include "reports/ReportSettings.h"
#include "storage/RegistryFile.h"

#include <string>
#include <string_view>

namespace strikeline {

// Where the program's settings live in the registry, below HKEY_CURRENT_USER.
inline constexpr std::string_view kRegistryRoot = "Software\\Varnel Pty. Ltd.\\Strikeline";

inline constexpr std::string_view kLoadConfigurationError = "Error when loading configuration";

// Start-up: reads the settings file at `path` into `registry`, then the records
// Settings\AppConfig (with its colour scheme), Settings\CallReport and Settings\PutReport,
// each only when present: nothing is created, and whatever is missing keeps its default.
// Returns false with a message to show when the file could not be used (it is then kept
// aside and the defaults stand) or a record failed to load (the state is then reset).
bool ReadSettings(CRegistryFile& registry, const std::string& path, CApplicationState& state,
                  CReportSettings& callSettings, CReportSettings& putSettings,
                  std::string& message);

// Shutdown: writes the records into `registry`, creating every key on the way, and saves
// the file at `path` atomically. The state is saved under its lock; without a state only
// the report settings are written. Returns false with the reason when the file could not
// be written; the old file is then untouched.
bool WriteSettings(CRegistryFile& registry, const std::string& path, CApplicationState* state,
                   const CReportSettings& callSettings, const CReportSettings& putSettings,
                   std::string& error);

} // namespace strikeline
