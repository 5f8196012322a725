#include "forms/TrafficWorkZoneForm.h"

#include <QGridLayout>
#include <QVBoxLayout>

namespace velmora {
namespace {

using P = ProjectData;
using E = InputForm::Editor;
using C = InputForm::Check;

QString TimingPopup(const char* option) {
    return QStringLiteral("Work Zone Timing of the %1 option: 24 Hour Closures keep the lanes "
                          "closed all day; Night Closures close them from 8 PM to 6 AM only. "
                          "Default 24 Hour Closures.")
        .arg(option);
}

std::vector<InputForm::Field> Table() {
    using F = InputForm;
    const auto timing = std::span<const std::string_view>(WorkZoneTiming::kTexts);
    // clang-format off
    return {
        {1019, "Terrain:", {}, &P::terrain, {},
            "Terrain: Level, Rolling or Mountainous. It sets how many passenger cars one truck "
            "counts for when the capacity of the road is worked out (1.5, 3 and 6). Default "
            "Level.", 2, 0, E::Choice, Terrain::kTexts},
        {1020, "Traffic Type:", {}, &P::trafficType, {},
            "Traffic Type: Rural or Urban. It chooses how the day's traffic spreads over the 24 "
            "hours and over the two directions. Default Rural.", 4, 0, E::Choice,
            TrafficType::kTexts},
        {1021, "AADT:", "(Two Direction, All Lanes)", &P::aadt,
            C{F::Below(0), "Please enter a positive value.", 500},
            "AADT: the annual average daily traffic today, in vehicles per day, both directions "
            "and all lanes together. It grows by the traffic growth rate up to the year of each "
            "stage. 0 or more; default 500.", 0},
        {1022, "% Trucks:", {}, &P::truckPercent,
            C{F::Outside(0, 100), "Please enter between 0 and 100 percent trucks.", 10},
            "% Trucks: the share of trucks in the traffic, in percent. 0 to 100; default 10.", 1},
        {1023, "Traffic Growth:", "%", &P::trafficGrowth,
            C{F::Outside(0, 10), "Please enter between 0 and 10 percent growth rate.", 1},
            "Traffic Growth, in percent per year, compounded from today to the year of each "
            "stage. 0 to 10; default 1.", 3},
        {1024, "Work Zone Speed Limit:", "mph", &P::wzSpeedLimit,
            C{F::Outside(5, 55), "Please enter a work zone speed limit between 5 amd 55 mph.", 40},
            "Work Zone Speed Limit, in mph: the posted speed through the work zone. 5 to 55; "
            "default 40. While work zone user costs are included, it must not be higher than the "
            "project's speed limit.", 5},
        {1025, "Work Zone Length:", "miles", &P::wzLength,
            C{F::Below(0), "Please enter a positive value.", 1},
            "Work Zone Length, in miles: the length of road under the lane closure. 0 or more; "
            "default 1. While work zone user costs are included, it must not be longer than the "
            "project.", 6},
        {1027, "Work Zone Lanes:", "(Open in Each Direction)", &P::wzLanes,
            C{F::Outside(1, 9), "Please enter between 1 and 9 work zone lanes.", 1},
            "Work Zone Lanes: the lanes left open in each direction while the work zone is in "
            "place, a whole number from 1 to 9. Default 1.", 8},
        {1026, "Work Zone Timing:", "Asphalt Option", &P::asphaltWzTiming, {},
            TimingPopup("asphalt"), 7, 0, E::Choice, timing},
        {1028, "Work Zone Timing:", "Concrete Option", &P::concreteWzTiming, {},
            TimingPopup("concrete"), 9, 0, E::Choice, timing},
    };
    // clang-format on
}

} // namespace

TrafficWorkZoneForm::TrafficWorkZoneForm(const ProjectData& project, QWidget* parent)
    : InputForm(
          project, kTemplate,
          QStringLiteral("Traffic and Work Zone Information (Shift+F1=Pop-Up Help; F1=Full Help)"),
          QStringLiteral("Value Out of Range"), QStringLiteral("traffic-work-zone"), parent) {
    SetFields(Table());
    auto* grid = new QGridLayout;
    LayOutGroup(grid, 0);
    grid->setColumnStretch(3, 1);

    auto* form = new QVBoxLayout(this);
    form->addLayout(grid, 1);
    form->addLayout(ButtonRow({1, 2}));
    SetDialogUnitSize(338, 214);
}

bool EditTrafficWorkZone(ProjectData& project, QWidget* parent) {
    return RunEditCycle<TrafficWorkZoneForm>(project, parent);
}

} // namespace velmora
