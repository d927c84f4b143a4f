#include "monitor/CaptionPanel.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>

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
    m_wordWrap = wrap;
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

void CaptionPanel::setShrinkToFit(qreal minScale)
{
    m_minScale = std::clamp(minScale, 0.1, 1.0);
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

    const QRect inner = rect().adjusted(m_marginH + m_borderWidth, m_marginV + m_borderWidth,
                                        -m_marginH - m_borderWidth, -m_marginV - m_borderWidth);
    const bool marked = !m_caption.isEmpty();
    if (!m_picture.isNull()) {
        const QSize size = m_picture.size().boundedTo(inner.size());
        const QPixmap shown = size == m_picture.size()
                                  ? m_picture
                                  : m_picture.scaled(size, Qt::KeepAspectRatio, Qt::SmoothTransformation);
        const QPoint at(inner.left() + (inner.width() - shown.width()) / 2,
                        inner.top() + (inner.height() - shown.height()) / 2);
        // Under a caption the picture steps back, so the caption reads first.
        p.setOpacity(marked ? 0.35 : 1.0);
        p.drawPixmap(at, shown);
        p.setOpacity(1.0);
    }
    if (m_caption.isEmpty()) {
        if (!m_placeholder.isEmpty()) {
            QFont faint = font();
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
        return;
    }

    if (!m_picture.isNull()) {
        // Over a picture the caption gets a light outline so it stays readable.
        const QFontMetrics fm(font());
        const QPointF origin(inner.left() + (inner.width() - fm.horizontalAdvance(m_caption)) / 2.0,
                             inner.top() + (inner.height() + fm.ascent() - fm.descent()) / 2.0);
        QPainterPath path;
        path.addText(origin, font(), m_caption);
        p.setRenderHint(QPainter::Antialiasing);
        p.strokePath(path, QPen(Qt::white, 4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.fillPath(path, m_foreground);
        return;
    }

    const TextLayout &layout = textLayout(inner.size());
    const QFontMetrics fm(layout.font);
    p.setFont(layout.font);
    p.setPen(m_foreground);
    const QStringList &lines = layout.lines;
    const int height = int(lines.size()) * fm.height();
    int y = inner.top();
    if (m_alignment & Qt::AlignVCenter)
        y += (inner.height() - height) / 2;
    else if (m_alignment & Qt::AlignBottom)
        y += inner.height() - height;
    for (const QString &line : lines) {
        p.drawText(QRect(inner.left(), y, inner.width(), fm.height()),
                   int(m_alignment & Qt::AlignHorizontal_Mask) | Qt::AlignVCenter, line);
        y += fm.height();
    }
}

const CaptionPanel::TextLayout &CaptionPanel::textLayout(const QSize &inner)
{
    // Finding the size that fits shapes the text several times; a board
    // repaints far more often than its captions change.
    const QFont base = font();
    if (m_layout.valid && m_layout.caption == m_caption && m_layout.baseFont == base &&
        m_layout.inner == inner && m_layout.wordWrap == m_wordWrap && m_layout.minScale == m_minScale)
        return m_layout;

    // The largest size (down to the limit) at which the whole caption fits.
    QFont shown = base;
    const bool inPoints = shown.pointSizeF() > 0;
    const qreal size = inPoints ? shown.pointSizeF() : shown.pixelSize();
    QStringList lines;
    for (qreal scale = 1.0;; scale = std::max(m_minScale, scale - 0.05)) {
        if (inPoints)
            shown.setPointSizeF(size * scale);
        else
            shown.setPixelSize(qMax(1, qRound(size * scale)));
        const QFontMetrics fm(shown);
        bool fits;
        if (m_wordWrap) {
            lines = wrapLines(m_caption, fm, inner.width());
            fits = lines.size() * fm.height() <= inner.height();
        } else {
            lines = QStringList{m_caption};
            fits = fm.horizontalAdvance(m_caption) <= inner.width();
        }
        if (fits || scale <= m_minScale)
            break;
    }
    const QFontMetrics fm(shown);
    const int maxLines = qMax(1, inner.height() / fm.height());
    if (lines.size() > maxLines) {
        // What still does not fit ends in an ellipsis rather than a cut line.
        const QString last = lines.mid(maxLines - 1).join(u' ');
        lines = lines.mid(0, maxLines - 1);
        lines.append(last);
    }
    if (!lines.isEmpty())
        lines.last() = fm.elidedText(lines.last(), Qt::ElideRight, inner.width());

    m_layout = TextLayout{true, m_caption, base, inner, m_wordWrap, m_minScale, shown, lines};
    return m_layout;
}

void CaptionPanel::mouseReleaseEvent(QMouseEvent *event)
{
    QWidget::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

} // namespace kavri::monitor
