#include "board/WindowDrag.h"

#include <QApplication>
#include <QMouseEvent>
#include <QWidget>
#include <QWindow>

namespace kavri::monitor {

void WindowDrag::pressed(const QMouseEvent &event)
{
    m_pressOnHandle = true;
    m_pressAt = event.globalPosition().toPoint();
}

bool WindowDrag::moved(QWidget &window, const QMouseEvent &event)
{
    if (m_pressOnHandle && event.buttons() != Qt::NoButton &&
        (event.globalPosition().toPoint() - m_pressAt).manhattanLength() >=
            QApplication::startDragDistance()) {
        m_pressOnHandle = false;
        if (window.windowHandle() && window.windowHandle()->startSystemMove())
            return true;
        m_dragging = true;
        m_dragOffset = m_pressAt - window.frameGeometry().topLeft();
    }
    if (m_dragging && event.buttons() != Qt::NoButton) {
        window.move(event.globalPosition().toPoint() - m_dragOffset);
        return true;
    }
    return false;
}

void WindowDrag::ended()
{
    m_dragging = false;
    m_pressOnHandle = false;
}

} // namespace kavri::monitor
