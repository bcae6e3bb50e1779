// What the Call Report window costs on a generated market: the time from a refresh request
// until the last block is placed and the window painted, beside the core's build of the
// same report (the ratio of the two is the window's overhead), the longest slice of that
// work (how long the window stops answering at worst), and painting one screen while
// scrolling.

#include "GeneratedMarket.h"
#include "gui/reports/ReportBlockTable.h"
#include "gui/reports/ReportView.h"
#include "marketdata/MarketDataLoaders.h"
#include "reports/ReportBuilder.h"
#include "reports/ReportSettings.h"
#include "session/Session.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <benchmark/benchmark.h>
#include <chrono>
#include <cstdio>
#include <memory>

namespace strikeline {
namespace {

constexpr int kWindowWidth = 1280;
constexpr int kWindowHeight = 900;
// 2010-06-24 06:00 UTC, the close of the generated trading day in Sydney.
constexpr FileTime kNow = FileTimeFromUnix(1277359200);

// The session the benchmark's windows show; its messages go to standard error.
CSession& BenchSession() {
    static CSession session("");
    return session;
}

// Publishes the generated market of a scale as the session's market.
void LoadMarket(int scale) {
    static int loaded = 0;
    if (loaded == scale) {
        return;
    }
    const std::string& folder = bench::GeneratedFolder(scale).folder;
    CMarketData& market = BenchSession().Market();
    for (const CMarketFileLoad& load :
         {LoadOptionFile(true, folder, market), LoadOptionFile(false, folder, market),
          LoadCompanyNamesFile(folder, market), LoadTop20File(folder, market)}) {
        if (load.problem) {
            std::fprintf(stderr, "%s\n", load.problem->c_str());
        }
    }
    loaded = scale;
}

// Every company, every expiry, old trades kept: the largest Call Report of the market.
void WholeMarketSettings() {
    CReportSettings& settings = BenchSession().ReportSettings(ReportKind::Call);
    settings.Reset();
    settings.SetExpire(CReportSettings::AllMonths);
    settings.SetRemoveOld(CReportSettings::kRemoveOldOff);
}

std::unique_ptr<CReportView> ShownView() {
    auto view = std::make_unique<CReportView>(BenchSession(), ReportKind::Call);
    view->SetClock([] { return kNow; });
    view->resize(kWindowWidth, kWindowHeight);
    view->show();
    return view;
}

// Runs the event loop until the view has nothing left to do, not even freeing the blocks
// of the build before.
void RunUntilIdle(const CReportView& view) {
    while (view.IsWorkPending()) {
        QCoreApplication::processEvents();
    }
}

double Milliseconds(std::chrono::nanoseconds duration) {
    return std::chrono::duration<double, std::milli>(duration).count();
}

// The core's build of the report the window shows, the fastest of a few.
double CoreBuildMilliseconds() {
    double fastest = 0;
    for (int i = 0; i < 5; ++i) {
        QElapsedTimer clock;
        clock.start();
        benchmark::DoNotOptimize(BuildReport(ReportKind::Call,
                                             BenchSession().ReportSettings(ReportKind::Call),
                                             *BenchSession().Market().Current(), kNow));
        const double spent = static_cast<double>(clock.nsecsElapsed()) / 1e6;
        fastest = i == 0 ? spent : std::min(fastest, spent);
    }
    return fastest;
}

void BM_RefreshToLastBlock(benchmark::State& state) {
    LoadMarket(static_cast<int>(state.range(0)));
    WholeMarketSettings();
    const std::unique_ptr<CReportView> view = ShownView();
    RunUntilIdle(*view);
    const double coreBuild = CoreBuildMilliseconds();
    double longestSlice = 0;
    double refreshCall = 0;
    double slowest = 0;
    int slices = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        view->RefreshView();
        refreshCall = std::max(refreshCall, static_cast<double>(clock.nsecsElapsed()) / 1e6);
        while (view->IsBusy()) {
            QCoreApplication::processEvents();
        }
        // Laid out and painted: the blocks in view are drawn.
        view->repaint();
        const double spent = static_cast<double>(clock.nsecsElapsed()) / 1e6;
        slowest = std::max(slowest, spent);
        state.SetIterationTime(spent / 1e3);
        // The blocks of the previous build are freed after this one is shown; their
        // slices count towards the longest one too.
        RunUntilIdle(*view);
        longestSlice = std::max(longestSlice, Milliseconds(view->SliceStatistics().longest));
        slices = view->SliceStatistics().slices;
    }
    // Rows of the whole report, made blocks or not.
    int rows = 0;
    for (const CReportBlock& block : view->Report().blocks) {
        rows += static_cast<int>(block.series.size());
    }
    state.counters["blocks"] = view->BlockCount();
    state.counters["made_blocks"] = view->MadeTableCount();
    state.counters["core_build_ms"] = coreBuild;
    state.counters["slowest_ms"] = slowest;
    state.counters["ratio_to_core"] = slowest / coreBuild;
    state.counters["rows"] = rows;
    state.counters["slices"] = slices;
    state.counters["longest_slice_ms"] = longestSlice;
    state.counters["refresh_call_ms"] = refreshCall;
    state.counters["stack_px"] = view->StackHeight();
}
BENCHMARK(BM_RefreshToLastBlock)
    ->Arg(1)
    ->Arg(10)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5);

// The part of a refresh that cannot be cut into slices: the snapshot of the market with
// the companies and series selected and ordered.
void BM_Snapshot(benchmark::State& state) {
    LoadMarket(static_cast<int>(state.range(0)));
    WholeMarketSettings();
    for (auto _ : state) {
        benchmark::DoNotOptimize(BuildReport(ReportKind::Call,
                                             BenchSession().ReportSettings(ReportKind::Call),
                                             *BenchSession().Market().Current(), kNow));
    }
}
BENCHMARK(BM_Snapshot)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);

// One screen painted after each page-down, through the whole report and round again.
void BM_ScrollOneScreen(benchmark::State& state) {
    LoadMarket(static_cast<int>(state.range(0)));
    WholeMarketSettings();
    const std::unique_ptr<CReportView> view = ShownView();
    RunUntilIdle(*view);
    const int page = view->viewport()->height();
    const int end = view->verticalScrollBar()->maximum();
    int position = 0;
    int shown = 0;
    // The worst page: the first pass down makes the blocks that come near.
    double slowest = 0;
    for (auto _ : state) {
        QElapsedTimer clock;
        clock.start();
        position = position >= end ? 0 : position + page;
        view->ScrollTo(position);
        view->viewport()->repaint();
        slowest = std::max(slowest, static_cast<double>(clock.nsecsElapsed()) / 1e6);
        state.PauseTiming();
        shown = 0;
        for (int i = 0; i < view->BlockCount(); ++i) {
            const CReportBlockTable* block = view->MadeBlock(i);
            shown += block != nullptr && block->isVisible() ? 1 : 0;
        }
        state.ResumeTiming();
    }
    state.counters["shown_blocks"] = shown;
    state.counters["slowest_ms"] = slowest;
    state.counters["blocks"] = view->BlockCount();
}
BENCHMARK(BM_ScrollOneScreen)->Arg(1)->Arg(10)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace strikeline

int main(int argc, char** argv) {
    // Real widgets and fonts, no screen needed.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
