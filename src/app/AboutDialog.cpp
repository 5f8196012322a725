#include "app/AboutDialog.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace velmora {

AboutDialog::AboutDialog(QWidget* parent) : QDialog(parent) {
    setWindowTitle("About Velmora");
    auto* icon = new QLabel;
    icon->setPixmap(QPixmap(":/icons/velmora.png"));
    icon->setAlignment(Qt::AlignTop);

    auto* lines = new QVBoxLayout;
    for (const char* text :
         {"Velmora Version 1.0", "Written for pavement engineers by the Velmora developers",
          "May 2009"})
        lines->addWidget(new QLabel(text));

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, Qt::Vertical);
    QPushButton* ok = buttons->button(QDialogButtonBox::Ok);
    ok->setText("OK");
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QGridLayout(this);
    layout->addWidget(icon, 0, 0);
    layout->addLayout(lines, 0, 1);
    layout->addWidget(buttons, 0, 2, Qt::AlignTop);
    layout->setColumnStretch(1, 1);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

} // namespace velmora
