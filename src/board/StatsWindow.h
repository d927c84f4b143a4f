#pragma once

#include "stats/StatsHours.h"
#include "stats/StatsReport.h"

#include <QDialog>
#include <QTimer>

#include <memory>

class QComboBox;
class QLabel;
class QTableWidget;

namespace kavri::stats {
class StatsReading;
}

namespace kavri::monitor {

class HourChart;

/// The response-time statistics of the last days: the table `--stats` prints and,
/// for the day chosen, requests and the median staff wait per hour as bars. The
/// files are read a slice at a time between the window's other events (a day file
/// can hold 100,000 lines and the board's polls, alerts and ticks share the thread);
/// the table and the charts are drawn once every day has been read. While open it
/// reads them again every minute, so requests that leave meanwhile show up.
class StatsWindow : public QDialog
{
    Q_OBJECT
public:
    static constexpr int Days = 7;
    static constexpr int RefreshMs = 60 * 1000;

    StatsWindow(const QString &folder, const QDate &today, QWidget *parent = nullptr);
    ~StatsWindow() override;

    /// Draws the charts of `day` (one of the table's days); before the files' first
    /// reading is done, once it is.
    void showDay(const QDate &day);
    /// The figures the charts show now.
    const stats::HourFigures &shownHours() const { return m_hours; }
    /// True while the files are being read.
    bool isReading() const { return m_reading != nullptr; }

public slots:
    /// Reads the files again, for the days up to the clock's today; what is shown
    /// stays until the new figures are read. Nothing while a reading runs.
    void refresh();

signals:
    /// Every day's file has been read, and the table and the charts show them.
    void readingDone();

private:
    void startReading(const QDate &today);
    void readSlice();
    void fillDayList();
    void showFigures();

    QString m_folder;
    QDate m_today;
    std::unique_ptr<stats::StatsReading> m_reading;
    QTimer *m_slices = nullptr;
    QTimer *m_refresh = nullptr;
    QList<stats::DayFigures> m_days;
    QList<stats::HourFigures> m_dayHours;
    QDate m_shownDay;
    stats::HourFigures m_hours;
    QLabel *m_status = nullptr;
    QTableWidget *m_table = nullptr;
    QComboBox *m_day = nullptr;
    HourChart *m_requestsChart = nullptr;
    HourChart *m_waitChart = nullptr;
};

} // namespace kavri::monitor
