#include "views/PrintedCharts.h"

#include "risk/RiskAnalysis.h"
#include "views/CostChartsForm.h"
#include "views/RiskCharts.h"

#include <QChartView>
#include <QGraphicsScene>
#include <QPainter>
#include <cmath>
#include <memory>

namespace velmora {
namespace {

// The chart of a view made for the screen, for paper.
QChart* Taken(QChartView* view) {
    QChart* chart = view->chart();
    view->setChart(new QChart);
    delete view;
    return chart;
}

} // namespace

void AddChart(PrintedPages& pages, double share, QChart* chart, double width) {
    // The scene owns the chart, and the figure the scene, until the pages are printed.
    auto scene = std::make_shared<QGraphicsScene>();
    scene->addItem(chart);
    pages.AddFigure(share * pages.Body().height(), [scene, chart, width](QPainter& painter,
                                                                         const QRectF& area) {
        const QRectF canvas(0, 0, width, width * area.height() / area.width());
        chart->setGeometry(canvas);
        scene->setSceneRect(canvas);
        // A blank strip under the chart keeps its axis title off what follows.
        scene->render(&painter, area.adjusted(0, 0, 0, -area.height() / 40), canvas);
    });
}

void AddCashFlowCharts(PrintedPages& pages, const ProjectData& copy, const AnalysisResult& run) {
    for (bool discounted : {false, true})
        for (QChart* chart : MakeCashFlowCharts(copy, run, discounted))
            AddChart(pages, 0.32, chart);
}

void AddRiskCharts(PrintedPages& pages, const risk::RiskAnalysis& analysis) {
    // On paper there is room for an input's whole name.
    const std::array<QChartView*, 4> views = riskcharts::ResultCharts(analysis, 0);
    for (int k = 0; k < 3; ++k) AddChart(pages, 0.31, Taken(views[k]));
    std::size_t bars = 0;
    for (const risk::Swing& swing : analysis.swings) bars += std::isfinite(swing.width);
    AddChart(pages, 0.16 + 0.045 * double(std::min<std::size_t>(bars, 10)), Taken(views[3]));
}

} // namespace velmora
