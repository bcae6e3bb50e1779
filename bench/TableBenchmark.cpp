// What the table control costs at report size: building 10,000 rows of about twelve cells,
// laying them out for a width (what every resize does) and painting one screen of them,
// with the texts stored in the cells and with figures formatted by the text hook.

#include "gui/widgets/ComplexTableWnd.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

namespace strikeline {
namespace {

constexpr int kRows = 10000;
constexpr int kScreenWidth = 1200;
constexpr int kScreenHeight = 800;
constexpr Color kBorderGrey = 0x999999;

// A report's figures are formatted by the hook whenever a cell is measured or drawn.
class CFigureTable : public CComplexTableWnd {
public:
    QString GetCellText(int row, int column) override {
        return QString::number(row * 0.01 + column, 'f', 2);
    }
};

// Report-shaped rows: a company header of ten cells over eleven series rows of twelve.
void BuildRows(CComplexTableWnd& table, bool textFromHook) {
    static const QString kHeaderTexts[] = {
        QStringLiteral("BHP"),           QStringLiteral("BHP Group Limited"),
        QStringLiteral("Last 45.10"),    QStringLiteral("Change +0.35"),
        QStringLiteral("Bid 45.08"),     QStringLiteral("Offer 45.12"),
        QStringLiteral("Volume 12345"),  QStringLiteral("P/E 11.2"),
        QStringLiteral("Dividend 1.20"), QStringLiteral("Top 20")};
    for (int r = 0; r < kRows; ++r) {
        const bool header = r % 12 == 0;
        const int cells = header ? 10 : 12;
        const int row = table.AddRow();
        table.ReserveCells(row, cells);
        for (int c = 0; c < cells; ++c) {
            const QString text = header ? kHeaderTexts[c] : QString::number(r + c * 0.25, 'f', 2);
            const Color background = header ? 0xAAAAAA : (c == 2 ? 0x00FFFF : 0xFFFFFF);
            table.AddCell(row, text, cells, 1, background, 0, !header, c == 5);
            table.SetBorders(row, c, 0, 1, 0, 1, kBorderGrey);
            if (textFromHook && !header) {
                table.SetTextFromHook(row, c, true);
            }
        }
    }
}

void BM_BuildRows(benchmark::State& state) {
    for (auto _ : state) {
        CComplexTableWnd table;
        BuildRows(table, false);
        benchmark::DoNotOptimize(table.RowCount());
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}
BENCHMARK(BM_BuildRows)->Unit(benchmark::kMillisecond);

template <typename Table> void Layout(benchmark::State& state, bool textFromHook) {
    Table table;
    BuildRows(table, textFromHook);
    int width = kScreenWidth;
    for (auto _ : state) {
        // A window being dragged wider: every layout is for a new width.
        width = width == kScreenWidth ? kScreenWidth + 7 : kScreenWidth;
        benchmark::DoNotOptimize(table.TotalHeight(width));
    }
    state.SetItemsProcessed(state.iterations() * kRows);
}

void BM_Layout(benchmark::State& state) {
    Layout<CComplexTableWnd>(state, false);
}
BENCHMARK(BM_Layout)->Unit(benchmark::kMillisecond);

void BM_LayoutHookText(benchmark::State& state) {
    Layout<CFigureTable>(state, true);
}
BENCHMARK(BM_LayoutHookText)->Unit(benchmark::kMillisecond);

// One screen of the table, starting at row `state.range(0)`, into an image as a window's
// backing store would receive it.
template <typename Table> void PaintScreen(benchmark::State& state, bool textFromHook) {
    Table table;
    BuildRows(table, textFromHook);
    table.resize(kScreenWidth, table.TotalHeight(kScreenWidth));
    const int top = table.CellRect(static_cast<int>(state.range(0)), 0).top();
    const QRect region(0, top, kScreenWidth, kScreenHeight);
    QImage image(kScreenWidth, kScreenHeight, QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        QPainter painter(&image);
        painter.translate(0, -top);
        table.Paint(painter, region);
    }
    state.counters["rows"] = kScreenHeight / std::max(table.RowHeight(1), 1);
}

void BM_PaintScreen(benchmark::State& state) {
    PaintScreen<CComplexTableWnd>(state, false);
}
BENCHMARK(BM_PaintScreen)->Arg(0)->Arg(kRows / 2)->Unit(benchmark::kMillisecond);

void BM_PaintScreenHookText(benchmark::State& state) {
    PaintScreen<CFigureTable>(state, true);
}
BENCHMARK(BM_PaintScreenHookText)->Arg(0)->Arg(kRows / 2)->Unit(benchmark::kMillisecond);

} // namespace
} // namespace strikeline

int main(int argc, char** argv) {
    // Fonts need an application, and a benchmark needs no screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
