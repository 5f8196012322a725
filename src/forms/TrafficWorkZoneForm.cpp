#include "forms/TrafficWorkZoneForm.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace velmora {
namespace {

using P = ProjectData;

std::vector<InputForm::Popup> Popups() {
    return {
        {1019, "Terrain: Level, Rolling or Mountainous. It sets how many passenger cars one "
               "truck counts for when the capacity of the road is worked out (1.5, 3 and 6). "
               "Default Level."},
        {1020, "Traffic Type: Rural or Urban. It chooses how the day's traffic spreads over the "
               "24 hours and over the two directions. Default Rural."},
        {1021, "AADT: the annual average daily traffic today, in vehicles per day, both "
               "directions and all lanes together. It grows by the traffic growth rate up to the "
               "year of each stage. 0 or more; default 500."},
        {1022, "% Trucks: the share of trucks in the traffic, in percent. 0 to 100; default 10."},
        {1023, "Traffic Growth, in percent per year, compounded from today to the year of each "
               "stage. 0 to 10; default 1."},
        {1024, "Work Zone Speed Limit, in mph: the posted speed through the work zone. 5 to 55; "
               "default 40. While work zone user costs are included, it must not be higher than "
               "the project's speed limit."},
        {1025, "Work Zone Length, in miles: the length of road under the lane closure. 0 or more; "
               "default 1. While work zone user costs are included, it must not be longer than "
               "the project."},
        {1027, "Work Zone Lanes: the lanes left open in each direction while the work zone is in "
               "place, a whole number from 1 to 9. Default 1."},
        {1026, "Work Zone Timing of the asphalt option: 24 Hour Closures keep the lanes closed "
               "all day; Night Closures close them from 8 PM to 6 AM only. Default 24 Hour "
               "Closures."},
        {1028, "Work Zone Timing of the concrete option: 24 Hour Closures keep the lanes closed "
               "all day; Night Closures close them from 8 PM to 6 AM only. Default 24 Hour "
               "Closures."},
    };
}

} // namespace

TrafficWorkZoneForm::TrafficWorkZoneForm(const ProjectData& project, QWidget* parent)
    : InputForm(
          project, kTemplate,
          QStringLiteral("Traffic and Work Zone Information (Shift+F1=Pop-Up Help; F1=Full Help)"),
          QStringLiteral("Value Out of Range"), QStringLiteral("traffic-work-zone"), parent) {
    auto* grid = new QGridLayout;
    AddRow(grid, 0, 0, QStringLiteral("Terrain:"), ChoiceList(1019, Terrain::kTexts));
    AddRow(grid, 1, 0, QStringLiteral("Traffic Type:"), ChoiceList(1020, TrafficType::kTexts));
    AddRow(grid, 2, 0, QStringLiteral("AADT:"), NumberEdit(1021),
           QStringLiteral("(Two Direction, All Lanes)"));
    AddRow(grid, 3, 0, QStringLiteral("% Trucks:"), NumberEdit(1022));
    AddRow(grid, 4, 0, QStringLiteral("Traffic Growth:"), NumberEdit(1023), QStringLiteral("%"));
    AddRow(grid, 5, 0, QStringLiteral("Work Zone Speed Limit:"), NumberEdit(1024),
           QStringLiteral("mph"));
    AddRow(grid, 6, 0, QStringLiteral("Work Zone Length:"), NumberEdit(1025),
           QStringLiteral("miles"));
    AddRow(grid, 7, 0, QStringLiteral("Work Zone Lanes:"), NumberEdit(1027),
           QStringLiteral("(Open in Each Direction)"));
    AddRow(grid, 8, 0, QStringLiteral("Work Zone Timing:"),
           ChoiceList(1026, WorkZoneTiming::kTexts), QStringLiteral("Asphalt Option"));
    AddRow(grid, 9, 0, QStringLiteral("Work Zone Timing:"),
           ChoiceList(1028, WorkZoneTiming::kTexts), QStringLiteral("Concrete Option"));
    grid->setColumnStretch(3, 1);

    auto* form = new QVBoxLayout(this);
    form->addLayout(grid, 1);
    form->addLayout(ButtonRow({1, 2}));

    SetBindings({
        {1021, &P::aadt},
        {1022, &P::truckPercent},
        {1019, &P::terrain},
        {1023, &P::trafficGrowth},
        {1020, &P::trafficType},
        {1024, &P::wzSpeedLimit},
        {1025, &P::wzLength},
        {1026, &P::asphaltWzTiming},
        {1027, &P::wzLanes},
        {1028, &P::concreteWzTiming},
    });
    SetValidators({
        {1021, Below(0), "Please enter a positive value.", 500},
        {1022, Outside(0, 100), "Please enter between 0 and 100 percent trucks.", 10},
        {1023, Outside(0, 10), "Please enter between 0 and 10 percent growth rate.", 1},
        {1024, Outside(5, 55), "Please enter a work zone speed limit between 5 amd 55 mph.", 40},
        {1027, Outside(1, 9), "Please enter between 1 and 9 work zone lanes.", 1},
        {1025, Below(0), "Please enter a positive value.", 1},
    });
    SetTabOrder({1019, 1020, 1021, 1022, 1023, 1024, 1025, 1027, 1026, 1028, 1, 2});
    SetPopupHelp(Popups());
    SetDialogUnitSize(338, 214);
}

bool EditTrafficWorkZone(ProjectData& project, QWidget* parent) {
    return RunEditCycle<TrafficWorkZoneForm>(project, parent);
}

} // namespace velmora
