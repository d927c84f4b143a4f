#include "board/WindowPlacement.h"

#include "platform/gui/ScreenPlacement.h"
#include "services/EventLog.h"

#include <algorithm>
#include <climits>

namespace kavri::monitor {

void placeWindow(QWidget &window, const QPoint &wanted)
{
    const QString note = platform::placeOnScreen(window, wanted);
    if (!note.isEmpty())
        WriteLog(note);
}

QPoint storedPosition(const WindowOptions &options)
{
    return QPoint(int(std::clamp<qint64>(options.displayPosX, INT_MIN / 2, INT_MAX / 2)),
                  int(std::clamp<qint64>(options.displayPosY, INT_MIN / 2, INT_MAX / 2)));
}

} // namespace kavri::monitor
