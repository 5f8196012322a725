#include "gui/ChartPicture.h"

#include "gui/FileDialog.h"
#include "gui/MessageBox.h"
#include "gui/SaveBytes.h"

#include <QAction>
#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QPainter>
#include <QSvgGenerator>
#include <QWidget>

namespace velmora {
namespace {

const QString kPictureFilter = QStringLiteral("PNG Picture (*.png);;SVG Picture (*.svg)");

bool IsSvgName(const QString& path) {
    return QFileInfo(path).suffix().compare(QLatin1String("svg"), Qt::CaseInsensitive) == 0;
}

QByteArray SvgBytes(QWidget* view, const QString& title) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(view->size());
    svg.setViewBox(QRect(QPoint(0, 0), view->size()));
    svg.setTitle(title);
    QPainter painter(&svg);
    // QWidget's own render: a chart view's QGraphicsView::render would draw the scene alone,
    // without the view's frame and background.
    view->QWidget::render(&painter);
    painter.end();
    return buffer.data();
}

QByteArray PngBytes(QWidget* view) {
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    ChartImage(view).save(&buffer, "PNG");
    return buffer.data();
}

} // namespace

QImage ChartImage(QWidget* view) {
    return view->grab().toImage();
}

void CopyPicture(QWidget* view) {
    QApplication::clipboard()->setImage(ChartImage(view));
}

QString WritePicture(QWidget* view, const QString& path) {
    const QByteArray bytes =
        IsSvgName(path) ? SvgBytes(view, QFileInfo(path).completeBaseName()) : PngBytes(view);
    if (bytes.isEmpty()) return QStringLiteral("The picture could not be made.");
    return SaveBytes(path, std::string_view(bytes.constData(), size_t(bytes.size())));
}

QString SavePictureAs(QWidget* view, const QString& name) {
    FileDialogRequest request;
    request.save = true;
    request.caption = QStringLiteral("Save Picture As");
    request.initialName = name + QStringLiteral(".png");
    request.filter = kPictureFilter;
    for (;;) {
        QString path = AskFileName(view, request);
        if (path.isEmpty()) return {};
        if (QFileInfo(path).suffix().isEmpty()) path += QStringLiteral(".png");
        if (!MayReplace(view, path, request.caption)) {
            request.initialName = path;
            continue;
        }
        if (const QString reason = WritePicture(view, path); !reason.isEmpty()) {
            ShowMessage(view,
                        QStringLiteral("Cannot save the picture to %1.\n%2")
                            .arg(QDir::toNativeSeparators(path), reason),
                        request.caption, QMessageBox::Warning);
            return {};
        }
        return path;
    }
}

void AddPictureCommands(QWidget* view, const QString& name) {
    auto* copy = new QAction(QStringLiteral("&Copy Picture"), view);
    copy->setShortcut(QKeySequence::Copy);
    // The main window's Copy keeps Ctrl+C everywhere else.
    copy->setShortcutContext(Qt::WidgetShortcut);
    copy->setStatusTip(QStringLiteral("Copy the chart to the Clipboard as a picture"));
    QObject::connect(copy, &QAction::triggered, view, [view] { CopyPicture(view); });
    auto* save = new QAction(QStringLiteral("&Save Picture As..."), view);
    save->setStatusTip(QStringLiteral("Save the chart as a PNG or SVG picture"));
    QObject::connect(save, &QAction::triggered, view, [view, name] { SavePictureAs(view, name); });
    view->addActions({copy, save});
    view->setContextMenuPolicy(Qt::ActionsContextMenu);
    view->setFocusPolicy(Qt::StrongFocus);
}

} // namespace velmora
