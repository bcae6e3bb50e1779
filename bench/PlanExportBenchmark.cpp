// What the plan's exports cost for a plan far larger than users keep (a few dozen rows):
// building the texts in display order, and each writer with its file.

#include "plan/PlanCsvWriter.h"
#include "plan/PlanDocxWriter.h"
#include "plan/PlanHtmlWriter.h"
#include "plan/PlanXlsxWriter.h"
#include "storage/ColorScheme.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace strikeline {
namespace {

CTradingPlan GeneratedPlan(int rows) {
    CTradingPlan plan;
    for (int i = 0; i < rows; ++i) {
        CTradingPlanEntry e;
        e.m_SourceType = i % 3 == 0 ? TYPE_BUY_CALL : TYPE_SELL_CALL;
        e.m_CompanyID = "C" + std::to_string(i % 40);
        e.m_ContractID = e.m_CompanyID + "X" + std::to_string(i);
        e.m_RecordDate = FileTimeFromUnix(1271136600);
        e.m_DateExpiry = FileTimeFromUnix(1277337600);
        e.m_Shares = 1000.0 + i;
        e.m_ContractSize = 1000;
        e.m_SharePrice = 10.0 + i % 7;
        e.m_Brokerage = 50;
        e.m_StrikePrice = 11;
        e.m_Premium = 0.5;
        e.m_NEBrokerage = 0;
        e.m_EBrokerage = 60;
        e.SetCellColour("NEProfit", i % 5);
        plan.Append(e);
    }
    return plan;
}

std::string OutputPath(const char* name) {
    return (std::filesystem::temp_directory_path() / name).string();
}

void BM_PlanExportContent(benchmark::State& state) {
    const CTradingPlan plan = GeneratedPlan(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        benchmark::DoNotOptimize(BuildPlanExport(plan, FileTimeFromUnix(1271178309)));
    }
}
BENCHMARK(BM_PlanExportContent)->Arg(50)->Arg(1000)->Unit(benchmark::kMicrosecond);

template <typename Write> void RunWriter(benchmark::State& state, const char* name, Write write) {
    const CPlanExport content =
        BuildPlanExport(GeneratedPlan(static_cast<int>(state.range(0))), FileTimeFromUnix(0));
    const std::string path = OutputPath(name);
    std::string error;
    for (auto _ : state) {
        if (!write(content, path, error)) {
            state.SkipWithError(error.c_str());
            break;
        }
    }
    std::error_code ignored;
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path, ignored));
    std::filesystem::remove(path, ignored);
}

void BM_PlanCsv(benchmark::State& state) {
    RunWriter(state, "strikeline-bench.csv", WritePlanCsv);
}
void BM_PlanHtml(benchmark::State& state) {
    const CColorScheme scheme;
    RunWriter(state, "strikeline-bench.html",
              [&scheme](const CPlanExport& content, const std::string& path, std::string& error) {
                  return WritePlanHtml(content, scheme, path, error);
              });
}
void BM_PlanXlsx(benchmark::State& state) {
    RunWriter(state, "strikeline-bench.xlsx", WritePlanXlsx);
}
void BM_PlanDocx(benchmark::State& state) {
    RunWriter(state, "strikeline-bench.docx", WritePlanDocx);
}
BENCHMARK(BM_PlanCsv)->Arg(50)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlanHtml)->Arg(50)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlanXlsx)->Arg(50)->Arg(1000)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_PlanDocx)->Arg(50)->Arg(1000)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace strikeline
