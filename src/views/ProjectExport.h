#pragma once

// Export Workbook and Export PDF: the analysis handed on as a spreadsheet workbook or as the
// printed report in a PDF file. Both ask for the file through the file dialog seam, never write
// over the project's own file, ask before replacing another, and say through a message box why
// a file was not written.

#include "report/Workbook.h"

#include <QString>

class QWidget;

namespace velmora {

// Asks for a file and writes the workbook of `content` into it, naming uncertain inputs as the
// forms do.
void ExportWorkbook(QWidget* parent, const WorkbookContent& content, const QString& projectFile);

// The workbook of a Compute Costs run on a copy of `project`: a project the hand-off refuses
// gets its inputs and the refusal. `risk`, results of a risk analysis of the project as it
// stands, adds their sheets.
void ExportProjectWorkbook(QWidget* parent, const ProjectData& project, const QString& projectFile,
                           const risk::RiskAnalysis* risk = nullptr);

// Writes the printed report of `project` as a PDF file at `path`, as Print would print it;
// `risk`, results of a risk analysis of the project as it stands, adds their pages. A file
// already there is replaced only once the whole report is written. Returns why nothing was
// written, or an empty text.
QString WriteProjectPdf(const ProjectData& project, const risk::RiskAnalysis* risk,
                        const QString& path);

// Asks for a file and writes the printed report of `project` into it as PDF, without a print
// dialog.
void ExportPdf(QWidget* parent, const ProjectData& project, const QString& projectFile,
               const risk::RiskAnalysis* risk = nullptr);

// The file the user chose for an export, ".extension" added to a bare name, or an empty text
// when there is nothing to write: cancelled, the project's own file, or a file the user would
// rather keep. `filter` names the file type: "CSV Files (*.csv)".
QString AskExportFile(QWidget* parent, const QString& caption, const QString& extension,
                      const QString& filter, const QString& projectFile);

// True when `reason` is empty; otherwise says through a message box that `path` was not written,
// and why.
bool ExportWritten(QWidget* parent, const QString& caption, const QString& path,
                   const QString& reason);

// Two names of one file: the same path spelt another way, a link, a hard link.
bool SameFile(const QString& a, const QString& b);

} // namespace velmora
