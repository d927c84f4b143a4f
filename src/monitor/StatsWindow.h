#pragma once

#include "monitor/StatsReport.h"

#include <QDialog>

class QComboBox;
class QTableWidget;

namespace kavri::monitor {

/// The response-time statistics of the last days: the table `--stats` prints and,
/// for the day chosen, requests and the median staff wait per hour as bars.
class StatsWindow : public QDialog
{
    Q_OBJECT
public:
    static constexpr int Days = 7;

    StatsWindow(const QString &folder, const QDate &today, QWidget *parent = nullptr);

    /// Draws the charts of `day` (one of the table's days).
    void showDay(const QDate &day);
    /// The figures the charts show now.
    const HourFigures &shownHours() const { return m_hours; }

private:
    QString m_folder;
    QList<DayFigures> m_days;
    HourFigures m_hours;
    QTableWidget *m_table = nullptr;
    QComboBox *m_day = nullptr;
    QWidget *m_requestsChart = nullptr;
    QWidget *m_waitChart = nullptr;
};

} // namespace kavri::monitor
