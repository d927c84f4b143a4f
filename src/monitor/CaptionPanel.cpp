#include "monitor/CaptionPanel.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

namespace kavri::monitor {
namespace {

/// Lines of `text` broken to `width`: at spaces where possible, inside a word
/// only when it is wider than the line.
QStringList wrapLines(const QString &text, const QFontMetrics &fm, int width)
{
    QStringList lines;
    QString line;
    const QStringList words = text.split(u' ');
    auto flush = [&] {
        if (!line.isEmpty())
            lines.append(line);
        line.clear();
    };
    for (const QString &word : words) {
        const QString candidate = line.isEmpty() ? word : line + u' ' + word;
        if (fm.horizontalAdvance(candidate) <= width) {
            line = candidate;
            continue;
        }
        flush();
        // A word wider than the line is cut where it no longer fits.
        QString rest = word;
        while (fm.horizontalAdvance(rest) > width && rest.size() > 1) {
            int n = rest.size() - 1;
            while (n > 1 && fm.horizontalAdvance(rest.left(n)) > width)
                --n;
            lines.append(rest.left(n));
            rest = rest.mid(n);
        }
        line = rest;
    }
    flush();
    return lines;
}

} // namespace

CaptionPanel::CaptionPanel(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void CaptionPanel::setCaption(const QString &caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    update();
}

void CaptionPanel::setPicture(const QPixmap &picture)
{
    m_picture = picture;
    update();
}

void CaptionPanel::setColours(const QColor &foreground, const QColor &background)
{
    m_foreground = foreground;
    m_background = background;
    update();
}

void CaptionPanel::setAlignment(Qt::Alignment alignment)
{
    m_alignment = alignment;
    update();
}

void CaptionPanel::setWordWrap(bool wrap)
{
    m_wordWrap = wrap;
    update();
}

void CaptionPanel::setMargin(int pixels)
{
    m_margin = pixels;
    update();
}

void CaptionPanel::setFrame(int radius, const QColor &border, int borderWidth)
{
    m_radius = radius;
    m_border = border;
    m_borderWidth = borderWidth;
    update();
}

void CaptionPanel::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing, m_radius > 0);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QRectF box = QRectF(rect()).adjusted(m_borderWidth / 2.0, m_borderWidth / 2.0, -m_borderWidth / 2.0,
                                               -m_borderWidth / 2.0);
    if (m_borderWidth > 0)
        p.setPen(QPen(m_border, m_borderWidth));
    else
        p.setPen(Qt::NoPen);
    p.setBrush(m_background);
    if (m_radius > 0)
        p.drawRoundedRect(box, m_radius, m_radius);
    else
        p.drawRect(box);

    const QRect inner = rect().adjusted(m_margin + m_borderWidth, m_margin + m_borderWidth,
                                        -m_margin - m_borderWidth, -m_margin - m_borderWidth);
    if (!m_picture.isNull()) {
        const QSize size = m_picture.size().boundedTo(inner.size());
        const QPixmap shown = size == m_picture.size()
                                  ? m_picture
                                  : m_picture.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        const QPoint at(inner.left() + (inner.width() - shown.width()) / 2,
                        inner.top() + (inner.height() - shown.height()) / 2);
        p.drawPixmap(at, shown);
    }
    if (m_caption.isEmpty())
        return;

    p.setFont(font());
    const QFontMetrics fm(font());
    if (!m_picture.isNull()) {
        // Over a picture the caption gets a light outline so it stays readable.
        const QPointF origin(inner.left() + (inner.width() - fm.horizontalAdvance(m_caption)) / 2.0,
                             inner.top() + (inner.height() + fm.ascent() - fm.descent()) / 2.0);
        QPainterPath path;
        path.addText(origin, font(), m_caption);
        p.setRenderHint(QPainter::Antialiasing);
        p.strokePath(path, QPen(Qt::white, 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.fillPath(path, m_foreground);
        return;
    }
    p.setPen(m_foreground);
    if (!m_wordWrap) {
        p.drawText(inner, int(m_alignment), fm.elidedText(m_caption, Qt::ElideRight, inner.width()));
        return;
    }
    QStringList lines = wrapLines(m_caption, fm, inner.width());
    const int maxLines = qMax(1, inner.height() / fm.lineSpacing());
    if (lines.size() > maxLines) {
        // What does not fit ends in an ellipsis rather than a cut line.
        const QString last = lines.mid(maxLines - 1).join(u' ');
        lines = lines.mid(0, maxLines - 1);
        lines.append(fm.elidedText(last, Qt::ElideRight, inner.width()));
    }
    const int height = int(lines.size()) * fm.lineSpacing();
    int y = inner.top();
    if (m_alignment & Qt::AlignVCenter)
        y += (inner.height() - height) / 2;
    else if (m_alignment & Qt::AlignBottom)
        y += inner.height() - height;
    for (const QString &line : lines) {
        p.drawText(QRect(inner.left(), y, inner.width(), fm.lineSpacing()),
                   int(m_alignment & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter, line);
        y += fm.lineSpacing();
    }
}

void CaptionPanel::mouseReleaseEvent(QMouseEvent *event)
{
    QWidget::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

} // namespace kavri::monitor
