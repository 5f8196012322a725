#include "views/ProjectExport.h"

#include "forms/InputLabels.h"
#include "gui/FileDialog.h"
#include "gui/MessageBox.h"
#include "gui/SaveBytes.h"
#include "views/PrintedReport.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPrinter>
#include <QTemporaryDir>
#include <ctime>
#include <filesystem>

namespace velmora {

QString AskExportFile(QWidget* parent, const QString& caption, const QString& extension,
                      const QString& filter, const QString& projectFile) {
    FileDialogRequest request;
    request.save = true;
    request.caption = caption;
    request.initialName = "*." + extension;
    request.filter = filter + ";;All Files (*)";
    QString path = AskFileName(parent, request);
    if (path.isEmpty()) return {};
    // "report" means report.pdf, as the file type chosen says.
    if (QFileInfo(path).suffix().isEmpty()) path += '.' + extension;
    if (SameFile(path, projectFile)) {
        ShowMessage(parent,
                    QStringLiteral("Cannot export to %1.\nIt is the file of the open project, "
                                   "which the export would replace. Please choose another name.")
                        .arg(QDir::toNativeSeparators(path)),
                    caption, QMessageBox::Warning);
        return {};
    }
    return MayReplace(parent, path, caption) ? path : QString();
}

bool ExportWritten(QWidget* parent, const QString& caption, const QString& path,
                   const QString& reason) {
    if (reason.isEmpty()) return true;
    ShowMessage(
        parent,
        QStringLiteral("Cannot export to %1.\n%2").arg(QDir::toNativeSeparators(path), reason),
        caption, QMessageBox::Warning);
    return false;
}

bool SameFile(const QString& a, const QString& b) {
    std::error_code error;
    return !b.isEmpty() && std::filesystem::equivalent(QFile::encodeName(a).toStdString(),
                                                       QFile::encodeName(b).toStdString(), error);
}

void ExportWorkbook(QWidget* parent, const WorkbookContent& content, const QString& projectFile) {
    const QString caption = QStringLiteral("Export Workbook");
    const QString path = AskExportFile(parent, caption, "xlsx",
                                       QStringLiteral("Excel Workbook (*.xlsx)"), projectFile);
    if (path.isEmpty()) return;
    WorkbookContent labelled = content;
    labelled.inputLabel = [](const std::string& field) {
        return LabelOfInput(field).toStdString();
    };
    const Workbook workbook = BuildWorkbook(labelled);
    const QString reason =
        workbook.ok() ? SaveBytes(path, workbook.bytes) : QString::fromStdString(workbook.error);
    if (!ExportWritten(parent, caption, path, reason)) return;
    ShowMessage(parent,
                QStringLiteral("Your life cycle cost analysis has been successfully exported."),
                caption, QMessageBox::Information);
}

void ExportProjectWorkbook(QWidget* parent, const ProjectData& project, const QString& projectFile,
                           const risk::RiskAnalysis* risk) {
    // The hand-off rewrites the stage flags: the export works on a copy and changes no record.
    ProjectData copy = project;
    const HandOff handOff = PrepareAnalysis(copy);
    const AnalysisResult run = handOff.ok() ? RunAnalysisOnCopy(copy) : AnalysisResult{};
    WorkbookContent content;
    content.project = &copy;
    content.run = handOff.ok() ? &run : nullptr;
    content.refusal = handOff.ok() ? nullptr : &handOff.refusal;
    content.risk = risk;
    content.time = std::time(nullptr);
    ExportWorkbook(parent, content, projectFile);
}

QString WriteProjectPdf(const ProjectData& project, const risk::RiskAnalysis* risk,
                        const QString& path) {
    // Qt's PDF writer writes straight into its file: it writes a private one, and the chosen
    // file is replaced only once the whole report is there.
    QTemporaryDir folder;
    const QString pdf = folder.filePath("report.pdf");
    {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(pdf);
        PreparePrinter(printer, project);
        if (PrintProject(printer, project, risk) == 0)
            return QStringLiteral("The printed report could not be made.");
    }
    QFile file(pdf);
    const QByteArray bytes =
        folder.isValid() && file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    if (bytes.isEmpty()) return QStringLiteral("The printed report could not be made.");
    return SaveBytes(path, std::string_view(bytes.constData(), bytes.size()));
}

void ExportPdf(QWidget* parent, const ProjectData& project, const QString& projectFile,
               const risk::RiskAnalysis* risk) {
    const QString caption = QStringLiteral("Export PDF");
    const QString path =
        AskExportFile(parent, caption, "pdf", QStringLiteral("PDF Files (*.pdf)"), projectFile);
    if (path.isEmpty()) return;
    ExportWritten(parent, caption, path, WriteProjectPdf(project, risk, path));
}

} // namespace velmora
