#pragma once

// Drives an input form as a user would: focus a field, type, leave it with Tab, press keys and
// buttons. Message boxes are answered by whichever MessageRecorder the test holds. Also the
// control ids of the forms' repeated rows, which several tests walk.

#include "forms/InputForm.h"

#include <QList>
#include <QString>
#include <array>
#include <functional>

namespace velmora::test {

class FormDriver {
public:
    // Shows the form if it is not yet shown and makes it the active window.
    explicit FormDriver(InputForm& form);

    // Replaces the text of field `id` with `text`, without leaving the field.
    void Type(int id, const QString& text);
    // Types `text` at the cursor of field `id`, whatever the characters; "\n" is Return.
    void Keys(int id, const QString& text);
    // Types into field `id` and leaves it with Tab; a drop-down list takes the entry whose
    // index `text` holds.
    void Enter(int id, const QString& text);
    void Key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier);
    void Click(int id);
    void Focus(int id);

    // What the control shows: the text of an edit or a static, the entry of a list.
    QString Text(int id) const;
    bool HasFocus(int id) const;
    // The ids of the form's controls that the focus visits, from the focused one, with Tab.
    QList<int> TabWalk(int steps);

    InputForm& form;
};

enum class Close { Accept, Enter, Cancel, Escape, CloseBox };

// Runs `edit` (one of the Edit... functions) on `project`; once its form shows, `drive` works
// on it and `close` ends it, unless `drive` closed it. Returns what `edit` returned.
bool RunForm(bool (*edit)(ProjectData&, QWidget*), ProjectData& project,
             const std::function<void(FormDriver&)>& drive, Close close = Close::Accept);

// A row of an activities form: the stage field it edits, its boxes for stage 0 to 3, and the
// reset of a unit weight (0 for the rows that only refuse values below 0).
struct StageRow {
    const char* field;
    std::array<int, 4> ids;
    int unitWeight = 0;
};

inline const StageRow kAsphaltRows[] = {
    {"year", {1010, 1034, 1042, 1050}},
    {"wearingThickness", {1011, 1035, 1043, 1051}},
    {"wearingUnitWeight", {1018, 1019, 1020, 1021}, 145},
    {"binderThickness", {1012, 1036, 1044, 1052}},
    {"binderUnitWeight", {1022, 1023, 1024, 1025}, 145},
    {"baseThickness", {1013, 1037, 1045, 1053}},
    {"baseUnitWeight", {1026, 1027, 1028, 1029}, 145},
    {"aggBaseThickness", {1014, 1038, 1046, 1054}},
    {"aggBaseUnitWeight", {1030, 1058, 1059, 1060}, 115},
    {"miscQuantity", {1015, 1039, 1047, 1055}},
    {"millingArea", {1016, 1040, 1048, 1056}},
    {"patchingArea", {1017, 1041, 1049, 1057}},
    {"daysToComplete", {1031, 1032, 1033, 1061}},
};

inline const StageRow kConcreteRows[] = {
    {"year", {1064, 1065, 1066, 1082}},
    {"concreteArea", {1037, 1049, 1067, 1083}},
    {"concreteMillingArea", {1038, 1050, 1068, 1084}},
    {"jointSealingLength", {1039, 1051, 1069, 1085}},
    {"concretePatchingArea", {1040, 1052, 1070, 1086}},
    {"hmaOverlayThickness", {1041, 1053, 1071, 1087}},
    {"hmaOverlayUnitWeight", {1042, 1054, 1072, 1088}, 145},
    {"aggBaseThickness", {1043, 1055, 1073, 1089}},
    {"aggBaseUnitWeight", {1044, 1056, 1074, 1090}, 115},
    {"miscQuantity[0]", {1045, 1057, 1075, 1091}},
    {"miscQuantity[1]", {1046, 1058, 1076, 1092}},
    {"miscQuantity[2]", {1047, 1059, 1077, 1093}},
    {"daysToComplete", {1048, 1060, 1078, 1094}},
};

// The unit words beside the boxes of the concrete form's miscellaneous rows, stage 0 to 3.
inline constexpr std::array<std::array<int, 4>, 3> kConcreteUnitWords{
    {{1034, 1061, 1079, 1095}, {1035, 1062, 1080, 1096}, {1036, 1063, 1081, 1097}}};

// The boxes of the maintenance activities 0 to 7: the asphalt option's 0 to 3, then the
// concrete option's, in the order of the fields of an activity.
struct MaintenanceColumn {
    const char* field;
    std::array<int, 8> ids;
};
inline const MaintenanceColumn kMaintenanceColumns[] = {
    {"description", {1103, 1108, 1113, 1118, 1123, 1128, 1133, 1138}},
    {"quantity", {1104, 1109, 1114, 1119, 1124, 1129, 1134, 1139}},
    {"unitPrice", {1105, 1112, 1117, 1122, 1127, 1132, 1137, 1142}},
    {"yearsBetween", {1106, 1111, 1116, 1121, 1126, 1131, 1136, 1141}},
    {"treatmentCount", {1107, 1110, 1115, 1120, 1125, 1130, 1135, 1140}},
};
enum MaintenanceField { kDescription, kQuantity, kUnitPrice, kYears, kCount };

} // namespace velmora::test
