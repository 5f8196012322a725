#include "forms/UnitPricesForm.h"

#include "forms/FormLayout.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>

namespace velmora {
namespace {

using P = ProjectData;
using E = InputForm::Editor;
using Field = InputForm::Field;

enum Group { Asphalt, Concrete };

const char* const kPerTon = "$/ton";
const char* const kPerSy = "$/sy";
const char* const kPercent = "% of total construction cost";

// A price row: every price and percentage refuses a value below 0 alike.
Field Price(int id, const char* label, const char* unit, InputForm::Bound bound, QString popup,
            int read, int group) {
    return {id,
            label,
            unit,
            std::move(bound),
            InputForm::Check{InputForm::Below(0), "Please enter a positive price/unit.", 0},
            std::move(popup),
            read,
            group};
}

QString PercentPopup(const char* what, const char* option) {
    return QStringLiteral("%1, in percent of the construction cost of each %2 stage: added to the "
                          "cost of the stage on top of its pay items. 0 or more (above 100 is "
                          "accepted); default 0.")
        .arg(what, option);
}

// The description, price and unit of a miscellaneous pay item, on one line of the form; the
// ids and read places of the three in that order.
void AddMisc(std::vector<Field>& fields, const char* label, std::array<int, 3> ids,
             std::array<int, 3> read, MiscPayItem& (*item)(P&), const char* which, int group) {
    const char* option = group == Asphalt ? "asphalt" : "concrete";
    fields.push_back({ids[0],
                      label,
                      {},
                      [item](P& p) { return &item(p).description; },
                      {},
                      QStringLiteral("Description of %1 of the %2 option: the name of the pay "
                                     "item. It appears under its quantity row in the %2 "
                                     "activities form and in the report. Any text.")
                          .arg(which, option),
                      read[0],
                      group,
                      E::Text});
    fields.push_back(Price(
        ids[1], "", "", [item](P& p) { return &item(p).unitPrice; },
        QStringLiteral("Price of %1 of the %2 option, in dollars per unit of "
                       "the Units column. 0 or more; default 0. The report "
                       "lists the item only when its price is above 0.")
            .arg(which, option),
        read[1], group));
    fields.push_back({ids[2],
                      "",
                      {},
                      [item](P& p) { return &item(p).unit; },
                      {},
                      QStringLiteral("Units of %1 of the %2 option: mile, sy, cy, ton, foot or "
                                     "other. It labels the quantity in the %2 activities form; "
                                     "the cost is quantity times price whatever the unit. "
                                     "Default mile.")
                          .arg(which, option),
                      read[2],
                      group,
                      E::Choice,
                      UnitCode::kTexts});
}

std::vector<Field> Table() {
    std::vector<Field> f;
    auto price = [&f](int id, const char* label, const char* unit, InputForm::Bound bound,
                      QString popup, int read, int group) {
        f.push_back(Price(id, label, unit, std::move(bound), std::move(popup), read, group));
    };
    // clang-format off
    price(1009, "HMA Wearing Course:", kPerTon, &P::hmaWearingPrice,
          "HMA Wearing Course, in dollars per ton. The tons come from the wearing course "
          "thickness and unit weight of each asphalt stage over the paved width and the project "
          "length. The HMA overlays of the concrete option are priced at this price too. 0 or "
          "more; default 0.", 3, Asphalt);
    price(1010, "HMA Binder Course:", kPerTon, &P::hmaBinderPrice,
          "HMA Binder Course, in dollars per ton. 0 or more; default 0.", 2, Asphalt);
    price(1011, "HMA Base Course:", kPerTon, &P::hmaBasePrice,
          "HMA Base Course, in dollars per ton. 0 or more; default 0.", 1, Asphalt);
    price(1012, "Aggregate Base:", kPerTon, &P::asphaltAggBasePrice,
          "Aggregate Base of the asphalt option, in dollars per ton. 0 or more; default 0.", 0,
          Asphalt);
    price(1014, "Asphalt Milling:", kPerSy, &P::asphaltMillingPrice,
          "Asphalt Milling, in dollars per square yard milled. 0 or more; default 0.", 4, Asphalt);
    price(1015, "Asphalt Patching:", kPerSy, &P::asphaltPatchingPrice,
          "Asphalt Patching, in dollars per square yard patched. 0 or more; default 0.", 7,
          Asphalt);
    AddMisc(f, "Miscellaneous:", {1036, 1013, 1037}, {25, 5, 26},
            [](P& p) -> MiscPayItem& { return p.asphaltMisc; }, "the miscellaneous pay item", Asphalt);
    price(1016, "Mobilization:", kPercent, &P::asphaltMobilizationPct,
          PercentPopup("Mobilization", "asphalt"), 6, Asphalt);
    price(1017, "Traffic Control:", kPercent, &P::asphaltTrafficControlPct,
          PercentPopup("Traffic Control", "asphalt"), 8, Asphalt);

    price(1018, "Concrete:", kPerSy, &P::concretePrice,
          "Concrete, in dollars per square yard of concrete pavement. 0 or more; default 0.", 18,
          Concrete);
    price(1024, "Aggregate Base:", kPerTon, &P::concreteAggBasePrice,
          "Aggregate Base of the concrete option, in dollars per ton. 0 or more; default 0.", 24,
          Concrete);
    price(1019, "Concrete Grinding:", kPerSy, &P::concreteGrindingPrice,
          "Concrete Grinding, in dollars per square yard, for the Concrete Milling row of the "
          "concrete activities form. 0 or more; default 0.", 17, Concrete);
    price(1020, "Joint Sealing:", "$/foot", &P::jointSealingPrice,
          "Joint Sealing, in dollars per foot of joint sealed. 0 or more; default 0.", 16,
          Concrete);
    price(1021, "Concrete Patching:", kPerSy, &P::concretePatchingPrice,
          "Concrete Patching, in dollars per square yard patched. 0 or more; default 0.", 9,
          Concrete);
    AddMisc(f, "Miscellaneous 1:", {1027, 1030, 1033}, {10, 11, 20},
            [](P& p) -> MiscPayItem& { return p.concreteMisc[0]; }, "miscellaneous pay item 1",
            Concrete);
    AddMisc(f, "Miscellaneous 2:", {1028, 1031, 1034}, {12, 13, 21},
            [](P& p) -> MiscPayItem& { return p.concreteMisc[1]; }, "miscellaneous pay item 2",
            Concrete);
    AddMisc(f, "Miscellaneous 3:", {1029, 1032, 1035}, {14, 15, 22},
            [](P& p) -> MiscPayItem& { return p.concreteMisc[2]; }, "miscellaneous pay item 3",
            Concrete);
    price(1022, "Mobilization:", kPercent, &P::concreteMobilizationPct,
          PercentPopup("Mobilization", "concrete"), 23, Concrete);
    price(1023, "Traffic Control:", kPercent, &P::concreteTrafficControlPct,
          PercentPopup("Traffic Control", "concrete"), 19, Concrete);
    // clang-format on
    return f;
}

} // namespace

UnitPricesForm::UnitPricesForm(const ProjectData& project, QWidget* parent)
    : InputForm(project, kTemplate,
                QStringLiteral("Unit Prices (Shift+F1=Pop-Up Help; F1=Full Help)"),
                QStringLiteral("Price Out of Range"), QStringLiteral("unit-prices"), parent) {
    SetFields(Table());
    // Columns of each group: label, description (miscellaneous lines only), price, unit. The
    // prices of all rows stand in one column; "$/Unit" and "Units" head the first
    // miscellaneous line.
    auto group = [this](Group which, const char* title) {
        auto* grid = new QGridLayout;
        int row = 0;
        bool headed = false;
        for (const Field& f : Fields()) {
            if (f.group != which) continue;
            QWidget* control = Control(f.id);
            if (f.editor == Editor::Text) {
                if (!headed) {
                    for (auto [text, column] : {std::pair{"$/Unit", 2}, {"Units", 3}}) {
                        QLabel* heading = Label(QString::fromUtf8(text));
                        heading->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
                        grid->addWidget(heading, row, column);
                    }
                    ++row;
                    headed = true;
                }
                grid->addWidget(Label(f.label), row, 0);
                grid->addWidget(control, row, 1);
            } else if (f.editor == Editor::Choice) {
                grid->addWidget(control, row++, 3);
            } else if (f.label.isEmpty()) {
                grid->addWidget(control, row, 2);
            } else {
                grid->addWidget(Label(f.label), row, 0, 1, 2);
                grid->addWidget(control, row, 2);
                QLabel* units = Label(f.unit);
                // The longest unit wraps, so that the form fits a small screen.
                units->setWordWrap(true);
                units->setMaximumWidth(
                    fontMetrics().horizontalAdvance(QStringLiteral("construction cost")));
                grid->addWidget(units, row++, 3);
            }
        }
        auto* box = new QGroupBox(QString::fromUtf8(title));
        grid->setColumnStretch(1, 1);
        // Spare height spreads the rows evenly rather than opening a gap at the headings.
        for (int r = 0; r < grid->rowCount(); ++r) grid->setRowStretch(r, 1);
        box->setLayout(grid);
        return box;
    };

    auto* groups = new QHBoxLayout;
    groups->addWidget(group(Asphalt, "Asphalt Unit Prices"));
    groups->addWidget(group(Concrete, "Concrete Unit Prices"));
    auto* form = new QVBoxLayout(this);
    form->addLayout(groups, 1);
    form->addLayout(ButtonRow({1, 2}));
    SetDialogUnitSize(564, 286);
}

bool EditUnitPrices(ProjectData& project, QWidget* parent) {
    return RunEditCycle<UnitPricesForm>(project, parent);
}

} // namespace velmora
