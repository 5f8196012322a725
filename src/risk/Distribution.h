#pragma once

// The distribution of one uncertain input, ready to turn cumulative probabilities into the
// values a sample writes into the project. Sampling goes through the quantile function so that
// Latin hypercube strata and rank reordering work alike for every kind.

#include "RiskDefinitions.h"

#include <vector>

namespace velmora::risk {

// The quantiles at which an unbounded tail is taken to end, for the range checks.
inline constexpr double kTailProbability = 0.0001;

class Distribution {
public:
    // `input` has passed the definitions' checks; `base` is the project's value of the field,
    // which relative parameters multiply. Whole-number fields get whole values.
    Distribution(const UncertainInput& input, double base, bool wholeNumbers);

    // The value at cumulative probability u, 0 < u < 1.
    double Quantile(double u) const;

    // Makes Quantile fast for the thousands of samples of a simulation, at a cost of a few
    // milliseconds: PERT quantiles then come from a table and agree with the exact inverse to
    // within 1e-11 of the range.
    void Tabulate();

    // The least and the largest value a sample takes. An unbounded normal or lognormal tail
    // counts by its 0.0001 or 0.9999 quantile.
    double Lowest() const;
    double Highest() const;

private:
    double Continuous(double u) const;

    DistributionKind kind_;
    bool whole_;
    double min_ = 0.0, mode_ = 0.0, max_ = 0.0;
    // Normal and lognormal: the parameters of the normal variate, and the probabilities below
    // the truncation points.
    double mu_ = 0.0, sigma_ = 0.0, below_ = 0.0, above_ = 1.0;
    bool truncatedBelow_ = false, truncatedAbove_ = false;
    // PERT: the beta parameters, and once tabulated the quantiles at u = k / (size - 1) with
    // their slopes.
    double alpha_ = 1.0, beta_ = 1.0, logBeta_ = 0.0;
    std::vector<double> betaNodes_, betaSlopes_;
    // Discrete: the values and their cumulative probabilities.
    std::vector<double> values_, cumulative_;
};

// The logarithm of the gamma function. std::lgamma stores the sign in a global, which makes it
// unsafe to call from several threads at once.
double LogGamma(double x);

// The standard normal quantile (Wichura's AS 241, about 1e-16 relative) and distribution.
double NormalQuantile(double p);
double NormalCdf(double z);

// The regularized incomplete beta function I_x(a, b), and its inverse in x.
double RegularizedBeta(double x, double a, double b, double logBeta);
double BetaQuantile(double u, double a, double b, double logBeta, double low = 0.0,
                    double high = 1.0, double start = 0.5, double settled = 1e-15);

} // namespace velmora::risk
