#include "views/PlannerCharts.h"

#include <QAreaSeries>
#include <QChart>
#include <QLegendMarker>
#include <QLineSeries>
#include <QLocale>
#include <QPen>
#include <QValueAxis>
#include <algorithm>

namespace velmora {
namespace {

constexpr std::array<QRgb, 2> kDirectionColours{0x2f6fb0, 0xd0741c};
constexpr QRgb kClosedColour = 0xd9d9d9;

// A value held through each hour: the line steps at the hour marks, as the model counts.
QLineSeries* Steps(const std::array<planner::HourRow, 24>& hours, double planner::HourRow::*value) {
    auto* series = new QLineSeries;
    for (int h = 0; h < 24; ++h) {
        series->append(h, hours[h].*value);
        series->append(h + 1, hours[h].*value);
    }
    return series;
}

void Attach(QChart* chart, QAbstractSeries* series, QValueAxis* x, QValueAxis* y) {
    chart->addSeries(series);
    series->attachAxis(x);
    series->attachAxis(y);
}

} // namespace

QChart* MakeHourlyChart(const planner::StageDay& day, const QString& title) {
    auto* chart = new QChart;
    chart->setTitle(title);
    chart->setLocale(QLocale(QLocale::English, QLocale::UnitedStates));
    chart->setLocalizeNumbers(true);
    chart->setMargins(QMargins(4, 4, 4, 4));
    chart->setBackgroundRoundness(0);
    // Seven entries: beside the plot they keep their names whole, where a row under it would cut
    // them short.
    chart->legend()->setAlignment(Qt::AlignRight);

    auto* hours = new QValueAxis;
    hours->setRange(0, 24);
    hours->setTickCount(9);
    // "%d" draws no labels at all where the chart localizes its numbers.
    hours->setLabelFormat(QStringLiteral("%.0f"));
    hours->setTitleText(QStringLiteral("Hour of the day"));
    auto* vehicles = new QValueAxis;
    vehicles->setTitleText(QStringLiteral("Vehicles per hour"));
    vehicles->setLabelFormat(QStringLiteral("%.0f"));
    auto* miles = new QValueAxis;
    miles->setTitleText(QStringLiteral("Queue, miles"));
    miles->setLabelFormat(QStringLiteral("%.1f"));
    chart->addAxis(hours, Qt::AlignBottom);
    chart->addAxis(vehicles, Qt::AlignLeft);
    chart->addAxis(miles, Qt::AlignRight);

    double top = 0.0, longest = 0.0;
    for (const auto& direction : day.hours)
        for (const planner::HourRow& row : direction) {
            top = std::max({top, row.demand, row.capacity});
            longest = std::max(longest, row.queueMiles);
        }
    vehicles->setRange(0, top > 0.0 ? top * 1.05 : 1.0);
    vehicles->applyNiceNumbers();
    miles->setRange(0, longest > 0.0 ? longest * 1.1 : 1.0);
    miles->applyNiceNumbers();

    // The closure hours, one shaded band per run of closed hours.
    bool named = false;
    for (int h = 0; h < 24;) {
        if (!day.hours[0][h].closed) {
            ++h;
            continue;
        }
        const int from = h;
        while (h < 24 && day.hours[0][h].closed) ++h;
        auto* upper = new QLineSeries;
        upper->append(from, vehicles->max());
        upper->append(h, vehicles->max());
        auto* band = new QAreaSeries(upper);
        band->setName(QStringLiteral("Closed"));
        band->setColor(QColor(kClosedColour));
        band->setBorderColor(QColor(kClosedColour));
        Attach(chart, band, hours, vehicles);
        if (named) chart->legend()->markers(band).front()->setVisible(false);
        named = true;
    }
    for (int d = 0; d < 2; ++d) {
        const QColor colour(kDirectionColours[d]);
        QLineSeries* demand = Steps(day.hours[d], &planner::HourRow::demand);
        demand->setName(QStringLiteral("Demand %1").arg(d + 1));
        demand->setPen(QPen(colour, 2));
        Attach(chart, demand, hours, vehicles);
        QLineSeries* capacity = Steps(day.hours[d], &planner::HourRow::capacity);
        capacity->setName(QStringLiteral("Capacity %1").arg(d + 1));
        capacity->setPen(QPen(colour, 1.5, Qt::DashLine));
        Attach(chart, capacity, hours, vehicles);
    }
    for (int d = 0; d < 2; ++d) {
        QColor fill(kDirectionColours[d]);
        fill.setAlpha(70);
        auto* queue = new QAreaSeries(Steps(day.hours[d], &planner::HourRow::queueMiles));
        queue->setName(QStringLiteral("Queue %1").arg(d + 1));
        queue->setColor(fill);
        queue->setBorderColor(QColor(kDirectionColours[d]).darker(120));
        Attach(chart, queue, hours, miles);
    }
    return chart;
}

} // namespace velmora
