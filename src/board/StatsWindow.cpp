#include "board/StatsWindow.h"

#include "board/HourChart.h"
#include "platform/Clock.h"
#include "stats/ChartScale.h"
#include "stats/StatsReading.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QScreen>
#include <QSignalBlocker>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace kavri::monitor {

namespace {

/// The least height of what a shop's finger touches.
constexpr int TouchHeight = 32;
/// The title bar and borders the window system adds, about.
constexpr int WindowFrameHeight = 40;

/// The table of the days, as high as its header and rows: every day shows without scrolling.
QTableWidget *daysTable(int days, QWidget *parent)
{
    auto *table = new QTableWidget(days, 6, parent);
    table->setObjectName(u"statsTable"_s);
    table->setHorizontalHeaderLabels({u"날짜"_s, u"요청"_s, u"중앙값(분)"_s, u"90%(분)"_s, u"자동 확인"_s,
                                      u"가장 느린 테이블 (중앙값, 분)"_s});
    table->verticalHeader()->hide();
    table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    // The slowest tables take the width left and are cut short with "…" rather than scroll.
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->horizontalHeader()->setStretchLastSection(true);
    table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    table->setWordWrap(false);
    const int rows = table->verticalHeader()->defaultSectionSize() * days;
    table->setFixedHeight(table->horizontalHeader()->sizeHint().height() + rows + 2 * table->frameWidth());
    return table;
}

} // namespace

StatsWindow::StatsWindow(const QString &folder, const QDate &today, QWidget *parent)
    : QDialog(parent), m_folder(folder), m_today(today), m_shownDay(today)
{
    setObjectName(u"frmStats"_s);
    setWindowTitle(u"응답 통계"_s);
    // Within a small screen's height (1024 by 768 less a panel), the charts giving way.
    resize(900, std::min(760, screen()->availableGeometry().height() - WindowFrameHeight));
    auto *layout = new QVBoxLayout(this);

    m_status = new QLabel(u"통계 파일을 읽는 중입니다…"_s, this);
    m_status->setObjectName(u"statsStatus"_s);
    layout->addWidget(m_status);

    m_table = daysTable(Days, this);
    layout->addWidget(m_table);
    layout->addWidget(
        new QLabel(u"중앙값과 90%: 등록부터 직원 확인까지. 자동 확인: 자동 확인된 요청의 비율."_s, this));

    m_day = new QComboBox(this);
    m_day->setObjectName(u"statsDay"_s);
    m_day->setMinimumHeight(TouchHeight);
    fillDayList();
    layout->addWidget(m_day);

    m_requestsChart = new HourChart(u"시간대별 요청"_s, u"건"_s, this);
    m_requestsChart->setObjectName(u"requestsChart"_s);
    m_waitChart = new HourChart(u"시간대별 직원 확인까지 중앙값"_s, u"분"_s, this);
    m_waitChart->setObjectName(u"waitChart"_s);
    layout->addWidget(m_requestsChart, 1);
    layout->addWidget(m_waitChart, 1);

    connect(m_day, &QComboBox::currentIndexChanged, this,
            [this](int index) { showDay(m_day->itemData(index).toDate()); });
    // A slice at a time, each when the window's other events have run.
    m_slices = new QTimer(this);
    m_slices->setInterval(0);
    connect(m_slices, &QTimer::timeout, this, &StatsWindow::readSlice);
    m_refresh = new QTimer(this);
    m_refresh->setObjectName(u"statsRefresh"_s);
    m_refresh->setInterval(RefreshMs);
    connect(m_refresh, &QTimer::timeout, this, &StatsWindow::refresh);
    m_refresh->start();
    startReading(today);
}

StatsWindow::~StatsWindow() = default;

void StatsWindow::refresh()
{
    if (!isReading())
        startReading(platform::clock().now().date());
}

void StatsWindow::startReading(const QDate &today)
{
    m_today = today;
    m_reading = std::make_unique<stats::StatsReading>(m_folder, today, Days);
    m_slices->start();
}

void StatsWindow::readSlice()
{
    if (!m_reading || m_reading->readSlice())
        return;
    m_slices->stop();
    m_days = m_reading->days();
    m_dayHours = m_reading->hours();
    m_reading.reset();
    showFigures();
    emit readingDone();
}

void StatsWindow::fillDayList()
{
    // Newest day first, as staff look for today first.
    const QSignalBlocker quiet(m_day);
    m_day->clear();
    for (int back = 0; back < Days; ++back)
        m_day->addItem(m_today.addDays(-back).toString(u"yyyy-MM-dd"_s), m_today.addDays(-back));
    // The day shown stays chosen while it is one of the days; after midnight the
    // oldest one drops out and the newest is chosen instead.
    const int shown = m_day->findData(m_shownDay);
    m_day->setCurrentIndex(std::max(shown, 0));
    m_shownDay = m_day->currentData().toDate();
}

void StatsWindow::showFigures()
{
    m_status->hide();
    if (m_day->itemData(0).toDate() != m_today)
        fillDayList();
    for (int row = 0; row < m_days.size(); ++row) {
        const QStringList cells = dayCells(m_days.at(m_days.size() - 1 - row));
        for (int column = 0; column < cells.size(); ++column) {
            auto *item = new QTableWidgetItem(cells.at(column));
            item->setToolTip(cells.at(column));
            m_table->setItem(row, column, item);
        }
    }
    showDay(m_shownDay);
}

void StatsWindow::showDay(const QDate &day)
{
    m_shownDay = day;
    if (m_days.isEmpty())
        return;
    m_hours = {};
    for (qsizetype i = 0; i < m_days.size(); ++i) {
        if (m_days.at(i).day == day)
            m_hours = m_dayHours.at(i);
    }
    std::array<double, 24> requests{};
    std::array<double, 24> waits{};
    for (size_t hour = 0; hour < 24; ++hour) {
        requests[hour] = m_hours.requests[hour];
        waits[hour] = m_hours.medianMinutes[hour].value_or(0);
    }
    m_requestsChart->showHours(requests,
                               stats::countScale(*std::max_element(requests.begin(), requests.end())));
    m_waitChart->showHours(waits, stats::minuteScale(*std::max_element(waits.begin(), waits.end())));
}

} // namespace kavri::monitor
