#pragma once

// Times paints of one widget into a picture of its size (Google Benchmark). `beforeEach` runs ahead of every
// timed paint (to change the look, or to drop caches); without it one untimed paint warms the caches first.

#include <QImage>
#include <QWidget>

#include <benchmark/benchmark.h>

#include <functional>

inline void TimeRenders(benchmark::State& state, QWidget& widget,
                        const std::function<void()>& beforeEach = {})
{
    QImage image(widget.size(), QImage::Format_ARGB32_Premultiplied);
    if (!beforeEach)
        widget.render(&image);
    for (auto _ : state) {
        if (beforeEach)
            beforeEach();
        widget.render(&image);
        benchmark::DoNotOptimize(image.constBits());
    }
}
