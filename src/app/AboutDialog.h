#pragma once

#include <QDialog>

namespace velmora {

// "About Velmora": the icon, the version, the credit line and the date. It changes nothing.
class AboutDialog : public QDialog {
    Q_OBJECT

public:
    explicit AboutDialog(QWidget* parent = nullptr);
};

} // namespace velmora
