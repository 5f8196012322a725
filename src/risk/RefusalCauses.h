#pragma once

// Which uncertain inputs lead Compute Costs to refuse iterations of a risk analysis.

#include "RiskAnalysis.h"

#include <cstddef>
#include <string>
#include <vector>

namespace velmora::risk {

// The uncertain inputs whose samples set the refused iterations apart from the others, with
// the range their refused samples lie in: what a warning names when many iterations were refused.
struct RefusalCause {
    std::string field;
    double low = 0.0, high = 0.0;
};
// At most `most` of them, the input that sets them apart most clearly first: by how much more
// often a refused sample lies above an accepted one than below (or the other way round), judged
// through the rank correlation of the input with being refused. An input that does so in less
// than a tenth of the pairs, or no more than chance would over this many iterations, is no
// cause. Empty when no iteration, or every one, was refused: then no sample tells refused from
// accepted. The range is that of the refused samples beyond every accepted one on the side the
// refused lean to, where there are such samples, so that the refusals of another cause do not
// stretch it over the whole range; else of all refused samples.
std::vector<RefusalCause> RefusalCauses(const RiskAnalysis& a, std::size_t most = 3);

} // namespace velmora::risk
