#include "board/WindowOutline.h"

#include "monitor/OptionRules.h"

#include <QPainterPath>
#include <QPolygon>

namespace kavri::monitor {

QRegion iconModeRegion()
{
    QPainterPath path;
    const qreal radius = kIconCorner / 2.0;
    path.addRoundedRect(QRectF(1, 1, kIconSize.width() - 1, kIconSize.height() - 1), radius, radius);
    return QRegion(path.toFillPolygon().toPolygon());
}

QRegion fullModeRegion(int windowWidth)
{
    return QRegion(0, 0, windowWidth + 1, kFullHeight + 1);
}

} // namespace kavri::monitor
