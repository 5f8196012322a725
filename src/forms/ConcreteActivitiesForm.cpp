#include "forms/ConcreteActivitiesForm.h"

namespace velmora {
namespace {

using P = ProjectData;
using S = ConcreteStage;

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
            "period. The year of the initial construction is shown only.", 9},
        {"Concrete, sy:", {1037, 1049, 1067, 1083}, at(&S::concreteArea), positive,
            "Concrete pavement placed in %1, in square yards for the whole project. 0 or more; "
            "default 0.", 8, {0, 2, 1, 3}},
        {"Concrete Milling, sy:", {1038, 1050, 1068, 1084}, at(&S::concreteMillingArea), positive,
            "Concrete milling (grinding) in %1, in square yards for the whole project. 0 or "
            "more; default 0.", 11},
        {"Joint Sealing, ft:", {1039, 1051, 1069, 1085}, at(&S::jointSealingLength), positive,
            "Joint sealing in %1, in feet of joint for the whole project. 0 or more; default 0.", 10},
        {"Concrete Patching, sy:", {1040, 1052, 1070, 1086}, at(&S::concretePatchingArea), positive,
            "Concrete patching in %1, in square yards for the whole project. 0 or more; "
            "default 0.", 12},
        {"HMA Overlay, in.:", {1041, 1053, 1071, 1087}, at(&S::hmaOverlayThickness), positive,
            "HMA overlay thickness of %1, in inches, priced at the HMA wearing course price. 0 "
            "or more; default 0.", 3},
        {"HMA Overlay, pcf:", {1042, 1054, 1072, 1088}, at(&S::hmaOverlayUnitWeight),
            D::UnitWeight(145),
            "HMA overlay unit weight of %1, in pounds per cubic foot. 50 to 200; default 145.", 4},
        {"Aggregate Base, in.:", {1043, 1055, 1073, 1089}, at(&S::aggBaseThickness), positive,
            "Aggregate base thickness of %1, in inches. 0 or more; default 0.", 0},
        {"Aggregate Base, pcf:", {1044, 1056, 1074, 1090}, at(&S::aggBaseUnitWeight),
            D::UnitWeight(115),
            "Aggregate base unit weight of %1, in pounds per cubic foot. 50 to 200; default 115.", 1},
        {"Miscellaneous 1:", {1045, 1057, 1075, 1091}, misc(0), positive, quantity(1), 5},
        {"Miscellaneous 2:", {1046, 1058, 1076, 1092}, misc(1), positive, quantity(2), 6},
        {"Miscellaneous 3:", {1047, 1059, 1077, 1093}, misc(2), positive, quantity(3), 7},
        {"Days to Complete:", {1048, 1060, 1078, 1094}, at(&S::daysToComplete), positive,
            "Days to complete %1: the days its work zone stays in place, for the delay costs of "
            "road users. 0 or more; default 1.", 2},
    };
    // clang-format on
    // The pay items' rows are the 10th to 12th.
    auto item = [](int k, int description, std::vector<int> units) {
        return D::MiscRow{
            9 + k, description,      [k](P& p) { return &p.concreteMisc[k].description; }, 0,
            {},    std::move(units), D::Each(&P::concreteStage, &S::miscUnitLabel, k)};
    };
    layout.misc = {item(0, 1102, {1034, 1061, 1079, 1095}), item(1, 1103, {1035, 1062, 1080, 1096}),
                   item(2, 1104, {1036, 1063, 1081, 1097})};
    layout.inclusion = D::Inclusion({1098, 1099, 1100, 1101}, at(&S::wzInclusion));
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
