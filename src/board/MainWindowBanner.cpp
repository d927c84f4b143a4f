// What the board shows: the banner and its frame, the rows, the health line.
#include "board/MainWindow.h"

#include "board/BoardFonts.h"
#include "board/BoardPictures.h"
#include "board/BoardView.h"
#include "board/KeptTicketsChoice.h"
#include "board/MainWindowParts.h"
#include "platform/gui/ClickLabel.h"
#include "platform/gui/Theme.h"
#include "printing/Unprinted.h"

#include <QLabel>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace kavri {

using namespace mainwindow;

void frmAlarm::applyBannerBackgrounds()
{
    for (int i = 0; i < 2; ++i) {
        const QSize size = m_imgBack[i]->size();
        if (!size.isEmpty())
            m_imgBack[i]->setPixmap(monitor::bannerBackPicture(size, i));
    }
}

void frmAlarm::renderBoard()
{
    m_boardView->draw(*m_board, m_geometry.fonts.request, imgIconPicture(3), imgIconPicture(4));

    const monitor::Banner &banner = m_board->banner();
    if (banner.table != m_lblTable->caption() || m_lblTable->caption().isEmpty()) {
        QFont font = monitor::boardDisplayFont();
        font.setPixelSize(
            monitor::fittingPixelSize(banner.table, TableRect.width() - 8, {84, 72, 60, 48, 40, 32, 26}));
        m_lblTable->setFont(font);
    }
    m_lblTable->setCaption(banner.table);
    m_lbl결제방법->setCaption(banner.payType);
    if (banner.payType.isEmpty())
        m_lbl결제방법->setColours(Qt::white, Qt::transparent);
    else
        m_lbl결제방법->setColours(theme::PayInk, theme::PayBack);
    m_lbl결제방법->setFrame(banner.payType.isEmpty() ? 0 : 10);
    m_lblRequest->setFont(monitor::boardDisplayFont(banner.pointSize));
    m_lblRequest->setCaption(banner.text);
}

QPixmap frmAlarm::imgIconPicture(int n) const
{
    if (n < 1 || n > int(m_imgIcon.size()))
        return {};
    return m_imgIcon[n - 1];
}

void frmAlarm::setBannerStyle(int style)
{
    // The end of a highlight goes back to the steady frame while the top still waits.
    if (style == 0 && m_bannerStale)
        style = 4;
    m_bannerStyle = style;
    if (style == 3) {
        m_lblRequest->setColours(theme::HighlightInk, theme::HighlightBack);
        m_lblRequest->setFrame(16, theme::HighlightBorder, 6);
    } else if (style == 4) {
        m_lblRequest->setColours(theme::BannerInk, theme::BannerBack);
        m_lblRequest->setFrame(16, theme::HighlightBorder, 6);
    } else {
        m_lblRequest->setColours(theme::BannerInk, theme::BannerBack);
        m_lblRequest->setFrame(16, theme::BannerBorder, 2);
    }
}

void frmAlarm::setBannerStale(bool stale)
{
    if (stale == m_bannerStale)
        return;
    m_bannerStale = stale;
    if (m_bannerStyle != 3)
        setBannerStyle(0);
}

void frmAlarm::showHealth(const QString &text, bool faulty)
{
    m_healthFaulty = faulty;
    m_lblHealth->setStyleSheet(faulty ? theme::HealthFaultStyle : theme::HealthOkStyle);
    m_lblHealth->setToolTip(text);
    // What does not fit ends in "…"; the whole line is the tooltip.
    m_lblHealth->setText(
        m_lblHealth->fontMetrics().elidedText(text, Qt::ElideRight, m_lblHealth->width() - 14));
}

QString frmAlarm::healthText() const
{
    return m_lblHealth->toolTip();
}

void frmAlarm::lblHealth_Click()
{
    if (m_ending)
        return;
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

void frmAlarm::highlightBanner()
{
    m_highlightHold->stop();
    setBannerStyle(3);
}

void frmAlarm::startLoopBlinking()
{
    if (m_ending)
        return;
    m_loopBlinking->start();
}

} // namespace kavri
