#include "views/RiskWindowCells.h"

#include "views/RiskAnalysisWindow.h"

#include "forms/InputLabels.h"
#include "gui/FormNumbers.h"
#include "risk/Distribution.h"
#include "risk/UncertainFields.h"

#include <QRegularExpression>
#include <QStringList>
#include <algorithm>
#include <cmath>

namespace velmora::riskwindow {

// The spread of 400 evenly spaced quantiles over 24 bins.
QList<double> DensityHeights(const UncertainInput& in, double base, bool whole) {
    const risk::Distribution d(in, base, whole);
    constexpr int kSamples = 400;
    std::vector<double> x(kSamples);
    for (int k = 0; k < kSamples; ++k) x[k] = d.Quantile((k + 0.5) / kSamples);
    const double low = x.front(), high = x.back();
    if (!(high > low)) return {};
    QList<double> heights(24, 0.0);
    for (double v : x)
        heights[std::min<qsizetype>(heights.size() - 1, qsizetype((v - low) / (high - low) *
                                                                  double(heights.size())))] += 1.0;
    const double top = *std::ranges::max_element(heights);
    for (double& h : heights) h /= top;
    return heights;
}

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

const std::optional<double>* Parameter(const UncertainInput& in, int column) {
    return Parameter(const_cast<UncertainInput&>(in), column);
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

const risk::EntryNames& Names() {
    static const risk::EntryNames names{
        [](const std::string& field) { return LabelOfInput(field).toStdString(); }};
    return names;
}

QString NotANumber(const QString& what, const QString& text) {
    return QStringLiteral("%1: \"%2\" is not a number").arg(what, text.trimmed());
}

QString KindLabel(DistributionKind kind) {
    const std::string_view label = risk::DistributionLabel(kind);
    return QString::fromLatin1(label.data(), qsizetype(label.size()));
}

// A starting distribution for `field` around its value in `project`, within what Compute Costs
// accepts: a list index keeps its entry, a number varies by 10 % either way.
UncertainInput StartingInput(const std::string& field, const ProjectData& project) {
    const risk::FieldInfo info = *risk::LookUpField(field);
    const double v = risk::ProjectValue(project, info.item);
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
    // A list takes whole entries; a normal's cuts stay within what Compute Costs accepts.
    const std::optional<risk::FieldInfo> info = risk::LookUpField(out.field);
    if (info && info->kind == risk::FieldInfo::Kind::ListIndex)
        for (double& v : out.values) v = std::round(v);
    if (info && !out.relative && (kind == K::Normal || kind == K::Lognormal)) {
        out.min = std::max(*out.min, info->low);
        out.max = std::min(*out.max, info->high);
    }
    return out;
}

// The pop-up help of each control (Shift+F1).
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

} // namespace velmora::riskwindow
