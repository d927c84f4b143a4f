#pragma once

#include "monitor/StatsReport.h"

#include <QDialog>
#include <QTimer>

#include <memory>

class QComboBox;
class QLabel;
class QTableWidget;

namespace kavri::monitor {

class StatsReading;

/// The response-time statistics of the last days: the table `--stats` prints and,
/// for the day chosen, requests and the median staff wait per hour as bars. The
/// files are read a slice at a time between the window's other events (a day file
/// can hold 100,000 lines and the board's polls, alerts and ticks share the thread);
/// the table and the charts are drawn once every day has been read.
class StatsWindow : public QDialog
{
    Q_OBJECT
public:
    static constexpr int Days = 7;

    StatsWindow(const QString &folder, const QDate &today, QWidget *parent = nullptr);
    ~StatsWindow() override;

    /// Draws the charts of `day` (one of the table's days); while the files are still
    /// being read, once they are.
    void showDay(const QDate &day);
    /// The figures the charts show now.
    const HourFigures &shownHours() const { return m_hours; }
    /// True until every day's file has been read.
    bool isReading() const { return m_reading != nullptr; }

signals:
    /// Every day's file has been read, and the table and the charts show them.
    void readingDone();

private:
    void readSlice();
    void showFigures();

    std::unique_ptr<StatsReading> m_reading;
    QTimer m_slices;
    QList<DayFigures> m_days;
    QList<HourFigures> m_dayHours;
    QDate m_shownDay;
    HourFigures m_hours;
    QLabel *m_status = nullptr;
    QTableWidget *m_table = nullptr;
    QComboBox *m_day = nullptr;
    QWidget *m_requestsChart = nullptr;
    QWidget *m_waitChart = nullptr;
};

} // namespace kavri::monitor
