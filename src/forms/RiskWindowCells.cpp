#include "forms/RiskWindowCells.h"

#include "gui/FormNumbers.h"
#include "risk/Distribution.h"
#include "risk/UncertainFields.h"

#include <QPainter>
#include <QRegularExpression>
#include <QStringList>
#include <QTableWidget>
#include <QWidget>
#include <algorithm>
#include <cmath>

namespace velmora::riskwindow {
namespace {

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

} // namespace

QWidget* NewDensityCurve(const UncertainInput& in, double base, bool whole) {
    return new DensityCurve(in, base, whole);
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

double ProjectValue(const ProjectData& project, const std::string& field) {
    ProjectData copy = project;
    return risk::FindSlots(copy, {risk::LookUpField(field)->item}).front().Get();
}

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

} // namespace velmora::riskwindow
