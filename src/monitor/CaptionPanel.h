#pragma once

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

    QString caption() const { return m_caption; }
    void setCaption(const QString &caption);
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
    /// Long captions break into lines (at spaces, else anywhere).
    void setWordWrap(bool wrap);
    void setMargin(int pixels) { setMargins(pixels, pixels); }
    void setMargins(int horizontal, int vertical);
    /// A caption that does not fit is drawn smaller, down to `minScale` of the
    /// font's size, before what still does not fit ends in an ellipsis. The
    /// font itself keeps its size.
    void setShrinkToFit(qreal minScale);
    /// Drawn faintly while the caption is empty; never part of the caption.
    void setPlaceholder(const QString &text);
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
        QFont baseFont;
        QSize inner;
        bool wordWrap = false;
        qreal minScale = 1.0;
        QFont font;        ///< the size at which the caption is drawn
        QStringList lines; ///< the caption's lines, the last one elided
    };
    const TextLayout &textLayout(const QSize &inner);

    TextLayout m_layout;
    QString m_caption;
    QString m_tag;
    QString m_placeholder;
    QPixmap m_picture;
    QColor m_foreground = Qt::black;
    QColor m_background = Qt::white;
    QColor m_border;
    Qt::Alignment m_alignment = Qt::AlignCenter;
    bool m_wordWrap = false;
    int m_marginH = 4;
    int m_marginV = 4;
    qreal m_minScale = 1.0;
    int m_radius = 0;
    int m_borderWidth = 0;
};

} // namespace kavri::monitor
