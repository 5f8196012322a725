#include "views/RiskAnalysisWindow.h"

#include "forms/FormLayout.h"
#include "forms/InputLabels.h"
#include "gui/FormNumbers.h"
#include "gui/Help.h"
#include "gui/MessageBox.h"
#include "gui/WindowGeometry.h"
#include "model/SavedFields.h"
#include "risk/RiskDefinitionsCheck.h"
#include "views/RiskCellDelegate.h"
#include "views/RiskCorrelationsModel.h"
#include "views/RiskResultsView.h"
#include "views/RiskWindowCells.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QTabWidget>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>

namespace velmora {

using namespace riskwindow;

namespace {

// A table of the window: rows selected whole, cells edited through the delegate, and an editor
// opened by a double click, F2 or typing only.
QTableView* NewTable(QAbstractItemModel* model) {
    auto* table = new QTableView;
    table->setModel(model);
    table->setItemDelegate(new RiskCellDelegate(table));
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::SelectedClicked |
                           QAbstractItemView::EditKeyPressed | QAbstractItemView::AnyKeyPressed);
    table->setTabKeyNavigation(false);
    table->setWordWrap(false);
    table->setTextElideMode(Qt::ElideMiddle);
    table->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    return table;
}

QPushButton* ButtonOf(const QString& text) {
    auto* button = new QPushButton(text);
    button->setAutoDefault(false);
    return button;
}

// A table under its title, with its buttons below: `left` from the left edge, `right` at the
// right one.
QGroupBox* TableBox(const QString& title, QTableView* table, std::initializer_list<QWidget*> left,
                    QWidget* right = nullptr) {
    auto* buttons = new QHBoxLayout;
    for (QWidget* button : left) buttons->addWidget(button);
    buttons->addStretch();
    if (right) buttons->addWidget(right);
    auto* box = new QGroupBox(title);
    auto* layout = new QVBoxLayout(box);
    layout->addWidget(table);
    layout->addLayout(buttons);
    return box;
}

} // namespace

RiskAnalysisWindow::RiskAnalysisWindow(const ProjectData& project, QWidget* parent,
                                       const RiskResults* last)
    : QDialog(parent), project_(project) {
    setWindowTitle(QString::fromLatin1(kCaption));
    SetHelpContext(this, 0, {});
    InstallHelpKeys(this, QStringLiteral("risk-analysis"));

    // An edit of a table's row is kept when the definitions with it pass the check; an entry
    // that does not read is refused at its cell.
    const auto edited = [this](auto rows, QTableView* const* table) {
        return [this, rows, table](int row, int column, const auto& value) {
            RiskDefinitions d = accepted_;
            (d.*rows)[std::size_t(row)] = value;
            return Keep(d, *table, row, column);
        };
    };
    const auto refused = [this](QTableView* const* table) {
        return [this, table](int row, int column, const QString& message) {
            Refuse(message, *table, row, column);
        };
    };
    inputsModel_ = new RiskInputsModel(project_, edited(&RiskDefinitions::inputs, &inputs_),
                                       refused(&inputs_), this);
    pairsModel_ = new RiskCorrelationsModel(edited(&RiskDefinitions::correlations, &correlations_),
                                            refused(&correlations_), this);
    inputs_ = NewTable(inputsModel_);
    // Numbers take the room "123456.78" needs; the labels take the rest, and at least enough to
    // tell the inputs apart (FitInputColumn).
    const int number = inputs_->fontMetrics().horizontalAdvance(QStringLiteral("123456.78")) + 12;
    for (int column = Value; column < kColumns; ++column) {
        inputs_->horizontalHeader()->setSectionResizeMode(column, QHeaderView::Interactive);
        inputs_->setColumnWidth(
            column, std::max(number, inputs_->horizontalHeader()->sectionSizeHint(column)));
    }
    inputs_->horizontalHeader()->setSectionResizeMode(Relative, QHeaderView::ResizeToContents);
    inputs_->setColumnWidth(Kind, number + 16);
    inputs_->setColumnWidth(Curve, number * 3 / 4);
    inputs_->horizontalHeader()->setSectionResizeMode(Input, QHeaderView::Interactive);
    // A label takes two lines before it is shortened in its middle.
    inputs_->setWordWrap(true);
    inputs_->verticalHeader()->setDefaultSectionSize(2 * inputs_->fontMetrics().lineSpacing() + 8);
    inputs_->viewport()->installEventFilter(this);
    auto* add = ButtonOf(QStringLiteral("Add..."));
    auto* remove = ButtonOf(QStringLiteral("Remove"));
    auto* typical = ButtonOf(QStringLiteral("Typical Uncertainties"));
    QGroupBox* inputBox =
        TableBox(QStringLiteral("Uncertain inputs"), inputs_, {add, remove}, typical);

    iterations_ = new QLineEdit;
    usePrecision_ = new QCheckBox(QStringLiteral("Stop at a precision of"));
    precision_ = new QLineEdit;
    maxIterations_ = new QLineEdit;
    maxIterations_->setPlaceholderText(QStringLiteral("1000000"));
    seed_ = new QLineEdit;
    sampling_ = new QComboBox;
    sampling_->addItems({QStringLiteral("Latin hypercube"), QStringLiteral("Monte Carlo")});
    for (QLineEdit* e : {iterations_, precision_, maxIterations_, seed_})
        e->setFixedWidth(WidthFor(e, QStringLiteral("10000000000")));
    auto* settingsBox = new QGroupBox(QStringLiteral("Simulation"));
    auto* settings = new QGridLayout(settingsBox);
    AddRow(settings, 0, 0, QStringLiteral("Iterations:"), iterations_);
    settings->addWidget(usePrecision_, 1, 0);
    settings->addWidget(precision_, 1, 1);
    settings->addWidget(Label(QStringLiteral("$/mile")), 1, 2);
    AddRow(settings, 2, 0, QStringLiteral("Max iterations:"), maxIterations_);
    AddRow(settings, 3, 0, QStringLiteral("Seed:"), seed_);
    AddRow(settings, 4, 0, QStringLiteral("Sampling:"), sampling_);
    settings->setRowStretch(5, 1);

    correlations_ = NewTable(pairsModel_);
    correlations_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    correlations_->setWordWrap(true);
    correlations_->verticalHeader()->setDefaultSectionSize(
        inputs_->verticalHeader()->defaultSectionSize());
    correlations_->horizontalHeader()->setSectionResizeMode(RiskCorrelationsModel::Rank,
                                                            QHeaderView::ResizeToContents);
    auto* addPair = ButtonOf(QStringLiteral("Add Pair"));
    auto* removePair = ButtonOf(QStringLiteral("Remove Pair"));
    QGroupBox* correlationBox =
        TableBox(QStringLiteral("Correlations"), correlations_, {addPair, removePair});

    auto* lower = new QHBoxLayout;
    lower->addWidget(settingsBox);
    lower->addWidget(correlationBox, 1);
    auto* definitions = new QWidget;
    auto* definitionsLayout = new QVBoxLayout(definitions);
    definitionsLayout->addWidget(inputBox, 3);
    definitionsLayout->addLayout(lower, 1);

    resultsPage_ = new QScrollArea;
    resultsPage_->setWidgetResizable(true);
    pages_ = new QTabWidget;
    // On a small screen the page scrolls rather than push the window past the screen's edge.
    auto* definitionsPage = new QScrollArea;
    definitionsPage->setWidgetResizable(true);
    definitionsPage->setFrameShape(QFrame::NoFrame);
    definitionsPage->setWidget(definitions);
    pages_->addTab(definitionsPage, QStringLiteral("Definitions"));
    pages_->addTab(resultsPage_, QStringLiteral("Results"));
    pages_->setTabEnabled(1, false);

    run_ = ButtonOf(QStringLiteral("Run"));
    cancelRun_ = ButtonOf(QStringLiteral("Cancel"));
    cancelRun_->setEnabled(false);
    progress_ = new QProgressBar;
    ShowProgress(0, 0);
    auto* accept = ButtonOf(QStringLiteral("Accept Changes"));
    accept->setDefault(true);
    auto* cancel = ButtonOf(QStringLiteral("Cancel Changes"));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(run_);
    buttons->addWidget(cancelRun_);
    buttons->addWidget(progress_, 1);
    buttons->addSpacing(24);
    buttons->addWidget(accept);
    buttons->addWidget(cancel);

    auto* window = new QVBoxLayout(this);
    window->addWidget(pages_, 1);
    window->addLayout(buttons);

    const std::pair<int, QWidget*> controls[] = {{kAccept, accept},
                                                 {kCancelChanges, cancel},
                                                 {kInputs, inputs_},
                                                 {kAdd, add},
                                                 {kRemove, remove},
                                                 {kTypical, typical},
                                                 {kIterations, iterations_},
                                                 {kUsePrecision, usePrecision_},
                                                 {kPrecision, precision_},
                                                 {kMaxIterations, maxIterations_},
                                                 {kSeed, seed_},
                                                 {kSampling, sampling_},
                                                 {kCorrelations, correlations_},
                                                 {kAddPair, addPair},
                                                 {kRemovePair, removePair},
                                                 {kRun, run_},
                                                 {kCancelRun, cancelRun_},
                                                 {kProgress, progress_},
                                                 {kResults, resultsPage_}};
    for (const auto& [id, control] : controls) {
        control->setObjectName(QStringLiteral("control%1").arg(id));
        SetHelpContext(control, HelpContextId(kTemplate, id), Popup(id));
    }
    const QList<QWidget*> tabOrder{inputs_,       add,        remove,         typical, iterations_,
                                   usePrecision_, precision_, maxIterations_, seed_,   sampling_,
                                   correlations_, addPair,    removePair,     run_,    cancelRun_,
                                   accept,        cancel};
    for (qsizetype k = 1; k < tabOrder.size(); ++k) setTabOrder(tabOrder[k - 1], tabOrder[k]);

    connect(add, &QPushButton::clicked, this, &RiskAnalysisWindow::PickInputs);
    connect(remove, &QPushButton::clicked, this, &RiskAnalysisWindow::RemoveInputs);
    connect(typical, &QPushButton::clicked, this, &RiskAnalysisWindow::ApplyTypicalUncertainties);
    connect(addPair, &QPushButton::clicked, this, &RiskAnalysisWindow::AddPair);
    connect(removePair, &QPushButton::clicked, this, &RiskAnalysisWindow::RemovePair);
    connect(run_, &QPushButton::clicked, this, &RiskAnalysisWindow::Run);
    connect(cancelRun_, &QPushButton::clicked, this, &RiskAnalysisWindow::CancelRun);
    connect(accept, &QPushButton::clicked, this, &RiskAnalysisWindow::accept);
    connect(cancel, &QPushButton::clicked, this, &RiskAnalysisWindow::reject);
    for (QLineEdit* e : {iterations_, precision_, maxIterations_, seed_})
        connect(e, &QLineEdit::editingFinished, this, [this, e] { CheckSettings(e); });
    connect(usePrecision_, &QCheckBox::toggled, this, &RiskAnalysisWindow::UsePrecision);
    connect(sampling_, &QComboBox::currentIndexChanged, this, [this] { CheckSettings(sampling_); });

    poll_ = new QTimer(this);
    poll_->setInterval(50);
    connect(poll_, &QTimer::timeout, this,
            [this] { ShowProgress(control_.iterationsDone, control_.iterationsPlanned); });

    if (!project.riskDefinitions.empty()) {
        risk::ParsedDefinitions parsed = risk::ParseRiskDefinitions(project.riskDefinitions);
        if (parsed.ok()) accepted_ = std::move(parsed.definitions);
    }
    opened_ = accepted_;
    Show(accepted_);
    if (last && last->analysis && SameSavedFields(last->project, project)) {
        results_ = *last;
        ShowResults();
        pages_->setCurrentIndex(0);
    }
    RestoreGeometry(this, QStringLiteral("RiskAnalysisWindow"), QSize(1180, 760));
}

RiskAnalysisWindow::~RiskAnalysisWindow() {
    control_.cancel = true;
}

QWidget* RiskAnalysisWindow::Control(int id) const {
    return findChild<QWidget*>(QStringLiteral("control%1").arg(id));
}

std::string RiskAnalysisWindow::DefinitionsText() const {
    return accepted_.inputs.empty() ? std::string() : risk::RiskDefinitionsText(accepted_);
}

void RiskAnalysisWindow::CommitTo(ProjectData& project) const {
    // Definitions read from the file and shown unchanged keep their text as it was.
    const std::string text = DefinitionsText();
    const risk::ParsedDefinitions stored = risk::ParseRiskDefinitions(project.riskDefinitions);
    const bool same = project.riskDefinitions.empty()
                          ? text.empty()
                          : stored.ok() && risk::RiskDefinitionsText(stored.definitions) == text;
    if (!same) project.riskDefinitions = text;
}

void RiskAnalysisWindow::accept() {
    if (Running()) return;
    // Accept may come with an entry still open in a cell or a settings box: it is checked as if
    // it had been left.
    if (!CommitEntries()) return;
    QDialog::accept();
}

void RiskAnalysisWindow::done(int result) {
    SaveGeometry(this, QStringLiteral("RiskAnalysisWindow"));
    QDialog::done(result);
}

bool RiskAnalysisWindow::Changed() const {
    return risk::RiskDefinitionsText(accepted_) != risk::RiskDefinitionsText(opened_);
}

void RiskAnalysisWindow::reject() {
    if (Changed() &&
        ShowMessage(this, QStringLiteral("Discard the changes to the risk definitions?"),
                    QString::fromLatin1(kCaption), QMessageBox::Question,
                    QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    control_.cancel = true;
    if (worker_.joinable()) worker_.join();
    QDialog::reject();
}

bool RiskAnalysisWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == inputs_->viewport() && event->type() == QEvent::Resize) FitInputColumn();
    return QDialog::eventFilter(watched, event);
}

void RiskAnalysisWindow::FitInputColumn() {
    int others = 0;
    for (int column = Value; column < kColumns; ++column)
        if (!inputs_->isColumnHidden(column)) others += inputs_->columnWidth(column);
    const int room = inputs_->viewport()->width() - others;
    inputs_->setColumnWidth(Input, std::max(room, 24 * inputs_->fontMetrics().averageCharWidth()));
}

void RiskAnalysisWindow::keyPressEvent(QKeyEvent* event) {
    // Esc during a run stops the run and keeps the window and its definitions.
    if (event->key() == Qt::Key_Escape && Running()) {
        CancelRun();
        return;
    }
    QDialog::keyPressEvent(event);
}

void RiskAnalysisWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    reject();
}

bool EditRiskAnalysis(ProjectData& project, QWidget* parent, std::optional<RiskResults>& results) {
    RiskAnalysisWindow window(project, parent, results ? &*results : nullptr);
    const bool accepted = window.exec() == QDialog::Accepted;
    if (accepted) window.CommitTo(project);
    results = window.Results();
    if (results && !SameSavedFields(results->project, project)) results.reset();
    return accepted;
}

} // namespace velmora
