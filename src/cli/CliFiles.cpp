// The files a command reads and writes: the project file, the outputs, and the rule that no
// output of a run replaces one of its inputs.

#include "Cli.h"
#include "FileIo.h"
#include "model/ProjectFile.h"
#include "planner/PlannerSettings.h"
#include "risk/RiskDefinitions.h"

#include <iostream>

namespace velmora::cli {

bool LoadProject(const std::string& path, ProjectData& project, std::ostream& err) {
    const FileRead file = ReadFileBytes(path);
    if (!file.ok()) {
        err << "velmora-cli: cannot read " << path << ": " << file.error << '\n';
        return false;
    }
    DecodeResult result = risk::DecodeProjectAndDefinitions(file.bytes, project);
    planner::DropUnreadableSettings(project, result);
    if (!result.ok()) err << "velmora-cli: cannot read " << path << ": " << result.message << '\n';
    if (!result.warning.empty()) err << "velmora-cli: " << path << ": " << result.warning << '\n';
    return result.ok();
}

bool SaveProject(const std::string& path, const ProjectData& project, std::ostream& err) {
    const EncodedProject encoded = EncodeProject(project);
    return WriteOutput(path, encoded.bytes, encoded.unencodableField, "a project file", nullptr,
                       err);
}

bool WriteOutput(const std::string& path, std::string_view bytes,
                 const std::string& unencodableField, std::string_view kind, std::ostream* out,
                 std::ostream& err) {
    if (!unencodableField.empty()) {
        err << "velmora-cli: cannot write " << path << ": " << unencodableField
            << " holds a character that " << kind << " cannot hold\n";
        return false;
    }
    return WriteOutput(
        path, [bytes](const auto& write) { write(bytes); }, out, err);
}

bool WriteOutput(const std::string& path, const Producer& produce, std::ostream* out,
                 std::ostream& err) {
    if (out && path == "-") {
        if (out == &std::cout) UseBinaryStandardOutput();
        produce([out](std::string_view piece) {
            out->write(piece.data(), static_cast<std::streamsize>(piece.size()));
        });
        return true;
    }
    const FileWrite written = WriteFileAtomically(path, produce);
    if (!written.ok()) err << "velmora-cli: cannot write " << path << ": " << written.error << '\n';
    return written.ok();
}

bool NamesAnInput(const std::string& output, const std::vector<RunInput>& inputs,
                  std::string_view kind, std::ostream& err) {
    if (output == "-") return false;
    for (const RunInput& input : inputs) {
        if (!SameFile(input.path, output)) continue;
        err << "velmora-cli: " << output << " is the " << input.name << "; the " << kind
            << " would replace it\n";
        return true;
    }
    return false;
}

std::vector<RunInput> WithDefinitions(std::vector<RunInput> inputs, const Arguments& arguments) {
    if (!arguments.riskFile.empty())
        inputs.push_back({arguments.riskFile, "risk definitions file " + arguments.riskFile});
    return inputs;
}

} // namespace velmora::cli
