#pragma once

// Pictures of a chart: whatever a chart view shows goes to the clipboard or to a PNG or SVG
// file from here, so that every chart of the program offers the same two commands.

#include <QString>

class QImage;
class QWidget;

namespace velmora {

// The view as it is on the screen, at the screen's pixel density.
QImage ChartImage(QWidget* view);

// Puts the picture of `view` on the clipboard.
void CopyPicture(QWidget* view);

// Writes the picture of `view` to `path`: SVG when the name ends in ".svg", PNG otherwise.
// Returns the reason of a failure, an empty text on success.
QString WritePicture(QWidget* view, const QString& path);

// Save Picture As: asks for a name (proposing `name`.png), asks before replacing a file, and
// says so when the picture cannot be written. Returns the path written, empty when none was.
QString SavePictureAs(QWidget* view, const QString& name);

// Gives `view` a context menu with "&Copy Picture" (Ctrl+C while the view has the focus) and
// "&Save Picture As...", the latter proposing `name` as the file name.
void AddPictureCommands(QWidget* view, const QString& name);

} // namespace velmora
