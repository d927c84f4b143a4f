#pragma once

#include "stats/ChartScale.h"

#include <QChartView>

#include <array>

class QGraphicsSimpleTextItem;

namespace kavri::monitor {

/// A bar chart of one value per hour of a day: the hours along the bottom, the
/// value axis on the left with whole-number ticks and its unit written level
/// above it, where it reads without turning the head.
class HourChart : public QChartView
{
    Q_OBJECT
public:
    HourChart(const QString &title, const QString &unit, QWidget *parent = nullptr);

    /// Draws `values` (hours without a value as 0) on an axis of `scale`.
    void showHours(const std::array<double, 24> &values, const stats::AxisScale &scale);
    /// The unit above the value axis.
    const QGraphicsSimpleTextItem *unitTitle() const { return m_unit; }

private:
    void placeUnit(const QRectF &plotArea);

    QString m_unitText;
    QGraphicsSimpleTextItem *m_unit = nullptr;
};

} // namespace kavri::monitor
