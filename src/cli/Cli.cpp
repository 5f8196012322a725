#include "Cli.h"

#include "FileIo.h"
#include "model/ProjectFile.h"
#include "model/SavedFields.h"

#include <algorithm>
#include <charconv>
#include <optional>
#include <ostream>

namespace velmora::cli {
namespace {

constexpr std::string_view kUsage =
    "usage: velmora-cli new FILE\n"
    "       velmora-cli show FILE\n"
    "       velmora-cli compute FILE [--json] [--set NAME=VALUE]...\n"
    "       velmora-cli report FILE OUT [--set NAME=VALUE]...\n";

// `show`'s escapes: the letter after the backslash, and the character it stands for.
struct Escape {
    char letter;
    char character;
};
constexpr Escape kEscapes[] = {{'\\', '\\'}, {'t', '\t'}, {'r', '\r'}, {'n', '\n'}};

std::optional<std::string> UnescapeText(std::string_view text) {
    std::string out;
    for (std::size_t k = 0; k < text.size(); ++k) {
        if (text[k] != '\\') {
            out += text[k];
            continue;
        }
        if (++k == text.size()) return std::nullopt;
        const Escape* escape = std::ranges::find(kEscapes, text[k], &Escape::letter);
        if (escape == std::end(kEscapes)) return std::nullopt;
        out += escape->character;
    }
    return out;
}

template <class T>
bool ParseWhole(std::string_view text, T& value) {
    const char* end = text.data() + text.size();
    auto [ptr, ec] = std::from_chars(text.data(), end, value);
    return ec == std::errc() && ptr == end;
}

int New(const std::vector<std::string>& args, std::ostream&, std::ostream& err) {
    if (args.size() != 1) return UsageError(err);
    return SaveProject(args[0], ProjectData{}, err) ? kOk : kFileError;
}

int Show(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() != 1) return UsageError(err);
    ProjectData project;
    if (!LoadProject(args[0], project, err)) return kFileError;
    ForEachSavedField(project, [&](const FieldName& name, const auto& field) {
        using T = std::decay_t<decltype(field)>;
        out << name.str() << '=';
        if constexpr (std::is_same_v<T, double>)
            out << FormatNumber(field);
        else if constexpr (std::is_same_v<T, std::int32_t>)
            out << field;
        else
            out << EscapeText(field);
        out << '\n';
    });
    return kOk;
}

} // namespace

std::string FormatNumber(double value) {
    char buffer[64];
    auto [end, ec] =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, 17);
    return std::string(buffer, end);
}

std::string EscapeText(std::string_view text) {
    std::string out;
    for (char c : text) {
        const Escape* escape = std::ranges::find(kEscapes, c, &Escape::character);
        if (escape == std::end(kEscapes)) {
            out += c;
        } else {
            out += '\\';
            out += escape->letter;
        }
    }
    return out;
}

bool LoadProject(const std::string& path, ProjectData& project, std::ostream& err) {
    std::string reason;
    const auto bytes = ReadFileBytes(path, reason);
    if (!bytes) {
        err << "velmora-cli: cannot read " << path << ": " << reason << '\n';
        return false;
    }
    const DecodeResult result = DecodeProject(*bytes, project);
    if (!result.ok) err << "velmora-cli: cannot read " << path << ": " << result.message << '\n';
    return result.ok;
}

bool WriteOutput(const std::string& path, std::string_view bytes,
                 const std::string& unencodableField, std::string_view kind, std::ostream& err) {
    if (!unencodableField.empty()) {
        err << "velmora-cli: cannot write " << path << ": " << unencodableField
            << " holds a character that " << kind << " cannot hold\n";
        return false;
    }
    const std::string reason = WriteFileAtomically(path, bytes);
    if (!reason.empty()) err << "velmora-cli: cannot write " << path << ": " << reason << '\n';
    return reason.empty();
}

bool SaveProject(const std::string& path, const ProjectData& project, std::ostream& err) {
    const EncodedProject encoded = EncodeProject(project);
    return WriteOutput(path, encoded.bytes, encoded.unencodableField, "a project file", err);
}

bool ApplySet(ProjectData& project, std::string_view assignment, std::ostream& err) {
    const auto eq = assignment.find('=');
    if (eq == std::string_view::npos) {
        err << "velmora-cli: --set needs NAME=VALUE, not " << assignment << '\n';
        return false;
    }
    const std::string_view name = assignment.substr(0, eq);
    const std::string_view value = assignment.substr(eq + 1);
    bool found = false;
    bool parsed = false;
    ForEachSavedField(project, [&](const FieldName& field, auto& member) {
        if (found || field.str() != name) return;
        found = true;
        using T = std::decay_t<decltype(member)>;
        if constexpr (std::is_same_v<T, std::string>) {
            auto text = UnescapeText(value);
            if ((parsed = text.has_value())) member = std::move(*text);
        } else {
            T number{};
            if ((parsed = ParseWhole(value, number))) member = number;
        }
    });
    if (!found)
        err << "velmora-cli: no saved field is named " << name << '\n';
    else if (!parsed)
        err << "velmora-cli: " << value << " is not a value for " << name << '\n';
    return found && parsed;
}

int UsageError(std::ostream& err) {
    err << kUsage;
    return kUsageError;
}

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    struct Command {
        std::string_view name;
        int (*run)(const std::vector<std::string>&, std::ostream&, std::ostream&);
    };
    static constexpr Command kCommands[] = {
        {"new", New}, {"show", Show}, {"compute", Compute}, {"report", Report}};
    if (!args.empty()) {
        for (const Command& command : kCommands) {
            if (args[0] == command.name)
                return command.run({args.begin() + 1, args.end()}, out, err);
        }
    }
    return UsageError(err);
}

} // namespace velmora::cli
