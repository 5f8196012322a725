#include "CVelmoraApp.h"

#include "CAboutDlg.h"
#include "CHelpWindow.h"
#include "CMainFrame.h"
#include "CVelmoraDoc.h"
#include "CVelmoraView.h"
#include "FileDialog.h"
#include "Help.h"
#include "MessageBox.h"

#include <QApplication>
#include <QFileInfo>
#include <QSettings>
#include <QTimer>
#include <QWindow>
#include <cstdlib>

namespace velmora {

namespace {

QSettings Settings() {
    return QSettings("Local AppWizard-Generated Applications", "Velmora");
}

const QString kRecentGroup = QStringLiteral("Recent File List");

} // namespace

CVelmoraApp::CVelmoraApp() = default;
CVelmoraApp::~CVelmoraApp() {
    // Help requests after this point have no window to go to.
    SetHelpTopicHandler({});
}

int CVelmoraApp::Run(int argc, char** argv) {
    QApplication application(argc, argv);
    application.setApplicationName("Velmora");
    application.setWindowIcon(QIcon(":/icons/velmora.png"));
    CVelmoraApp app;
    if (!app.InitInstance(application.arguments().mid(1))) return app.ExitCode();
    if (app.QuitAfterShow()) {
        // Painting happens as the window is exposed, so an exposed window is a shown one. The
        // process then ends at once: what is timed is the start, not the tear-down.
        auto* poll = new QTimer(&application);
        QObject::connect(poll, &QTimer::timeout, [&app] {
            if (!app.MainFrame()->windowHandle()->isExposed()) return;
            QApplication::sync();
            std::_Exit(0);
        });
        poll->start(1);
    }
    return application.exec();
}

CVelmoraView& CVelmoraApp::View() const {
    return *frame_->View();
}

bool CVelmoraApp::InitInstance(const QStringList& arguments) {
    LoadStdProfileSettings();

    document_ = std::make_unique<CVelmoraDoc>();
    frame_ = std::make_unique<CMainFrame>(*this, *document_);
    frame_->OnCreate();
    frame_->UpdateRecentFileMenu(recentFiles_);
    QObject::connect(document_.get(), &CVelmoraDoc::fileUsed, frame_.get(),
                     [this](const QString& path) { AddToRecentFileList(path); });
    CHelpWindow::Install(frame_.get());

    bool print = false;
    QString file;
    for (const QString& argument : arguments) {
        if (argument == "/p" || argument == "-p")
            print = true;
        else if (argument == "--quit-after-show")
            quitAfterShow_ = true;
        else if (file.isEmpty())
            file = argument;
    }

    document_->OnNewDocument();
    if (print) {
        // Printing from the command line prints and ends without showing the window.
        if (file.isEmpty()) {
            ShowMessage(nullptr,
                        "No project file to print was named.\nStart Velmora as: velmora /p "
                        "FILE.vlm",
                        "Velmora");
            exitCode_ = 2;
            return false;
        }
        const bool opened = document_->OnOpenDocument(file);
        if (opened) View().OnFilePrint();
        exitCode_ = opened ? 0 : 1;
        return false;
    }
    // A file that cannot be opened has been reported; the program starts on the default
    // project rather than ending without a word.
    if (!file.isEmpty()) document_->OnOpenDocument(file);
    View().OnInitialUpdate();
    frame_->show();
    return true;
}

void CVelmoraApp::OnFileNew() {
    if (!document_->SaveModified()) return;
    document_->OnNewDocument();
    View().OnInitialUpdate();
}

void CVelmoraApp::OnFileOpen() {
    const QString path = AskFileName(
        frame_.get(),
        {.save = false, .caption = {}, .initialName = {}, .filter = CVelmoraDoc::kFilter});
    if (!path.isEmpty()) OpenDocumentFile(path);
}

bool CVelmoraApp::OpenDocumentFile(const QString& path) {
    if (!document_->SaveModified() || !document_->OnOpenDocument(path)) return false;
    View().OnInitialUpdate();
    return true;
}

void CVelmoraApp::OnOpenRecentFile(const QString& path) {
    if (OpenDocumentFile(path) || QFileInfo::exists(path)) return;
    recentFiles_.removeAll(path);
    frame_->UpdateRecentFileMenu(recentFiles_);
    SaveStdProfileSettings();
}

void CVelmoraApp::OnAppAbout() {
    CAboutDlg about(frame_.get());
    about.exec();
}

void CVelmoraApp::AddToRecentFileList(const QString& path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    recentFiles_.removeAll(absolute);
    recentFiles_.prepend(absolute);
    while (recentFiles_.size() > kRecentFiles) recentFiles_.removeLast();
    if (frame_) frame_->UpdateRecentFileMenu(recentFiles_);
    SaveStdProfileSettings();
}

void CVelmoraApp::LoadStdProfileSettings() {
    QSettings settings = Settings();
    recentFiles_.clear();
    for (int k = 1; k <= kRecentFiles; ++k) {
        const QString path =
            settings.value(QString("%1/File%2").arg(kRecentGroup).arg(k)).toString();
        if (!path.isEmpty()) recentFiles_.append(path);
    }
}

void CVelmoraApp::SaveStdProfileSettings() const {
    QSettings settings = Settings();
    settings.remove(kRecentGroup);
    for (int k = 0; k < recentFiles_.size(); ++k)
        settings.setValue(QString("%1/File%2").arg(kRecentGroup).arg(k + 1), recentFiles_[k]);
}

} // namespace velmora
