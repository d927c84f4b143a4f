#include "board/StatsWindow.h"

#include "monitor/StatsReading.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QTableWidget>
#include <QVBoxLayout>
#include <QValueAxis>

using namespace Qt::StringLiterals;

namespace kavri::monitor {

namespace {

/// A bar chart of one value per hour; hours without a value are drawn as 0.
QChartView *hourChart(const QString &title, const QString &objectName)
{
    auto *chart = new QChart;
    chart->setTitle(title);
    chart->legend()->hide();
    auto *view = new QChartView(chart);
    view->setObjectName(objectName);
    view->setRenderHint(QPainter::Antialiasing);
    view->setMinimumHeight(200);
    return view;
}

void fillHourChart(QWidget *widget, const std::array<double, 24> &values, const QString &unit)
{
    auto *view = static_cast<QChartView *>(widget);
    QChart *chart = view->chart();
    chart->removeAllSeries();
    // A removed axis is handed back to the caller, not deleted with the chart.
    for (QAbstractAxis *axis : chart->axes()) {
        chart->removeAxis(axis);
        delete axis;
    }
    auto *set = new QBarSet(unit);
    QStringList hours;
    double top = 0;
    for (int hour = 0; hour < 24; ++hour) {
        *set << values[size_t(hour)];
        top = std::max(top, values[size_t(hour)]);
        hours << QString::number(hour);
    }
    auto *series = new QBarSeries;
    series->append(set);
    chart->addSeries(series);
    auto *x = new QBarCategoryAxis;
    x->append(hours);
    x->setTitleText(u"시"_s);
    auto *y = new QValueAxis;
    y->setRange(0, top > 0 ? top * 1.1 : 1);
    y->setTitleText(unit);
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    series->attachAxis(x);
    series->attachAxis(y);
}

} // namespace

StatsWindow::StatsWindow(const QString &folder, const QDate &today, QWidget *parent)
    : QDialog(parent), m_reading(std::make_unique<StatsReading>(folder, today, Days)), m_shownDay(today)
{
    setObjectName(u"frmStats"_s);
    setWindowTitle(u"응답 통계"_s);
    resize(900, 760);
    auto *layout = new QVBoxLayout(this);

    m_status = new QLabel(u"통계 파일을 읽는 중입니다…"_s, this);
    m_status->setObjectName(u"statsStatus"_s);
    layout->addWidget(m_status);

    m_table = new QTableWidget(Days, 6, this);
    m_table->setObjectName(u"statsTable"_s);
    m_table->setHorizontalHeaderLabels({u"날짜"_s, u"요청"_s, u"중앙값(분)"_s, u"90%(분)"_s, u"자동 확인"_s,
                                        u"가장 느린 테이블 (중앙값, 분)"_s});
    m_table->verticalHeader()->hide();
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->horizontalHeader()->setStretchLastSection(true);
    layout->addWidget(m_table);
    layout->addWidget(
        new QLabel(u"중앙값과 90%: 등록부터 직원 확인까지. 자동 확인: 자동 확인된 요청의 비율."_s, this));

    // Newest day first, as staff look for today first.
    m_day = new QComboBox(this);
    m_day->setObjectName(u"statsDay"_s);
    for (int back = 0; back < Days; ++back)
        m_day->addItem(today.addDays(-back).toString(u"yyyy-MM-dd"_s), today.addDays(-back));
    layout->addWidget(m_day);

    m_requestsChart = hourChart(u"시간대별 요청"_s, u"requestsChart"_s);
    m_waitChart = hourChart(u"시간대별 직원 확인까지 중앙값(분)"_s, u"waitChart"_s);
    layout->addWidget(m_requestsChart, 1);
    layout->addWidget(m_waitChart, 1);

    connect(m_day, &QComboBox::currentIndexChanged, this,
            [this](int index) { showDay(m_day->itemData(index).toDate()); });
    // A slice at a time, each when the window's other events have run.
    m_slices.setInterval(0);
    connect(&m_slices, &QTimer::timeout, this, &StatsWindow::readSlice);
    m_slices.start();
}

StatsWindow::~StatsWindow() = default;

void StatsWindow::readSlice()
{
    if (!m_reading || m_reading->readSlice())
        return;
    m_slices.stop();
    m_days = m_reading->days();
    m_dayHours = m_reading->hours();
    m_reading.reset();
    showFigures();
    emit readingDone();
}

void StatsWindow::showFigures()
{
    m_status->hide();
    for (int row = 0; row < m_days.size(); ++row) {
        const QStringList cells = dayCells(m_days.at(m_days.size() - 1 - row));
        for (int column = 0; column < cells.size(); ++column)
            m_table->setItem(row, column, new QTableWidgetItem(cells.at(column)));
    }
    m_table->resizeColumnsToContents();
    showDay(m_shownDay);
}

void StatsWindow::showDay(const QDate &day)
{
    m_shownDay = day;
    if (isReading())
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
    fillHourChart(m_requestsChart, requests, u"건"_s);
    fillHourChart(m_waitChart, waits, u"분"_s);
}

} // namespace kavri::monitor
