#pragma once

// What the benchmarks of windows share: painting on demand and a main on Qt's offscreen
// platform.
#include <QApplication>
#include <QImage>
#include <QWidget>

#include <benchmark/benchmark.h>

#include <cstdlib>

namespace bench_support {

// Paints a widget now, as the screen would show it (offscreen, repaint() may paint nothing).
inline void paintNow(QWidget* widget) {
    static QImage target;
    if (target.size() != widget->size())
        target = QImage(widget->size(), QImage::Format_ARGB32_Premultiplied);
    widget->render(&target);
}

// Runs the registered benchmarks with a QApplication on the offscreen platform.
inline int runWithQt(int argc, char** argv) {
    ::setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace bench_support
