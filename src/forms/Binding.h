#pragma once

// A control bound to a field of the record, and the exchange of the value between the two.

#include "model/ProjectData.h"

#include <QString>
#include <cstdint>
#include <functional>
#include <string>
#include <variant>

class QWidget;

namespace velmora {

// A field of the record; which alternative it is gives the kind of the exchange.
using FieldPtr = std::variant<double*, std::int32_t*, std::string*>;
using FieldOf = std::function<FieldPtr(ProjectData&)>;

struct Binding {
    enum class Kind { Double, Integer, Text, Choice };

    Binding(int id, FieldOf field) : id(id), field(std::move(field)) {}

    // Takes `control`, and the kind of exchange from it and the type of the field.
    void Attach(QWidget* control, ProjectData& record);
    // Control to record. A control that still shows what it was last given leaves the field as
    // it is. False when the text of a number does not parse; the field then keeps its value.
    bool Save(ProjectData& record);
    // Record to control; a control that already shows the value is left alone, keeping its
    // cursor and undo steps.
    void Show(ProjectData& record);

    int id;
    FieldOf field;
    QWidget* control = nullptr;
    Kind kind = Kind::Double;
    // What the control was last given, so that a field the user did not touch keeps its value
    // bit for bit (a number with more than 15 digits, a choice index that no list entry
    // matches, CR LF line ends).
    QString shownText;
    int shownIndex = -1;
};

} // namespace velmora
