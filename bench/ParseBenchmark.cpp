// How fast the option price files parse, and what the model costs in memory per series,
// beside mawk splitting the same file into fields as a yardstick.

#include "GeneratedMarket.h"
#include "marketdata/OptionFileParser.h"

#include <algorithm>
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <fstream>
#include <malloc.h>
#include <spawn.h>
#include <sys/wait.h>

namespace strikeline {
namespace {

using bench::GeneratedFolder;
using bench::LoadEveryFile;

void BM_ParseCallFile(benchmark::State& state) {
    const auto& file = GeneratedFolder(static_cast<int>(state.range(0)));
    std::size_t heapPerSeries = 0;
    for (auto _ : state) {
        std::vector<CCompanyInfo> companies;
        std::string error;
        const std::size_t before = mallinfo2().uordblks;
        if (!ParseOptionFile(companies, file.callPath, true, error)) {
            state.SkipWithError(error.c_str());
            return;
        }
        heapPerSeries = (mallinfo2().uordblks - before) / file.callSeries;
        benchmark::DoNotOptimize(companies.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file.callBytes));
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * file.callSeries));
    state.counters["series"] = static_cast<double>(file.callSeries);
    state.counters["MB"] = static_cast<double>(file.callBytes) / 1e6;
    state.counters["heap_bytes_per_series"] = static_cast<double>(heapPerSeries);
}
BENCHMARK(BM_ParseCallFile)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);

// The same file with a space after the commas of the series lines: every figure, day and
// time reads as before, but no longer in the feed's own form, so each line takes the
// general road that odd files take.
void BM_ParseCallFileGeneralRoad(benchmark::State& state) {
    const auto& file = GeneratedFolder(static_cast<int>(state.range(0)));
    static const std::string spaced = [&] {
        std::ifstream in(file.callPath);
        std::string text;
        std::string line;
        while (std::getline(in, line)) {
            const bool series =
                std::count(line.begin(), line.end(), ',') == 7 && !line.starts_with("code,");
            for (std::size_t i = 0; i < line.size(); ++i) {
                text += line[i];
                if (series && line[i] == ',' && line.find(',') != i && i + 1 < line.size() &&
                    line[i + 1] != ',') {
                    text += ' ';
                }
            }
            text += '\n';
        }
        const std::string path = file.folder + "/call-spaced.csv";
        std::ofstream(path) << text;
        return path;
    }();
    for (auto _ : state) {
        std::vector<CCompanyInfo> companies;
        std::string error;
        if (!ParseOptionFile(companies, spaced, true, error) || companies.empty()) {
            state.SkipWithError(error.c_str());
            return;
        }
        benchmark::DoNotOptimize(companies.data());
    }
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * file.callSeries));
}
BENCHMARK(BM_ParseCallFileGeneralRoad)->Arg(10)->Unit(benchmark::kMillisecond);

// A whole day's files read into a market one after another on one thread, and the market
// let go again: what the running program does on its window's thread when the scheduled
// fetch installs a new day in its data folder.
void BM_LoadDataFolder(benchmark::State& state) {
    const std::string& folder = GeneratedFolder(static_cast<int>(state.range(0))).folder;
    for (auto _ : state) {
        CMarketData market;
        if (const std::string problem = LoadEveryFile(folder, market); !problem.empty()) {
            state.SkipWithError(problem.c_str());
            return;
        }
        benchmark::DoNotOptimize(market.Current().get());
    }
}
BENCHMARK(BM_LoadDataFolder)->Arg(10)->Unit(benchmark::kMillisecond);

// The yardstick: mawk -F, '{n+=NF} END {print n}' on the same file, start-up included.
void BM_MawkSplitCallFile(benchmark::State& state) {
    const auto& file = GeneratedFolder(static_cast<int>(state.range(0)));
    const char* argv[] = {"mawk", "-F,", "{n+=NF} END {print n}", file.callPath.c_str(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    for (auto _ : state) {
        pid_t child = 0;
        if (posix_spawnp(&child, "mawk", &actions, nullptr, const_cast<char* const*>(argv),
                         environ) != 0) {
            state.SkipWithError("mawk is not installed");
            break;
        }
        int status = 0;
        waitpid(child, &status, 0);
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            state.SkipWithError("mawk failed");
            break;
        }
    }
    posix_spawn_file_actions_destroy(&actions);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file.callBytes));
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * file.callSeries));
}
BENCHMARK(BM_MawkSplitCallFile)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
} // namespace strikeline
