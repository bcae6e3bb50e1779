// How fast the option price files parse, and what the model costs in memory per series,
// beside mawk splitting the same file into fields as a yardstick.

#include "marketdata/OptionFileParser.h"
#include "platform/AtomicFile.h"
#include "tools/MarketGenerator.h"

#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <malloc.h>
#include <map>
#include <spawn.h>
#include <sys/wait.h>

namespace strikeline {
namespace {

// One generated call file per scale, written once into a temporary folder.
struct CGeneratedCallFile {
    std::string path;
    std::size_t bytes = 0;
    std::size_t series = 0;
};

const CGeneratedCallFile& CallFile(int scale) {
    static std::map<int, CGeneratedCallFile> files;
    static const std::filesystem::path folder = [] {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "strikeline-bench-XXXXXX").string();
        return std::filesystem::path(::mkdtemp(pattern.data()));
    }();
    auto it = files.find(scale);
    if (it == files.end()) {
        CMarketGeneratorSettings settings;
        settings.m_Scale = scale;
        const CGeneratedMarket market = CMarketGenerator(settings).Generate();
        CGeneratedCallFile file;
        file.path = (folder / ("call-" + std::to_string(scale) + ".csv")).string();
        file.bytes = market.m_CallFile.size();
        file.series = market.m_CallSeries;
        std::string error;
        if (!WriteFileAtomically(file.path, market.m_CallFile, error)) {
            std::fprintf(stderr, "%s\n", error.c_str());
            std::exit(1);
        }
        it = files.emplace(scale, file).first;
    }
    return it->second;
}

void BM_ParseCallFile(benchmark::State& state) {
    const CGeneratedCallFile& file = CallFile(static_cast<int>(state.range(0)));
    std::size_t heapPerSeries = 0;
    for (auto _ : state) {
        std::vector<CCompanyInfo> companies;
        std::string error;
        const std::size_t before = mallinfo2().uordblks;
        if (!ParseOptionFile(companies, file.path, true, error)) {
            state.SkipWithError(error.c_str());
            return;
        }
        heapPerSeries = (mallinfo2().uordblks - before) / file.series;
        benchmark::DoNotOptimize(companies.data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file.bytes));
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * file.series));
    state.counters["series"] = static_cast<double>(file.series);
    state.counters["MB"] = static_cast<double>(file.bytes) / 1e6;
    state.counters["heap_bytes_per_series"] = static_cast<double>(heapPerSeries);
}
BENCHMARK(BM_ParseCallFile)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);

// The yardstick: mawk -F, '{n+=NF} END {print n}' on the same file, start-up included.
void BM_MawkSplitCallFile(benchmark::State& state) {
    const CGeneratedCallFile& file = CallFile(static_cast<int>(state.range(0)));
    const char* argv[] = {"mawk", "-F,", "{n+=NF} END {print n}", file.path.c_str(), nullptr};
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
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * file.bytes));
    state.SetItemsProcessed(static_cast<std::int64_t>(state.iterations() * file.series));
}
BENCHMARK(BM_MawkSplitCallFile)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace
} // namespace strikeline

BENCHMARK_MAIN();
