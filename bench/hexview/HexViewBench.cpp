// Figures for the hex view on the largest buffer the program holds (65 MiB: the largest chip, 64 MiB,
// and 1 MiB more).
#include "buffer/edit/EditBuffer.h"
#include "ui/hexview/HexView.h"

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QPainter>

#include <benchmark/benchmark.h>

#include <random>
#include <vector>

namespace {
constexpr std::size_t kLargest = 68'157'440;

const std::vector<std::uint8_t>& dump()
{
    static const std::vector<std::uint8_t> bytes = [] {
        std::vector<std::uint8_t> b(kLargest);
        std::mt19937 random(7);
        for (auto& x : b) x = std::uint8_t(random());
        return b;
    }();
    return bytes;
}

QApplication& app()
{
    static int argc = 1;
    static char name[] = "hexview_bench";
    static char* argv[] = {name, nullptr};
    static QApplication application(argc, argv);
    return application;
}

void BM_LoadModel(benchmark::State& state)
{
    EditBuffer buffer;
    for (auto _ : state) buffer.load(dump());
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(kLargest));
}
BENCHMARK(BM_LoadModel)->Unit(benchmark::kMillisecond);

void BM_LoadView(benchmark::State& state)
{
    app();
    HexView view;
    view.resize(760, 600);
    for (auto _ : state) view.load(dump());
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(kLargest));
}
BENCHMARK(BM_LoadView)->Unit(benchmark::kMillisecond);

// One full screen (36 rows) at the end of the buffer, with a selection and a few changed bytes.
void BM_PaintLastScreen(benchmark::State& state)
{
    app();
    HexView view;
    view.resize(760, 600);
    view.load(dump());
    view.setSelection(kLargest - 200, kLargest - 150);
    view.setSelection(kLargest - 1, kLargest - 1);
    for (const char* key : {"1", "2", "3", "4"}) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_1, Qt::NoModifier, QString::fromLatin1(key));
        QApplication::sendEvent(&view, &press);
    }
    view.setSelection(kLargest - 200, kLargest - 150);
    QImage image(view.viewport()->size(), QImage::Format_RGB32);
    for (auto _ : state) {
        view.viewport()->render(&image);
        benchmark::DoNotOptimize(image.bits());
    }
}
BENCHMARK(BM_PaintLastScreen)->Unit(benchmark::kMillisecond);

void BM_TypeOneDigit(benchmark::State& state)
{
    app();
    HexView view;
    view.resize(760, 600);
    view.load(dump());
    view.setSelection(kLargest / 2, kLargest / 2);
    for (auto _ : state) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QApplication::sendEvent(&view, &press);
        if (view.caretOffset() + 1 >= kLargest) view.setSelection(0, 0);
    }
}
BENCHMARK(BM_TypeOneDigit)->Unit(benchmark::kMicrosecond);

// A pattern that occurs nowhere, so every search runs through the whole buffer.
void BM_FindAcross(benchmark::State& state)
{
    EditBuffer buffer;
    std::vector<std::uint8_t> data(kLargest, 0xFF);
    buffer.load(data);
    const std::uint8_t pattern[] = {'V', 'e', 's', 'p', 'e', 'r', 'a'};
    const bool ignoreCase = state.range(0) != 0;
    for (auto _ : state) benchmark::DoNotOptimize(buffer.find(pattern, 0, kLargest - 1, ignoreCase));
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(kLargest));
}
BENCHMARK(BM_FindAcross)->Arg(0)->Arg(1)->ArgName("ignoreCase")->Unit(benchmark::kMillisecond);

void BM_FindAcrossRandom(benchmark::State& state)
{
    EditBuffer buffer;
    buffer.load(dump());
    const std::uint8_t pattern[] = {'V', 'e', 's', 'p', 'e', 'r', 'a'};
    for (auto _ : state) benchmark::DoNotOptimize(buffer.find(pattern, 0, kLargest - 1, false));
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(kLargest));
}
BENCHMARK(BM_FindAcrossRandom)->Unit(benchmark::kMillisecond);
} // namespace
