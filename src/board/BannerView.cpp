#include "board/BannerView.h"

#include "board/BoardDesign.h"
#include "board/BoardFonts.h"
#include "board/BoardPictures.h"
#include "board/CaptionPanel.h"
#include "monitor/BoardGlance.h"
#include "monitor/RequestBoard.h"
#include "platform/gui/FormRound.h"
#include "platform/gui/Theme.h"
#include "services/ErrorReport.h"
#include "services/EventLog.h"

#include <QEvent>
#include <QLabel>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace kavri::monitor {

using namespace design;

BannerView::BannerView(QWidget &window) : QObject(&window)
{
    createTimers();
    createPanels(window);
}

void BannerView::createTimers()
{
    m_loopBlinking = new QTimer(this);
    m_loopBlinking->setObjectName(u"LoopBlinking"_s);
    m_loopBlinking->setInterval(100);
    m_loopBlinking->setSingleShot(true); // it fires once per arrival
    m_highlightHold = new QTimer(this);
    m_highlightHold->setObjectName(u"LoopBlinkingHold"_s);
    m_highlightHold->setInterval(10000);
    m_highlightHold->setSingleShot(true);
    // A coarse timer may end the highlight up to 5 % early.
    m_highlightHold->setTimerType(Qt::PreciseTimer);
    connect(m_loopBlinking, &QTimer::timeout, this, [this] {
        setStyle(3);
        m_highlightHold->start();
    });
    connect(m_highlightHold, &QTimer::timeout, this, [this] { setStyle(0); });
}

void BannerView::createPanels(QWidget &window)
{
    for (int i = 0; i < 2; ++i) {
        m_imgBack[i] = new QLabel(&window);
        m_imgBack[i]->setObjectName(indexed(u"imgBack"_s, i));
        m_imgBack[i]->setScaledContents(true);
    }

    m_lblRequest = new CaptionPanel(&window);
    m_lblRequest->setObjectName(u"lblRequest"_s);
    m_lblRequest->setWordWrap(true);
    m_lblRequest->setMargins(kBannerMargins.horizontal, kBannerMargins.vertical);
    // The top request is shown whole where it can be, down to the floor.
    m_lblRequest->setShrinkToFit(0.1, bannerFloorPoints());
    m_lblRequest->setPlaceholder(u"새 요청을 기다리고 있습니다"_s);
    m_lblRequest->setFont(boardDisplayFont(40));
    setStyle(0);
    connect(m_lblRequest, &CaptionPanel::clicked, this, &BannerView::clicked);

    m_lblTable = new CaptionPanel(&window);
    m_lblTable->setObjectName(u"lblTable"_s);
    m_lblTable->setGeometry(TableRect);
    m_lblTable->setColours(Qt::white, Qt::transparent);
    m_lblTable->setMargin(2);
    m_lblTable->setPlaceholder(u"테이블"_s);

    m_lbl결제방법 = new CaptionPanel(&window);
    m_lbl결제방법->setObjectName(u"lbl결제방법"_s);
    m_lbl결제방법->setGeometry(PayTypeRect);
    m_lbl결제방법->setFont(boardDisplayFont(20));

    m_cmd = new CaptionPanel(&window);
    m_cmd->setObjectName(indexed(u"CMD"_s, 0));
    m_cmd->setCaption(u"요 청  완 료"_s);
    m_cmd->setGeometry(ConfirmRect);
    m_cmd->setFont(boardDisplayFont(18));
    m_shp = new FrameShape(&window, 3);
    m_shp->setObjectName(indexed(u"SHP"_s, 0));
    m_cmd->installEventFilter(this);
    connect(m_cmd, &CaptionPanel::clicked, this, &BannerView::confirmClicked);
}

void BannerView::layOut(const BoardGeometry &g)
{
    for (int i = 0; i < 2; ++i) {
        m_imgBack[i]->setGeometry(g.imgBack[i]);
        const QSize size = m_imgBack[i]->size();
        if (!size.isEmpty())
            m_imgBack[i]->setPixmap(bannerBackPicture(size, i));
    }
    m_lblRequest->setGeometry(g.lblRequest);
}

void BannerView::draw(const Banner &banner, const QString &waited)
{
    if (banner.table != m_lblTable->caption() || m_lblTable->caption().isEmpty()) {
        QFont font = boardDisplayFont();
        font.setPixelSize(fittingPixelSize(banner.table, TableRect.width() - 8, {72, 60, 48, 40, 32, 26}));
        m_lblTable->setFont(font);
    }
    m_lblTable->setCaption(banner.table);
    m_lblTable->setNote(banner.table.isEmpty() ? QString() : waited);
    m_lbl결제방법->setCaption(banner.payType);
    if (banner.payType.isEmpty())
        m_lbl결제방법->setColours(Qt::white, Qt::transparent);
    else
        m_lbl결제방법->setColours(theme::PayInk, theme::PayBack);
    m_lbl결제방법->setFrame(banner.payType.isEmpty() ? 0 : 10);
    m_lblRequest->setFont(boardDisplayFont(banner.pointSize));
    const QuantitySplit split = splitQuantity(banner.text);
    m_lblRequest->setCaption(split.text, split.quantity);
}

void BannerView::prepareConfirmButton()
{
    m_cmd->setColours(Qt::white, theme::ConfirmBlue);
    QString error;
    if (!platform::FormRound(m_cmd, 3, &error))
        WriteLog(compactErrorReport(u"lib_Form"_s, u"FormRound"_s, {1, 5, error}));
    m_shp->setGeometry(m_cmd->geometry());
    m_cmd->hide();
    m_shp->hide(); // the frame shows with its button
}

void BannerView::showConfirm(bool visible, bool enabled)
{
    m_confirmEnabled = enabled;
    m_cmd->setVisible(visible);
    m_shp->setVisible(visible);
    if (visible) {
        m_cmd->raise();
        m_shp->raise();
    }
}

QWidget *BannerView::confirmButton() const
{
    return m_cmd;
}

bool BannerView::eventFilter(QObject *watched, QEvent *event)
{
    // Pressed: blue on white; released: white on blue, drawn at once; a press
    // while its own press runs keeps the look.
    if (watched == m_cmd && m_confirmEnabled) {
        if (event->type() == QEvent::MouseButtonPress) {
            m_cmd->setColours(theme::ConfirmBlue, Qt::white);
            m_cmd->repaint();
        } else if (event->type() == QEvent::MouseButtonRelease) {
            m_cmd->setColours(Qt::white, theme::ConfirmBlue);
            m_cmd->repaint();
        }
    }
    return QObject::eventFilter(watched, event);
}

void BannerView::highlight()
{
    m_highlightHold->stop();
    setStyle(3);
}

void BannerView::startBlinking()
{
    m_loopBlinking->start();
}

void BannerView::stop()
{
    m_loopBlinking->stop();
    m_highlightHold->stop();
}

void BannerView::setStale(bool stale)
{
    if (stale == m_stale)
        return;
    m_stale = stale;
    if (m_style != 3)
        setStyle(0);
}

void BannerView::setStyle(int style)
{
    // The end of a highlight goes back to the steady frame while the top still waits.
    if (style == 0 && m_stale)
        style = 4;
    const bool wasHighlighted = m_style == 3;
    m_style = style;
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
    if (wasHighlighted != (style == 3))
        emit highlightChanged(style == 3);
}

bool BannerView::isDragHandle(const QWidget *child) const
{
    return child == m_imgBack[0] || child == m_imgBack[1];
}

} // namespace kavri::monitor
