#include "app/HelpWindow.h"

#include "gui/Help.h"

#include <QApplication>
#include <QFile>
#include <QPointer>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace velmora {

HelpWindow::HelpWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setWindowTitle("Velmora Help");
    setAttribute(Qt::WA_DeleteOnClose);
    browser_ = new QTextBrowser(this);
    // Links name topics; following them here lets a topic that is not written yet say so.
    browser_->setOpenLinks(false);
    connect(browser_, &QTextBrowser::anchorClicked, this,
            [this](const QUrl& url) { ShowTopic(url.fileName().section('.', 0, 0)); });

    auto* contents = new QPushButton("&Contents");
    auto* back = new QPushButton("&Back");
    back->setEnabled(false);
    connect(contents, &QPushButton::clicked, this, [this] { ShowTopic(kContentsTopic); });
    connect(back, &QPushButton::clicked, browser_, &QTextBrowser::backward);
    connect(browser_, &QTextBrowser::backwardAvailable, back, &QPushButton::setEnabled);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(contents);
    buttons->addWidget(back);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(browser_);
    resize(560, 480);
}

void HelpWindow::ShowTopic(const QString& topic) {
    topic_ = topic;
    const QString path = QString(":/help/%1.html").arg(topic);
    if (QFile::exists(path)) {
        browser_->setSource(QUrl("qrc" + path));
    } else {
        browser_->setHtml(QString("<h2>%1</h2><p>This help topic has not been written yet.</p>"
                                  "<p><a href=\"%2.html\">Help Topics</a></p>")
                              .arg(topic.toHtmlEscaped(), kContentsTopic));
    }
}

void HelpWindow::Install(QWidget* mainWindow) {
    static QPointer<HelpWindow> window;
    SetHelpTopicHandler([mainWindow](const QString& topic) {
        // A window outside the open modal form could not be used until the form closes, so
        // the help window belongs to the form that asked.
        QWidget* owner = QApplication::activeModalWidget();
        if (!owner) owner = mainWindow;
        if (window && window->parentWidget() != owner) {
            window->close();
            window = nullptr;
        }
        if (!window) window = new HelpWindow(owner);
        window->ShowTopic(topic);
        window->show();
        window->raise();
        window->activateWindow();
    });
}

} // namespace velmora
