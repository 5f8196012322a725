#pragma once

// Which saved fields may be uncertain inputs of a risk analysis, which values the analysis
// accepts in each, and where a field sits in a working copy of the project.

#include "model/ProjectData.h"

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace velmora::risk {

struct FieldInfo {
    enum class Kind {
        Number,     // a double
        Whole,      // an int32 count (wzLanes, yearsBetween): samples take the nearest whole number
        ListIndex,  // an int32 drop-down index: discrete samples only
        Text,       // never uncertain
        Recomputed, // rewritten by every Compute Costs run, so a sample would be lost
    };
    Kind kind = Kind::Number;
    // The values Compute Costs accepts, after the hand-off's guards; a list's first and last
    // index.
    double low = 0.0;
    double high = 0.0;
    // The position among the 214 saved items, from 0.
    int item = 0;
};

// The field that `velmora-cli show` prints under `name`, or nothing.
std::optional<FieldInfo> LookUpField(std::string_view name);

// One uncertain field of one working copy of the project, found once so that an iteration
// writes its sample without looking up a name.
struct FieldSlot {
    double* number = nullptr;
    std::int32_t* whole = nullptr;

    double Get() const { return number ? *number : *whole; }
    // Whole-number fields get a value that is already whole.
    void Set(double value) const {
        if (number)
            *number = value;
        else
            *whole = static_cast<std::int32_t>(value);
    }
};

// The slots of the saved items `items` (positions from LookUpField) in `project`.
std::vector<FieldSlot> FindSlots(ProjectData& project, const std::vector<int>& items);
// The value the saved item `item` has in `project`.
double ProjectValue(const ProjectData& project, int item);

} // namespace velmora::risk
