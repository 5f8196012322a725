#include "Distribution.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#if defined(_WIN32)
#include <mutex>
#endif

namespace velmora::risk {
namespace {

// PERT: beta(1 + 4 (mode - min) / (max - min), 1 + 4 (max - mode) / (max - min)).
constexpr double kPertWeight = 4.0;
// Quantile nodes of a PERT input. Between them a cubic gives the quantile to within 1e-11 of
// the range, except near both ends, where the quantile bends too sharply and Newton's method
// takes one step from the cubic.
constexpr int kBetaNodes = 4097;
constexpr int kBentCells = 128;

double Polynomial(const double* c, int n, double r) {
    double sum = c[n - 1];
    for (int k = n - 2; k >= 0; --k) sum = sum * r + c[k];
    return sum;
}

// The continued fraction of the incomplete beta function (modified Lentz).
double BetaFraction(double x, double a, double b) {
    constexpr double kTiny = 1e-300;
    const double qab = a + b, qap = a + 1.0, qam = a - 1.0;
    double c = 1.0;
    double d = 1.0 - qab * x / qap;
    if (std::fabs(d) < kTiny) d = kTiny;
    d = 1.0 / d;
    double h = d;
    for (int m = 1; m <= 300; ++m) {
        const double m2 = 2.0 * m;
        double aa = m * (b - m) * x / ((qam + m2) * (a + m2));
        d = 1.0 + aa * d;
        if (std::fabs(d) < kTiny) d = kTiny;
        c = 1.0 + aa / c;
        if (std::fabs(c) < kTiny) c = kTiny;
        d = 1.0 / d;
        h *= d * c;
        aa = -(a + m) * (qab + m) * x / ((a + m2) * (qap + m2));
        d = 1.0 + aa * d;
        if (std::fabs(d) < kTiny) d = kTiny;
        c = 1.0 + aa / c;
        if (std::fabs(c) < kTiny) c = kTiny;
        d = 1.0 / d;
        const double step = d * c;
        h *= step;
        if (std::fabs(step - 1.0) < 1e-16) break;
    }
    return h;
}

double BetaDensity(double x, double a, double b, double logBeta) {
    return std::exp((a - 1.0) * std::log(x) + (b - 1.0) * std::log1p(-x) - logBeta);
}

} // namespace

double NormalQuantile(double p) {
    static constexpr double a[] = {3.3871328727963666080e0,  1.3314166789178437745e+2,
                                   1.9715909503065514427e+3, 1.3731693765509461125e+4,
                                   4.5921953931549871457e+4, 6.7265770927008700853e+4,
                                   3.3430575583588128105e+4, 2.5090809287301226727e+3};
    static constexpr double b[] = {1.0,
                                   4.2313330701600911252e+1,
                                   6.8718700749205790830e+2,
                                   5.3941960214247511077e+3,
                                   2.1213794301586595867e+4,
                                   3.9307895800092710610e+4,
                                   2.8729085735721942674e+4,
                                   5.2264952788528545610e+3};
    static constexpr double c[] = {1.42343711074968357734e0,  4.63033784615654529590e0,
                                   5.76949722146069140550e0,  3.64784832476320460504e0,
                                   1.27045825245236838258e0,  2.41780725177450611770e-1,
                                   2.27238449892691845833e-2, 7.74545014278341407640e-4};
    static constexpr double d[] = {1.0,
                                   2.05319162663775882187e0,
                                   1.67638483018380384940e0,
                                   6.89767334985100004550e-1,
                                   1.48103976427480074590e-1,
                                   1.51986665636164571966e-2,
                                   5.47593808499534494600e-4,
                                   1.05075007164441684324e-9};
    static constexpr double e[] = {6.65790464350110377720e0,  5.46378491116411436990e0,
                                   1.78482653991729133580e0,  2.96560571828504891230e-1,
                                   2.65321895265761230930e-2, 1.24266094738807843860e-3,
                                   2.71155556874348757815e-5, 2.01033439929228813265e-7};
    static constexpr double f[] = {1.0,
                                   5.99832206555887937690e-1,
                                   1.36929880922735805310e-1,
                                   1.48753612908506148525e-2,
                                   7.86869131145613259100e-4,
                                   1.84631831751005468180e-5,
                                   1.42151175831644588870e-7,
                                   2.04426310338993978564e-15};
    if (!(p > 0.0)) return -HUGE_VAL;
    if (!(p < 1.0)) return HUGE_VAL;
    const double q = p - 0.5;
    if (std::fabs(q) <= 0.425) {
        const double r = 0.180625 - q * q;
        return q * Polynomial(a, 8, r) / Polynomial(b, 8, r);
    }
    double r = std::sqrt(-std::log(q < 0.0 ? p : 1.0 - p));
    double z;
    if (r <= 5.0) {
        r -= 1.6;
        z = Polynomial(c, 8, r) / Polynomial(d, 8, r);
    } else {
        r -= 5.0;
        z = Polynomial(e, 8, r) / Polynomial(f, 8, r);
    }
    return q < 0.0 ? -z : z;
}

double LogGamma(double x) {
#if defined(_WIN32)
    // The Windows C libraries have no lgamma_r: one caller at a time, for the sign's sake.
    static std::mutex lock;
    const std::lock_guard guard(lock);
    return std::lgamma(x);
#else
    int sign = 0;
    return ::lgamma_r(x, &sign);
#endif
}

double NormalCdf(double z) {
    return 0.5 * std::erfc(-z / std::numbers::sqrt2);
}

double RegularizedBeta(double x, double a, double b, double logBeta) {
    if (!(x > 0.0)) return 0.0;
    if (!(x < 1.0)) return 1.0;
    const double front = std::exp(a * std::log(x) + b * std::log1p(-x) - logBeta);
    if (x < (a + 1.0) / (a + b + 2.0)) return front * BetaFraction(x, a, b) / a;
    return 1.0 - front * BetaFraction(1.0 - x, b, a) / b;
}

// Newton's method on I_x(a, b) = u, kept inside the bracket [low, high] by bisection. Newton's
// error squares with each step, so a step of less than `settled` leaves an error far below it.
double BetaQuantile(double u, double a, double b, double logBeta, double low, double high,
                    double start, double settled) {
    double x = start > low && start < high ? start : 0.5 * (low + high);
    for (int step = 0; step < 100 && high - low > 1e-16; ++step) {
        const double error = RegularizedBeta(x, a, b, logBeta) - u;
        if (error == 0.0) return x;
        (error < 0.0 ? low : high) = x;
        const double next = x - error / BetaDensity(x, a, b, logBeta);
        // x itself has just become an end of the bracket, so a settled step may land on it.
        if (std::fabs(next - x) < settled) return std::clamp(next, low, high);
        x = next > low && next < high ? next : 0.5 * (low + high);
    }
    return x;
}

Distribution::Distribution(const UncertainInput& input, double base, bool wholeNumbers)
    : kind_(input.distribution), whole_(wholeNumbers) {
    const double scale = input.relative ? base : 1.0;
    auto scaled = [&](const std::optional<double>& v) { return v ? *v * scale : 0.0; };
    min_ = scaled(input.min);
    mode_ = scaled(input.mode);
    max_ = scaled(input.max);
    // A negative project value turns relative bounds around.
    if (scale < 0.0) std::swap(min_, max_);

    switch (kind_) {
    case DistributionKind::Uniform:
    case DistributionKind::Triangular:
        break;
    case DistributionKind::Pert:
        if (max_ > min_) {
            alpha_ = 1.0 + kPertWeight * (mode_ - min_) / (max_ - min_);
            beta_ = 1.0 + kPertWeight * (max_ - mode_) / (max_ - min_);
            logBeta_ = LogGamma(alpha_) + LogGamma(beta_) - LogGamma(alpha_ + beta_);
        }
        break;
    case DistributionKind::Normal:
    case DistributionKind::Lognormal: {
        const double mean = scaled(input.mean);
        const double sd = std::fabs(scaled(input.sd));
        truncatedBelow_ = (scale < 0.0 ? input.max : input.min).has_value();
        truncatedAbove_ = (scale < 0.0 ? input.min : input.max).has_value();
        if (kind_ == DistributionKind::Normal) {
            mu_ = mean;
            sigma_ = sd;
        } else if (mean > 0.0) {
            const double variance = std::log1p((sd / mean) * (sd / mean));
            sigma_ = std::sqrt(variance);
            mu_ = std::log(mean) - 0.5 * variance;
        } else {
            mu_ = mean; // nothing to sample around: every sample is the mean
        }
        if (sigma_ > 0.0) {
            auto probability = [&](double x) {
                if (kind_ == DistributionKind::Lognormal)
                    return x > 0.0 ? NormalCdf((std::log(x) - mu_) / sigma_) : 0.0;
                return NormalCdf((x - mu_) / sigma_);
            };
            if (truncatedBelow_) below_ = probability(min_);
            if (truncatedAbove_) above_ = probability(max_);
        }
        break;
    }
    case DistributionKind::Discrete: {
        values_ = input.values;
        for (double& v : values_) v *= scale;
        double sum = 0.0;
        for (double p : input.probabilities) cumulative_.push_back(sum += p);
        // The probabilities sum to 1 within 1e-9; the last value takes whatever is left.
        if (!cumulative_.empty()) cumulative_.back() = 1.0;
        break;
    }
    }
}

void Distribution::Tabulate() {
    if (kind_ != DistributionKind::Pert || !(max_ > min_)) return;
    betaNodes_.assign(kBetaNodes, 0.0);
    betaSlopes_.assign(kBetaNodes, 0.0);
    betaNodes_.back() = 1.0;
    const double h = 1.0 / (kBetaNodes - 1);
    for (int k = 1; k + 1 < kBetaNodes; ++k) {
        // Each node starts from the one before, a step along its slope.
        const double x = BetaQuantile(k * h, alpha_, beta_, logBeta_, betaNodes_[k - 1], 1.0,
                                      betaNodes_[k - 1] + h * betaSlopes_[k - 1]);
        betaNodes_[k] = x;
        betaSlopes_[k] = 1.0 / BetaDensity(x, alpha_, beta_, logBeta_);
    }
}

double Distribution::Continuous(double u) const {
    const bool bounded = kind_ == DistributionKind::Uniform ||
                         kind_ == DistributionKind::Triangular || kind_ == DistributionKind::Pert;
    if (bounded && !(u > 0.0)) return min_;
    if (bounded && !(u < 1.0)) return max_;
    switch (kind_) {
    case DistributionKind::Uniform:
        return min_ + u * (max_ - min_);
    case DistributionKind::Triangular: {
        if (!(max_ > min_)) return min_;
        const double width = max_ - min_;
        if (u * width < mode_ - min_) return min_ + std::sqrt(u * width * (mode_ - min_));
        return max_ - std::sqrt((1.0 - u) * width * (max_ - mode_));
    }
    case DistributionKind::Pert: {
        if (!(max_ > min_)) return min_;
        if (betaNodes_.empty())
            return std::clamp(min_ + BetaQuantile(u, alpha_, beta_, logBeta_) * (max_ - min_), min_,
                              max_);
        const double position = u * (kBetaNodes - 1);
        const int cell = std::clamp(static_cast<int>(position), 0, kBetaNodes - 2);
        const double x0 = betaNodes_[cell], x1 = betaNodes_[cell + 1];
        const double t = position - cell;
        // Cubic Hermite between the nodes; the end cells, where the density may vanish, start
        // from a straight line and take Newton's steps to the end.
        const bool end = cell == 0 || cell + 2 == kBetaNodes;
        const double h = 1.0 / (kBetaNodes - 1);
        const double cubic = (2 * t * t * t - 3 * t * t + 1) * x0 +
                             (t * t * t - 2 * t * t + t) * h * betaSlopes_[cell] +
                             (-2 * t * t * t + 3 * t * t) * x1 +
                             (t * t * t - t * t) * h * betaSlopes_[cell + 1];
        double x = std::clamp(cubic, x0, x1);
        if (end)
            x = BetaQuantile(u, alpha_, beta_, logBeta_, x0, x1, x0 + t * (x1 - x0));
        else if (cell < kBentCells || cell + 1 + kBentCells > kBetaNodes - 1)
            x = BetaQuantile(u, alpha_, beta_, logBeta_, x0, x1, x, 1e-9);
        return std::clamp(min_ + x * (max_ - min_), min_, max_);
    }
    case DistributionKind::Normal:
    case DistributionKind::Lognormal: {
        if (!(sigma_ > 0.0)) return mu_;
        const double z = mu_ + sigma_ * NormalQuantile(below_ + u * (above_ - below_));
        double x = kind_ == DistributionKind::Normal ? z : std::exp(z);
        if (truncatedBelow_) x = std::max(x, min_);
        if (truncatedAbove_) x = std::min(x, max_);
        return x;
    }
    case DistributionKind::Discrete: {
        const auto at = std::ranges::lower_bound(cumulative_, u);
        const auto k = std::min<std::ptrdiff_t>(at - cumulative_.begin(),
                                                static_cast<std::ptrdiff_t>(values_.size()) - 1);
        return values_[k];
    }
    }
    return 0.0;
}

double Distribution::Quantile(double u) const {
    const double x = Continuous(u);
    return whole_ ? std::round(x) : x;
}

double Distribution::Lowest() const {
    switch (kind_) {
    case DistributionKind::Normal:
    case DistributionKind::Lognormal:
        return truncatedBelow_ ? (whole_ ? std::round(min_) : min_) : Quantile(kTailProbability);
    case DistributionKind::Discrete:
        return *std::ranges::min_element(values_);
    default:
        return Quantile(0.0);
    }
}

double Distribution::Highest() const {
    switch (kind_) {
    case DistributionKind::Normal:
    case DistributionKind::Lognormal:
        return truncatedAbove_ ? (whole_ ? std::round(max_) : max_)
                               : Quantile(1.0 - kTailProbability);
    case DistributionKind::Discrete:
        return *std::ranges::max_element(values_);
    default:
        return Quantile(1.0);
    }
}

} // namespace velmora::risk
