#pragma once
// The main of every benchmark program: the registered benchmarks run inside a Qt application
// (with widgets offscreen, with the window shown on a private X server, core-only pointed at the
// private sound server, or none), and each figure is held to its budget. The program exits
// non-zero when a figure misses its budget or a benchmark fails, so `make bench` fails on a
// regression.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <QApplication>
#include <QCoreApplication>
#include <cstdio>
#include <cstdlib>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

#include "support/app_fixture.h"
#include "support/audio_server.h"
#include "support/child_process.h"

enum class BenchApp {
    Widgets,  // widgets drawn offscreen
    Shown,    // widgets shown on a private X server (Xvfb), pointed at the private sound server
    Sound,    // no widgets, pointed at the private sound server
    Plain,    // no application object
};

// A figure the benchmarks must meet: in every run whose name starts with `run`, the counter
// `figure` (or with "time", the time of one iteration in the run's unit) is at most the limit,
// or at least it for AtLeast.
struct Budget {
    const char* run;
    const char* figure;
    double limit;
    enum Bound { AtMost, AtLeast } bound = AtMost;
};

// Prints the results as usual and notes every run that failed or missed a budget.
class BudgetReporter : public benchmark::ConsoleReporter {
  public:
    explicit BudgetReporter(std::vector<Budget> budgets)
        : ConsoleReporter(isatty(STDOUT_FILENO) ? OO_Defaults : OO_Tabular),
          budgets_(std::move(budgets)) {}
    bool failed() const { return failed_; }

    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& run : runs) check(run);
    }

  private:
    void check(const Run& run) {
        const std::string name = run.benchmark_name();
        if (run.error_occurred) {
            std::fprintf(stderr, "FAILED: %s: %s\n", name.c_str(), run.error_message.c_str());
            failed_ = true;
            return;
        }
        if (run.run_type != Run::RT_Iteration) return;
        for (const Budget& b : budgets_) {
            if (name.rfind(b.run, 0) != 0) continue;
            double value = 0;
            if (std::string(b.figure) == "time") {
                value = run.GetAdjustedRealTime();
            } else {
                const auto c = run.counters.find(b.figure);
                if (c == run.counters.end()) {
                    std::fprintf(stderr, "FAILED: %s reports no %s\n", name.c_str(), b.figure);
                    failed_ = true;
                    continue;
                }
                value = c->second.value;
            }
            const bool met = b.bound == Budget::AtMost ? value <= b.limit : value >= b.limit;
            if (met) continue;
            std::fprintf(stderr, "OVER BUDGET: %s %s = %g (budget: %s %g)\n", name.c_str(),
                         b.figure, value, b.bound == Budget::AtMost ? "at most" : "at least",
                         b.limit);
            failed_ = true;
        }
    }

    std::vector<Budget> budgets_;
    bool failed_ = false;
};

// A private X server for the lifetime of the program, on the first free display.
class PrivateXServer {
  public:
    // Empty when it could not start.
    QString start() {
        if (!server_.start(
                QStringLiteral("Xvfb"),
                {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                 QStringLiteral("0"), QStringLiteral("1280x800x24"), QStringLiteral("-nolisten"),
                 QStringLiteral("tcp")}))
            return {};
        for (int i = 0; i < 500; ++i) {
            const QByteArray out = server_.readAllStandardOutput();
            if (out.endsWith('\n')) return QStringLiteral(":") + QString::fromLatin1(out.trimmed());
            if (server_.waitForFinished(10)) return {};
        }
        return {};
    }
    ~PrivateXServer() { server_.terminate(); }

  private:
    testsupport::ChildProcess server_;
};

inline int runBenchmarks(int argc, char** argv, BenchApp kind, std::vector<Budget> budgets) {
    std::unique_ptr<PrivateXServer> x;
    if (kind == BenchApp::Shown) {
        x = std::make_unique<PrivateXServer>();
        const QString display = x->start();
        if (display.isEmpty()) {
            std::fprintf(stderr, "FAILED: no private X server (Xvfb) could start\n");
            return 1;
        }
        setenv("DISPLAY", display.toLatin1().constData(), 1);
        setenv("QT_QPA_PLATFORM", "xcb", 1);
    }
    std::unique_ptr<QCoreApplication> app;
    if (kind == BenchApp::Widgets) setenv("QT_QPA_PLATFORM", "offscreen", 0);
    if (kind == BenchApp::Shown || kind == BenchApp::Sound) testsupport::pointAtAudioServer();
    if (kind == BenchApp::Widgets || kind == BenchApp::Shown) {
        app = std::make_unique<QApplication>(argc, argv);
    } else if (kind == BenchApp::Sound) {
        app = std::make_unique<QCoreApplication>(argc, argv);
    }
    benchmark::Initialize(&argc, argv);
    BudgetReporter reporter(std::move(budgets));
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    testsupport::discardWindow(MainWindow::existing());
    return reporter.failed() ? 1 : 0;
}

// The program's main, with the budgets its figures must meet.
#define VONTALIX_BENCH_MAIN(kind, ...)                                            \
    int main(int argc, char** argv) {                                             \
        return runBenchmarks(argc, argv, kind, std::vector<Budget>{__VA_ARGS__}); \
    }
