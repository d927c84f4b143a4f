#pragma once

#include <QPoint>

class QMouseEvent;
class QWidget;

namespace kavri::monitor {

/// Moving a frameless window by the mouse: by the window system once the mouse
/// moves far enough from a press on a handle, by hand where the system cannot.
/// The window says which presses are on a handle and passes its mouse events on.
class WindowDrag
{
public:
    /// A press on a handle of `window`: the move starts once the mouse moves, so
    /// a click or a double click on a handle stays one.
    void pressed(const QMouseEvent &event);
    /// True when the move took the event.
    bool moved(QWidget &window, const QMouseEvent &event);
    /// The button is up, or a double click took the press: no move goes on.
    void ended();

private:
    bool m_pressOnHandle = false;
    QPoint m_pressAt;
    bool m_dragging = false;
    QPoint m_dragOffset;
};

} // namespace kavri::monitor
