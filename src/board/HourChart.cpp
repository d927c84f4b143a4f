#include "board/HourChart.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QGraphicsLayout>
#include <QGraphicsSimpleTextItem>
#include <QValueAxis>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace kavri::monitor {

namespace {

/// Room above the plot for the unit, besides the line of text itself.
constexpr int UnitGap = 6;

} // namespace

HourChart::HourChart(const QString &title, const QString &unit, QWidget *parent)
    : QChartView(new QChart, parent), m_unitText(unit)
{
    QChart *c = chart();
    c->setTitle(title);
    c->legend()->hide();
    setRenderHint(QPainter::Antialiasing);
    setMinimumHeight(160);
    m_unit = new QGraphicsSimpleTextItem(unit, c);
    // The bars get the height: little room around the chart but the unit's, which
    // stands in the top margin over the value axis' labels.
    c->layout()->setContentsMargins(0, 0, 0, 0);
    c->setMargins(QMargins(UnitGap, int(m_unit->boundingRect().height()) + 2 * UnitGap, UnitGap, 0));
    connect(c, &QChart::plotAreaChanged, this, &HourChart::placeUnit);
}

void HourChart::showHours(const std::array<double, 24> &values, const stats::AxisScale &scale)
{
    QChart *c = chart();
    c->removeAllSeries();
    // A removed axis is handed back to the caller, not deleted with the chart.
    for (QAbstractAxis *axis : c->axes()) {
        c->removeAxis(axis);
        delete axis;
    }
    auto *set = new QBarSet(m_unitText);
    QStringList hours;
    for (int hour = 0; hour < 24; ++hour) {
        *set << values[size_t(hour)];
        hours << QString::number(hour);
    }
    auto *series = new QBarSeries;
    series->append(set);
    c->addSeries(series);
    auto *x = new QBarCategoryAxis;
    x->append(hours);
    x->setTitleText(u"시"_s);
    auto *y = new QValueAxis;
    y->setRange(0, scale.top);
    y->setTickType(QValueAxis::TicksFixed);
    y->setTickCount(scale.ticks());
    y->setMinorTickCount(0);
    // The ticks are whole numbers: no decimals to print.
    y->setLabelFormat(u"%d"_s);
    c->addAxis(x, Qt::AlignBottom);
    c->addAxis(y, Qt::AlignLeft);
    series->attachAxis(x);
    series->attachAxis(y);
    placeUnit(c->plotArea());
}

void HourChart::placeUnit(const QRectF &plotArea)
{
    const QRectF text = m_unit->boundingRect();
    m_unit->setPos(std::max(0.0, plotArea.left() - text.width() - UnitGap),
                   std::max(0.0, plotArea.top() - text.height() - UnitGap));
}

} // namespace kavri::monitor
