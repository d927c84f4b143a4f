#include "platform/gui/FormRound.h"

#include <QPainterPath>
#include <QPolygon>
#include <QRegion>
#include <QWidget>

using namespace Qt::StringLiterals;

namespace kavri::platform {

bool FormRound(QWidget *window, int size, QString *error)
{
    if (!window || size < 0 || window->width() <= 0 || window->height() <= 0) {
        if (error)
            *error = window ? u"창 크기나 모서리 크기가 올바르지 않습니다."_s : u"창이 없습니다."_s;
        return false;
    }
    QPainterPath path;
    const qreal radius = size / 2.0;
    path.addRoundedRect(QRectF(0, 0, window->width() + 1, window->height() + 1), radius, radius);
    window->setMask(QRegion(path.toFillPolygon().toPolygon()));
    return true;
}

} // namespace kavri::platform
