#pragma once

// Text fields take only what a project file can hold: a character outside Windows-1252 is
// refused as it is typed or pasted, so it can never be dropped later when the file is written.

#include <QValidator>

namespace velmora {

bool FitsProjectFile(const QString& text);

// For single-line edits: any input holding a character outside Windows-1252 is invalid, so the
// edit refuses the keystroke or the paste as a whole.
class Cp1252Validator : public QValidator {
    Q_OBJECT
public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override;
};

} // namespace velmora
