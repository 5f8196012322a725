#pragma once

// velmora --pdf OUT.pdf FILE.vlm [--simulate]: the printed report of a project file written as a
// PDF file, for scripts and batch runs. It runs without a display and asks nothing: every
// message is a line on stderr, and the exit status is what velmora-cli's would be.

#include <QStringList>
#include <iosfwd>

namespace velmora {

// The command line (program name excluded) asks for a PDF instead of the window.
bool IsPdfCommand(const QStringList& arguments);

// Qt's offscreen platform, unless the environment names a platform, so that the command runs
// where no display is; and stderr kept for the command's own messages, which a script reads,
// without Qt's warnings about the environment. Call before the QApplication is made.
void PrepareForPdfCommand();

// Writes the PDF that File > Export PDF writes; with --simulate, after a risk analysis of the
// project's risk definitions, whose results it then holds. Needs a QApplication. Returns 0 on
// success, 1 for a file that cannot be read or written (or a risk analysis the memory cannot
// hold), 2 for a usage error, 3 for a project that Compute Costs refuses, whose PDF is still
// written with the refusal printed in place of the costs.
int RunPdfCommand(const QStringList& arguments, std::ostream& err);

} // namespace velmora
