#include "board/MainWindow.h"

#include "board/BannerView.h"
#include "board/BoardDesign.h"
#include "board/HeaderView.h"
#include "board/IconView.h"
#include "board/OptionBar.h"
#include "board/WindowDrag.h"
#include "board/WindowOutline.h"
#include "board/WindowPlacement.h"
#include "monitor/OptionRules.h"
#include "platform/gui/ScreenPlacement.h"
#include "platform/gui/WaitPanel.h"
#include "services/EventLog.h"

#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>
#include <QScreen>

using namespace Qt::StringLiterals;

// The main window's place on the screen: moving it by its background, the
// position fields, the narrow-screen layout, staying on top, and icon mode.
namespace kavri {

using namespace design;
using monitor::placeWindow;

bool frmAlarm::isDragHandle(QWidget *child) const
{
    return child == nullptr || child == m_shpBack || child == m_icon->label() ||
           child == m_header->version() || child == m_header->storeName() || m_banner->isDragHandle(child);
}

void frmAlarm::mousePressEvent(QMouseEvent *event)
{
    QWidget *child = childAt(event->position().toPoint());
    if (!isDragHandle(child)) {
        QWidget::mousePressEvent(event);
        return;
    }
    event->accept();
    m_drag.pressed(*event);
}

void frmAlarm::mouseMoveEvent(QMouseEvent *event)
{
    if (m_drag.moved(*this, *event)) {
        event->accept();
        return;
    }
    QWidget::mouseMoveEvent(event);
}

void frmAlarm::mouseReleaseEvent(QMouseEvent *event)
{
    m_drag.ended();
    QWidget::mouseReleaseEvent(event);
}

void frmAlarm::mouseDoubleClickEvent(QMouseEvent *event)
{
    QWidget *child = childAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && (child == m_icon->label() || child == m_header->version())) {
        event->accept();
        m_drag.ended();
        ToggleFAB(!iconMode());
        return;
    }
    QWidget::mouseDoubleClickEvent(event);
}

void frmAlarm::Pos적용_DblClick()
{
    const QPoint position = monitor::Pos적용(m_picFrame->positionX(), m_picFrame->positionY());
    // The boxes show what was applied and stored.
    m_picFrame->showPosition(position.x(), position.y());
    placeWindow(*this, position);
    QCoreApplication::processEvents();
    m_anchorText->setFocus();
}

int frmAlarm::shownResolution()
{
    const QScreen *on = screen() ? screen() : QGuiApplication::primaryScreen();
    const int available = on ? on->availableGeometry().width() : 0;
    const int shown = monitor::layoutForScreen(m_options.resolutionIdx, available);
    m_narrowScreen = shown != m_options.resolutionIdx;
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

void frmAlarm::lblMinimize_Click()
{
    ToggleFAB(true);
}

bool frmAlarm::iconMode() const
{
    return m_iconMode;
}

void frmAlarm::applyFill()
{
    if (m_iconMode)
        return;
    m_screenFill.apply(*this, m_fill, {m_geometry.windowWidth, monitor::kFullHeight});
    setMask(fullMask());
}

QRegion frmAlarm::fullMask() const
{
    return m_screenFill.outline(*this);
}

void frmAlarm::bringToFront()
{
    if (m_ending || !isVisible())
        return;
    // Whoever starts the program again wants to see the requests, not the icon.
    if (iconMode())
        ToggleFAB(false);
    setWindowState(windowState() & ~Qt::WindowMinimized);
    raise();
    activateWindow();
}

void frmAlarm::ToggleFAB(bool full)
{
    if (full) {
        m_iconMode = true;
        const QPoint icon = monitor::readIconPosition();
        m_icon->showIcon(m_imgIcon[1]);
        m_header->setIconMode(true);
        m_picWait->hideWait();
        resize(monitor::kIconSize);
        placeWindow(*this, icon);
        setMask(monitor::iconModeRegion());
        setTopMost(true);
    } else {
        monitor::storeIconPosition(pos());
        m_iconMode = false;
        m_icon->showLogo(m_imgIcon[0]);
        // The version is part of the normal window; only the icon hides it.
        m_header->setIconMode(false);
        resize(width(), monitor::kFullHeight);
        applyLayoutWidth();
        centreOnScreen();
        setMask(fullMask());
        setTopMost(false);
    }
}

} // namespace kavri
