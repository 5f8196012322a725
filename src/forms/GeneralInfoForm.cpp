#include "forms/GeneralInfoForm.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QVBoxLayout>

namespace velmora {
namespace {

using P = ProjectData;
using E = InputForm::Editor;

InputForm::Check Positive(const char* what, double reset) {
    return {InputForm::Below(0), QStringLiteral("Please enter a positive %1.").arg(what), reset};
}

enum Group { Head, Site, Economics, Switches };

std::vector<InputForm::Field> Table() {
    const auto switches = std::span<const std::string_view>(WzInclusion::kTexts);
    // clang-format off
    return {
        {1001, "Project:", {}, &P::projectTitle, {},
            "Project: the title of the project, for example the route and the limits of the "
            "work. It heads the report. Any text; the default is \"Enter Project Title Here\".",
            4, Head, E::Text},
        {1002, "Description:", {}, &P::projectDescription, {},
            "Description: notes on the project (location, the designs compared, where the data "
            "came from), on as many lines as you need. It is printed in the report.",
            3, Head, E::Lines},
        {1011, "Project Length:", "miles", &P::projectLength, Positive("project length", 1),
            "Project Length, in miles: the length of road the project covers. Quantities are "
            "entered for the whole project and every cost is reported per mile of this length. "
            "0 or more; default 1.", 10, Site},
        {1008, "Number of Lanes:", "(both directions)", &P::laneCount,
            InputForm::Check{InputForm::Outside(1, 10), "Please enter between 1 and 10 lanes.", 2},
            "Number of Lanes: the through lanes of the road, both directions together. 1 to 10; "
            "fractions are kept. Default 2.", 7, Site},
        {1003, "Average Lane Width:", "ft", &P::laneWidth, Positive("lane width", 12),
            "Average Lane Width, in feet. 0 or more; default 12.", 2, Site},
        {1009, "Number of Shoulders:", "(both directions)", &P::shoulderCount,
            Positive("number of shoulders", 2),
            "Number of Shoulders: both directions together. 0 or more; fractions are kept. "
            "Default 2.", 8, Site},
        {1007, "Average Shoulder Width:", "ft", &P::shoulderWidth, Positive("shoulder width", 4),
            "Average Shoulder Width, in feet. 0 or more; default 4.", 5, Site},
        {1004, "Speed Limit:", "mph", &P::speedLimit,
            InputForm::Check{InputForm::Outside(5, 80),
                             "Please enter a speed limit between 5 and 80 mph.", 55},
            "Speed Limit, in mph: the posted speed limit of the road outside the work zone. 5 to "
            "80; default 55. While work zone user costs are included, the work zone speed limit "
            "must not be higher.", 6, Site},
        {1006, "Analysis Period:", "years", &P::analysisPeriod, Positive("analysis period", 40),
            "Analysis Period, in years: the span over which the two options are compared; "
            "recurring maintenance is counted within it. 0 or more; default 40.", 0, Economics},
        {1005, "Discount Rate:", "%", &P::discountRate, Positive("discount rate", 4),
            "Discount Rate, in percent per year: the rate at which future costs are brought back "
            "to their present value. 0 or more; default 4.", 1, Economics},
        {1010, "Current CPI:", {}, &P::currentCpi, Positive("consumer price index", 173.644),
            "Current CPI: the consumer price index of today's dollars. The program's user cost "
            "values are held at an index of 152.4 and scaled to this one. 0 or more; default "
            "173.644.", 9, Economics},
        {1067, "Include or Exclude Initial Construction Work Zone User Costs:", {},
            &P::initialWzInclusion, {},
            "Include or Exclude Initial Construction Work Zone User Costs: Include counts the "
            "delay costs of road users in the work zone of the initial construction of both "
            "options; Exclude leaves them out. Default Include.", 11, Switches, E::Choice, switches},
        {1068, "Include or Exclude Rehabilitation Work Zone User Costs:", {},
            &P::rehabWzInclusion, {},
            "Include or Exclude Rehabilitation Work Zone User Costs: the same for the three "
            "later stages of both options (the overlays and the rehabilitations). Default "
            "Include. With both switches on Exclude no traffic data is needed, and the Traffic "
            "and Work Zone Information button is disabled.", 12, Switches, E::Choice, switches},
    };
    // clang-format on
}

} // namespace

GeneralInfoForm::GeneralInfoForm(const ProjectData& project, QWidget* parent)
    : InputForm(project, kTemplate,
                QStringLiteral("General Information (Shift+F1=Pop-Up Help; F1=Full Help)"),
                QStringLiteral("Number Out of Range"), QStringLiteral("general-info"), parent) {
    SetFields(Table(), Qt::AlignRight);
    auto grid = [this](int group) {
        auto* grid = new QGridLayout;
        LayOutGroup(grid, group);
        return grid;
    };
    QGridLayout* economics = grid(Economics);
    economics->setRowStretch(economics->rowCount(), 1);
    auto* numbers = new QHBoxLayout;
    numbers->addLayout(grid(Site));
    numbers->addSpacing(2 * fontMetrics().averageCharWidth());
    numbers->addLayout(economics);
    numbers->addStretch();
    QGridLayout* switches = grid(Switches);
    switches->setColumnStretch(2, 1);

    auto* form = new QVBoxLayout(this);
    form->addLayout(grid(Head), 1);
    form->addLayout(numbers);
    form->addLayout(switches);
    form->addLayout(ButtonRow({1, 2}));
    SetDialogUnitSize(392, 259);
}

bool EditGeneralInfo(ProjectData& project, QWidget* parent) {
    return RunEditCycle<GeneralInfoForm>(project, parent);
}

} // namespace velmora
