#include "session/SettingsRecords.h"

#include "storage/RegistryStorage.h"

namespace strikeline {

namespace {

constexpr std::string_view kSettings = "Settings";
constexpr std::string_view kAppConfig = "AppConfig";
constexpr std::string_view kCallReport = "CallReport";
constexpr std::string_view kPutReport = "PutReport";
constexpr std::string_view kDataSources = "DataSources";
constexpr std::string_view kAnalytics = "Analytics";

} // namespace

bool ReadSettings(CRegistryFile& registry, const std::string& path, const CSettingsRecords& records,
                  std::string& message) {
    std::string reason;
    if (!registry.Load(path, reason)) {
        message = std::string(kLoadConfigurationError) + "\n\n" + reason;
        return false;
    }
    CRegistryStorage settings;
    if (!settings.OpenRoot(registry.CurrentUser(),
                           std::string(kRegistryRoot) + "\\" + std::string(kSettings))) {
        return true; // a first run: defaults everywhere
    }
    bool ok = true;
    if (const auto record = settings.OpenChild(kAppConfig); record && records.state != nullptr) {
        ok = records.state->Load(*record) && ok;
    }
    if (const auto record = settings.OpenChild(kCallReport)) {
        ok = records.callSettings.Load(*record) && ok;
    }
    if (const auto record = settings.OpenChild(kPutReport)) {
        ok = records.putSettings.Load(*record) && ok;
    }
    if (const auto record = settings.OpenChild(kDataSources)) {
        records.dataSources.Load(*record);
    }
    if (records.analytics != nullptr) {
        if (const auto record = settings.OpenChild(kAnalytics)) {
            records.analytics->Load(*record);
        }
    }
    if (!ok) {
        if (records.state != nullptr) {
            records.state->ResetDefaults();
        }
        message = kLoadConfigurationError;
    }
    return ok;
}

bool WriteSettings(CRegistryFile& registry, const std::string& path,
                   const CSettingsRecords& records, std::string& error) {
    CRegistryStorage settings;
    if (!settings.CreateRoot(registry.CurrentUser(),
                             std::string(kRegistryRoot) + "\\" + std::string(kSettings))) {
        error = "The settings could not be stored.";
        return false;
    }
    if (records.state != nullptr) {
        if (const auto record = settings.CreateChild(kAppConfig)) {
            const CApplicationStateLock lock(*records.state);
            records.state->Save(*record);
        }
    }
    if (const auto record = settings.CreateChild(kCallReport)) {
        records.callSettings.Save(*record);
    }
    if (const auto record = settings.CreateChild(kPutReport)) {
        records.putSettings.Save(*record);
    }
    if (const auto record = settings.CreateChild(kDataSources)) {
        records.dataSources.Save(*record);
    }
    if (records.analytics != nullptr) {
        if (const auto record = settings.CreateChild(kAnalytics)) {
            records.analytics->Save(*record);
        }
    }
    return registry.Save(path, error);
}

} // namespace strikeline
