#pragma once

#include "analytics/AnalyticsSettings.h"
#include "marketdata/DataSources.h"
#include "reports/ReportSettings.h"
#include "session/ApplicationState.h"
#include "storage/RegistryFile.h"

#include <string>
#include <string_view>

namespace strikeline {

// Where the program's settings live in the registry, below HKEY_CURRENT_USER.
inline constexpr std::string_view kRegistryRoot = "Software\\Varnel Pty. Ltd.\\Strikeline";

inline constexpr std::string_view kLoadConfigurationError = "Error when loading configuration";

// The records kept in the settings file. The state may be absent only when writing.
struct CSettingsRecords {
    CApplicationState* state;
    CReportSettings& callSettings;
    CReportSettings& putSettings;
    CDataSources& dataSources;
    CAnalyticsSettings* analytics = nullptr;
};

// Start-up: reads the settings file at `path` into `registry`, then the records
// Settings\AppConfig (with its colour scheme), Settings\CallReport, Settings\PutReport and
// Settings\DataSources and Settings\Analytics (when given), each only when present: nothing is
// created, and whatever is missing keeps its default. Returns false with a message to show when the
// file could not be used (it is then kept aside and the defaults stand) or a record failed to load
// (the state is then reset).
bool ReadSettings(CRegistryFile& registry, const std::string& path, const CSettingsRecords& records,
                  std::string& message);

// Shutdown: writes the records into `registry`, creating every key on the way, and saves
// the file at `path` atomically. The state is saved under its lock; without a state the
// other records are still written. Returns false with the reason when the file could not
// be written; the old file is then untouched.
bool WriteSettings(CRegistryFile& registry, const std::string& path,
                   const CSettingsRecords& records, std::string& error);

} // namespace strikeline
