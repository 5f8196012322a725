#include "forms/AsphaltActivitiesForm.h"

namespace velmora {
namespace {

using P = ProjectData;
using S = AsphaltStage;

// The row labelled from the pay item's unit, and its caption for each unit code.
constexpr int kMiscQuantityRow = 9;
constexpr std::array<std::string_view, 6> kRowCaptions{
    "Misc., miles:", "Misc., sy:", "Misc., cy:", "Misc., ton:", "Misc., foot:", "Misc., other:"};

// The caption the row had when the form was last open: a unit code outside the list (possible
// only through a project file) keeps it, and it is empty until the form first opens with a
// known one. Like the record, it lasts as long as the program.
std::string& MiscCaption() {
    static std::string caption;
    return caption;
}

ActivitiesForm::Layout AsphaltLayout() {
    using D = ActivitiesForm;
    auto at = [](auto member) { return D::Each(&P::asphaltStage, member); };
    const D::Check positive = D::Positive();
    auto thickness = [](const char* layer) {
        return QStringLiteral("%1 thickness of %2, in inches; 0 leaves the layer out. 0 or "
                              "more; default 0.")
            .arg(QString::fromUtf8(layer), QStringLiteral("%1"));
    };
    auto weight = [](const char* layer, int value) {
        return QStringLiteral("%1 unit weight of %2, in pounds per cubic foot: with the "
                              "thickness it gives the tons to be priced. 50 to 200; default %3.")
            .arg(QString::fromUtf8(layer), QStringLiteral("%1"), QString::number(value));
    };

    D::Layout layout;
    layout.stages = {"Initial Construction", "1st Overlay", "2nd Overlay", "3rd Overlay"};
    // clang-format off
    layout.rows = {
        {"Year:", {1010, 1034, 1042, 1050}, at(&S::year), positive,
            "Year of %1 within the analysis period: its cost is discounted to today over this "
            "many years. 0 or more; the overlays need not follow each other or lie within the "
            "period. The year of the initial construction is shown only.", 7},
        {"HMA Wearing Course, in:", {1011, 1035, 1043, 1051}, at(&S::wearingThickness), positive,
            thickness("HMA wearing course"), 6},
        {"HMA Wearing Course, pcf:", {1018, 1019, 1020, 1021}, at(&S::wearingUnitWeight),
            D::UnitWeight(145), weight("HMA wearing course", 145), 10},
        {"HMA Binder Course, in.:", {1012, 1036, 1044, 1052}, at(&S::binderThickness), positive,
            thickness("HMA binder course"), 2},
        {"HMA Binder Course, pcf.:", {1022, 1023, 1024, 1025}, at(&S::binderUnitWeight),
            D::UnitWeight(145), weight("HMA binder course", 145), 9},
        {"HMA Base Course, in.:", {1013, 1037, 1045, 1053}, at(&S::baseThickness), positive,
            thickness("HMA base course"), 1},
        {"HMA Base Course, pcf:", {1026, 1027, 1028, 1029}, at(&S::baseUnitWeight),
            D::UnitWeight(145), weight("HMA base course", 145), 8},
        {"Aggregate Base, in.:", {1014, 1038, 1046, 1054}, at(&S::aggBaseThickness), positive,
            thickness("Aggregate base"), 0},
        {"Aggregate Base, pcf:", {1030, 1058, 1059, 1060}, at(&S::aggBaseUnitWeight),
            D::UnitWeight(115), weight("Aggregate base", 115), 11},
        // Labelled from the pay item's unit: see kMiscQuantityRow.
        {"", {1015, 1039, 1047, 1055}, at(&S::miscQuantity), positive,
            "Quantity of the asphalt option's miscellaneous pay item in %1, for the whole "
            "project, in the unit that the row label names (chosen in the Unit Prices form). 0 "
            "or more; default 0.", 4},
        {"Milling, sy:", {1016, 1040, 1048, 1056}, at(&S::millingArea), positive,
            "Milling area of %1, in square yards for the whole project. 0 or more; default 0.", 3},
        {"Patching, sy:", {1017, 1041, 1049, 1057}, at(&S::patchingArea), positive,
            "Patching area of %1, in square yards for the whole project. 0 or more; default 0.", 5},
        {"Days to Complete:", {1031, 1032, 1033, 1061}, at(&S::daysToComplete), positive,
            "Days to complete %1: the days its work zone stays in place, for the delay costs of "
            "road users. 0 or more; default 1.", 12},
    };
    // clang-format on
    layout.misc = {{kMiscQuantityRow, 1071, [](P& p) { return &p.asphaltMisc.description; }, 1070,
                    [](P&) { return &MiscCaption(); }}};
    layout.inclusion = D::Inclusion({1066, 1067, 1068, 1069}, at(&S::wzInclusion));
    layout.width = 387;
    layout.height = 319;
    return layout;
}

} // namespace

AsphaltActivitiesForm::AsphaltActivitiesForm(const ProjectData& project, QWidget* parent)
    : ActivitiesForm(project, kTemplate,
                     QStringLiteral("Asphalt Construction/Rehabilitation Activities "
                                    "(Shift+F1=Pop-Up Help; F1=Full Help)"),
                     QStringLiteral("asphalt-activities"), AsphaltLayout(), parent) {}

bool EditAsphaltActivities(ProjectData& project, QWidget* parent) {
    if (auto caption = ListText(kRowCaptions, project.asphaltMisc.unit)) MiscCaption() = *caption;
    return RunEditCycle<AsphaltActivitiesForm>(project, parent);
}

} // namespace velmora
