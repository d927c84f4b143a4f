#pragma once

#include "board/CaptionLayout.h"

#include <QColor>
#include <QPixmap>
#include <QWidget>

namespace kavri::monitor {

/// A panel with a caption, an optional picture and a tag: the board's cells,
/// headings and banner. It paints itself, so 120 cells cost one paint each and
/// no style sheet.
class CaptionPanel : public QWidget
{
    Q_OBJECT
public:
    explicit CaptionPanel(QWidget *parent = nullptr);

    /// The whole caption, its kept end included.
    QString caption() const { return m_end.isEmpty() ? m_caption : m_caption + u' ' + m_end; }
    /// `end` (a quantity) follows the caption and is never cut: a caption too
    /// long for the panel is shortened before it.
    void setCaption(const QString &caption, const QString &end = {});
    /// A small line under the caption (the minutes a request has waited); "" for none.
    QString note() const { return m_note; }
    void setNote(const QString &note);
    /// A text the panel carries for others and never shows.
    QString tag() const { return m_tag; }
    void setTag(const QString &tag) { m_tag = tag; }
    /// Drawn centred, scaled down to fit; the caption is drawn over it.
    QPixmap picture() const { return m_picture; }
    void setPicture(const QPixmap &picture);

    QColor foreground() const { return m_foreground; }
    QColor background() const { return m_background; }
    void setColours(const QColor &foreground, const QColor &background);
    void setAlignment(Qt::Alignment alignment);
    /// A caption is split at its line breaks; with word wrap long lines break
    /// too (at spaces, else anywhere).
    void setWordWrap(bool wrap);
    void setMargin(int pixels) { setMargins(pixels, pixels); }
    void setMargins(int horizontal, int vertical);
    /// A caption that does not fit is drawn smaller, down to `minScale` of the
    /// font's size but never below `floorPoints`, before what still does not
    /// fit ends in an ellipsis. The font itself keeps its size.
    void setShrinkToFit(qreal minScale, qreal floorPoints = 0);
    /// The caption as laid out for the panel's present size and font.
    CaptionLines captionLayout() { return textLayout(captionBox()).lines; }
    /// Drawn faintly while the caption is empty; never part of the caption.
    void setPlaceholder(const QString &text);
    /// Draws the caption, its note and margins `scale` times their size (a
    /// window filling a larger screen); the font itself keeps its size.
    void setScale(qreal scale);
    /// Rounded corners and a border; 0 for none.
    void setFrame(int radius, const QColor &border = {}, int borderWidth = 0);

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    struct TextLayout
    {
        bool valid = false;
        QString caption;
        QString end;
        QFont baseFont;
        QSize inner;
        CaptionFit fit;
        CaptionLines lines;
    };
    const TextLayout &textLayout(const QRect &inner);
    QRect captionBox() const;
    /// The note's font and the height it takes at the panel's bottom.
    QFont noteFont() const;
    /// The font as drawn: the font at the panel's scale.
    QFont shownFont() const;
    int noteHeight() const;
    void paintBackground(QPainter &p);
    void paintPicture(QPainter &p, const QRect &inner);
    void paintPlaceholder(QPainter &p, const QRect &inner);
    void paintCaption(QPainter &p, const QRect &inner);
    void paintOutlinedCaption(QPainter &p, const QRect &inner, const CaptionLines &layout, int y, int align);
    void paintNote(QPainter &p);

    TextLayout m_layout;
    QString m_caption;
    QString m_end;
    QString m_note;
    QString m_tag;
    QString m_placeholder;
    QPixmap m_picture;
    QColor m_foreground = Qt::black;
    QColor m_background = Qt::white;
    QColor m_border;
    Qt::Alignment m_alignment = Qt::AlignCenter;
    CaptionFit m_fit;
    qreal m_scale = 1.0;
    int m_marginH = 4;
    int m_marginV = 4;
    int m_radius = 0;
    int m_borderWidth = 0;
};

} // namespace kavri::monitor
