#include "gui/Cp1252Validator.h"

#include "model/Cp1252.h"

#include <QApplication>

namespace velmora {

bool FitsProjectFile(const QString& text) {
    return FitsCp1252(text.toStdString());
}

QValidator::State Cp1252Validator::validate(QString& input, int&) const {
    if (FitsProjectFile(input)) return Acceptable;
    QApplication::beep();
    return Invalid;
}

} // namespace velmora
