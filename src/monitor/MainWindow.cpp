#include "monitor/MainWindow.h"

#include "monitor/AlertRepeat.h"
#include "monitor/BoardFonts.h"
#include "monitor/BoardView.h"
#include "monitor/OptionBar.h"
#include "monitor/OptionRules.h"
#include "monitor/StatsWindow.h"
#include "platform/Clock.h"
#include "platform/gui/ClickLabel.h"
#include "platform/Dialogs.h"
#include "platform/gui/FormRound.h"
#include "platform/gui/LongPress.h"
#include "platform/gui/ScreenPlacement.h"
#include "platform/gui/Theme.h"
#include "platform/gui/WaitPanel.h"
#include "printing/PrinterSettingsWindow.h"
#include "printing/Ticket.h"
#include "services/AppFolder.h"
#include "services/ErrorReport.h"
#include "services/EventLog.h"
#include "services/Housekeeping.h"
#include "services/LoginRecord.h"
#include "services/ProcessValues.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QContextMenuEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QLinearGradient>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QTimer>
#include <QWindow>

#include <algorithm>
#include <climits>

using namespace Qt::StringLiterals;

namespace kavri {
namespace {

const QString WindowName = u"frmAlarm"_s;

QString indexed(const QString &name, int index)
{
    return name + u'_' + QString::number(index);
}

// Design positions of the controls the board geometry does not place.
const QRect PicIconRect(0, 0, 110, 65);
const QRect StoreNameRect(110, 2, 220, 30);
const QRect HealthRect(110, 32, 220, 16);
const QRect VersionRect(110, 48, 220, 16);
const QRect TablePanelRect(10, 75, 445, 198);
const QRect TableRect(22, 82, 421, 124);
const QRect PayTypeRect(22, 213, 190, 50);
const QRect ConfirmRect(222, 213, 221, 50);

/// The largest of a few pixel sizes at which `text` fits `width` on one line.
int fittingPixelSize(const QString &text, int width, std::initializer_list<int> sizes)
{
    int chosen = *(sizes.end() - 1);
    for (int size : sizes) {
        QFont font = monitor::boardDisplayFont();
        font.setPixelSize(size);
        if (QFontMetrics(font).horizontalAdvance(text) <= width) {
            chosen = size;
            break;
        }
    }
    return chosen;
}

/// The banner's background pictures: a blue band behind the request text and
/// its bright end piece on the right.
QPixmap bannerBackPicture(const QSize &size, int part)
{
    QPixmap picture(size);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    if (part == 0) {
        QLinearGradient band(0, 0, 0, size.height());
        band.setColorAt(0, QColor(0x1c, 0x7c, 0xd6));
        band.setColorAt(1, QColor(0x0b, 0x4a, 0x8c));
        p.setBrush(band);
        p.drawRoundedRect(QRectF(0, 0, size.width(), size.height()), 16, 16);
    } else {
        QLinearGradient cap(0, 0, 0, size.height());
        cap.setColorAt(0, QColor(0xff, 0xc9, 0x40));
        cap.setColorAt(1, QColor(0xf0, 0x8c, 0x00));
        p.setBrush(cap);
        p.drawRoundedRect(QRectF(0, 0, size.width(), size.height()), size.width() / 2.0, 10);
    }
    return picture;
}

/// The white frame over a confirm button; clicks go through to the button.
class FrameShape final : public QWidget
{
public:
    FrameShape(QWidget *parent, int width) : QWidget(parent), m_width(width)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.setPen(QPen(Qt::white, m_width));
        p.setBrush(Qt::NoBrush);
        const qreal half = m_width / 2.0;
        p.drawRect(QRectF(rect()).adjusted(half, half, -half, -half));
    }

private:
    int m_width;
};

/// A plain coloured area (the board background).
class Shape final : public QWidget
{
public:
    Shape(QWidget *parent, const QColor &colour) : QWidget(parent), m_colour(colour) {}

protected:
    void paintEvent(QPaintEvent *) override { QPainter(this).fillRect(rect(), m_colour); }

private:
    QColor m_colour;
};

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

    m_loopTimer = new QTimer(this);
    m_loopTimer->setObjectName(u"LoopTimer"_s);
    m_loopTimer->setInterval(100);
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
    connect(m_loopTimer, &QTimer::timeout, this, [this] {
        if (!m_pollLoop || m_ending)
            return;
        // Qt does not fire a timer again while its own handler runs, and the
        // cycle runs inside this one: restarted first, LoopTimer goes on ticking
        // every 100 ms through the cycle, and each of those ticks writes the
        // skip line.
        m_loopTimer->start(int(monitor::PollLoop::kTickMs));
        m_pollLoop->LoopTimer_Timer();
        // A counter PC runs this all day: armed for the moment a poll is due.
        if (m_loopTimer->isActive())
            m_loopTimer->setInterval(m_pollLoop->nextTickMs());
        emit loopTicked();
    });
    connect(m_loopBlinking, &QTimer::timeout, this, [this] {
        setBannerStyle(3);
        m_highlightHold->start();
    });
    connect(m_highlightHold, &QTimer::timeout, this, [this] { setBannerStyle(0); });

    createControls();
    connect(m_board, &monitor::RequestBoard::changed, this, &frmAlarm::renderBoard);
    Form_Load();
}

frmAlarm::~frmAlarm() = default;

void frmAlarm::createControls()
{
    m_shpBack = new Shape(this, theme::GridLines);
    m_shpBack->setObjectName(u"shpBack"_s);

    m_picIcon = new QLabel(this);
    m_picIcon->setObjectName(u"picIcon"_s);
    m_picIcon->setAlignment(Qt::AlignCenter);

    m_상호 = new QLabel(this);
    m_상호->setObjectName(u"상호"_s);
    m_상호->setGeometry(StoreNameRect);
    m_상호->setFont(monitor::boardDisplayFont(20));
    m_상호->setStyleSheet(theme::StoreNameStyle);

    m_lbl버전 = new QLabel(this);
    m_lbl버전->setObjectName(u"lbl버전"_s);
    m_lbl버전->setGeometry(VersionRect);
    m_lbl버전->setFont(monitor::uiFont(11));
    m_lbl버전->setStyleSheet(theme::VersionStyle);

    m_lblHealth = new QLabel(this);
    m_lblHealth->setObjectName(u"lblHealth"_s);
    m_lblHealth->setGeometry(HealthRect);
    m_lblHealth->setFont(monitor::uiFont(11, true));
    showHealth(u"확인 전"_s, false);

    createOptionFrame();

    for (int i = 0; i < 2; ++i) {
        m_imgBack[i] = new QLabel(this);
        m_imgBack[i]->setObjectName(indexed(u"imgBack"_s, i));
        m_imgBack[i]->setScaledContents(true);
    }

    m_lblRequest = new monitor::CaptionPanel(this);
    m_lblRequest->setObjectName(u"lblRequest"_s);
    m_lblRequest->setWordWrap(true);
    m_lblRequest->setMargins(monitor::kBannerMargins.horizontal, monitor::kBannerMargins.vertical);
    // The top request is shown whole where it can be, down to the floor.
    m_lblRequest->setShrinkToFit(0.1, monitor::bannerFloorPoints());
    m_lblRequest->setPlaceholder(u"새 요청을 기다리고 있습니다"_s);
    m_lblRequest->setFont(monitor::boardDisplayFont(40));
    setBannerStyle(0);
    connect(m_lblRequest, &monitor::CaptionPanel::clicked, this, &frmAlarm::bannerClicked);

    m_lblTable = new monitor::CaptionPanel(this);
    m_lblTable->setObjectName(u"lblTable"_s);
    m_lblTable->setGeometry(TableRect);
    m_lblTable->setColours(Qt::white, Qt::transparent);
    m_lblTable->setMargin(2);
    m_lblTable->setPlaceholder(u"테이블"_s);

    m_lbl결제방법 = new monitor::CaptionPanel(this);
    m_lbl결제방법->setObjectName(u"lbl결제방법"_s);
    m_lbl결제방법->setGeometry(PayTypeRect);
    m_lbl결제방법->setFont(monitor::boardDisplayFont(20));

    m_cmd = new monitor::CaptionPanel(this);
    m_cmd->setObjectName(indexed(u"CMD"_s, 0));
    m_cmd->setCaption(u"요 청  완 료"_s);
    m_cmd->setGeometry(ConfirmRect);
    m_cmd->setFont(monitor::boardDisplayFont(18));
    m_shp = new FrameShape(this, 3);
    m_shp->setObjectName(indexed(u"SHP"_s, 0));
    m_cmd->installEventFilter(this);
    connect(m_cmd, &monitor::CaptionPanel::clicked, this, [this] { CMD_Click(0); });

    m_boardView = std::make_unique<monitor::BoardView>(*this, this, [this](int row) {
        if (m_confirm)
            m_confirm->rowClicked(row);
    });

    m_picWait = new platform::WaitPanel(
        this, u"잠시만 기다려 주세요"_s, theme::BoardWaitStyle);
    m_picWait->setFallbackSize({128, 128}, 4);

    // Takes the keyboard focus so that no visible control keeps it.
    m_anchorText = new QLineEdit(this);
    m_anchorText->setObjectName(u"AnchorText"_s);
    m_anchorText->setGeometry(-40, -40, 10, 10);
    // It only holds the focus; read-only, it runs no cursor blink timer.
    m_anchorText->setReadOnly(true);
}

void frmAlarm::createOptionFrame()
{
    m_picFrame = new monitor::OptionBar(this);
    connect(m_picFrame->cob크기, &QComboBox::currentIndexChanged, this, &frmAlarm::cob크기_Click);
    connect(m_picFrame->cob표시, &QComboBox::currentIndexChanged, this, &frmAlarm::cob표시_Click);
    // A double click is two clicks here: the release that ends it clicks again.
    for (int i = 0; i < 2; ++i)
        connect(m_picFrame->삭제변경[i], &platform::ClickLabel::clicked, this, [this, i] { 삭제변경_Click(i); });
    connect(m_picFrame->pos적용, &platform::ClickLabel::doubleClicked, this, &frmAlarm::Pos적용_DblClick);
    connect(m_picFrame->lblSound, &platform::ClickLabel::clicked, this, &frmAlarm::soundTestRequested);
    connect(m_picFrame->lblConfig, &platform::ClickLabel::clicked, this, &frmAlarm::lblConfig_Click);
    connect(m_picFrame->lblMinimize, &platform::ClickLabel::clicked, this, &frmAlarm::lblMinimize_Click);
    connect(m_picFrame->lblStats, &platform::ClickLabel::clicked, this, &frmAlarm::openStats);
    connect(m_picFrame->cobRepeat, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (m_formLoading || index < 0 || index >= int(std::size(monitor::AlertRepeat::Choices)))
            return;
        m_options.alertRepeat = monitor::AlertRepeat::Choices[index];
        monitor::storeAlertRepeat(m_options.alertRepeat);
        emit alertRepeatChanged(m_options.alertRepeat);
    });
    connect(m_picFrame->lblLogout, &platform::ClickLabel::clicked, this, &frmAlarm::lblLogout_Click);
    connect(m_picFrame->lblTerminate, &platform::ClickLabel::clicked, this, &frmAlarm::lblTerminate_Click);
}

void frmAlarm::lblConfig_Click()
{
    if (m_ending || m_settingsWindow)
        return;
    // The board waits while the shop works on its printers: no poll runs until
    // this window is back. The board, the cycle's memory and the last poll's
    // time stay with the session, so the top request is not announced again.
    m_loopTimer->stop();
    m_settingsWindow = new PrinterSettingsWindow;
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

namespace {

/// Every placement of the main window keeps it on the screen; the stored keys stay as they are.
void placeWindow(QWidget &window, const QPoint &wanted)
{
    const QString note = platform::placeOnScreen(window, wanted);
    if (!note.isEmpty())
        WriteLog(note);
}

QPoint storedPosition(const monitor::WindowOptions &options)
{
    return QPoint(int(std::clamp<qint64>(options.displayPosX, INT_MIN / 2, INT_MAX / 2)),
                  int(std::clamp<qint64>(options.displayPosY, INT_MIN / 2, INT_MAX / 2)));
}

} // namespace

void frmAlarm::Form_Load()
{
    m_formLoading = true;
    m_options = monitor::readWindowOptions();
    m_picFrame->posX->setText(QString::number(m_options.displayPosX));
    m_picFrame->posY->setText(QString::number(m_options.displayPosY));
    resize(1024, monitor::BoardGeometry::kWindowHeight);
    // A first place for the layout to be measured in; only the final one is logged.
    const QRect first(storedPosition(m_options), frameGeometry().size());
    move(platform::keptOnScreen(platform::availableAreaFor(first), first));

    m_picFrame->cob크기->setCurrentIndex(m_options.resolutionIdx);
    m_picFrame->cob표시->setCurrentIndex(m_options.displayIdx);
    // A stored value the bar does not offer still works; the bar then shows none.
    m_picFrame->cobRepeat->setCurrentIndex(monitor::AlertRepeat::choiceIndex(m_options.alertRepeat));
    m_picFrame->삭제->setText(QString::number(m_options.displayDelete));

    const QString wait = gSkinPath + u"/0106.gif"_s;
    if (FileExists(wait))
        m_picWait->setPicture(wait, 4);
    m_picWait->centreIn(size());
    m_picWait->hide();

    // Each picture keeps its number even when another file is missing, so a
    // missing card picture never puts the cash picture on card rows.
    for (int n = 1; n <= 4; ++n) {
        const QString path =
            gSkinPath + u"/06"_s + QString::number(n).rightJustified(2, u'0') + u".gif"_s;
        m_imgIcon[n - 1] = QPixmap();
        if (FileExists(path))
            m_imgIcon[n - 1].load(path);
    }

    m_cmd->setColours(Qt::white, theme::ConfirmBlue);
    QString error;
    if (!platform::FormRound(m_cmd, 3, &error))
        WriteLog(compactErrorReport(u"lib_Form"_s, u"FormRound"_s, {1, 5, error}));
    m_shp->setGeometry(m_cmd->geometry());
    m_cmd->hide();
    m_shp->hide(); // the frame shows with its button

    m_lbl버전->setText(gVersion);
    m_picIcon->setGeometry(PicIconRect);
    if (!m_imgIcon[0].isNull())
        m_picIcon->setPixmap(
            m_imgIcon[0].scaled(PicIconRect.size(), Qt::KeepAspectRatio, Qt::SmoothTransformation));
    else
        m_picIcon->clear();

    m_lblTable->setCaption({});
    m_lbl결제방법->setCaption({});
    m_lblRequest->setCaption({});

    Disp_List(shownResolution(), m_options.displayIdx);
    placeWindow(*this, storedPosition(m_options)); // the layout may have made it wider

    m_상호->setText(m_상호->fontMetrics().elidedText(gStoreName, Qt::ElideRight, m_상호->width() - 14));
    m_상호->setToolTip(gStoreName);
    m_formLoading = false;
    drawConfirmButton(); // marks live outside the window, and so does the button's state
}

void frmAlarm::Disp_List(int resolutionIdx, int displayIdx)
{
    const monitor::BoardGeometry g = monitor::boardGeometry(resolutionIdx, displayIdx, m_geometry);
    m_picFrame->move(g.picFrameLeft, monitor::BoardGeometry::kPicFrameTop);

    resize(g.windowWidth, height());
    m_상호->resize(g.storeNameWidth, m_상호->height());
    // The health line is as wide as the store name above it; redrawn to its new width.
    m_lblHealth->resize(g.storeNameWidth, m_lblHealth->height());
    showHealth(m_lblHealth->toolTip(), m_healthFaulty);
    m_상호->setText(m_상호->fontMetrics().elidedText(gStoreName, Qt::ElideRight, m_상호->width() - 14));
    for (int i = 0; i < 2; ++i)
        m_imgBack[i]->setGeometry(g.imgBack[i]);
    m_lblRequest->setGeometry(g.lblRequest);
    m_shpBack->setGeometry(g.shpBack);
    applyBannerBackgrounds();

    m_boardView->layOut(g);
    m_geometry = g;

    m_picWait->centreIn(size());
    m_picWait->raise();
    // The model follows the layout: rows and marks empty; it tells the window to draw.
    m_board->setLayout(resolutionIdx, displayIdx);
}

void frmAlarm::applyBannerBackgrounds()
{
    for (int i = 0; i < 2; ++i) {
        const QSize size = m_imgBack[i]->size();
        if (!size.isEmpty())
            m_imgBack[i]->setPixmap(bannerBackPicture(size, i));
    }
}

void frmAlarm::renderBoard()
{
    m_boardView->draw(*m_board, m_geometry.fonts.request, imgIconPicture(3), imgIconPicture(4));

    const monitor::Banner &banner = m_board->banner();
    if (banner.table != m_lblTable->caption() || m_lblTable->caption().isEmpty()) {
        QFont font = monitor::boardDisplayFont();
        font.setPixelSize(
            fittingPixelSize(banner.table, TableRect.width() - 8, {84, 72, 60, 48, 40, 32, 26}));
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
    m_lblHealth->setStyleSheet(faulty ? u"QLabel { color: #ff5a5a; background: transparent; padding-left: 12px; }"_s
                                      : u"QLabel { color: #8094a8; background: transparent; padding-left: 12px; }"_s);
    m_lblHealth->setToolTip(text);
    // What does not fit ends in "…"; the whole line is the tooltip.
    m_lblHealth->setText(m_lblHealth->fontMetrics().elidedText(text, Qt::ElideRight, m_lblHealth->width() - 14));
}

QString frmAlarm::healthText() const
{
    return m_lblHealth->toolTip();
}

bool frmAlarm::reprintRow(int index)
{
    if (!m_board || index < 0 || index >= m_board->rowCount())
        return false;
    const monitor::BoardRow row = m_board->row(index);
    if (row.isEmpty())
        return false;
    WriteLog(u"다시 출력: "_s + row.table + u" "_s + row.regDate);
    return reprintTicket(row.table, row.memo, row.regDate, row.payType);
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

void frmAlarm::setPollLoop(monitor::PollLoop *loop)
{
    m_pollLoop = loop;
    if (!m_pollLoop)
        m_loopTimer->stop();
}

monitor::RequestCycle::Hooks frmAlarm::cycleHooks()
{
    monitor::RequestCycle::Hooks hooks;
    hooks.showWait = [this] { showWait(); };
    hooks.hideWait = [this] { hideWait(); };
    return hooks;
}

void frmAlarm::showWait()
{
    m_picWait->showWait();
    // Only the wait picture must be on screen before the exchange; the rest of
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
    if (m_pollLoop) {
        m_pollLoop->activate();
        m_loopTimer->start(int(monitor::PollLoop::kTickMs));
    }
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
    if (m_ending || !platform::askYesNo(u"정말로 로그아웃 하시겠습니까 ?"_s))
        return;
    // The next start shows the login window again, without logging in by itself.
    login::saveRecord(login::recordAfterLogout(login::storedRecord()));
    endProcess(0);
}

void frmAlarm::lblTerminate_Click()
{
    if (m_ending || !platform::askYesNo(u"정말로 종료 하시겠습니까 ?"_s))
        return;
    endProcess(0);
}

void frmAlarm::endProcess(int code)
{
    m_ending = true;
    m_loopTimer->stop();
    m_loopBlinking->stop();
    m_highlightHold->stop();
    emit endingProcess();
    m_endProcess(code);
}

bool frmAlarm::isDragHandle(QWidget *child) const
{
    return child == nullptr || child == m_shpBack || child == m_picIcon || child == m_lbl버전 ||
           child == m_상호 || child == m_imgBack[0] || child == m_imgBack[1];
}

void frmAlarm::mousePressEvent(QMouseEvent *event)
{
    QWidget *child = childAt(event->position().toPoint());
    if (!isDragHandle(child)) {
        QWidget::mousePressEvent(event);
        return;
    }
    event->accept();
    // The move starts once the mouse moves, so a click or a double click on a
    // handle stays one.
    m_pressOnHandle = true;
    m_pressAt = event->globalPosition().toPoint();
}

void frmAlarm::mouseMoveEvent(QMouseEvent *event)
{
    if (m_pressOnHandle && event->buttons() != Qt::NoButton &&
        (event->globalPosition().toPoint() - m_pressAt).manhattanLength() >=
            QApplication::startDragDistance()) {
        m_pressOnHandle = false;
        if (windowHandle() && windowHandle()->startSystemMove())
            return;
        m_dragging = true;
        m_dragOffset = m_pressAt - frameGeometry().topLeft();
    }
    if (m_dragging && (event->buttons() != Qt::NoButton)) {
        move(event->globalPosition().toPoint() - m_dragOffset);
        event->accept();
        return;
    }
    QWidget::mouseMoveEvent(event);
}

void frmAlarm::mouseReleaseEvent(QMouseEvent *event)
{
    m_dragging = false;
    m_pressOnHandle = false;
    QWidget::mouseReleaseEvent(event);
}

void frmAlarm::setConfirmFlow(monitor::ConfirmFlow *flow)
{
    disconnect(m_confirmConnection);
    m_confirm = flow;
    if (m_confirm)
        m_confirmConnection =
            connect(m_confirm, &monitor::ConfirmFlow::buttonChanged, this, &frmAlarm::drawConfirmButton);
    drawConfirmButton();
}

void frmAlarm::setRequestCycle(monitor::RequestCycle *cycle)
{
    m_cycle = cycle;
}

QString frmAlarm::shownDisplayDelete() const
{
    return m_picFrame->삭제->text();
}

void frmAlarm::drawConfirmButton()
{
    // The widget itself stays enabled while its press runs: Qt gives a disabled
    // widget no click, and a second press must reach CMD_Click to be logged.
    const bool visible = m_confirm && m_confirm->buttonVisible();
    m_cmd->setVisible(visible);
    m_shp->setVisible(visible);
    if (visible) {
        m_cmd->raise();
        m_shp->raise();
        m_picWait->raise();
    }
}

void frmAlarm::CMD_Click(int index)
{
    if (m_confirm && !m_ending)
        m_confirm->CMD_Click(index);
}

bool frmAlarm::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_cmd) {
        // Pressed: blue on white; released: white on blue, drawn at once; a
        // press while its own press runs keeps the look.
        const bool enabled = !m_confirm || m_confirm->buttonEnabled();
        if (enabled && event->type() == QEvent::MouseButtonPress) {
            m_cmd->setColours(theme::ConfirmBlue, Qt::white);
            m_cmd->repaint();
        } else if (enabled && event->type() == QEvent::MouseButtonRelease) {
            m_cmd->setColours(Qt::white, theme::ConfirmBlue);
            m_cmd->repaint();
        }
        return false;
    }
    if (event->type() == QEvent::ContextMenu) {
        if (const int r = m_boardView->rowOf(watched); r >= 0) {
            if (!m_board || r >= m_board->rowCount() || m_board->row(r).isEmpty())
                return true;
            QMenu menu(this);
            menu.setObjectName(u"rowMenu"_s);
            QAction *reprint = menu.addAction(u"다시 출력"_s);
            if (menu.exec(static_cast<QContextMenuEvent *>(event)->globalPos()) == reprint)
                reprintRow(r);
            return true;
        }
    }
    // A double click on a row is one click: the release that ends it is not a
    // second one, which would take the mark straight off again.
    if (event->type() == QEvent::MouseButtonDblClick) {
        m_eatRowRelease = true;
        return true;
    }
    if (event->type() == QEvent::MouseButtonRelease && m_eatRowRelease) {
        m_eatRowRelease = false;
        return true;
    }
    if (event->type() == QEvent::MouseButtonPress)
        m_eatRowRelease = false;
    return QWidget::eventFilter(watched, event);
}

void frmAlarm::cob크기_Click()
{
    if (m_formLoading)
        return;
    applyLayoutWidth();
}

void frmAlarm::applyLayoutWidth()
{
    const auto placement = monitor::listOptionChanged(
        monitor::ListOption::Resolution, m_picFrame->cob크기->currentIndex(), false, m_options.resolutionIdx,
        [this] { Disp_List(shownResolution(), m_options.displayIdx); }, m_cycle);
    if (!placement)
        return;
    setMask(monitor::fullModeRegion(width()));
    centreOnScreen();
}

void frmAlarm::cob표시_Click()
{
    // The window keeps its size and its place.
    monitor::listOptionChanged(
        monitor::ListOption::Rows, m_picFrame->cob표시->currentIndex(), m_formLoading, m_options.displayIdx,
        [this] { Disp_List(shownResolution(), m_options.displayIdx); }, m_cycle);
}

void frmAlarm::삭제변경_Click(int index)
{
    m_options.displayDelete = monitor::stepExpiryMinutes(m_picFrame->삭제->text(), index, m_pollLoop);
    m_picFrame->삭제->setText(QString::number(m_options.displayDelete));
}

void frmAlarm::Pos적용_DblClick()
{
    const QPoint position = monitor::Pos적용(m_picFrame->posX->text(), m_picFrame->posY->text());
    // The boxes show what was applied and stored.
    m_picFrame->posX->setText(QString::number(position.x()));
    m_picFrame->posY->setText(QString::number(position.y()));
    placeWindow(*this, position);
    QCoreApplication::processEvents();
    m_anchorText->setFocus();
}

void frmAlarm::lblMinimize_Click()
{
    ToggleFAB(true);
}

bool frmAlarm::iconMode() const
{
    return height() != monitor::kFullHeight;
}

int frmAlarm::shownResolution()
{
    const QScreen *on = screen() ? screen() : QGuiApplication::primaryScreen();
    const int available = on ? on->availableGeometry().width() : 0;
    const int shown = monitor::layoutForScreen(m_options.resolutionIdx, available);
    if (shown != m_options.resolutionIdx && !m_narrowScreenLogged) {
        m_narrowScreenLogged = true;
        WriteLog(u"화면이 좁아 1366 배치 대신 1024 배치로 표시: 화면 너비 "_s + QString::number(available));
    }
    return shown;
}

void frmAlarm::centreOnScreen()
{
    const QScreen *on = screen() ? screen() : QGuiApplication::primaryScreen();
    if (on)
        placeWindow(*this, monitor::centredOn(on->geometry(), size()));
}

void frmAlarm::setTopMost(bool onTop)
{
    if (windowFlags().testFlag(Qt::WindowStaysOnTopHint) == onTop)
        return;
    // The stacking order changes by showing the window again; that showing is
    // no new activation, and it takes no focus.
    const bool visible = isVisible();
    const bool quiet = testAttribute(Qt::WA_ShowWithoutActivating);
    setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    if (visible) {
        m_quietShow = true;
        setAttribute(Qt::WA_ShowWithoutActivating, true);
        show();
        setAttribute(Qt::WA_ShowWithoutActivating, quiet);
        m_quietShow = false;
    }
}

void frmAlarm::ToggleFAB(bool full)
{
    if (full) {
        const QPoint icon = monitor::readIconPosition();
        m_picIcon->setGeometry(QRect(QPoint(0, 0), monitor::kIconSize));
        if (!m_imgIcon[1].isNull())
            m_picIcon->setPixmap(
                m_imgIcon[1].scaled(monitor::kIconSize, Qt::KeepAspectRatio, Qt::SmoothTransformation));
        m_picIcon->raise();
        m_lbl버전->hide();
        m_lblHealth->hide();
        resize(monitor::kIconSize);
        placeWindow(*this, icon);
        setMask(monitor::iconModeRegion());
        setTopMost(true);
    } else {
        monitor::storeIconPosition(pos());
        resize(width(), monitor::kFullHeight);
        applyLayoutWidth();
        centreOnScreen();
        m_picIcon->setGeometry(PicIconRect);
        if (!m_imgIcon[0].isNull())
            m_picIcon->setPixmap(
                m_imgIcon[0].scaled(monitor::kLogoSize, Qt::KeepAspectRatio, Qt::SmoothTransformation));
        else
            m_picIcon->clear();
        // The version is part of the normal window; only the icon hides it.
        m_lbl버전->show();
        m_lblHealth->show();
        setMask(monitor::fullModeRegion(width()));
        setTopMost(false);
    }
}

void frmAlarm::mouseDoubleClickEvent(QMouseEvent *event)
{
    QWidget *child = childAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && (child == m_picIcon || child == m_lbl버전)) {
        event->accept();
        m_pressOnHandle = false;
        ToggleFAB(!iconMode());
        return;
    }
    QWidget::mouseDoubleClickEvent(event);
}

void frmAlarm::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), theme::WindowBack);
    p.setRenderHint(QPainter::Antialiasing);
    // The panel behind the banner's table and payment type.
    QLinearGradient panel(0, TablePanelRect.top(), 0, TablePanelRect.bottom());
    panel.setColorAt(0, theme::TableBackTop);
    panel.setColorAt(1, theme::TableBackBottom);
    p.setPen(Qt::NoPen);
    p.setBrush(panel);
    p.drawRoundedRect(TablePanelRect, 16, 16);
}

} // namespace kavri
