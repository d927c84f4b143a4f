#pragma once

#include <QObject>
#include <QPoint>
#include <QPointer>

class QTimer;
class QWidget;

namespace kavri::platform {

/// A finger on a touch screen has no right button: holding the left button (or
/// a touch the system turns into one) still for kHoldMs on a widget sends it the
/// context menu event a right click would. The release that ends such a hold is
/// swallowed, so it is not a click as well.
class LongPress : public QObject
{
public:
    static constexpr int kHoldMs = 600;
    /// A press that moves further than this is a drag, not a hold.
    static constexpr int kSlackPx = 12;

    explicit LongPress(QObject *parent = nullptr) : QObject(parent) {}

    /// Watches `widget`; install it after the widget's other filters, as it must see
    /// the release before them. One watcher serves any number of widgets.
    void watch(QWidget *widget);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void fire();

    QTimer *m_timer = nullptr;
    QPointer<QWidget> m_pressed;
    QPoint m_pressPos;
    QPoint m_pressGlobal;
    QPointer<QWidget> m_fired; ///< the widget whose ending release is still to come
};

} // namespace kavri::platform
