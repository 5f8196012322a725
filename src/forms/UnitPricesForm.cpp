#include "forms/UnitPricesForm.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace velmora {
namespace {

using P = ProjectData;

QString PercentPopup(const char* what, const char* option) {
    return QStringLiteral("%1, in percent of the construction cost of each %2 stage: added to the "
                          "cost of the stage on top of its pay items. 0 or more (above 100 is "
                          "accepted); default 0.")
        .arg(what, option);
}

// The description, price and unit of a miscellaneous pay item.
void AddMiscPopups(std::vector<InputForm::Popup>& popups, int description, int price, int unit,
                   const char* which, const char* option) {
    popups.push_back({description, QStringLiteral("Description of %1 of the %2 option: the name "
                                                  "of the pay item. It appears under its "
                                                  "quantity row in the %2 activities form and "
                                                  "in the report. Any text.")
                                       .arg(which, option)});
    popups.push_back({price, QStringLiteral("Price of %1 of the %2 option, in dollars per unit "
                                            "of the Units column. 0 or more; default 0. The "
                                            "report lists the item only when its price is "
                                            "above 0.")
                                 .arg(which, option)});
    popups.push_back({unit, QStringLiteral("Units of %1 of the %2 option: mile, sy, cy, ton, "
                                           "foot or other. It labels the quantity in the %2 "
                                           "activities form; the cost is quantity times price "
                                           "whatever the unit. Default mile.")
                                .arg(which, option)});
}

std::vector<InputForm::Popup> Popups() {
    std::vector<InputForm::Popup> popups = {
        {1009, "HMA Wearing Course, in dollars per ton. The tons come from the wearing course "
               "thickness and unit weight of each asphalt stage over the paved width and the "
               "project length. The HMA overlays of the concrete option are priced at this "
               "price too. 0 or more; default 0."},
        {1010, "HMA Binder Course, in dollars per ton. 0 or more; default 0."},
        {1011, "HMA Base Course, in dollars per ton. 0 or more; default 0."},
        {1012, "Aggregate Base of the asphalt option, in dollars per ton. 0 or more; default 0."},
        {1014, "Asphalt Milling, in dollars per square yard milled. 0 or more; default 0."},
        {1015, "Asphalt Patching, in dollars per square yard patched. 0 or more; default 0."},
        {1016, PercentPopup("Mobilization", "asphalt")},
        {1017, PercentPopup("Traffic Control", "asphalt")},
        {1018, "Concrete, in dollars per square yard of concrete pavement. 0 or more; default 0."},
        {1024, "Aggregate Base of the concrete option, in dollars per ton. 0 or more; default 0."},
        {1019, "Concrete Grinding, in dollars per square yard, for the Concrete Milling row of "
               "the concrete activities form. 0 or more; default 0."},
        {1020, "Joint Sealing, in dollars per foot of joint sealed. 0 or more; default 0."},
        {1021, "Concrete Patching, in dollars per square yard patched. 0 or more; default 0."},
        {1022, PercentPopup("Mobilization", "concrete")},
        {1023, PercentPopup("Traffic Control", "concrete")},
    };
    AddMiscPopups(popups, 1036, 1013, 1037, "the miscellaneous pay item", "asphalt");
    AddMiscPopups(popups, 1027, 1030, 1033, "miscellaneous pay item 1", "concrete");
    AddMiscPopups(popups, 1028, 1031, 1034, "miscellaneous pay item 2", "concrete");
    AddMiscPopups(popups, 1029, 1032, 1035, "miscellaneous pay item 3", "concrete");
    return popups;
}

const char* const kPerTon = "$/ton";
const char* const kPerSy = "$/sy";
const char* const kPercent = "% of total construction cost";

} // namespace

UnitPricesForm::UnitPricesForm(const ProjectData& project, QWidget* parent)
    : InputForm(project, kTemplate,
                QStringLiteral("Unit Prices (Shift+F1=Pop-Up Help; F1=Full Help)"),
                QStringLiteral("Price Out of Range"), QStringLiteral("unit-prices"), parent) {
    // Columns of each group: label, description (miscellaneous rows only), price, unit. The
    // prices of all rows stand in one column.
    auto price = [this](QGridLayout* grid, int row, const char* label, int id, const char* unit) {
        grid->addWidget(Label(QString::fromUtf8(label)), row, 0, 1, 2);
        grid->addWidget(NumberEdit(id), row, 2);
        QLabel* units = Label(QString::fromUtf8(unit));
        // The longest unit wraps, so that the form fits a small screen.
        units->setWordWrap(true);
        units->setMaximumWidth(
            fontMetrics().horizontalAdvance(QStringLiteral("construction cost")));
        grid->addWidget(units, row, 3);
    };
    auto misc = [this](QGridLayout* grid, int row, const char* label, int description, int id,
                       int unit) {
        grid->addWidget(Label(QString::fromUtf8(label)), row, 0);
        grid->addWidget(LineEdit(description), row, 1);
        grid->addWidget(NumberEdit(id), row, 2);
        grid->addWidget(ChoiceList(unit, UnitCode::kTexts), row, 3);
    };
    auto headings = [](QGridLayout* grid, int row) {
        for (auto [text, column] : {std::pair{"$/Unit", 2}, {"Units", 3}}) {
            QLabel* heading = Label(QString::fromUtf8(text));
            heading->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
            grid->addWidget(heading, row, column);
        }
    };
    auto group = [](const char* title, QGridLayout* grid) {
        auto* box = new QGroupBox(QString::fromUtf8(title));
        grid->setColumnStretch(1, 1);
        // Spare height spreads the rows evenly rather than opening a gap at the headings.
        for (int row = 0; row < grid->rowCount(); ++row) grid->setRowStretch(row, 1);
        box->setLayout(grid);
        return box;
    };

    auto* asphalt = new QGridLayout;
    price(asphalt, 0, "HMA Wearing Course:", 1009, kPerTon);
    price(asphalt, 1, "HMA Binder Course:", 1010, kPerTon);
    price(asphalt, 2, "HMA Base Course:", 1011, kPerTon);
    price(asphalt, 3, "Aggregate Base:", 1012, kPerTon);
    price(asphalt, 4, "Asphalt Milling:", 1014, kPerSy);
    price(asphalt, 5, "Asphalt Patching:", 1015, kPerSy);
    headings(asphalt, 6);
    misc(asphalt, 7, "Miscellaneous:", 1036, 1013, 1037);
    price(asphalt, 8, "Mobilization:", 1016, kPercent);
    price(asphalt, 9, "Traffic Control:", 1017, kPercent);

    auto* concrete = new QGridLayout;
    price(concrete, 0, "Concrete:", 1018, kPerSy);
    price(concrete, 1, "Aggregate Base:", 1024, kPerTon);
    price(concrete, 2, "Concrete Grinding:", 1019, kPerSy);
    price(concrete, 3, "Joint Sealing:", 1020, "$/foot");
    price(concrete, 4, "Concrete Patching:", 1021, kPerSy);
    headings(concrete, 5);
    misc(concrete, 6, "Miscellaneous 1:", 1027, 1030, 1033);
    misc(concrete, 7, "Miscellaneous 2:", 1028, 1031, 1034);
    misc(concrete, 8, "Miscellaneous 3:", 1029, 1032, 1035);
    price(concrete, 9, "Mobilization:", 1022, kPercent);
    price(concrete, 10, "Traffic Control:", 1023, kPercent);

    auto* groups = new QHBoxLayout;
    groups->addWidget(group("Asphalt Unit Prices", asphalt));
    groups->addWidget(group("Concrete Unit Prices", concrete));
    auto* form = new QVBoxLayout(this);
    form->addLayout(groups, 1);
    form->addLayout(ButtonRow({1, 2}));

    SetBindings({
        {1012, &P::asphaltAggBasePrice},
        {1011, &P::hmaBasePrice},
        {1010, &P::hmaBinderPrice},
        {1009, &P::hmaWearingPrice},
        {1014, &P::asphaltMillingPrice},
        {1013, [](P& p) { return &p.asphaltMisc.unitPrice; }},
        {1016, &P::asphaltMobilizationPct},
        {1015, &P::asphaltPatchingPrice},
        {1017, &P::asphaltTrafficControlPct},
        {1021, &P::concretePatchingPrice},
        {1027, [](P& p) { return &p.concreteMisc[0].description; }},
        {1030, [](P& p) { return &p.concreteMisc[0].unitPrice; }},
        {1028, [](P& p) { return &p.concreteMisc[1].description; }},
        {1031, [](P& p) { return &p.concreteMisc[1].unitPrice; }},
        {1029, [](P& p) { return &p.concreteMisc[2].description; }},
        {1032, [](P& p) { return &p.concreteMisc[2].unitPrice; }},
        {1020, &P::jointSealingPrice},
        {1019, &P::concreteGrindingPrice},
        {1018, &P::concretePrice},
        {1023, &P::concreteTrafficControlPct},
        {1033, [](P& p) { return &p.concreteMisc[0].unit; }},
        {1034, [](P& p) { return &p.concreteMisc[1].unit; }},
        {1035, [](P& p) { return &p.concreteMisc[2].unit; }},
        {1022, &P::concreteMobilizationPct},
        {1024, &P::concreteAggBasePrice},
        {1036, [](P& p) { return &p.asphaltMisc.description; }},
        {1037, [](P& p) { return &p.asphaltMisc.unit; }},
    });
    // Every price and percentage, the concrete aggregate base price (1024) included, refuses a
    // value below 0 alike.
    std::vector<Validator> validators;
    for (int id : {1012, 1021, 1011, 1010, 1009, 1014, 1013, 1030, 1031, 1032, 1016, 1022, 1015,
                   1020, 1019, 1018, 1017, 1023, 1024})
        validators.push_back({id, Below(0), "Please enter a positive price/unit.", 0});
    SetValidators(std::move(validators));
    SetTabOrder({1009, 1010, 1011, 1012, 1014, 1015, 1036, 1013, 1037, 1016,
                 1017, 1018, 1024, 1019, 1020, 1021, 1027, 1030, 1033, 1028,
                 1031, 1034, 1029, 1032, 1035, 1022, 1023, 1,    2});
    SetPopupHelp(Popups());
    SetDialogUnitSize(564, 286);
}

bool EditUnitPrices(ProjectData& project, QWidget* parent) {
    return RunEditCycle<UnitPricesForm>(project, parent);
}

} // namespace velmora
