#pragma once

#include "board/CaptionPanel.h"
#include "board/RowMenu.h"
#include "board/ScreenFill.h"
#include "board/WindowDrag.h"
#include "monitor/BoardGeometry.h"
#include "monitor/BoardGlance.h"
#include "monitor/BoardHealth.h"
#include "monitor/MonitorSession.h"
#include "monitor/RequestBoard.h"
#include "monitor/WindowOptions.h"
#include "printersettings/PrinterSettingsWindow.h"

#include <QPixmap>
#include <QPoint>
#include <QPointer>
#include <QRegion>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>

class QLabel;
class QLineEdit;
class QTimer;

namespace kavri {

namespace platform {
class ClickLabel;
class WaitPanel;
} // namespace platform

namespace monitor {
class BannerView;
class BoardView;
class HeaderView;
class IconView;
class OptionBar;
} // namespace monitor

/// The main window, the request monitor: the banner with the newest request,
/// the board of 10, 16 or 30 rows, the option and command controls. It draws
/// the RequestBoard model and applies the board geometry; what else it shows
/// (the wait, the alert's highlight, the health) it hears from its session.
///
/// Controls without a widget here: `SPR` (the cycle keeps its working list as
/// a KavriList), `COMM` (printing opens its own port per ticket), `ctWAV` (the
/// alert's chime player) and `W1` (no media player volume exists on this
/// platform; `alramsound` is only kept).

class frmAlarm : public QWidget
{
    Q_OBJECT
public:
    /// A window with a board of its own.
    explicit frmAlarm(QWidget *parent = nullptr);
    /// A window that draws `board`, which outlives it (the request cycle fills it).
    explicit frmAlarm(monitor::RequestBoard &board, QWidget *parent = nullptr);
    ~frmAlarm() override;

    // The board.
    /// The model the request cycle fills; every change is drawn at once.
    monitor::RequestBoard &board() { return *m_board; }
    /// Lays the board out for the two options and empties every row and mark.
    void Disp_List(int resolutionIdx, int displayIdx);
    /// The layout shown now.
    const monitor::BoardGeometry &boardGeometry() const { return m_geometry; }

    // The session.
    /// The session this window draws and drives (not owned; it outlives the
    /// window, and its board is the one drawn here). The window shows what the
    /// session signals, and passes clicks and option changes on to it. nullptr
    /// lets it go; so does the session's own detach().
    void setSession(monitor::MonitorSession *session);
    monitor::MonitorSession *session() const { return m_session; }
    /// The wait mark over the logo while the list is fetched and read; never in icon mode.
    void showWait();
    void hideWait();
    bool waitShown() const;

    /// The expiry minutes as `삭제` shows them; the expiry pass reads them.
    QString shownDisplayDelete() const;

    // Icon mode.
    /// Enters icon mode with `full` true (the window is at full size), leaves it
    /// otherwise.
    void ToggleFAB(bool full);
    /// Icon mode, from ToggleFAB(true) to ToggleFAB(false).
    bool iconMode() const;
    /// A second start of the program: the full board, out of icon mode and not
    /// minimised, raised and activated.
    void bringToFront();

    // Handlers (plain members: moc reads no Korean names).
    /// The display options (Zarazo.cfg keys of the same names).
    void cob크기_Click();
    void cob표시_Click();
    void 삭제변경_Click(int index);
    void Pos적용_DblClick();
    void lblMinimize_Click();
    void CMD_Click(int index);

    // The banner highlight around the alert.
    /// Style 3 at once; a pending return to style 0 is cancelled, so the
    /// highlight lasts through the chime and the speech.
    void highlightBanner();
    /// Switches `LoopBlinking` on: when it fires, the banner is highlighted for
    /// 10 seconds more and then returns to its normal style. A new start
    /// restarts the 10 seconds; nothing waits.
    void startLoopBlinking();
    QTimer *loopBlinking() const;
    /// 3 while highlighted, 4 while the top request waits unanswered past its
    /// repeats (a steady red frame), 0 otherwise.
    int bannerStyle() const;
    /// The steady red frame of a top request nobody answered; the highlight, while
    /// on, is drawn over it.
    void setBannerStale(bool stale);
    /// The icon of icon mode, with its count and flash.
    monitor::IconView &iconView() const { return *m_icon; }

    // The health line and the extra commands.
    /// The health line in the header: grey, or red while something is wrong.
    void showHealth(const QString &text, bool faulty);
    /// The same from its items, most urgent first (what the session's health gives).
    void showHealthItems(const QList<monitor::HealthItem> &items, const QString &text, bool faulty);
    QString healthText() const;
    bool healthFaulty() const;
    /// A click (a tap) on the health line while tickets are kept offers to print
    /// them now (a silent cycle, kept tickets first) or to drop them; see
    /// monitor::offerKeptTickets. Without kept tickets it shows the whole line.
    void lblHealth_Click();
    using Reprint = monitor::RowMenu::Reprint;
    /// The ticket of request `number` printed again (see RowMenu::reprint).
    Reprint reprintRequest(const QString &number);
    /// The statistics window, opened by `lblStats` (one at a time).
    void openStats();
    /// The seconds of "AlertRepeat" the option bar shows.
    int alertRepeat() const { return m_options.alertRepeat; }

    // Window values.
    bool formLoading() const { return m_formLoading; }
    int resolutionIdx() const { return m_options.resolutionIdx; }
    int displayIdx() const { return m_options.displayIdx; }
    qint64 displayDelete() const { return m_options.displayDelete; }
    int alramsound() const { return m_options.alramsound; }
    /// Picture n (1 to 4) of `ImgIcon`, skin file "06" + n + ".gif": 1 logo,
    /// 2 icon, 3 card, 4 cash; none when its file is missing.
    QPixmap imgIconPicture(int n) const;

    // Ending the process.
    /// How the process ends after logout or terminate; by default the window
    /// hides and the application's event loop returns `code`.
    void setEndProcess(std::function<void(int code)> end) { m_endProcess = std::move(end); }
    /// True once logout or terminate has begun ending the process.
    bool ending() const { return m_ending; }
    /// Ends the process as 종료 does after its "예", without asking (a stop signal).
    void endWithoutAsking();

public slots:
    /// The window load: options, pictures, controls, the board layout.
    void Form_Load();
    /// The activation, once after each showing: wait picture, "calltime", the
    /// poll loop switched on.
    void Form_Activate();
    /// Opens the printer settings window in this window's place and hides this
    /// one; when it closes, this window loads and shows again.
    void lblConfig_Click();
    /// The printer settings window while it is open.
    PrinterSettingsWindow *settingsWindow() const { return m_settingsWindow; }
    void lblLogout_Click();
    void lblTerminate_Click();

signals:
    /// After each activation: the session's poll loop starts ticking.
    void activated();
    /// Logout or terminate is ending the process; nothing may start after it.
    void endingProcess();
    /// `lblSound` was clicked: the alert's sound test.
    void soundTestRequested();
    /// The banner was clicked: staff have seen the top request.
    void bannerClicked();
    /// `cobRepeat` changed the alert repeat (seconds, 0 off); it is stored already.
    void alertRepeatChanged(int seconds);

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    void drawConfirmButton();
    void drawWaitClock();
    void dropSession();
    /// The session's parts, or nullptr while none is set.
    monitor::ConfirmFlow *confirmFlow() const;
    monitor::RequestCycle *requestCycle() const;
    monitor::PollLoop *pollLoop() const;
    /// `삭제` shows `minutes`; the session's expiry pass reads them from there.
    void showExpiryMinutes(qint64 minutes);
    /// The layout width rule after its key: layout, one cycle, outline, centred.
    void applyLayoutWidth();
    void centreOnScreen();
    /// With "DisplayFill" the layout drawn as a whole at the scale that fills the
    /// screen, centred on it; without, the design layout (given back once).
    void applyFill();
    QRegion fullMask() const;
    /// The layout to show: the stored one, unless the screen is too narrow for it.
    int shownResolution();
    void setTopMost(bool onTop);
    void createControls();
    /// The logo, the shop name, the version and the health line.
    void createHeader();
    void createBanner();
    void createOptionFrame();
    void renderBoard();
    void endProcess(int code);
    bool isDragHandle(QWidget *child) const;

    void construct();

    std::unique_ptr<monitor::RequestBoard> m_ownBoard;
    monitor::RequestBoard *m_board = nullptr;
    QPointer<monitor::MonitorSession> m_session;
    QMetaObject::Connection m_confirmConnection;
    bool m_quietShow = false; // a re-show for the stacking order is no new activation
    monitor::BoardGeometry m_geometry;
    monitor::WindowOptions m_options;
    bool m_formLoading = false;
    bool m_narrowScreenLogged = false;
    bool m_narrowScreen = false;
    bool m_iconMode = false;
    bool m_fill = false; ///< "DisplayFill": the board fills its screen
    monitor::ScreenFill m_screenFill;
    bool m_activationPending = false;
    bool m_ending = false;
    monitor::WaitThresholds m_waitThresholds;
    std::function<void(int)> m_endProcess;
    QPointer<PrinterSettingsWindow> m_settingsWindow;
    std::array<QPixmap, 4> m_imgIcon;

    monitor::WindowDrag m_drag;

    /// Redraws the minutes each request has waited, between polls.
    QTimer *m_waitClock = nullptr;

    monitor::HeaderView *m_header = nullptr;
    QPointer<QWidget> m_statsWindow;

    monitor::RowMenu *m_rowMenu = nullptr;
    std::unique_ptr<monitor::BoardView> m_boardView;
    monitor::BannerView *m_banner = nullptr;
    monitor::IconView *m_icon = nullptr;
    monitor::CaptionPanel *m_openCount = nullptr;
    QWidget *m_shpBack = nullptr;
    monitor::OptionBar *m_picFrame = nullptr;
    platform::WaitPanel *m_picWait = nullptr;
    QLineEdit *m_anchorText = nullptr;
};

} // namespace kavri
