#pragma once

// The help window: the program's help topics, HTML pages under :/help/, in a browser window of
// their own. Forms ask for their topics by name through ShowHelpTopic.

#include <QWidget>

class QTextBrowser;

namespace velmora {

class HelpWindow : public QWidget {
    Q_OBJECT

public:
    explicit HelpWindow(QWidget* parent = nullptr);

    // Shows `topic` (a file name without ".html"); a topic not yet written says so.
    void ShowTopic(const QString& topic);
    QString CurrentTopic() const { return topic_; }
    QTextBrowser* Browser() const { return browser_; }

    // Answers every help request of the program from now on. The window opens on the first
    // request, above whatever form asked for it.
    static void Install(QWidget* mainWindow);

    static constexpr const char* kContentsTopic = "index";

private:
    QTextBrowser* browser_;
    QString topic_;
};

} // namespace velmora
