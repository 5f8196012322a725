// How promptly the Risk Analysis window answers while a heavy run works: 100,000 iterations of
// the typical uncertainties of the heavily queued project, with the event loop's longest wait
// between two turns as the counter longest_gap_ms (a person notices about 50 ms). Offscreen
// unless a display platform is named.

#include "risk/TypicalUncertainties.h"
#include "views/RiskAnalysisWindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QPushButton>
#include <QTimer>
#include <benchmark/benchmark.h>

namespace {

void WindowDuringARun(benchmark::State& state) {
    velmora::ProjectData project;
    project.aadt = 30000.0;
    project.laneCount = 4.0;
    velmora::risk::RiskDefinitions d = velmora::risk::TypicalUncertainties(project);
    d.iterations = 100000;
    project.riskDefinitions = velmora::risk::RiskDefinitionsText(d);
    qint64 longest = 0;
    for (auto _ : state) {
        velmora::RiskAnalysisWindow window(project);
        window.show();
        QElapsedTimer clock;
        qint64 last = 0;
        QTimer turn;
        turn.setInterval(0);
        QObject::connect(&turn, &QTimer::timeout, [&] {
            const qint64 now = clock.elapsed();
            longest = std::max(longest, now - last);
            last = now;
        });
        QEventLoop loop;
        QObject::connect(&window, &velmora::RiskAnalysisWindow::runFinished, &loop,
                         &QEventLoop::quit);
        static_cast<QPushButton*>(window.Control(velmora::RiskAnalysisWindow::kRun))->click();
        clock.start();
        turn.start();
        loop.exec();
    }
    state.counters["longest_gap_ms"] = static_cast<double>(longest);
}

BENCHMARK(WindowDuringARun)->Unit(benchmark::kMillisecond)->Iterations(3)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
