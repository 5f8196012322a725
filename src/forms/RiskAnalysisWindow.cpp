#include "forms/RiskAnalysisWindow.h"

#include "forms/FormLayout.h"
#include "forms/InputLabels.h"
#include "forms/RiskResultsView.h"
#include "gui/FormNumbers.h"
#include "gui/Help.h"
#include "gui/MessageBox.h"
#include "model/SavedFields.h"
#include "risk/Distribution.h"
#include "risk/RiskDefinitionsCheck.h"
#include "risk/RiskMemory.h"
#include "risk/TypicalUncertainties.h"
#include "risk/UncertainFields.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollArea>
#include <QTabWidget>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <sys/resource.h>
#include <utility>

namespace velmora {
namespace {

using risk::DistributionKind;
using risk::RiskDefinitions;
using risk::UncertainInput;

const char* const kCaption = "Risk Analysis";
const char* const kKinds[] = {"Uniform", "Triangular", "PERT", "Normal", "Lognormal", "Discrete"};
const char* const kColumnTitles[] = {"Input", "Project value", "Distribution",  "Relative",
                                     "Min",   "Mode",          "Max",           "Mean",
                                     "SD",    "Values",        "Probabilities", "Density"};

using Column = RiskAnalysisWindow::Column;

bool Takes(DistributionKind kind, int column) {
    using K = DistributionKind;
    switch (column) {
    case Column::Min:
    case Column::Max:
        return kind != K::Discrete;
    case Column::Mode:
        return kind == K::Triangular || kind == K::Pert;
    case Column::Mean:
    case Column::Sd:
        return kind == K::Normal || kind == K::Lognormal;
    case Column::Values:
    case Column::Probabilities:
        return kind == K::Discrete;
    default:
        return false;
    }
}

// Normal and lognormal take min and max as optional cuts of their tails.
bool Optional(DistributionKind kind, int column) {
    return (kind == DistributionKind::Normal || kind == DistributionKind::Lognormal) &&
           (column == Column::Min || column == Column::Max);
}

std::optional<double>* Parameter(UncertainInput& in, int column) {
    switch (column) {
    case Column::Min:
        return &in.min;
    case Column::Mode:
        return &in.mode;
    case Column::Max:
        return &in.max;
    case Column::Mean:
        return &in.mean;
    case Column::Sd:
        return &in.sd;
    default:
        return nullptr;
    }
}

QString List(const std::vector<double>& values) {
    QStringList parts;
    for (double v : values) parts << FormatDouble(v);
    return parts.join(QStringLiteral("  "));
}

std::optional<std::vector<double>> ParseList(const QString& text) {
    std::vector<double> values;
    for (const QString& part :
         text.split(QRegularExpression(QStringLiteral("[\\s,;]+")), Qt::SkipEmptyParts)) {
        const std::optional<double> v = ParseDouble(part);
        if (!v) return std::nullopt;
        values.push_back(*v);
    }
    return values;
}

template <class Int>
std::optional<Int> ParseWhole(const QString& text) {
    const std::string s = text.trimmed().toStdString();
    Int value{};
    const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
    if (ec != std::errc() || end != s.data() + s.size() || s.empty()) return std::nullopt;
    return value;
}

double ProjectValue(const ProjectData& project, const std::string& field) {
    ProjectData copy = project;
    return risk::FindSlots(copy, {risk::LookUpField(field)->item}).front().Get();
}

// The density of `in` drawn small: the spread of 400 evenly spaced quantiles over 24 bins.
class DensityCurve : public QWidget {
public:
    DensityCurve(const UncertainInput& in, double base, bool whole) {
        setMinimumSize(90, 22);
        const risk::Distribution d(in, base, whole);
        constexpr int kSamples = 400;
        std::vector<double> x(kSamples);
        for (int k = 0; k < kSamples; ++k) x[k] = d.Quantile((k + 0.5) / kSamples);
        low_ = x.front(), high_ = x.back();
        heights_.assign(24, 0.0);
        if (!(high_ > low_)) return;
        for (double v : x) {
            const auto bin = std::min<std::size_t>(
                heights_.size() - 1, std::size_t((v - low_) / (high_ - low_) * heights_.size()));
            heights_[bin] += 1.0;
        }
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const QRectF r = rect().adjusted(3, 3, -3, -3);
        const double top = *std::ranges::max_element(heights_);
        painter.setPen(QPen(palette().color(QPalette::Text), 1.2));
        if (!(top > 0.0)) {
            painter.drawLine(QPointF(r.center().x(), r.bottom()), QPointF(r.center().x(), r.top()));
            return;
        }
        QPolygonF line;
        const double step = r.width() / double(heights_.size());
        line << QPointF(r.left(), r.bottom());
        for (std::size_t k = 0; k < heights_.size(); ++k) {
            const double y = r.bottom() - r.height() * heights_[k] / top;
            line << QPointF(r.left() + step * double(k), y)
                 << QPointF(r.left() + step * double(k + 1), y);
        }
        line << QPointF(r.right(), r.bottom());
        painter.setBrush(palette().color(QPalette::Highlight).lighter(160));
        painter.drawPolygon(line);
    }

private:
    double low_ = 0.0, high_ = 0.0;
    std::vector<double> heights_;
};

// A starting distribution for `field` around its project value `v`, within what Compute Costs
// accepts: a list index keeps its entry, a number varies by 10 % either way.
UncertainInput StartingInput(const std::string& field, double v) {
    const risk::FieldInfo info = *risk::LookUpField(field);
    UncertainInput in;
    in.field = field;
    if (info.kind == risk::FieldInfo::Kind::ListIndex) {
        in.distribution = DistributionKind::Discrete;
        in.values = {v};
        in.probabilities = {1.0};
        return in;
    }
    in.distribution = DistributionKind::Triangular;
    const double spread = v != 0.0 ? 0.1 * std::fabs(v) : 1.0;
    in.min = std::clamp(v - spread, info.low, info.high);
    in.max = std::clamp(v + spread, info.low, info.high);
    in.mode = std::clamp(v, *in.min, *in.max);
    return in;
}

// The same input under another distribution, spread alike.
UncertainInput Converted(const UncertainInput& in, DistributionKind kind) {
    using K = DistributionKind;
    double lo = 0.0, mid = 0.0, hi = 0.0;
    switch (in.distribution) {
    case K::Uniform:
        lo = *in.min, hi = *in.max, mid = 0.5 * (lo + hi);
        break;
    case K::Triangular:
    case K::Pert:
        lo = *in.min, mid = *in.mode, hi = *in.max;
        break;
    case K::Normal:
    case K::Lognormal:
        mid = *in.mean, lo = in.min.value_or(mid - 2 * *in.sd),
        hi = in.max.value_or(mid + 2 * *in.sd);
        break;
    case K::Discrete:
        lo = std::ranges::min(in.values), hi = std::ranges::max(in.values);
        mid = in.values[std::ranges::max_element(in.probabilities) - in.probabilities.begin()];
        break;
    }
    UncertainInput out;
    out.field = in.field;
    out.distribution = kind;
    out.relative = in.relative;
    switch (kind) {
    case K::Uniform:
        out.min = lo, out.max = hi;
        break;
    case K::Triangular:
    case K::Pert:
        out.min = lo, out.mode = mid, out.max = hi;
        break;
    case K::Normal:
    case K::Lognormal:
        out.mean = mid;
        out.sd = hi > lo ? (hi - lo) / 4.0 : std::max(0.1 * std::fabs(mid), 1e-9);
        out.min = lo, out.max = hi;
        break;
    case K::Discrete:
        out.values = {lo};
        if (mid != lo) out.values.push_back(mid);
        if (hi != mid) out.values.push_back(hi);
        out.probabilities.assign(out.values.size(), 1.0 / double(out.values.size()));
        if (out.values.size() == 3) out.probabilities = {0.25, 0.5, 0.25};
        break;
    }
    return out;
}

// The widget a cell had goes only once control is back in the event loop, since it may be the
// one whose signal is being handled; until then it must not show over its neighbours.
void SetCellWidget(QTableWidget* table, int row, int column, QWidget* widget) {
    if (QWidget* old = table->cellWidget(row, column)) old->hide();
    table->setCellWidget(row, column, widget);
}

QPushButton* ButtonOf(const QString& text) {
    auto* button = new QPushButton(text);
    button->setAutoDefault(false);
    return button;
}

QString Popup(int id) {
    using W = RiskAnalysisWindow;
    switch (id) {
    case W::kInputs:
        return "Uncertain inputs: each line is one number of the project that the simulation "
               "draws from a distribution in every iteration. Min, Mode, Max, Mean and SD are "
               "in the units of the field (multipliers of the project value when Relative is "
               "ticked); Values and Probabilities list the outcomes of a discrete distribution, "
               "separated by blanks. Each entry is checked when you leave it.";
    case W::kAdd:
        return "Add...: choose numbers of the project to make uncertain from a list of every "
               "input, which the box above it filters as you type.";
    case W::kRemove:
        return "Remove: takes the selected inputs, and the correlations they take part in, out "
               "of the analysis.";
    case W::kTypical:
        return "Typical Uncertainties: replaces the inputs with a starting set: unit prices "
               "triangular from 10 % below to 25 % above, the discount rate uniform 3 to 5 %, "
               "AADT and traffic growth normal with a standard deviation of 10 % of their value, "
               "the years of later stages triangular from 3 years earlier to 5 years later. "
               "Judge and edit every line.";
    case W::kIterations:
        return "Iterations: how many times the simulation samples every input and computes "
               "both options; 1 to 10,000,000. 10,000 is a good start.";
    case W::kUsePrecision:
        return "Stop at a precision: instead of a fixed count, the simulation stops once the "
               "mean of asphalt total - concrete total is known to within the precision (95 % "
               "confidence), checked every 1,000 iterations.";
    case W::kPrecision:
        return "Precision, in dollars per mile: the half-width of the 95 % confidence interval "
               "of the mean difference at which the simulation stops. Above 0.";
    case W::kMaxIterations:
        return "Max iterations: where a precision-driven run stops at the latest; empty for "
               "1,000,000.";
    case W::kSeed:
        return "Seed: the start of the random numbers. The same definitions and seed give the "
               "same figures, bit for bit, on any computer.";
    case W::kSampling:
        return "Sampling: Latin hypercube spreads each input's samples evenly over its "
               "distribution and settles the figures in fewer iterations; Monte Carlo draws "
               "every sample independently.";
    case W::kCorrelations:
        return "Correlations: pairs of uncertain inputs that move together, with Spearman's "
               "rank correlation from -1 to 1. Each input keeps its own distribution.";
    case W::kAddPair:
        return "Add Pair: adds a correlation between two uncertain inputs; choose them in the "
               "line and type its rank correlation.";
    case W::kRemovePair:
        return "Remove Pair: takes the selected correlations out.";
    case W::kRun:
        return "Run: simulates the definitions as this window shows them, accepted or not, and "
               "shows the results. Nothing is saved into the project by running.";
    case W::kCancelRun:
        return "Cancel: stops a running simulation; nothing of it is kept.";
    case W::kProgress:
        return "How many iterations the running simulation has done.";
    case W::kResults:
        return "The results of the last run: how likely each option is the cheaper one, the "
               "spread of both totals, and the inputs that move the difference most. Right-click "
               "a chart to copy or save it.";
    case W::kAccept:
        return "Accept Changes: keeps these risk definitions in the project and closes the "
               "window. They are saved with the project file.";
    case W::kCancelChanges:
        return "Cancel Changes: closes the window and leaves the project's risk definitions as "
               "they were. Results of a run are kept only when they match the project.";
    default:
        return {};
    }
}

} // namespace

RiskAnalysisWindow::RiskAnalysisWindow(const ProjectData& project, QWidget* parent,
                                       const RiskResults* last)
    : QDialog(parent), project_(project) {
    setWindowTitle(QString::fromLatin1(kCaption));
    SetHelpContext(this, 0, {});
    InstallHelpKeys(this, QStringLiteral("risk-analysis"));

    inputs_ = new QTableWidget(0, kColumns);
    for (int c = 0; c < kColumns; ++c)
        inputs_->setHorizontalHeaderItem(
            c, new QTableWidgetItem(QString::fromLatin1(kColumnTitles[c])));
    inputs_->setSelectionBehavior(QAbstractItemView::SelectRows);
    inputs_->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    inputs_->horizontalHeader()->setSectionResizeMode(Input, QHeaderView::Stretch);
    inputs_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    auto* add = ButtonOf(QStringLiteral("Add..."));
    auto* remove = ButtonOf(QStringLiteral("Remove"));
    auto* typical = ButtonOf(QStringLiteral("Typical Uncertainties"));
    auto* inputButtons = new QHBoxLayout;
    inputButtons->addWidget(add);
    inputButtons->addWidget(remove);
    inputButtons->addStretch();
    inputButtons->addWidget(typical);
    auto* inputBox = new QGroupBox(QStringLiteral("Uncertain inputs"));
    auto* inputLayout = new QVBoxLayout(inputBox);
    inputLayout->addWidget(inputs_);
    inputLayout->addLayout(inputButtons);

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

    correlations_ = new QTableWidget(0, 3);
    correlations_->setHorizontalHeaderLabels({QStringLiteral("First input"),
                                              QStringLiteral("Second input"),
                                              QStringLiteral("Rank correlation")});
    correlations_->setSelectionBehavior(QAbstractItemView::SelectRows);
    correlations_->horizontalHeader()->setSectionResizeMode(QHeaderView::Stretch);
    correlations_->horizontalHeader()->setSectionResizeMode(2, QHeaderView::ResizeToContents);
    auto* addPair = ButtonOf(QStringLiteral("Add Pair"));
    auto* removePair = ButtonOf(QStringLiteral("Remove Pair"));
    auto* pairButtons = new QHBoxLayout;
    pairButtons->addWidget(addPair);
    pairButtons->addWidget(removePair);
    pairButtons->addStretch();
    auto* correlationBox = new QGroupBox(QStringLiteral("Correlations"));
    auto* correlationLayout = new QVBoxLayout(correlationBox);
    correlationLayout->addWidget(correlations_);
    correlationLayout->addLayout(pairButtons);

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
    pages_->addTab(definitions, QStringLiteral("Definitions"));
    pages_->addTab(resultsPage_, QStringLiteral("Results"));
    pages_->setTabEnabled(1, false);

    run_ = ButtonOf(QStringLiteral("Run"));
    cancelRun_ = ButtonOf(QStringLiteral("Cancel"));
    cancelRun_->setEnabled(false);
    progress_ = new QProgressBar;
    progress_->setFormat(QStringLiteral("%v of %m iterations"));
    progress_->setTextVisible(false);
    progress_->setValue(0);
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
        connect(e, &QLineEdit::editingFinished, this, [this, e] { CheckEntries(e); });
    connect(usePrecision_, &QCheckBox::toggled, this, [this] { CheckEntries(usePrecision_); });
    connect(sampling_, &QComboBox::currentIndexChanged, this, [this] { CheckEntries(sampling_); });
    connect(inputs_, &QTableWidget::itemChanged, this,
            [this](QTableWidgetItem* item) { CheckEntries(inputs_, item->row(), item->column()); });
    connect(correlations_, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        CheckEntries(correlations_, item->row(), item->column());
    });

    poll_ = new QTimer(this);
    poll_->setInterval(50);
    connect(poll_, &QTimer::timeout, this, [this] {
        progress_->setMaximum(int(std::max<std::int64_t>(1, control_.iterationsPlanned)));
        progress_->setValue(int(control_.iterationsDone));
    });

    if (!project.riskDefinitions.empty()) {
        risk::ParsedDefinitions parsed = risk::ParseRiskDefinitions(project.riskDefinitions);
        if (parsed.ok()) accepted_ = std::move(parsed.definitions);
    }
    Show(accepted_);
    if (last && last->analysis && SameSavedFields(last->project, project)) {
        results_ = *last;
        ShowResults();
        pages_->setCurrentIndex(0);
    }
    resize(1180, 760);
}

RiskAnalysisWindow::~RiskAnalysisWindow() {
    control_.cancel = true;
}

QWidget* RiskAnalysisWindow::Control(int id) const {
    return findChild<QWidget*>(QStringLiteral("control%1").arg(id));
}

void RiskAnalysisWindow::Show(const RiskDefinitions& d) {
    const QSignalBlocker blockInputs(inputs_), blockPairs(correlations_);
    const QSignalBlocker blockPrecision(usePrecision_), blockSampling(sampling_);
    iterations_->setText(QString::number(d.iterations));
    usePrecision_->setChecked(d.precision.has_value());
    precision_->setText(d.precision ? FormatDouble(*d.precision) : QString());
    maxIterations_->setText(d.maxIterations ? QString::number(*d.maxIterations) : QString());
    precision_->setEnabled(d.precision.has_value());
    maxIterations_->setEnabled(d.precision.has_value());
    iterations_->setEnabled(!d.precision);
    seed_->setText(QString::number(d.seed));
    sampling_->setCurrentIndex(d.sampling == risk::Sampling::LatinHypercube ? 0 : 1);

    inputs_->setRowCount(int(d.inputs.size()));
    for (int r = 0; r < int(d.inputs.size()); ++r) ShowInputRow(r, d.inputs[r]);
    correlations_->setRowCount(int(d.correlations.size()));
    for (int r = 0; r < int(d.correlations.size()); ++r) ShowCorrelationRow(r, d.correlations[r]);
}

void RiskAnalysisWindow::ShowInputRow(int row, const UncertainInput& in) {
    const QSignalBlocker block(inputs_);
    const std::optional<risk::FieldInfo> info = risk::LookUpField(in.field);
    const double value = ProjectValue(project_, in.field);
    const auto fixed = [&](int column, const QString& text) {
        auto* item = new QTableWidgetItem(text);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
        inputs_->setItem(row, column, item);
        return item;
    };
    QTableWidgetItem* name = fixed(Input, LabelOfInput(in.field));
    name->setToolTip(QString::fromStdString(in.field));
    name->setData(Qt::UserRole, QString::fromStdString(in.field));
    fixed(Value, FormatDouble(value))->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);

    auto* kind = new QComboBox;
    for (const char* k : kKinds) kind->addItem(QString::fromLatin1(k));
    kind->setCurrentIndex(int(in.distribution));
    kind->setFocusPolicy(Qt::StrongFocus);
    connect(kind, &QComboBox::currentIndexChanged, this, [this, kind](int k) {
        for (int r = 0; r < inputs_->rowCount(); ++r)
            if (inputs_->cellWidget(r, Kind) == kind) ChangeKind(r, k);
    });
    SetCellWidget(inputs_, row, Kind, kind);

    auto* relative = fixed(Relative, {});
    relative->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    relative->setCheckState(in.relative ? Qt::Checked : Qt::Unchecked);

    UncertainInput copy = in;
    for (int c = Min; c <= Probabilities; ++c) {
        QString text;
        if (std::optional<double>* p = Parameter(copy, c); p && *p)
            text = FormatDouble(**p);
        else if (c == Values)
            text = List(in.values);
        else if (c == Probabilities)
            text = List(in.probabilities);
        auto* item = new QTableWidgetItem(text);
        item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        if (!Takes(in.distribution, c)) {
            item->setFlags(Qt::ItemIsSelectable);
            item->setText({});
            item->setBackground(palette().color(QPalette::Window));
        } else if (Optional(in.distribution, c)) {
            item->setToolTip(QStringLiteral("Optional: empty leaves the tail uncut."));
        }
        inputs_->setItem(row, c, item);
    }
    if (info)
        inputs_->setCellWidget(
            row, Curve, new DensityCurve(in, value, info->kind != risk::FieldInfo::Kind::Number));
}

void RiskAnalysisWindow::ShowCorrelationRow(int row, const risk::RankCorrelation& c) {
    const QSignalBlocker block(correlations_);
    for (int k = 0; k < 2; ++k) {
        auto* list = new QComboBox;
        list->setFocusPolicy(Qt::StrongFocus);
        for (int r = 0; r < inputs_->rowCount(); ++r) {
            const QString field = inputs_->item(r, Input)->data(Qt::UserRole).toString();
            list->addItem(inputs_->item(r, Input)->text(), field);
        }
        list->setCurrentIndex(list->findData(QString::fromStdString(k == 0 ? c.first : c.second)));
        connect(list, &QComboBox::currentIndexChanged, this, [this, list] { CheckEntries(list); });
        SetCellWidget(correlations_, row, k, list);
    }
    auto* rank = new QTableWidgetItem(FormatDouble(c.rank));
    rank->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    correlations_->setItem(row, 2, rank);
}

RiskAnalysisWindow::Collected RiskAnalysisWindow::Collect() const {
    Collected c;
    RiskDefinitions& d = c.definitions;
    const auto fail = [&](QWidget* where, const QString& text, int row = -1, int column = -1) {
        if (c.error.isEmpty()) c.error = text, c.where = where, c.row = row, c.column = column;
    };
    const auto notNumber = [](const QString& what, const QString& text) {
        return QStringLiteral("%1: \"%2\" is not a number").arg(what, text.trimmed());
    };
    if (const auto n = ParseWhole<std::int64_t>(iterations_->text()))
        d.iterations = *n;
    else
        fail(iterations_, notNumber(QStringLiteral("iterations"), iterations_->text()));
    if (const auto n = ParseWhole<std::uint64_t>(seed_->text()))
        d.seed = *n;
    else
        fail(seed_, notNumber(QStringLiteral("seed"), seed_->text()));
    d.sampling = sampling_->currentIndex() == 0 ? risk::Sampling::LatinHypercube
                                                : risk::Sampling::MonteCarlo;
    if (usePrecision_->isChecked()) {
        if (const auto p = ParseDouble(precision_->text()))
            d.precision = *p;
        else
            fail(precision_, notNumber(QStringLiteral("precision"), precision_->text()));
        if (!maxIterations_->text().trimmed().isEmpty()) {
            if (const auto n = ParseWhole<std::int64_t>(maxIterations_->text()))
                d.maxIterations = *n;
            else
                fail(maxIterations_,
                     notNumber(QStringLiteral("maxIterations"), maxIterations_->text()));
        }
    }

    for (int r = 0; r < inputs_->rowCount(); ++r) {
        UncertainInput in;
        in.field = inputs_->item(r, Input)->data(Qt::UserRole).toString().toStdString();
        in.distribution =
            DistributionKind(static_cast<QComboBox*>(inputs_->cellWidget(r, Kind))->currentIndex());
        in.relative = inputs_->item(r, Relative)->checkState() == Qt::Checked;
        const QString entry = QString::fromStdString(risk::EntryName("inputs", r, in.field));
        for (int col = Min; col <= Probabilities; ++col) {
            if (!Takes(in.distribution, col)) continue;
            const QString text = inputs_->item(r, col)->text();
            const QString what = entry + ' ' + QString::fromLatin1(kColumnTitles[col]).toLower();
            if (col == Values || col == Probabilities) {
                const auto list = ParseList(text);
                if (!list) fail(inputs_, notNumber(what, text), r, col);
                (col == Values ? in.values : in.probabilities) =
                    list.value_or(std::vector<double>{});
            } else if (!(text.trimmed().isEmpty() && Optional(in.distribution, col))) {
                const auto v = ParseDouble(text);
                if (!v) fail(inputs_, notNumber(what, text), r, col);
                *Parameter(in, col) = v.value_or(0.0);
            }
        }
        d.inputs.push_back(std::move(in));
    }
    for (int r = 0; r < correlations_->rowCount(); ++r) {
        risk::RankCorrelation pair;
        pair.first = static_cast<QComboBox*>(correlations_->cellWidget(r, 0))
                         ->currentData()
                         .toString()
                         .toStdString();
        pair.second = static_cast<QComboBox*>(correlations_->cellWidget(r, 1))
                          ->currentData()
                          .toString()
                          .toStdString();
        const QString text = correlations_->item(r, 2)->text();
        if (const auto v = ParseDouble(text))
            pair.rank = *v;
        else
            fail(correlations_,
                 notNumber(QString::fromStdString(risk::EntryName("correlations", r)) + " rank",
                           text),
                 r, 2);
        d.correlations.push_back(std::move(pair));
    }
    return c;
}

bool RiskAnalysisWindow::CheckEntries(QWidget* where, int row, int column) {
    if (checking_) return true;
    checking_ = true;
    Collected c = Collect();
    QString error = c.error;
    if (error.isEmpty()) {
        // The same path as definitions imported from a file: written, read back and checked.
        const risk::ParsedDefinitions parsed =
            risk::ParseRiskDefinitions(risk::RiskDefinitionsText(c.definitions));
        error = QString::fromStdString(
            parsed.ok() ? risk::CheckRiskDefinitions(parsed.definitions, project_).error
                        : parsed.error);
        where = where ? where : c.where;
    } else {
        where = c.where, row = c.row, column = c.column;
    }
    if (!error.isEmpty()) {
        ShowMessage(this, error, QString::fromLatin1(kCaption), QMessageBox::Warning);
        Show(accepted_);
        if (auto* table = qobject_cast<QTableWidget*>(where); table && row >= 0) {
            table->setCurrentCell(row, std::max(column, 0));
        } else if (auto* edit = qobject_cast<QLineEdit*>(where)) {
            edit->selectAll();
        }
        if (where) where->setFocus(Qt::OtherFocusReason);
        checking_ = false;
        return false;
    }
    const bool inputsChanged = c.definitions.inputs.size() != accepted_.inputs.size();
    accepted_ = std::move(c.definitions);
    if (inputsChanged || where == usePrecision_ || (where == inputs_ && column == Relative))
        Show(accepted_);
    else if (where == inputs_ && row >= 0)
        ShowInputRow(row, accepted_.inputs[row]);
    checking_ = false;
    return true;
}

void RiskAnalysisWindow::ChangeKind(int row, int kind) {
    if (row >= int(accepted_.inputs.size())) return;
    UncertainInput converted = Converted(accepted_.inputs[row], DistributionKind(kind));
    const std::optional<risk::FieldInfo> info = risk::LookUpField(converted.field);
    if (info && info->kind == risk::FieldInfo::Kind::ListIndex)
        for (double& v : converted.values) v = std::round(v);
    if (info && !converted.relative &&
        (converted.distribution == DistributionKind::Normal ||
         converted.distribution == DistributionKind::Lognormal)) {
        converted.min = std::max(*converted.min, info->low);
        converted.max = std::min(*converted.max, info->high);
    }
    ShowInputRow(row, converted);
    CheckEntries(inputs_, row, Kind);
}

void RiskAnalysisWindow::AddInputs(const std::vector<std::string>& fields) {
    RiskDefinitions d = accepted_;
    for (const std::string& field : fields)
        if (std::ranges::find(d.inputs, field, &UncertainInput::field) == d.inputs.end())
            d.inputs.push_back(StartingInput(field, ProjectValue(project_, field)));
    Show(d);
    CheckEntries(inputs_, int(d.inputs.size()) - 1, Input);
}

void RiskAnalysisWindow::PickInputs() {
    QDialog picker(this);
    picker.setWindowTitle(QStringLiteral("Add Uncertain Inputs"));
    auto* filter = new QLineEdit;
    filter->setObjectName(QStringLiteral("filter"));
    filter->setPlaceholderText(QStringLiteral("Type part of a name to filter the list"));
    auto* list = new QListWidget;
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    for (const InputLabel& in : UncertainInputLabels()) {
        if (std::ranges::find(accepted_.inputs, in.field, &UncertainInput::field) !=
            accepted_.inputs.end())
            continue;
        auto* item = new QListWidgetItem(in.label + QStringLiteral("   [") +
                                         QString::fromStdString(in.field) + ']');
        item->setData(Qt::UserRole, QString::fromStdString(in.field));
        list->addItem(item);
    }
    connect(filter, &QLineEdit::textChanged, list, [list](const QString& text) {
        for (int k = 0; k < list->count(); ++k)
            list->item(k)->setHidden(!list->item(k)->text().contains(text, Qt::CaseInsensitive));
    });
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    connect(buttons, &QDialogButtonBox::accepted, &picker, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &picker, &QDialog::reject);
    connect(list, &QListWidget::itemDoubleClicked, &picker, &QDialog::accept);
    auto* layout = new QVBoxLayout(&picker);
    layout->addWidget(filter);
    layout->addWidget(list);
    layout->addWidget(buttons);
    picker.resize(620, 480);
    if (picker.exec() != QDialog::Accepted) return;
    std::vector<std::string> fields;
    for (QListWidgetItem* item : list->selectedItems())
        if (!item->isHidden()) fields.push_back(item->data(Qt::UserRole).toString().toStdString());
    if (!fields.empty()) AddInputs(fields);
}

void RiskAnalysisWindow::RemoveInputs() {
    RiskDefinitions d = accepted_;
    std::vector<int> rows;
    for (const QModelIndex& index : inputs_->selectionModel()->selectedRows())
        rows.push_back(index.row());
    std::ranges::sort(rows, std::greater{});
    for (int r : rows) {
        const std::string field = d.inputs[r].field;
        d.inputs.erase(d.inputs.begin() + r);
        std::erase_if(d.correlations, [&](const risk::RankCorrelation& c) {
            return c.first == field || c.second == field;
        });
    }
    accepted_ = d;
    Show(accepted_);
}

void RiskAnalysisWindow::ApplyTypicalUncertainties() {
    if (!accepted_.inputs.empty() &&
        ShowMessage(this,
                    QStringLiteral("Replace the %1 uncertain inputs and their correlations with "
                                   "the typical set?")
                        .arg(accepted_.inputs.size()),
                    QString::fromLatin1(kCaption), QMessageBox::Question,
                    QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    Show(risk::TypicalUncertainties(project_, accepted_));
    CheckEntries(inputs_, 0, Input);
}

void RiskAnalysisWindow::AddPair() {
    RiskDefinitions d = accepted_;
    const auto paired = [&](const std::string& a, const std::string& b) {
        return std::ranges::any_of(d.correlations, [&](const risk::RankCorrelation& c) {
            return (c.first == a && c.second == b) || (c.first == b && c.second == a);
        });
    };
    for (std::size_t i = 0; i < d.inputs.size(); ++i)
        for (std::size_t j = i + 1; j < d.inputs.size(); ++j)
            if (!paired(d.inputs[i].field, d.inputs[j].field)) {
                d.correlations.push_back({d.inputs[i].field, d.inputs[j].field, 0.5});
                Show(d);
                correlations_->setCurrentCell(int(d.correlations.size()) - 1, 2);
                CheckEntries(correlations_, int(d.correlations.size()) - 1, 2);
                return;
            }
    ShowMessage(this,
                QStringLiteral("Every pair of uncertain inputs is correlated already; add "
                               "inputs first."),
                QString::fromLatin1(kCaption), QMessageBox::Information);
}

void RiskAnalysisWindow::RemovePair() {
    std::vector<int> rows;
    for (const QModelIndex& index : correlations_->selectionModel()->selectedRows())
        rows.push_back(index.row());
    std::ranges::sort(rows, std::greater{});
    for (int r : rows) accepted_.correlations.erase(accepted_.correlations.begin() + r);
    Show(accepted_);
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

void RiskAnalysisWindow::SetRunning(bool running) {
    // The run works on its own copy of the definitions, so the page stays open to edits.
    run_->setEnabled(!running);
    cancelRun_->setEnabled(running);
    Control(kAccept)->setEnabled(!running);
    if (running) {
        progress_->setTextVisible(true);
        progress_->setValue(0);
        poll_->start();
    } else {
        poll_->stop();
    }
}

void RiskAnalysisWindow::Run() {
    if (Running()) return;
    if (!CheckEntries(nullptr)) return;
    if (accepted_.inputs.empty()) {
        ShowMessage(this,
                    QStringLiteral("There is nothing uncertain to simulate: add inputs, or "
                                   "press Typical Uncertainties."),
                    QString::fromLatin1(kCaption), QMessageBox::Information);
        return;
    }
    const std::optional<std::uint64_t> available = risk::AvailableMemory();
    if (const std::uint64_t needed = risk::EstimateRiskMemory(accepted_);
        available && needed > *available) {
        ShowMessage(this,
                    QStringLiteral("%1 iterations need about %2 of memory, and %3 is available. "
                                   "Run fewer iterations, or stop at a precision.")
                        .arg(QString::number(accepted_.MostIterations()),
                             QString::fromStdString(risk::MemorySize(needed)),
                             QString::fromStdString(risk::MemorySize(*available))),
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
        // Below the GUI thread, so that the window keeps its turns on a busy machine; the
        // simulation's own threads inherit the priority.
        setpriority(PRIO_PROCESS, 0, 10);
        auto analysis = std::make_shared<risk::RiskAnalysis>();
        // A run too large for the memory left must not end the program: the window says so
        // and keeps the results it shows.
        try {
            *analysis = risk::RunRiskAnalysis(project, d, {0, &control_});
        } catch (const std::bad_alloc&) {
            *analysis = {};
            analysis->error = "The risk analysis ran out of memory. Run fewer iterations, or "
                              "stop at a precision.";
        } catch (const std::exception& e) {
            *analysis = {};
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
    progress_->setValue(0);
    progress_->setTextVisible(false);
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
        progress_->setValue(0);
    } else if (!a->error.empty()) {
        ShowMessage(this, QString::fromStdString(a->error), QString::fromLatin1(kCaption));
    } else if (a->iterations == a->refusedIterations && !a->refusals.empty()) {
        // Nothing to describe: every iteration stopped where Compute Costs would.
        const Refusal& refusal = a->refusals.front().refusal;
        ShowMessage(this, QString::fromStdString(refusal.text),
                    QString::fromStdString(refusal.caption));
    } else {
        progress_->setValue(progress_->maximum());
        results_ = RiskResults{std::move(a), runProject_};
        ShowResults();
    }
    emit runFinished();
}

void RiskAnalysisWindow::ShowResults() {
    resultsView_ = new RiskResultsView(*results_->analysis);
    resultsPage_->setWidget(resultsView_);
    pages_->setTabEnabled(1, true);
    pages_->setCurrentIndex(1);
}

void RiskAnalysisWindow::accept() {
    if (Running()) return;
    // Enter in an entry accepts without leaving it: check it as if it had been left.
    if (!CheckEntries(focusWidget())) return;
    QDialog::accept();
}

void RiskAnalysisWindow::reject() {
    control_.cancel = true;
    if (worker_.joinable()) worker_.join();
    QDialog::reject();
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
