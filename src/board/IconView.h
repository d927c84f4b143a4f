#pragma once

#include <QObject>
#include <QPixmap>

class QLabel;
class QTimer;
class QWidget;

namespace kavri::monitor {

/// The logo at the window's top left ("picIcon"), which in icon mode is the
/// whole window. In icon mode it carries the number of open requests and
/// flashes while a new one is announced, so a muted counter PC still shows it.
class IconView : public QObject
{
    Q_OBJECT
public:
    explicit IconView(QWidget &window);

    QLabel *label() const { return m_label; }
    /// Normal mode: the logo (or nothing) at the design place.
    void showLogo(const QPixmap &logo);
    /// Icon mode: `icon` at the icon's size, with the count over it.
    void showIcon(const QPixmap &icon);
    void setOpenCount(qsizetype count);
    /// Flashing while on; it stops in its normal look.
    void setFlashing(bool on);
    bool flashing() const;
    /// The picture as drawn now.
    QPixmap shownPicture() const;

private:
    void redraw();

    QLabel *m_label = nullptr;
    QTimer *m_flash = nullptr;
    QPixmap m_icon;
    qsizetype m_count = 0;
    bool m_iconMode = false;
    bool m_flashPhase = false;
};

/// The icon of icon mode drawn at `size`: `icon` (or a plain face), the count of
/// open requests in a badge when there are any, and the bright face of a flash.
QPixmap iconModePicture(const QPixmap &icon, const QSize &size, qsizetype count, bool flashPhase);

} // namespace kavri::monitor
