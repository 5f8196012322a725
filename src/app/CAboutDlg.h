#pragma once

#include <QDialog>

namespace velmora {

// "About Velmora": the icon, the version, the credit line and the date. It changes nothing.
class CAboutDlg : public QDialog {
    Q_OBJECT

public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};

} // namespace velmora
