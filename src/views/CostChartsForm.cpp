#include "views/CostChartsForm.h"

#include "engine/CashFlow.h"
#include "gui/ChartPicture.h"
#include "gui/DialogUnits.h"
#include "gui/FormNumbers.h"
#include "gui/Help.h"
#include "report/NumberText.h"
#include "views/ComputedCostsForm.h"

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QDialogButtonBox>
#include <QGraphicsLayout>
#include <QHBoxLayout>
#include <QHorizontalStackedBarSeries>
#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QRadioButton>
#include <QStackedBarSeries>
#include <QVBoxLayout>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

namespace velmora {
namespace {

constexpr std::array<const char*, 2> kOptionNames{"Asphalt", "Concrete"};
constexpr std::array<const char*, 4> kStageNames{
    "Initial Construction", "1st Overlay / Rehabilitation", "2nd Overlay / Rehabilitation",
    "3rd Overlay / Rehabilitation"};
// Agency costs in blues, user delay in oranges, maintenance in green, darker for earlier stages,
// so that a reader tells the kinds apart at a glance and the stages within a kind.
constexpr std::array<QRgb, 4> kAgencyColours{0x1f4e79, 0x2e75b6, 0x6fa8dc, 0xb4d3f0};
constexpr std::array<QRgb, 4> kUserColours{0xb45309, 0xe07b1a, 0xf2a65a, 0xf9d3a8};
constexpr QRgb kMaintenanceColour = 0x38864b;
constexpr std::array<QRgb, 3> kKindColours{kAgencyColours[1], kUserColours[1], kMaintenanceColour};
constexpr std::array<const char*, 3> kKindNames{"Agency", "User Delay", "Maintenance"};

QBarSet* AddSet(QAbstractBarSeries* series, const QString& name, QRgb colour,
                const QList<qreal>& values) {
    auto* set = new QBarSet(name);
    set->append(values);
    set->setColor(QColor(colour));
    set->setBorderColor(QColor(colour).darker(130));
    series->append(set);
    return set;
}

QValueAxis* MoneyAxis(const QString& title) {
    auto* axis = new QValueAxis;
    axis->setTitleText(title);
    axis->setLabelFormat(QStringLiteral("%.0f"));
    return axis;
}

// Legend at the right, where the bars leave room, and slim margins: the window shows three
// charts at once.
void Tighten(QChart* chart) {
    // Dollar axes read as "1,500,000" whatever the user's locale, as everywhere in the program.
    chart->setLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    chart->setLocalizeNumbers(true);
    chart->legend()->setAlignment(Qt::AlignRight);
    chart->setMargins(QMargins(4, 4, 4, 4));
    chart->layout()->setContentsMargins(0, 0, 0, 0);
    chart->setBackgroundRoundness(0);
}

// One option's amounts per mile by whole year from year 0: agency, user delay, maintenance.
using YearlyAmounts = std::vector<std::array<double, 3>>;

std::array<YearlyAmounts, 2> AmountsByYear(const ProjectData& project, const AnalysisResult& run,
                                           bool discounted) {
    const std::vector<CashFlow> flows = CashFlows(project, run);
    // The analysis period, or longer when a stage falls after it: its money is in the totals.
    double last = std::floor(project.analysisPeriod);
    for (const CashFlow& flow : flows) last = std::max(last, std::floor(flow.year));
    const std::size_t years = std::size_t(std::clamp(last, 0.0, 1000.0)) + 1;
    std::array<YearlyAmounts, 2> amounts{YearlyAmounts(years), YearlyAmounts(years)};
    for (const CashFlow& flow : flows) {
        const std::size_t year = std::size_t(std::clamp(std::floor(flow.year), 0.0, last));
        amounts[flow.option][year][int(flow.kind)] +=
            discounted ? flow.discounted : flow.undiscounted;
    }
    return amounts;
}

double HighestYear(const std::array<YearlyAmounts, 2>& amounts) {
    double top = 0.0;
    for (const YearlyAmounts& option : amounts)
        for (const auto& year : option) top = std::max(top, year[0] + year[1] + year[2]);
    return top;
}

// Titles are plain text: a title of rich text is written to SVG as runs placed by the screen's
// font metrics, which another program's font leaves with gaps between them.
QChart* CashFlowChart(const ProjectData& project, const AnalysisResult& run, int option,
                      const YearlyAmounts& amounts, double top, bool discounted) {
    auto* chart = new QChart;
    const double total = run.results[option].total;
    chart->setTitle(
        QStringLiteral("%1 option, %2 cash flow: net present value %3 per mile, "
                       "equivalent uniform annual cost %4 per mile per year")
            .arg(kOptionNames[option],
                 discounted ? QStringLiteral("discounted") : QStringLiteral("undiscounted"),
                 QString::fromStdString(Dollars(total)),
                 QString::fromStdString(Dollars(EquivalentUniformAnnualCost(
                     total, project.discountRate, project.analysisPeriod)))));
    auto* series = new QStackedBarSeries;
    for (int kind = 0; kind < 3; ++kind) {
        QList<qreal> values;
        for (const auto& year : amounts) values.append(year[kind]);
        AddSet(series, QString::fromLatin1(kKindNames[kind]), kKindColours[kind], values);
    }
    series->setBarWidth(0.8);
    chart->addSeries(series);
    // Years on a value axis: a label for every year of a 40-year period would be unreadable.
    auto* years = new QValueAxis;
    years->setRange(-0.5, double(amounts.size()) - 0.5);
    years->setLabelFormat(QStringLiteral("%.0f"));
    years->setTickType(QValueAxis::TicksDynamic);
    years->setTickAnchor(0);
    years->setTickInterval(amounts.size() > 25 ? 5 : 1);
    years->setTitleText(QStringLiteral("Year"));
    chart->addAxis(years, Qt::AlignBottom);
    series->attachAxis(years);
    QValueAxis* money = MoneyAxis(QStringLiteral("$ per mile"));
    money->setRange(0, top > 0 ? top : 1);
    money->applyNiceNumbers();
    chart->addAxis(money, Qt::AlignLeft);
    series->attachAxis(money);
    Tighten(chart);
    return chart;
}

QChartView* MakeView(QChart* chart, QWidget* parent, const QString& pictureName) {
    auto* view = new QChartView(chart, parent);
    // The plot gets the room that the chart's default frame and margins would take.
    view->setFrameShape(QFrame::NoFrame);
    view->setRenderHint(QPainter::Antialiasing);
    AddPictureCommands(view, pictureName);
    return view;
}

} // namespace

QChart* MakeCostChart(const CostResults& results) {
    auto* chart = new QChart;
    chart->setTitle(QStringLiteral("Net present value by stage, $ per mile, current dollars"));
    // Lying bars leave the legend room for the stages' full names.
    auto* series = new QHorizontalStackedBarSeries;
    const auto add = [&](const QString& name, QRgb colour, double asphalt, double concrete) {
        // A cost that is nil in both options (an excluded stage) would only crowd the legend.
        if (asphalt != 0.0 || concrete != 0.0) AddSet(series, name, colour, {asphalt, concrete});
    };
    const OptionCosts& a = results[PavementOption::Asphalt];
    const OptionCosts& c = results[PavementOption::Concrete];
    for (int k = 0; k < 4; ++k)
        add(QStringLiteral("Agency, %1").arg(kStageNames[k]), kAgencyColours[k], a.agency[k],
            c.agency[k]);
    for (int k = 0; k < 4; ++k)
        add(QStringLiteral("User Delay, %1").arg(kStageNames[k]), kUserColours[k], a.user[k],
            c.user[k]);
    add(QStringLiteral("Recurring Maintenance"), kMaintenanceColour, a.maintenanceCost,
        c.maintenanceCost);
    series->setBarWidth(0.5);
    chart->addSeries(series);
    auto* options = new QBarCategoryAxis;
    for (int option : {PavementOption::Asphalt, PavementOption::Concrete})
        options->append(QStringLiteral("%1: %2").arg(
            kOptionNames[option], QString::fromStdString(Dollars(results[option].total))));
    chart->addAxis(options, Qt::AlignLeft);
    series->attachAxis(options);
    QValueAxis* money = MoneyAxis(QStringLiteral("$ per mile"));
    chart->addAxis(money, Qt::AlignBottom);
    series->attachAxis(money);
    money->setMin(std::min({0.0, a.total, c.total}));
    money->applyNiceNumbers();
    Tighten(chart);
    return chart;
}

std::array<QChart*, 2> MakeCashFlowCharts(const ProjectData& project, const AnalysisResult& run,
                                          bool discounted) {
    const std::array<YearlyAmounts, 2> amounts = AmountsByYear(project, run, discounted);
    const double top = HighestYear(amounts);
    return {CashFlowChart(project, run, 0, amounts[0], top, discounted),
            CashFlowChart(project, run, 1, amounts[1], top, discounted)};
}

CostChartsForm::CostChartsForm(const ProjectData& project, const AnalysisResult& run,
                               QWidget* parent)
    : QDialog(parent), project_(project), run_(run) {
    setWindowTitle(QStringLiteral("Cost Charts"));
    InstallHelpKeys(this, QStringLiteral("cost-charts"));
    const auto help = [](QWidget* control, int id, const char* text) {
        SetHelpContext(control, HelpContextId(kTemplate, id), QString::fromLatin1(text));
    };

    gridlockNote_ = new QLabel(this);
    gridlockNote_->setWordWrap(true);
    QStringList gridlocked;
    for (int option : {PavementOption::Asphalt, PavementOption::Concrete})
        if (run_.option[option].gridlock)
            gridlocked << QStringLiteral("<b>%1 option: %2.</b>")
                              .arg(kOptionNames[option], kGridlockCaption);
    gridlockNote_->setText(gridlocked.join(u' ') + QStringLiteral(" ") +
                           QString::fromLatin1(kGridlockText).replace(u'\n', u' '));
    gridlockNote_->setVisible(!gridlocked.isEmpty());

    costView_ = MakeView(MakeCostChart(run_.results), this, QStringLiteral("cost-by-stage"));
    help(costView_, 1001,
         "Each option's net present value per mile, current dollars, stacked by stage: agency "
         "costs, user delay costs and recurring maintenance, as Computed Costs shows them. The "
         "option's total is under its bar. Right-click to copy or save the picture.");

    undiscounted_ = new QRadioButton(QStringLiteral("&Undiscounted"), this);
    discounted_ = new QRadioButton(QStringLiteral("&Discounted"), this);
    undiscounted_->setChecked(true);
    help(undiscounted_, 1002, "Shows each year's expenditures as they are spent.");
    help(discounted_, 1003,
         "Shows each year's expenditures brought back to today at the discount rate; they add up "
         "to the option's net present value.");
    connect(discounted_, &QRadioButton::toggled, this, &CostChartsForm::ShowCashFlows);
    for (int option : {PavementOption::Asphalt, PavementOption::Concrete}) {
        cashFlowViews_[option] =
            MakeView(new QChart, this,
                     QStringLiteral("cash-flow-%1").arg(QString(kOptionNames[option]).toLower()));
        help(cashFlowViews_[option], 1004 + option,
             "The option's expenditures per mile in each year of the analysis period: agency, "
             "user delay and maintenance stacked. A stage that starts part way through a year "
             "counts in that year. Right-click to copy or save the picture.");
    }
    ShowCashFlows();

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* toggle = new QHBoxLayout;
    toggle->addWidget(new QLabel(QStringLiteral("Cash flow by year:"), this));
    toggle->addWidget(undiscounted_);
    toggle->addWidget(discounted_);
    toggle->addStretch();
    // One option above the other, on one scale, so that a year of one lines up with the other's.
    auto* cashFlows = new QVBoxLayout;
    cashFlows->addLayout(toggle);
    for (QChartView* view : cashFlowViews_) cashFlows->addWidget(view, 1);
    auto* form = new QVBoxLayout(this);
    form->addWidget(gridlockNote_);
    // The bars' legend names nine stages; the cash flows share the rest.
    form->addWidget(costView_, 2);
    form->addLayout(cashFlows, 3);
    form->addWidget(buttons);
    resize(FormSize(*this, 640, 440));
}

void CostChartsForm::ShowCashFlows() {
    const std::array<QChart*, 2> charts =
        MakeCashFlowCharts(project_, run_, discounted_->isChecked());
    for (int option : {PavementOption::Asphalt, PavementOption::Concrete}) {
        QChart* old = cashFlowViews_[option]->chart();
        cashFlowViews_[option]->setChart(charts[option]);
        delete old;
    }
}

void CostCharts(const ProjectData& project, QWidget* parent) {
    ProjectData copy = project;
    if (!PrepareOrRefuse(copy, parent)) return;
    const AnalysisResult run = RunAnalysisOnCopy(copy);
    CostChartsForm form(copy, run, parent);
    form.exec();
}

} // namespace velmora
