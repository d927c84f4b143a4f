#include "board/MainWindow.h"

#include "board/BannerView.h"
#include "board/BoardDesign.h"
#include "board/BoardFonts.h"
#include "board/BoardView.h"
#include "board/HeaderView.h"
#include "board/IconView.h"
#include "board/OptionBar.h"
#include "board/StatsWindow.h"
#include "board/WindowPlacement.h"
#include "monitor/OptionRules.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "platform/gui/ScreenPlacement.h"
#include "platform/gui/Theme.h"
#include "platform/gui/WaitPanel.h"
#include "printersettings/PrinterSettingsWindow.h"
#include "printing/PrinterCheck.h"
#include "services/AppFolder.h"
#include "services/EventLog.h"
#include "services/Housekeeping.h"
#include "services/LoginRecord.h"
#include "services/ProcessValues.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLineEdit>
#include <QLinearGradient>
#include <QPainter>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace kavri {

using namespace design;
using monitor::placeWindow;
using monitor::storedPosition;

namespace {
// How long the settings window's connection check may wait for a printer.
constexpr quint32 kConnectionCheckMs = 3000;
} // namespace

frmAlarm::frmAlarm(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint),
      m_ownBoard(std::make_unique<monitor::RequestBoard>()), m_board(m_ownBoard.get())
{
    construct();
}

frmAlarm::frmAlarm(monitor::RequestBoard &board, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_board(&board)
{
    construct();
}

void frmAlarm::construct()
{
    setObjectName(WindowName);
    setWindowTitle(u"Kavri 디스플레이"_s);
    setFont(monitor::uiFont(13));
    m_geometry = monitor::designGeometry();
    m_endProcess = [this](int code) {
        hide();
        QCoreApplication::exit(code);
    };

    m_waitClock = new QTimer(this);
    m_waitClock->setObjectName(u"WaitClock"_s);
    m_waitClock->setSingleShot(true);
    connect(m_waitClock, &QTimer::timeout, this, &frmAlarm::renderBoard);

    createControls();
    connect(m_board, &monitor::RequestBoard::changed, this, &frmAlarm::renderBoard);
    Form_Load();
}

frmAlarm::~frmAlarm() = default;

void frmAlarm::lblConfig_Click()
{
    if (m_ending || m_settingsWindow)
        return;
    // Polls, tickets and alerts go on while the shop works on its printers (a window
    // left open must not stop the board); the new settings count from their save.
    m_settingsWindow = new PrinterSettingsWindow;
    // A connection check waits a few seconds at most, with the board's events running.
    m_settingsWindow->setConnectionCheck([](const PortTarget &target, qint32 speed) {
        return checkPrinter(target, speed, kConnectionCheckMs).text;
    });
    connect(m_settingsWindow, &PrinterSettingsWindow::closed, this, [this] {
        m_settingsWindow->deleteLater();
        m_settingsWindow = nullptr;
        if (m_ending)
            return;
        Form_Load();
        show();
    });
    m_settingsWindow->openAt(pos());
    hide();
}

void frmAlarm::Form_Load()
{
    m_formLoading = true;
    m_options = monitor::readWindowOptions();
    m_waitThresholds = monitor::readWaitThresholds();
    m_picFrame->showPosition(m_options.displayPosX, m_options.displayPosY);
    resize(1024, monitor::BoardGeometry::kWindowHeight);
    // A first place for the layout to be measured in; only the final one is logged.
    const QRect first(storedPosition(m_options), frameGeometry().size());
    move(platform::keptOnScreen(platform::availableAreaFor(first), first));

    m_fill = monitor::readDisplayFill();
    m_picFrame->showLayout(m_options.resolutionIdx, m_options.displayIdx, m_fill);
    m_picFrame->showRepeat(m_options.alertRepeat);
    showExpiryMinutes(m_options.displayDelete);

    const QString wait = gSkinPath + u"/0106.gif"_s;
    if (FileExists(wait))
        m_picWait->setPicture(wait, 4);
    // A small mark over the logo: it hides no row and no new request.
    m_picWait->move(PicIconRect.center() - m_picWait->rect().center());
    m_picWait->hide();

    // Each picture keeps its number even when another file is missing, so a
    // missing card picture never puts the cash picture on card rows.
    for (int n = 1; n <= 4; ++n) {
        const QString path = gSkinPath + u"/06"_s + QString::number(n).rightJustified(2, u'0') + u".gif"_s;
        m_imgIcon[n - 1] = QPixmap();
        if (FileExists(path))
            m_imgIcon[n - 1].load(path);
    }

    m_banner->prepareConfirmButton();
    m_icon->showLogo(m_imgIcon[0]);
    m_banner->draw({}, {});

    Disp_List(shownResolution(), m_options.displayIdx);
    m_header->showVersion(gVersion, m_narrowScreen);
    placeWindow(*this, storedPosition(m_options)); // the layout may have made it wider
    m_formLoading = false;
    drawConfirmButton(); // marks live outside the window, and so does the button's state
}

void frmAlarm::Disp_List(int resolutionIdx, int displayIdx)
{
    const monitor::BoardGeometry g = monitor::boardGeometry(resolutionIdx, displayIdx, m_geometry);
    m_picFrame->move(g.picFrameLeft, monitor::BoardGeometry::kPicFrameTop);

    resize(g.windowWidth, height());
    m_header->layOut(g.storeNameWidth);
    m_header->showStoreName(gStoreName);
    m_banner->layOut(g);
    m_shpBack->setGeometry(g.shpBack);

    m_boardView->layOut(g);
    m_geometry = g;

    m_picWait->raise();
    // The model follows the layout: rows and marks empty; it tells the window to draw.
    m_board->setLayout(resolutionIdx, displayIdx);
    applyFill();
}

void frmAlarm::openStats()
{
    if (m_statsWindow) {
        m_statsWindow->raise();
        m_statsWindow->activateWindow();
        return;
    }
    auto *window = new monitor::StatsWindow(appFolder(), platform::clock().now().date(), this);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->setWindowFlag(Qt::Window);
    m_statsWindow = window;
    window->show();
}

void frmAlarm::setSession(monitor::MonitorSession *session)
{
    if (m_session)
        m_session->detach();
    if (!session)
        return;
    Q_ASSERT(&session->board() == m_board);
    // Its previous window lets it go before this one listens.
    session->detach();
    m_session = session;
    using monitor::MonitorSession;
    connect(session, &MonitorSession::waitStarted, this, &frmAlarm::showWait);
    connect(session, &MonitorSession::waitEnded, this, &frmAlarm::hideWait);
    connect(session, &MonitorSession::bannerHighlighted, this, &frmAlarm::highlightBanner);
    connect(session, &MonitorSession::blinkingStarted, this, &frmAlarm::startLoopBlinking);
    connect(session, &MonitorSession::bannerStaleChanged, this, &frmAlarm::setBannerStale);
    connect(session, &MonitorSession::healthChanged, this, &frmAlarm::showHealth);
    connect(session, &MonitorSession::detached, this, &frmAlarm::dropSession);
    connect(this, &frmAlarm::activated, session, &MonitorSession::activate);
    connect(this, &frmAlarm::endingProcess, session, &MonitorSession::shutDown);
    connect(this, &frmAlarm::soundTestRequested, session, &MonitorSession::soundTest);
    connect(this, &frmAlarm::bannerClicked, session, &MonitorSession::bannerSeen);
    connect(this, &frmAlarm::alertRepeatChanged, session, &MonitorSession::setAlertRepeatSeconds);
    m_confirmConnection = connect(&session->confirmFlow(), &monitor::ConfirmFlow::buttonChanged, this,
                                  &frmAlarm::drawConfirmButton);
    session->setShownExpiryMinutes(shownDisplayDelete());
    session->setAlertRepeatSeconds(m_options.alertRepeat);
    session->attach(this);
    drawConfirmButton();
}

void frmAlarm::dropSession()
{
    disconnect(m_confirmConnection);
    m_session = nullptr;
    drawConfirmButton();
}

monitor::ConfirmFlow *frmAlarm::confirmFlow() const
{
    return m_session ? &m_session->confirmFlow() : nullptr;
}

monitor::RequestCycle *frmAlarm::requestCycle() const
{
    return m_session ? &m_session->cycle() : nullptr;
}

monitor::PollLoop *frmAlarm::pollLoop() const
{
    return m_session ? &m_session->pollLoop() : nullptr;
}

void frmAlarm::showWait()
{
    // The icon of icon mode stays whole: its count is what staff look at.
    if (iconMode())
        return;
    m_picWait->showWait();
    // Only the wait mark must be on screen before the exchange; the rest of
    // the window is painted as usual while it runs.
    repaint(m_picWait->geometry());
}

void frmAlarm::hideWait()
{
    m_picWait->hideWait();
}

bool frmAlarm::waitShown() const
{
    return !m_picWait->isHidden();
}

void frmAlarm::Form_Activate()
{
    if (m_ending)
        return;
    showWait();
    repaint();
    m_anchorText->setFocus();
    emit activated();
}

void frmAlarm::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (event->spontaneous() || m_quietShow)
        return;
    // The activation runs once per showing, right after the window appears:
    // the poll loop must not wait for a window manager to hand over the focus,
    // and coming back from another program must not show the wait picture again.
    m_activationPending = true;
    QTimer::singleShot(0, this, [this] {
        if (!isVisible() || !m_activationPending)
            return;
        m_activationPending = false;
        activateWindow();
        Form_Activate();
    });
}

void frmAlarm::closeEvent(QCloseEvent *event)
{
    if (m_ending || !event->spontaneous()) {
        QWidget::closeEvent(event);
        return;
    }
    // Closed from outside (the window manager): that is the terminate command.
    event->ignore();
    QTimer::singleShot(0, this, &frmAlarm::lblTerminate_Click);
}

void frmAlarm::lblLogout_Click()
{
    if (m_ending)
        return;
    // The question waits for its answer without holding the poll loop.
    const QPointer<frmAlarm> self = this;
    platform::ask(u"정말로 로그아웃 하시겠습니까 ?"_s, [self](bool yes) {
        if (!yes || !self || self->m_ending)
            return;
        // The next start shows the login window again, without logging in by itself.
        login::saveRecord(login::recordAfterLogout(login::storedRecord()));
        self->endProcess(0);
    });
}

void frmAlarm::lblTerminate_Click()
{
    if (m_ending)
        return;
    const QPointer<frmAlarm> self = this;
    platform::ask(u"정말로 종료 하시겠습니까 ?"_s, [self](bool yes) {
        if (yes && self && !self->m_ending)
            self->endProcess(0);
    });
}

void frmAlarm::endWithoutAsking()
{
    if (!m_ending)
        endProcess(0);
}

void frmAlarm::endProcess(int code)
{
    m_ending = true;
    m_banner->stop();
    m_icon->setFlashing(false);
    m_waitClock->stop();
    emit endingProcess();
    m_endProcess(code);
}

QString frmAlarm::shownDisplayDelete() const
{
    return m_picFrame->shownExpiryMinutes();
}

void frmAlarm::showExpiryMinutes(qint64 minutes)
{
    m_picFrame->showExpiryMinutes(minutes);
    if (m_session)
        m_session->setShownExpiryMinutes(shownDisplayDelete());
}

void frmAlarm::drawConfirmButton()
{
    // The widget itself stays enabled while its press runs: Qt gives a disabled
    // widget no click, and a second press must reach CMD_Click to be logged.
    const monitor::ConfirmFlow *flow = confirmFlow();
    const bool visible = flow && flow->buttonVisible();
    m_banner->showConfirm(visible, !flow || flow->buttonEnabled());
    if (visible)
        m_picWait->raise();
}

void frmAlarm::CMD_Click(int index)
{
    if (monitor::ConfirmFlow *flow = confirmFlow(); flow && !m_ending)
        flow->CMD_Click(index);
}

void frmAlarm::cob크기_Click()
{
    if (m_formLoading)
        return;
    if (m_picFrame->fillChosen() != m_fill) {
        m_fill = m_picFrame->fillChosen();
        monitor::storeDisplayFill(m_fill);
    }
    applyLayoutWidth();
}

void frmAlarm::applyLayoutWidth()
{
    const auto placement = monitor::listOptionChanged(
        monitor::ListOption::Resolution, m_picFrame->layoutWidthIndex(), false, m_options.resolutionIdx,
        [this] { Disp_List(shownResolution(), m_options.displayIdx); }, requestCycle());
    if (!placement)
        return;
    setMask(fullMask());
    centreOnScreen();
}

void frmAlarm::cob표시_Click()
{
    // The window keeps its size and its place.
    monitor::listOptionChanged(
        monitor::ListOption::Rows, m_picFrame->rowCountIndex(), m_formLoading, m_options.displayIdx,
        [this] { Disp_List(shownResolution(), m_options.displayIdx); }, requestCycle());
}

void frmAlarm::삭제변경_Click(int index)
{
    m_options.displayDelete = monitor::stepExpiryMinutes(shownDisplayDelete(), index, pollLoop());
    showExpiryMinutes(m_options.displayDelete);
}

void frmAlarm::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), theme::WindowBack);
    p.setRenderHint(QPainter::Antialiasing);
    p.translate(m_screenFill.offset());
    p.scale(m_screenFill.scale(), m_screenFill.scale());
    // The panel behind the banner's table and payment type.
    QLinearGradient panel(0, TablePanelRect.top(), 0, TablePanelRect.bottom());
    panel.setColorAt(0, theme::TableBackTop);
    panel.setColorAt(1, theme::TableBackBottom);
    p.setPen(Qt::NoPen);
    p.setBrush(panel);
    p.drawRoundedRect(TablePanelRect, 16, 16);
}

} // namespace kavri
