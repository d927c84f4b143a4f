#include "board/IconView.h"

#include "board/BoardFonts.h"
#include "monitor/OptionRules.h"
#include "platform/gui/Theme.h"

#include <QLabel>
#include <QPainter>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace kavri::monitor {

IconView::IconView(QWidget &window) : QObject(&window)
{
    m_label = new QLabel(&window);
    m_label->setObjectName(u"picIcon"_s);
    m_label->setAlignment(Qt::AlignCenter);
    m_flash = new QTimer(this);
    m_flash->setObjectName(u"IconFlash"_s);
    m_flash->setInterval(500);
    connect(m_flash, &QTimer::timeout, this, [this] {
        m_flashPhase = !m_flashPhase;
        redraw();
    });
}

void IconView::showLogo(const QPixmap &logo)
{
    m_iconMode = false;
    m_label->setGeometry(QRect(QPoint(0, 0), kLogoSize));
    if (logo.isNull())
        m_label->clear();
    else
        m_label->setPixmap(logo.scaled(kLogoSize, Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

void IconView::showIcon(const QPixmap &icon)
{
    m_iconMode = true;
    m_icon = icon;
    m_label->setGeometry(QRect(QPoint(0, 0), kIconSize));
    m_label->raise();
    redraw();
}

void IconView::setOpenCount(qsizetype count)
{
    if (count == m_count)
        return;
    m_count = count;
    redraw();
}

void IconView::setFlashing(bool on)
{
    if (on == m_flash->isActive())
        return;
    m_flashPhase = on;
    if (on)
        m_flash->start();
    else
        m_flash->stop();
    redraw();
}

bool IconView::flashing() const
{
    return m_flash->isActive();
}

QPixmap IconView::shownPicture() const
{
    return m_label->pixmap();
}

void IconView::redraw()
{
    if (m_iconMode)
        m_label->setPixmap(iconModePicture(m_icon, kIconSize, m_count, m_flashPhase));
}

QPixmap iconModePicture(const QPixmap &icon, const QSize &size, qsizetype count, bool flashPhase)
{
    QPixmap out(size);
    out.fill(theme::WindowBack);
    QPainter p(&out);
    p.setRenderHint(QPainter::Antialiasing);
    if (flashPhase) {
        p.fillRect(out.rect(), theme::HighlightBack);
    } else if (!icon.isNull()) {
        const QPixmap scaled = icon.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        p.drawPixmap((size.width() - scaled.width()) / 2, (size.height() - scaled.height()) / 2, scaled);
    }
    if (count <= 0)
        return out;
    // The count fills most of the icon: read from across the room.
    const QString text = count > 99 ? u"99+"_s : QString::number(count);
    const QRect badge(size.width() - 52, 4, 48, 40);
    p.setPen(QPen(flashPhase ? theme::HighlightBorder : Qt::white, 2));
    p.setBrush(flashPhase ? theme::HighlightBorder : theme::IconBadgeBack);
    p.drawRoundedRect(badge, 18, 18);
    QFont font = boardDisplayFont();
    font.setPixelSize(text.size() > 2 ? 20 : 28);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(badge, Qt::AlignCenter, text);
    return out;
}

} // namespace kavri::monitor
