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

QRect designRect(QWidget &part)
{
    const QVariant shown = part.property(kShownRect);
    if (shown.isValid() && shown.toRect() == part.geometry())
        return part.property(kDesignRect).toRect();
    part.setProperty(kDesignRect, part.geometry());
    return part.geometry();
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
    } else if (part.testAttribute(Qt::WA_SetFont)) {
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
