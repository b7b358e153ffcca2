#pragma once
// The main of every benchmark program: the registered benchmarks run inside a Qt application,
// either with widgets (offscreen unless a display is chosen) or core-only and pointed at the
// private sound server.

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QCoreApplication>
#include <cstdlib>
#include <memory>

#include "shell/window1.h"
#include "support/audio_server.h"

enum class BenchApp { Widgets, Sound };

inline int runBenchmarks(int argc, char** argv, BenchApp kind) {
    std::unique_ptr<QCoreApplication> app;
    if (kind == BenchApp::Widgets) {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        app = std::make_unique<QApplication>(argc, argv);
    } else {
        testsupport::pointAtAudioServer();
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (Window1* w = Window1::existing()) {
        w->xquit = 1;  // no save prompt on the way out
        delete w;
    }
    return 0;
}

#define VONTALIX_BENCH_MAIN(kind) \
    int main(int argc, char** argv) { return runBenchmarks(argc, argv, kind); }
