// Figures for the hex view on the largest buffer the program holds (33 MiB).
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
constexpr std::size_t k33MiB = 34'603'008;

const std::vector<std::uint8_t>& dump()
{
    static const std::vector<std::uint8_t> bytes = [] {
        std::vector<std::uint8_t> b(k33MiB);
        std::mt19937 random(7);
        for (auto& x : b)
            x = std::uint8_t(random());
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
    for (auto _ : state)
        buffer.load(dump());
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(k33MiB));
}
BENCHMARK(BM_LoadModel)->Unit(benchmark::kMillisecond);

void BM_LoadView(benchmark::State& state)
{
    app();
    HexView view;
    view.resize(760, 600);
    for (auto _ : state)
        view.load(dump());
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(k33MiB));
}
BENCHMARK(BM_LoadView)->Unit(benchmark::kMillisecond);

// One full screen (36 rows) at the end of the buffer, with a selection and a few changed bytes.
void BM_PaintLastScreen(benchmark::State& state)
{
    app();
    HexView view;
    view.resize(760, 600);
    view.load(dump());
    view.setSelection(k33MiB - 200, k33MiB - 150);
    view.setSelection(k33MiB - 1, k33MiB - 1);
    for (const char* key : {"1", "2", "3", "4"}) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_1, Qt::NoModifier, QString::fromLatin1(key));
        QApplication::sendEvent(&view, &press);
    }
    view.setSelection(k33MiB - 200, k33MiB - 150);
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
    view.setSelection(k33MiB / 2, k33MiB / 2);
    for (auto _ : state) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QApplication::sendEvent(&view, &press);
        if (view.caretOffset() + 1 >= k33MiB)
            view.setSelection(0, 0);
    }
}
BENCHMARK(BM_TypeOneDigit)->Unit(benchmark::kMicrosecond);

// A pattern that occurs nowhere, so every search runs through all 33 MiB.
void BM_FindAcross(benchmark::State& state)
{
    EditBuffer buffer;
    std::vector<std::uint8_t> data(k33MiB, 0xFF);
    buffer.load(data);
    const std::uint8_t pattern[] = {'V', 'e', 's', 'p', 'e', 'r', 'a'};
    const bool ignoreCase = state.range(0) != 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(buffer.find(pattern, 0, k33MiB - 1, ignoreCase));
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(k33MiB));
}
BENCHMARK(BM_FindAcross)->Arg(0)->Arg(1)->ArgName("ignoreCase")->Unit(benchmark::kMillisecond);

void BM_FindAcrossRandom(benchmark::State& state)
{
    EditBuffer buffer;
    buffer.load(dump());
    const std::uint8_t pattern[] = {'V', 'e', 's', 'p', 'e', 'r', 'a'};
    for (auto _ : state)
        benchmark::DoNotOptimize(buffer.find(pattern, 0, k33MiB - 1, false));
    state.SetBytesProcessed(std::int64_t(state.iterations()) * std::int64_t(k33MiB));
}
BENCHMARK(BM_FindAcrossRandom)->Unit(benchmark::kMillisecond);
} // namespace
