#include "board/WindowScale.h"

#include "board/CaptionPanel.h"

#include <QVariant>
#include <QWidget>

namespace kavri::monitor {
namespace {

// What each part looked like by design, and as the last pass drew it.
constexpr char kDesignRect[] = "kavriDesignRect";
constexpr char kShownRect[] = "kavriShownRect";
constexpr char kDesignFont[] = "kavriDesignFont";
constexpr char kShownFont[] = "kavriShownFont";

/// One coordinate's design value: the one stored while the part still stands
/// where the last pass put it, else the one the layout has given it since.
int designValue(int now, int shown, int stored)
{
    return now == shown ? stored : now;
}

QRect designRect(QWidget &part)
{
    // A layout may move a part and leave its size, or the reverse: each value on its own.
    const QRect now = part.geometry();
    const QVariant shownValue = part.property(kShownRect);
    QRect design = now;
    if (shownValue.isValid()) {
        const QRect shown = shownValue.toRect();
        const QRect stored = part.property(kDesignRect).toRect();
        design =
            QRect(designValue(now.x(), shown.x(), stored.x()), designValue(now.y(), shown.y(), stored.y()),
                  designValue(now.width(), shown.width(), stored.width()),
                  designValue(now.height(), shown.height(), stored.height()));
    }
    part.setProperty(kDesignRect, design);
    return design;
}

QFont designFont(QWidget &part)
{
    const QVariant shown = part.property(kShownFont);
    if (shown.isValid() && shown.value<QFont>() == part.font())
        return part.property(kDesignFont).value<QFont>();
    part.setProperty(kDesignFont, part.font());
    return part.font();
}

QFont scaledFont(QFont font, qreal scale)
{
    if (font.pointSizeF() > 0)
        font.setPointSizeF(font.pointSizeF() * scale);
    else if (font.pixelSize() > 0)
        font.setPixelSize(qMax(1, qRound(font.pixelSize() * scale)));
    return font;
}

void scalePart(QWidget &part, qreal scale, const QPoint &offset)
{
    const QRect design = designRect(part);
    const QRect shown(QPoint(qRound(design.x() * scale), qRound(design.y() * scale)) + offset,
                      QSize(qRound(design.width() * scale), qRound(design.height() * scale)));
    part.setGeometry(shown);
    part.setProperty(kShownRect, part.geometry());
    if (auto *panel = qobject_cast<CaptionPanel *>(&part)) {
        panel->setScale(scale);
    } else {
        // Inherited fonts too: a list box shows its entry at the bar's scale.
        part.setFont(scaledFont(designFont(part), scale));
        part.setProperty(kShownFont, part.font());
    }
    for (QObject *child : part.children()) {
        if (auto *widget = qobject_cast<QWidget *>(child); widget && !widget->isWindow())
            scalePart(*widget, scale, {});
    }
}

} // namespace

void scaleWindowParts(QWidget &window, qreal scale, const QPoint &offset)
{
    for (QObject *child : window.children()) {
        if (auto *widget = qobject_cast<QWidget *>(child); widget && !widget->isWindow())
            scalePart(*widget, scale, offset);
    }
}

} // namespace kavri::monitor
