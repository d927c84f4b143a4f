#include "board/BoardPictures.h"

#include "board/BoardFonts.h"

#include <QFontMetrics>
#include <QLinearGradient>
#include <QPainter>

namespace kavri::monitor {

int fittingPixelSize(const QString &text, int width, std::initializer_list<int> sizes)
{
    int chosen = *(sizes.end() - 1);
    for (int size : sizes) {
        QFont font = boardDisplayFont();
        font.setPixelSize(size);
        if (QFontMetrics(font).horizontalAdvance(text) <= width) {
            chosen = size;
            break;
        }
    }
    return chosen;
}

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

FrameShape::FrameShape(QWidget *parent, int width) : QWidget(parent), m_width(width)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void FrameShape::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setPen(QPen(Qt::white, m_width));
    p.setBrush(Qt::NoBrush);
    const qreal half = m_width / 2.0;
    p.drawRect(QRectF(rect()).adjusted(half, half, -half, -half));
}

void Shape::paintEvent(QPaintEvent *)
{
    QPainter(this).fillRect(rect(), m_colour);
}

} // namespace kavri::monitor
