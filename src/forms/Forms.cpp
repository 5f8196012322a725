#include "Forms.h"

// Placeholders: each part of the program replaces its function here as it lands, and then this
// file goes.

namespace velmora {

void PrintProject(QPrinter&, const ProjectData&) {}

} // namespace velmora
