// The Risk Analysis window's runs: on a worker thread, with progress, Cancel and the results.
#include "views/RiskAnalysisWindow.h"

#include "gui/FormNumbers.h"
#include "gui/MessageBox.h"
#include "risk/RiskMemory.h"
#include "views/RiskResultsView.h"
#include "views/RiskWindowCells.h"

#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QTimer>
#if defined(_WIN32)
#include <windows.h>
#else
#include <sys/resource.h>
#endif

namespace velmora {
namespace {

// Below the GUI thread, so that the window keeps its turns on a busy machine; on Linux the
// simulation's own threads inherit the priority.
void LowerThisThreadsPriority() {
#if defined(_WIN32)
    ::SetThreadPriority(::GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL);
#else
    ::setpriority(PRIO_PROCESS, 0, 10);
#endif
}

} // namespace

using namespace riskwindow;

void RiskAnalysisWindow::SetRunning(bool running) {
    // The run works on its own copy of the definitions, so the page stays open to edits.
    run_->setEnabled(!running);
    cancelRun_->setEnabled(running);
    Control(kAccept)->setEnabled(!running);
    if (running) {
        ShowProgress(0, control_.iterationsPlanned);
        poll_->start();
    } else {
        poll_->stop();
    }
}

void RiskAnalysisWindow::Run() {
    if (Running()) return;
    if (!CommitEntries()) return;
    if (accepted_.inputs.empty()) {
        ShowMessage(this,
                    QStringLiteral("There is nothing uncertain to simulate: add inputs, or "
                                   "press Typical Uncertainties."),
                    QString::fromLatin1(kCaption), QMessageBox::Information);
        return;
    }
    if (const std::string shortfall = risk::MemoryShortfall(accepted_); !shortfall.empty()) {
        ShowMessage(this,
                    QString::fromStdString(shortfall) +
                        QStringLiteral(". Run fewer iterations, or stop at a precision."),
                    QString::fromLatin1(kCaption));
        return;
    }
    if (worker_.joinable()) worker_.join();
    runProject_ = project_;
    runProject_.riskDefinitions = risk::RiskDefinitionsText(accepted_);
    control_.cancel = false;
    abandoned_ = false;
    control_.iterationsDone = 0;
    control_.iterationsPlanned = accepted_.MostIterations();
    finished_ = false;
    SetRunning(true);
    running_.reset();
    worker_ = std::jthread([this, project = runProject_, d = accepted_] {
        LowerThisThreadsPriority();
        auto analysis = std::make_shared<risk::RiskAnalysis>();
        // A run too large for the memory left must not end the program: the window says so
        // and keeps the results it shows.
        try {
            *analysis = risk::RunRiskAnalysis(project, d, {0, &control_});
        } catch (const std::bad_alloc&) {
            analysis->error = "The risk analysis ran out of memory. Run fewer iterations, or "
                              "stop at a precision.";
        } catch (const std::exception& e) {
            analysis->error = std::string("The risk analysis stopped: ") + e.what();
        }
        QMetaObject::invokeMethod(
            this, [this, analysis] { running_ = analysis, Finish(); }, Qt::QueuedConnection);
    });
}

void RiskAnalysisWindow::CancelRun() {
    control_.cancel = true;
    if (!Running() || abandoned_) return;
    // The window is done with the run at once; its threads notice the request between blocks
    // of work (drawing the samples of ten million iterations is one such block) and what they
    // return is dropped. Run waits for them.
    abandoned_ = true;
    poll_->stop();
    ShowProgress(0, 0);
    cancelRun_->setEnabled(false);
    emit runFinished();
}

void RiskAnalysisWindow::Finish() {
    finished_ = true;
    if (worker_.joinable()) worker_.join();
    SetRunning(false);
    std::shared_ptr<risk::RiskAnalysis> a = std::move(running_);
    if (std::exchange(abandoned_, false)) return;
    if (a->cancelled) {
        ShowProgress(0, 0);
    } else if (!a->error.empty()) {
        ShowMessage(this, QString::fromStdString(a->error), QString::fromLatin1(kCaption));
    } else if (a->iterations == a->refusedIterations && !a->refusals.empty()) {
        // Nothing to describe: every iteration stopped where Compute Costs would.
        const Refusal& refusal = a->refusals.front().refusal;
        ShowMessage(this, QString::fromStdString(refusal.text),
                    QString::fromStdString(refusal.caption));
    } else {
        // A run that stopped at its precision ran fewer iterations than it might have.
        ShowProgress(a->iterations, a->iterations,
                     !a->definitions.precision ? QString()
                     : a->precisionReached     ? QStringLiteral(", precision reached")
                                               : QStringLiteral(", precision not reached"));
        results_ = RiskResults{std::move(a), runProject_};
        ShowResults();
    }
    emit runFinished();
}

void RiskAnalysisWindow::ShowProgress(std::int64_t done, std::int64_t planned, const QString& end) {
    progress_->setTextVisible(planned > 0);
    // The bar counts in thousands past two billion iterations' worth of int.
    const int scale = planned > 1000000000 ? 1000 : 1;
    progress_->setMaximum(int(std::max<std::int64_t>(1, planned / scale)));
    progress_->setValue(int(std::min(done, planned) / scale));
    progress_->setFormat(QStringLiteral("%1 of %2 iterations%3")
                             .arg(GroupedNumber(done), GroupedNumber(planned), end));
}

void RiskAnalysisWindow::ShowResults() {
    resultsView_ = new RiskResultsView(*results_->analysis);
    resultsPage_->setWidget(resultsView_);
    pages_->setTabEnabled(1, true);
    pages_->setCurrentIndex(1);
    MarkResults();
}

void RiskAnalysisWindow::MarkResults() {
    if (resultsView_ && results_)
        resultsView_->SetOutOfDate(risk::RiskDefinitionsText(accepted_) !=
                                   results_->project.riskDefinitions);
}

} // namespace velmora
