// Any bytes must either open as a project or fail cleanly, leaving the record untouched; a
// project that opened must save and reopen to the same record, its risk definitions and planner
// settings included, and a damaged block must never come along to be saved back.
#include "model/ProjectFile.h"
#include "planner/PlannerSettings.h"

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    velmora::ProjectData project;
    project.aadt = -12.5; // a marker that a failed read must not touch
    velmora::DecodeResult result = velmora::DecodeProject(bytes, project);
    if (!result.ok()) {
        if (project.aadt != -12.5 || result.missingField.empty()) std::abort();
        return 0;
    }
    // A block that came along is never the one the warning calls damaged.
    const auto damaged = [&](const char* name) {
        return result.warning.find(std::string(name) + " could not be read") != std::string::npos;
    };
    if (!project.riskDefinitions.empty() && damaged("The risk definitions")) std::abort();
    if (!project.workZonePlanner.empty() && damaged("The work zone planner settings")) std::abort();
    // Settings that do not parse are left out like a damaged block.
    velmora::planner::DropUnreadableSettings(project, result);
    if (!project.workZonePlanner.empty() && damaged("The work zone planner settings")) std::abort();
    // Wide (UTF-16) texts may hold characters that a saved file cannot; that is reported.
    const velmora::EncodedProject saved = velmora::EncodeProject(project);
    if (!saved.ok()) return 0;
    velmora::ProjectData reopened;
    const velmora::DecodeResult again = velmora::DecodeProject(saved.bytes, reopened);
    if (!again.ok() || !again.warning.empty()) std::abort();
    if (reopened.riskDefinitions != project.riskDefinitions ||
        reopened.workZonePlanner != project.workZonePlanner)
        std::abort();
    if (velmora::EncodeProject(reopened).bytes != saved.bytes) std::abort();
    return 0;
}
