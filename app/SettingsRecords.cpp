#include "app/SettingsRecords.h"

#include "storage/RegistryStorage.h"

namespace strikeline {

namespace {

constexpr std::string_view kSettings = "Settings";
constexpr std::string_view kAppConfig = "AppConfig";
constexpr std::string_view kCallReport = "CallReport";
constexpr std::string_view kPutReport = "PutReport";

} // namespace

bool ReadSettings(CRegistryFile& registry, const std::string& path, CApplicationState& state,
                  CReportSettings& callSettings, CReportSettings& putSettings,
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
    if (const auto record = settings.OpenChild(kAppConfig)) {
        ok = state.Load(*record) && ok;
    }
    if (const auto record = settings.OpenChild(kCallReport)) {
        ok = callSettings.Load(*record) && ok;
    }
    if (const auto record = settings.OpenChild(kPutReport)) {
        ok = putSettings.Load(*record) && ok;
    }
    if (!ok) {
        state.ResetDefaults();
        message = kLoadConfigurationError;
    }
    return ok;
}

bool WriteSettings(CRegistryFile& registry, const std::string& path, CApplicationState* state,
                   const CReportSettings& callSettings, const CReportSettings& putSettings,
                   std::string& error) {
    CRegistryStorage settings;
    if (!settings.CreateRoot(registry.CurrentUser(),
                             std::string(kRegistryRoot) + "\\" + std::string(kSettings))) {
        error = "The settings could not be stored.";
        return false;
    }
    if (state != nullptr) {
        if (const auto record = settings.CreateChild(kAppConfig)) {
            const CApplicationStateLock lock(*state);
            state->Save(*record);
        }
    }
    if (const auto record = settings.CreateChild(kCallReport)) {
        callSettings.Save(*record);
    }
    if (const auto record = settings.CreateChild(kPutReport)) {
        putSettings.Save(*record);
    }
    return registry.Save(path, error);
}

} // namespace strikeline
