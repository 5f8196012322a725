#include "app/PdfCommand.h"

#include "app/ProjectDocument.h"
#include "engine/Analysis.h"
#include "risk/RiskAnalysis.h"
#include "risk/RiskDefinitionsCheck.h"
#include "risk/RiskMemory.h"
#include "views/ProjectExport.h"

#include <QByteArray>
#include <new>
#include <optional>
#include <ostream>

namespace velmora {
namespace {

// The statuses of velmora-cli, which scripts already tell apart.
enum Status : int { kOk = 0, kFileError = 1, kUsageError = 2, kRefused = 3 };

const QString kOption = QStringLiteral("--pdf");
constexpr const char* kUsage = "Usage: velmora --pdf OUT.pdf FILE.vlm [--simulate]";

struct PdfArguments {
    QString out, file;
    bool simulate = false;
};

std::ostream& operator<<(std::ostream& err, const QString& text) {
    return err << text.toStdString();
}

int UsageError(std::ostream& err, const QString& problem) {
    err << "velmora: " << problem << '\n' << kUsage << '\n';
    return kUsageError;
}

// Options and the file in any order. A name starting with '-' is taken for an option, so that a
// forgotten OUT never makes "--simulate" the name of the PDF; "./-x.pdf" names such a file.
int Parse(const QStringList& arguments, PdfArguments& parsed, std::ostream& err) {
    bool outGiven = false;
    for (qsizetype k = 0; k < arguments.size(); ++k) {
        const QString& argument = arguments[k];
        if (argument == kOption) {
            if (outGiven) return UsageError(err, QStringLiteral("--pdf is given twice"));
            if (k + 1 == arguments.size() || arguments[k + 1].isEmpty() ||
                arguments[k + 1].startsWith('-'))
                return UsageError(err, QStringLiteral("--pdf needs the PDF file to write"));
            parsed.out = arguments[++k];
            outGiven = true;
        } else if (argument == QStringLiteral("--simulate")) {
            parsed.simulate = true;
        } else if (argument.startsWith('-') || !parsed.file.isEmpty()) {
            return UsageError(err, QStringLiteral("%1 is not an argument that --pdf takes")
                                       .arg(argument.isEmpty() ? "\"\"" : argument));
        } else {
            parsed.file = argument;
        }
    }
    if (parsed.file.isEmpty()) return UsageError(err, QStringLiteral("no project file is named"));
    return kOk;
}

// The risk definitions `project` keeps, checked and within the memory available, as velmora-cli
// simulate takes them; on a failure the status, and the reason on `err`.
int DefinitionsOf(const ProjectData& project, const QString& file,
                  risk::RiskDefinitions& definitions, std::ostream& err) {
    if (project.riskDefinitions.empty()) {
        err << "velmora: " << file << " holds no risk definitions: define some in the Risk "
            << "Analysis window (Ctrl+R) and save the project, or store some with velmora-cli "
            << "risk " << file << " --import DEFS.json\n";
        return kUsageError;
    }
    risk::ParsedDefinitions parsed = risk::ParseRiskDefinitions(project.riskDefinitions);
    std::string error = parsed.error;
    if (parsed.ok()) error = risk::CheckRiskDefinitions(parsed.definitions, project).error;
    if (!error.empty()) {
        err << "velmora: the risk definitions of " << file << ": " << error << '\n';
        return kUsageError;
    }
    if (const std::string shortfall = risk::MemoryShortfall(parsed.definitions);
        !shortfall.empty()) {
        err << "velmora: " << file << ": " << shortfall << "; run fewer iterations, or stop at "
            << "a precision, in the Risk Analysis window (Ctrl+R)\n";
        return kFileError;
    }
    definitions = std::move(parsed.definitions);
    return kOk;
}

// Says on `err` what Compute Costs says of `project`, as velmora-cli compute does: the refusal
// (kRefused) or each gridlocked option. The project itself is left as it is: the report runs
// on a copy of its own.
int ComputeStatus(const ProjectData& project, std::ostream& err) {
    ProjectData copy = project;
    if (const HandOff handOff = PrepareAnalysis(copy); !handOff.ok()) {
        err << handOff.refusal.caption << '\n' << handOff.refusal.text << '\n';
        return kRefused;
    }
    const AnalysisResult run = RunAnalysisOnCopy(copy);
    for (int option : {PavementOption::Asphalt, PavementOption::Concrete})
        if (run.option[option].gridlock)
            err << kGridlockCaption << " (" << PavementOption::kNames[option] << " option)\n"
                << kGridlockText << '\n';
    return kOk;
}

int WritePdf(const PdfArguments& arguments, std::ostream& err) {
    if (SameFile(arguments.out, arguments.file)) {
        err << "velmora: " << arguments.out << " is the project file " << arguments.file
            << "; the PDF would replace it\n";
        return kFileError;
    }
    ProjectDocument document;
    QObject::connect(&document, &ProjectDocument::openedWithLoss,
                     [&err](const QString& text) { err << "velmora: " << text << '\n'; });
    if (const QString reason = document.Open(arguments.file); !reason.isEmpty()) {
        err << "velmora: " << reason << '\n';
        return kFileError;
    }
    const ProjectData& project = document.Project();
    risk::RiskDefinitions definitions;
    if (arguments.simulate)
        if (const int status = DefinitionsOf(project, arguments.file, definitions, err);
            status != kOk)
            return status;

    int status = ComputeStatus(project, err);
    // A refused project has no costs for a risk analysis to range over, as in velmora-cli
    // workbook; its report prints the refusal.
    std::optional<risk::RiskAnalysis> analysis;
    if (arguments.simulate && status == kOk) {
        analysis = risk::RunRiskAnalysis(project, definitions);
        if (!analysis->refusals.empty() && analysis->iterations == analysis->refusedIterations) {
            const Refusal& refusal = analysis->refusals.front().refusal;
            err << refusal.caption << '\n' << refusal.text << '\n';
            status = kRefused;
        }
    }
    const QString reason = WriteProjectPdf(project, analysis ? &*analysis : nullptr, arguments.out);
    if (!reason.isEmpty()) {
        err << "velmora: cannot write " << arguments.out << ": " << reason << '\n';
        return kFileError;
    }
    return status;
}

} // namespace

bool IsPdfCommand(const QStringList& arguments) {
    return arguments.contains(kOption);
}

void PrepareForPdfCommand() {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", QByteArrayLiteral("offscreen"));
    // A failure that matters is reported by the command itself, in words a user acts on.
    static const QtMessageHandler qtHandler = qInstallMessageHandler(
        [](QtMsgType type, const QMessageLogContext& context, const QString& message) {
            if (type == QtCriticalMsg || type == QtFatalMsg) qtHandler(type, context, message);
        });
}

int RunPdfCommand(const QStringList& arguments, std::ostream& err) {
    PdfArguments parsed;
    if (const int status = Parse(arguments, parsed, err); status != kOk) return status;
    try {
        return WritePdf(parsed, err);
    } catch (const std::bad_alloc&) {
        err << "velmora: out of memory\n";
    }
    return kFileError;
}

} // namespace velmora
