// What the settings file costs with a report's company list far longer than users keep (a
// few dozen codes): reading the file and the list at start, and writing both at exit.

#include "storage/CompanyList.h"
#include "storage/RegistryFile.h"
#include "storage/RegistryStorage.h"

#include <benchmark/benchmark.h>
#include <string>
#include <vector>

namespace strikeline {
namespace {

constexpr std::string_view kReport = "Software\\Maker\\Program\\Settings\\CallReport";

std::vector<std::string> Codes(std::size_t count) {
    std::vector<std::string> codes;
    codes.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        codes.push_back("C" + std::to_string(i));
    }
    return codes;
}

// The settings file text of a registry holding `count` codes in the Call report's list.
std::string SettingsText(std::size_t count) {
    CRegistryFile registry;
    CRegistryStorage report;
    report.CreateRoot(registry.CurrentUser(), kReport);
    WriteCompanyList(report, Codes(count));
    return registry.ToText();
}

void BM_SettingsReadCompanyList(benchmark::State& state) {
    const std::size_t count = static_cast<std::size_t>(state.range(0));
    const std::string text = SettingsText(count);
    for (auto _ : state) {
        CRegistryFile registry;
        std::string error;
        CRegistryStorage report;
        if (!registry.Parse(text, error) || !report.OpenRoot(registry.CurrentUser(), kReport)) {
            state.SkipWithError(error.c_str());
            break;
        }
        if (ReadCompanyList(report).size() != count) {
            state.SkipWithError("the list did not read back whole");
            break;
        }
    }
}
BENCHMARK(BM_SettingsReadCompanyList)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

// At exit the list is written over the one read at start, then the whole file is made.
void BM_SettingsWriteCompanyList(benchmark::State& state) {
    const std::size_t count = static_cast<std::size_t>(state.range(0));
    const std::string text = SettingsText(count);
    const std::vector<std::string> codes = Codes(count);
    for (auto _ : state) {
        state.PauseTiming();
        CRegistryFile registry;
        std::string error;
        CRegistryStorage report;
        if (!registry.Parse(text, error) || !report.OpenRoot(registry.CurrentUser(), kReport)) {
            state.SkipWithError(error.c_str());
            break;
        }
        state.ResumeTiming();
        WriteCompanyList(report, codes);
        benchmark::DoNotOptimize(registry.ToText());
    }
}
BENCHMARK(BM_SettingsWriteCompanyList)->Arg(1000)->Arg(100000)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace strikeline
