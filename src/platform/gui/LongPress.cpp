#include "platform/gui/LongPress.h"

#include <QContextMenuEvent>
#include <QCoreApplication>
#include <QMouseEvent>
#include <QTimer>
#include <QWidget>

namespace kavri::platform {

void LongPress::watch(QWidget *widget)
{
    if (!widget)
        return;
    if (!m_timer) {
        m_timer = new QTimer(this);
        m_timer->setSingleShot(true);
        m_timer->setInterval(kHoldMs);
        connect(m_timer, &QTimer::timeout, this, &LongPress::fire);
    }
    widget->installEventFilter(this);
}

bool LongPress::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress: {
        const auto *mouse = static_cast<QMouseEvent *>(event);
        m_timer->stop();
        m_pressed = nullptr;
        // The release of the last hold went to its menu, if anywhere.
        m_fired = nullptr;
        if (mouse->button() == Qt::LeftButton && mouse->buttons() == Qt::LeftButton) {
            m_pressed = qobject_cast<QWidget *>(watched);
            m_pressPos = mouse->position().toPoint();
            m_pressGlobal = mouse->globalPosition().toPoint();
            m_timer->start();
        }
        break;
    }
    case QEvent::MouseMove:
        if (m_pressed == watched && m_timer->isActive() &&
            (static_cast<QMouseEvent *>(event)->position().toPoint() - m_pressPos).manhattanLength() >
                kSlackPx)
            m_timer->stop();
        break;
    case QEvent::MouseButtonRelease:
        m_timer->stop();
        m_pressed = nullptr;
        if (m_fired && m_fired == watched && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
            m_fired = nullptr;
            return true;
        }
        break;
    case QEvent::MouseButtonDblClick:
        // The second press of a double click is no hold.
        m_timer->stop();
        m_pressed = nullptr;
        break;
    default:
        break;
    }
    return false;
}

void LongPress::fire()
{
    const QPointer<QWidget> widget = m_pressed;
    m_pressed = nullptr;
    if (!widget || !widget->isVisible() || !widget->isEnabled())
        return;
    m_fired = widget;
    QContextMenuEvent menu(QContextMenuEvent::Mouse, m_pressPos, m_pressGlobal);
    // The menu runs its own loop; the widget may be gone when it ends.
    QCoreApplication::sendEvent(widget, &menu);
}

} // namespace kavri::platform
