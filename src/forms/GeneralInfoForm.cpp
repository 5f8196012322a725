#include "forms/GeneralInfoForm.h"

#include "forms/DescriptionEdit.h"

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
        {1001, "Project: the title of the project, for example the route and the limits of the "
               "work. It heads the report. Any text; the default is \"Enter Project Title Here\"."},
        {1002, "Description: notes on the project (location, the designs compared, where the data "
               "came from), on as many lines as you need. It is printed in the report."},
        {1011, "Project Length, in miles: the length of road the project covers. Quantities are "
               "entered for the whole project and every cost is reported per mile of this length. "
               "0 or more; default 1."},
        {1008, "Number of Lanes: the through lanes of the road, both directions together. 1 to 10; "
               "fractions are kept. Default 2."},
        {1003, "Average Lane Width, in feet. 0 or more; default 12."},
        {1009, "Number of Shoulders: both directions together. 0 or more; fractions are kept. "
               "Default 2."},
        {1007, "Average Shoulder Width, in feet. 0 or more; default 4."},
        {1004,
         "Speed Limit, in mph: the posted speed limit of the road outside the work zone. 5 to "
         "80; default 55. While work zone user costs are included, the work zone speed limit "
         "must not be higher."},
        {1006, "Analysis Period, in years: the span over which the two options are compared; "
               "recurring maintenance is counted within it. 0 or more; default 40."},
        {1005,
         "Discount Rate, in percent per year: the rate at which future costs are brought back "
         "to their present value. 0 or more; default 4."},
        {1010, "Current CPI: the consumer price index of today's dollars. The program's user cost "
               "values are held at an index of 152.4 and scaled to this one. 0 or more; default "
               "173.644."},
        {1067, "Include or Exclude Initial Construction Work Zone User Costs: Include counts the "
               "delay costs of road users in the work zone of the initial construction of both "
               "options; Exclude leaves them out. Default Include."},
        {1068, "Include or Exclude Rehabilitation Work Zone User Costs: the same for the three "
               "later stages of both options (the overlays and the rehabilitations). Default "
               "Include. With both switches on Exclude no traffic data is needed, and the Traffic "
               "and Work Zone Information button is disabled."},
    };
}

} // namespace

GeneralInfoForm::GeneralInfoForm(const ProjectData& project, QWidget* parent)
    : InputForm(project, kTemplate,
                QStringLiteral("General Information (Shift+F1=Pop-Up Help; F1=Full Help)"),
                QStringLiteral("Number Out of Range"), QStringLiteral("general-info"), parent) {
    auto number = [this](int id) { return NumberEdit(id, Qt::AlignRight); };

    auto* head = new QGridLayout;
    AddRow(head, 0, 0, QStringLiteral("Project:"), LineEdit(1001));
    head->addWidget(Label(QStringLiteral("Description:"), Qt::AlignTop), 1, 0,
                    Qt::AlignTop | Qt::AlignLeft);
    head->addWidget(MultiLineEdit(1002), 1, 1);

    auto* site = new QGridLayout;
    AddRow(site, 0, 0, QStringLiteral("Project Length:"), number(1011), QStringLiteral("miles"));
    AddRow(site, 1, 0, QStringLiteral("Number of Lanes:"), number(1008),
           QStringLiteral("(both directions)"));
    AddRow(site, 2, 0, QStringLiteral("Average Lane Width:"), number(1003), QStringLiteral("ft"));
    AddRow(site, 3, 0, QStringLiteral("Number of Shoulders:"), number(1009),
           QStringLiteral("(both directions)"));
    AddRow(site, 4, 0, QStringLiteral("Average Shoulder Width:"), number(1007),
           QStringLiteral("ft"));
    AddRow(site, 5, 0, QStringLiteral("Speed Limit:"), number(1004), QStringLiteral("mph"));

    auto* economics = new QGridLayout;
    AddRow(economics, 0, 0, QStringLiteral("Analysis Period:"), number(1006),
           QStringLiteral("years"));
    AddRow(economics, 1, 0, QStringLiteral("Discount Rate:"), number(1005), QStringLiteral("%"));
    AddRow(economics, 2, 0, QStringLiteral("Current CPI:"), number(1010));
    economics->setRowStretch(3, 1);

    auto* numbers = new QHBoxLayout;
    numbers->addLayout(site);
    numbers->addSpacing(2 * fontMetrics().averageCharWidth());
    numbers->addLayout(economics);
    numbers->addStretch();

    auto* switches = new QGridLayout;
    AddRow(switches, 0, 0,
           QStringLiteral("Include or Exclude Initial Construction Work Zone User Costs:"),
           ChoiceList(1067, WzInclusion::kTexts));
    AddRow(switches, 1, 0,
           QStringLiteral("Include or Exclude Rehabilitation Work Zone User Costs:"),
           ChoiceList(1068, WzInclusion::kTexts));
    switches->setColumnStretch(2, 1);

    auto* form = new QVBoxLayout(this);
    form->addLayout(head, 1);
    form->addLayout(numbers);
    form->addLayout(switches);
    form->addLayout(ButtonRow({1, 2}));

    SetBindings({
        {1006, &P::analysisPeriod},
        {1005, &P::discountRate},
        {1003, &P::laneWidth},
        {1002, &P::projectDescription},
        {1001, &P::projectTitle},
        {1007, &P::shoulderWidth},
        {1004, &P::speedLimit},
        {1008, &P::laneCount},
        {1009, &P::shoulderCount},
        {1010, &P::currentCpi},
        {1011, &P::projectLength},
        {1067, &P::initialWzInclusion},
        {1068, &P::rehabWzInclusion},
    });
    SetValidators({
        {1011, Below(0), "Please enter a positive project length.", 1},
        {1006, Below(0), "Please enter a positive analysis period.", 40},
        {1008, Outside(1, 10), "Please enter between 1 and 10 lanes.", 2},
        {1003, Below(0), "Please enter a positive lane width.", 12},
        {1005, Below(0), "Please enter a positive discount rate.", 4},
        {1010, Below(0), "Please enter a positive consumer price index.", 173.644},
        {1009, Below(0), "Please enter a positive number of shoulders.", 2},
        {1007, Below(0), "Please enter a positive shoulder width.", 4},
        {1004, Outside(5, 80), "Please enter a speed limit between 5 and 80 mph.", 55},
    });
    SetTabOrder(
        {1001, 1002, 1011, 1008, 1003, 1009, 1007, 1004, 1006, 1005, 1010, 1067, 1068, 1, 2});
    SetPopupHelp(Popups());
    SetDialogUnitSize(392, 259);
}

bool EditGeneralInfo(ProjectData& project, QWidget* parent) {
    return RunEditCycle<GeneralInfoForm>(project, parent);
}

} // namespace velmora
