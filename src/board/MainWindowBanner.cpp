// What the board shows: the banner, the rows and their waits, the open count,
// the health line and the header's lines.
#include "board/MainWindow.h"

#include "board/BannerView.h"
#include "board/BoardDesign.h"
#include "board/BoardFonts.h"
#include "board/BoardView.h"
#include "board/HeaderView.h"
#include "board/HealthLine.h"
#include "board/IconView.h"
#include "board/KeptTicketsChoice.h"
#include "board/WindowPlacement.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "printing/Unprinted.h"
#include "services/ProcessValues.h"

#include <QLabel>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace kavri {

using namespace design;
using monitor::placeWindow;
using monitor::storedPosition;

void frmAlarm::renderBoard()
{
    const QDateTime now = platform::clock().now();
    m_boardView->draw(*m_board, m_geometry.fonts.request, imgIconPicture(3), imgIconPicture(4),
                      {now, m_waitThresholds});
    const monitor::Banner &banner = m_board->banner();
    m_banner->draw(banner, monitor::waitedText(monitor::waitedMinutes(m_board->topRegDate(), now)));
    m_openCount->setCaption(monitor::openCountText(m_board->openCount()));
    m_icon->setOpenCount(m_board->openCount());
    drawWaitClock();
}

void frmAlarm::drawWaitClock()
{
    // An empty board has no minutes to count: no wake-ups for it.
    if (m_board->openCount() == 0 && m_board->row(0).isEmpty()) {
        m_waitClock->stop();
        return;
    }
    // The minutes change on the minute of the clock, not of the last poll.
    const QDateTime now = platform::clock().now();
    const int toNextMinute = 60000 - (now.time().second() * 1000 + now.time().msec());
    m_waitClock->start(std::clamp(toNextMinute + 50, 1000, 61000));
}

QPixmap frmAlarm::imgIconPicture(int n) const
{
    if (n < 1 || n > int(m_imgIcon.size()))
        return {};
    return m_imgIcon[n - 1];
}

QTimer *frmAlarm::loopBlinking() const
{
    return m_banner->loopBlinking();
}

int frmAlarm::bannerStyle() const
{
    return m_banner->style();
}

void frmAlarm::setBannerStale(bool stale)
{
    m_banner->setStale(stale);
}

void frmAlarm::highlightBanner()
{
    m_banner->highlight();
}

void frmAlarm::startLoopBlinking()
{
    if (!m_ending)
        m_banner->startBlinking();
}

void frmAlarm::showHealth(const QString &text, bool faulty)
{
    // The session's health says each item apart; without one the line is one item.
    monitor::RequestCycle *cycle = requestCycle();
    const QList<monitor::HealthItem> items =
        cycle ? cycle->health().items() : QList<monitor::HealthItem>{{text, text}};
    showHealthItems(items, text, faulty);
}

void frmAlarm::showHealthItems(const QList<monitor::HealthItem> &items, const QString &text, bool faulty)
{
    m_header->showHealth(items, text, faulty);
}

QString frmAlarm::healthText() const
{
    return m_header->health().wholeText();
}

bool frmAlarm::healthFaulty() const
{
    return m_header->health().faulty();
}

frmAlarm::Reprint frmAlarm::reprintRequest(const QString &number)
{
    return m_rowMenu->reprint(number);
}

void frmAlarm::lblHealth_Click()
{
    if (m_ending)
        return;
    // Without kept tickets a tap shows the whole line: a touch screen has no tooltip.
    if (unprintedTickets().count() == 0) {
        platform::tellNotice(healthText());
        return;
    }
    monitor::offerKeptTickets(
        this,
        [this] {
            if (monitor::RequestCycle *cycle = requestCycle(); cycle && !m_ending)
                cycle->Load_Kavri(true);
        },
        [this](qsizetype) {
            monitor::RequestCycle *cycle = requestCycle();
            if (!cycle)
                return;
            cycle->health().setUnprinted(unprintedTickets().count());
            cycle->healthUpdated();
        });
}

} // namespace kavri
