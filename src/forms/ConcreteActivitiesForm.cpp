#include "forms/ConcreteActivitiesForm.h"

namespace velmora {
namespace {

using P = ProjectData;
using S = ConcreteStage;

enum Row {
    Year,
    ConcreteArea,
    ConcreteMillingArea,
    JointSealingLength,
    ConcretePatchingArea,
    HmaOverlayThickness,
    HmaOverlayUnitWeight,
    AggBaseThickness,
    AggBaseUnitWeight,
    Misc1,
    Misc2,
    Misc3,
    DaysToComplete,
};

ActivitiesForm::Layout ConcreteLayout() {
    using D = ActivitiesForm;
    auto at = [](auto member) { return D::Each(&P::concreteStage, member); };
    auto misc = [](int item) { return D::Each(&P::concreteStage, &S::miscQuantity, item); };
    const D::Check positive = D::Positive();
    auto quantity = [](int item) {
        return QStringLiteral("Quantity of miscellaneous pay item %1 of the concrete option in "
                              "%2, for the whole project, in the unit shown beside the box "
                              "(chosen in the Unit Prices form). 0 or more; default 0.")
            .arg(QString::number(item), QStringLiteral("%1"));
    };

    D::Layout layout;
    layout.stages = {"Initial Construction", "1st Rehab Activity", "2nd Rehab Activity",
                     "3rd Rehab Activity"};
    // clang-format off
    layout.rows = {
        {"Year:", {1064, 1065, 1066, 1082}, at(&S::year), positive,
            "Year of %1 within the analysis period: its cost is discounted to today over this "
            "many years. 0 or more; the activities need not follow each other or lie within the "
            "period. The year of the initial construction is shown only."},
        {"Concrete, sy:", {1037, 1049, 1067, 1083}, at(&S::concreteArea), positive,
            "Concrete pavement placed in %1, in square yards for the whole project. 0 or more; "
            "default 0."},
        {"Concrete Milling, sy:", {1038, 1050, 1068, 1084}, at(&S::concreteMillingArea), positive,
            "Concrete milling (grinding) in %1, in square yards for the whole project. 0 or "
            "more; default 0."},
        {"Joint Sealing, ft:", {1039, 1051, 1069, 1085}, at(&S::jointSealingLength), positive,
            "Joint sealing in %1, in feet of joint for the whole project. 0 or more; default 0."},
        {"Concrete Patching, sy:", {1040, 1052, 1070, 1086}, at(&S::concretePatchingArea), positive,
            "Concrete patching in %1, in square yards for the whole project. 0 or more; "
            "default 0."},
        {"HMA Overlay, in.:", {1041, 1053, 1071, 1087}, at(&S::hmaOverlayThickness), positive,
            "HMA overlay thickness of %1, in inches, priced at the HMA wearing course price. 0 "
            "or more; default 0."},
        {"HMA Overlay, pcf:", {1042, 1054, 1072, 1088}, at(&S::hmaOverlayUnitWeight),
            D::UnitWeight(145),
            "HMA overlay unit weight of %1, in pounds per cubic foot. 50 to 200; default 145."},
        {"Aggregate Base, in.:", {1043, 1055, 1073, 1089}, at(&S::aggBaseThickness), positive,
            "Aggregate base thickness of %1, in inches. 0 or more; default 0."},
        {"Aggregate Base, pcf:", {1044, 1056, 1074, 1090}, at(&S::aggBaseUnitWeight),
            D::UnitWeight(115),
            "Aggregate base unit weight of %1, in pounds per cubic foot. 50 to 200; default 115."},
        {"Miscellaneous 1:", {1045, 1057, 1075, 1091}, misc(0), positive, quantity(1)},
        {"Miscellaneous 2:", {1046, 1058, 1076, 1092}, misc(1), positive, quantity(2)},
        {"Miscellaneous 3:", {1047, 1059, 1077, 1093}, misc(2), positive, quantity(3)},
        {"Days to Complete:", {1048, 1060, 1078, 1094}, at(&S::daysToComplete), positive,
            "Days to complete %1: the days its work zone stays in place, for the delay costs of "
            "road users. 0 or more; default 1."},
    };
    // clang-format on
    layout.misc = {
        {Misc1, 0, 1102, {1034, 1061, 1079, 1095}},
        {Misc2, 0, 1103, {1035, 1062, 1080, 1096}},
        {Misc3, 0, 1104, {1036, 1063, 1081, 1097}},
    };
    layout.inclusion = D::Inclusion({1098, 1099, 1100, 1101}, at(&S::wzInclusion));

    auto& b = layout.bindings;
    for (Row r : {AggBaseThickness, AggBaseUnitWeight, DaysToComplete, HmaOverlayThickness,
                  HmaOverlayUnitWeight})
        D::BindEach(b, layout.rows[r]);
    for (int item = 0; item < 3; ++item) {
        D::BindEach(b, layout.rows[Misc1 + item]);
        D::BindEach(b, {"", layout.misc[item].unitIds,
                        D::Each(&P::concreteStage, &S::miscUnitLabel, item)});
    }
    D::BindEach(b, layout.rows[ConcreteArea], {0, 2, 1, 3});
    for (Row r : {Year, JointSealingLength, ConcreteMillingArea, ConcretePatchingArea})
        D::BindEach(b, layout.rows[r]);
    D::BindEach(b, layout.inclusion);
    for (int item = 0; item < 3; ++item)
        b.emplace_back(layout.misc[item].descriptionId,
                       [item](P& p) { return &p.concreteMiscText[item]; });
    layout.width = 439;
    layout.height = 308;
    return layout;
}

} // namespace

ConcreteActivitiesForm::ConcreteActivitiesForm(const ProjectData& project, QWidget* parent)
    : ActivitiesForm(project, kTemplate,
                     QStringLiteral("Concrete Construction/Rehabilitation Activities "
                                    "(Shift+F1=Pop-Up Help; F1=Full Help)"),
                     QStringLiteral("concrete-activities"), ConcreteLayout(), parent) {}

bool EditConcreteActivities(ProjectData& project, QWidget* parent) {
    return RunEditCycle<ConcreteActivitiesForm>(project, parent);
}

} // namespace velmora
