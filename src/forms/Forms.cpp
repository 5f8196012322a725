#include "Forms.h"

// Placeholders: each form replaces its function here as it lands, and then this file goes.

namespace velmora {

bool EditAsphaltActivities(ProjectData&, QWidget*) {
    return false;
}
bool EditConcreteActivities(ProjectData&, QWidget*) {
    return false;
}
bool EditMaintenance(ProjectData&, QWidget*) {
    return false;
}

} // namespace velmora
