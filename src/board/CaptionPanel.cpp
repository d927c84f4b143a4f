#include "board/CaptionPanel.h"

#include <QFontInfo>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

namespace kavri::monitor {

CaptionPanel::CaptionPanel(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent, false);
}

void CaptionPanel::setCaption(const QString &caption, const QString &end)
{
    if (caption == m_caption && end == m_end)
        return;
    m_caption = caption;
    m_end = end;
    update();
}

void CaptionPanel::setNote(const QString &note)
{
    if (note == m_note)
        return;
    m_note = note;
    update();
}

void CaptionPanel::setPicture(const QPixmap &picture)
{
    if (picture.cacheKey() == m_picture.cacheKey())
        return;
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
    m_fit.wordWrap = wrap;
    update();
}

void CaptionPanel::setMargins(int horizontal, int vertical)
{
    m_marginH = horizontal;
    m_marginV = vertical;
    update();
}

void CaptionPanel::setPlaceholder(const QString &text)
{
    m_placeholder = text;
    update();
}

void CaptionPanel::setShrinkToFit(qreal minScale, qreal floorPoints)
{
    m_fit.minScale = std::clamp(minScale, 0.1, 1.0);
    m_fit.floorPoints = std::max<qreal>(0, floorPoints);
    update();
}

void CaptionPanel::setScale(qreal scale)
{
    if (qFuzzyCompare(scale, m_scale))
        return;
    m_scale = scale;
    update();
}

QFont CaptionPanel::shownFont() const
{
    QFont shown = font();
    if (qFuzzyCompare(m_scale, 1.0))
        return shown;
    if (shown.pointSizeF() > 0)
        shown.setPointSizeF(shown.pointSizeF() * m_scale);
    else
        shown.setPixelSize(qMax(1, qRound(shown.pixelSize() * m_scale)));
    return shown;
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
    paintBackground(p);
    const QRect inner = captionBox();
    paintPicture(p, inner);
    if (m_caption.isEmpty() && m_end.isEmpty())
        paintPlaceholder(p, inner);
    else
        paintCaption(p, inner);
    paintNote(p);
}

void CaptionPanel::paintBackground(QPainter &p)
{
    const qreal half = m_borderWidth / 2.0;
    const QRectF box = QRectF(rect()).adjusted(half, half, -half, -half);
    if (m_borderWidth > 0)
        p.setPen(QPen(m_border, m_borderWidth));
    else
        p.setPen(Qt::NoPen);
    p.setBrush(m_background);
    if (m_radius > 0)
        p.drawRoundedRect(box, m_radius, m_radius);
    else
        p.drawRect(box);
}

void CaptionPanel::paintPicture(QPainter &p, const QRect &inner)
{
    if (m_picture.isNull())
        return;
    const QSize size = (m_picture.size() * m_scale).boundedTo(inner.size());
    const QPixmap shown = size == m_picture.size()
                              ? m_picture
                              : m_picture.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
    const QPoint at(inner.left() + (inner.width() - shown.width()) / 2,
                    inner.top() + (inner.height() - shown.height()) / 2);
    // Under a caption the picture steps back, so the caption reads first.
    p.setOpacity(m_caption.isEmpty() ? 1.0 : 0.35);
    p.drawPixmap(at, shown);
    p.setOpacity(1.0);
}

void CaptionPanel::paintPlaceholder(QPainter &p, const QRect &inner)
{
    if (m_placeholder.isEmpty())
        return;
    QFont faint = shownFont();
    if (faint.pointSizeF() > 0)
        faint.setPointSizeF(faint.pointSizeF() * 0.45);
    else
        faint.setPixelSize(qMax(1, qRound(faint.pixelSize() * 0.45)));
    faint.setWeight(QFont::Normal);
    QColor ink = m_foreground;
    ink.setAlphaF(0.35);
    p.setFont(faint);
    p.setPen(ink);
    p.drawText(inner, Qt::AlignCenter | Qt::TextWordWrap, m_placeholder);
}

void CaptionPanel::paintCaption(QPainter &p, const QRect &inner)
{
    const CaptionLines &layout = textLayout(inner).lines;
    const int height = int(layout.lines.size()) * layout.lineHeight;
    int y = inner.top();
    if (m_alignment & Qt::AlignVCenter)
        y += (inner.height() - height) / 2;
    else if (m_alignment & Qt::AlignBottom)
        y += inner.height() - height;
    const int align = int(m_alignment & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter | Qt::TextDontClip;
    if (!m_picture.isNull()) {
        paintOutlinedCaption(p, inner, layout, y, align);
        return;
    }
    p.setFont(layout.font);
    p.setPen(m_foreground);
    for (const QString &line : layout.lines) {
        p.drawText(QRect(inner.left(), y, inner.width(), layout.lineHeight), align, line);
        y += layout.lineHeight;
    }
}

void CaptionPanel::paintOutlinedCaption(QPainter &p, const QRect &inner, const CaptionLines &layout, int y,
                                        int align)
{
    // Over a picture the caption gets a dark contour inside a light halo, so
    // it stands out from light and dark pictures alike.
    const QFontMetricsF fm(layout.font);
    QPainterPath path;
    for (const QString &line : layout.lines) {
        const qreal advance = fm.horizontalAdvance(line);
        qreal x = inner.left();
        if (align & Qt::AlignHCenter)
            x += (inner.width() - advance) / 2.0;
        else if (align & Qt::AlignRight)
            x += inner.width() - advance;
        path.addText(QPointF(x, y + (layout.lineHeight + fm.ascent() - fm.descent()) / 2.0), layout.font,
                     line);
        y += layout.lineHeight;
    }
    p.setRenderHint(QPainter::Antialiasing);
    const qreal halo = std::max<qreal>(3.0, fm.height() / 5.0);
    p.strokePath(path, QPen(Qt::white, halo * 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.strokePath(path,
                 QPen(QColor(0x20, 0x10, 0x10), halo * 0.9, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.fillPath(path, m_foreground);
}

QFont CaptionPanel::noteFont() const
{
    QFont small = font();
    // Readable beside its caption, never larger than needed for a few digits.
    const int pixels = qRound(std::clamp(QFontInfo(font()).pixelSize() * 11 / 20, 11, 22) * m_scale);
    small.setPixelSize(pixels);
    small.setBold(true);
    return small;
}

int CaptionPanel::noteHeight() const
{
    return m_note.isEmpty() ? 0 : QFontMetrics(noteFont()).height();
}

void CaptionPanel::paintNote(QPainter &p)
{
    if (m_note.isEmpty())
        return;
    const QRect box = rect().adjusted(1, 0, -1, -m_marginV - m_borderWidth);
    p.setFont(noteFont());
    p.setPen(m_foreground);
    p.drawText(box, Qt::AlignHCenter | Qt::AlignBottom, m_note);
}

QRect CaptionPanel::captionBox() const
{
    const int h = qRound(m_marginH * m_scale) + m_borderWidth;
    const int v = qRound(m_marginV * m_scale) + m_borderWidth;
    return rect().adjusted(h, v, -h, -v - noteHeight());
}

const CaptionPanel::TextLayout &CaptionPanel::textLayout(const QRect &inner)
{
    // Finding the size that fits lays the text out several times; a board
    // repaints far more often than its captions change.
    const QFont base = shownFont();
    CaptionFit fit = m_fit;
    fit.floorPoints *= m_scale;
    if (m_layout.valid && m_layout.caption == m_caption && m_layout.end == m_end &&
        m_layout.baseFont == base && m_layout.inner == inner.size() && m_layout.fit == fit)
        return m_layout;
    m_layout = TextLayout{true,
                          m_caption,
                          m_end,
                          base,
                          inner.size(),
                          fit,
                          layoutCaption(m_caption, m_end, base, inner.size(), fit)};
    return m_layout;
}

void CaptionPanel::mouseReleaseEvent(QMouseEvent *event)
{
    QWidget::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

} // namespace kavri::monitor
