#pragma once

#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

#include <functional>
#include <optional>

// The display options staff change on the main window, and icon mode, as
// plain rules; the window applies their outcome to itself. Every key lives in
// Zarazo.cfg and goes through ReadINI/WriteINI.
namespace kavri::monitor {

class PollLoop;
class RequestCycle;

/// Section of the options; the icon position is written as "SET", which names
/// the same section (section names compare without regard to case).
inline const QString kOptionSection = QStringLiteral("Set");
inline const QString kIconSection = QStringLiteral("SET");

/// The height of the window in normal mode; any other height is icon mode.
constexpr int kFullHeight = 768;
/// Icon mode: the window's size, its corner ellipses, and the logo's size in normal mode.
constexpr QSize kIconSize{85, 81};
constexpr int kIconCorner = 20;
constexpr QSize kLogoSize{110, 65};

/// Window positions are bounded to what a display server can address.
constexpr int kMaxCoordinate = 32767;

/// The expiry minutes after a click of `삭제변경`(`index`) on the shown value:
/// index 0 lowers by one, not below 0; index 1 raises by one; any other index
/// keeps the value. An unreadable shown value counts as 0.
qint64 displayDeleteAfter(const QString &shown, int index);

/// `삭제변경` clicked (a double click is one more click): the new minutes,
/// written to "DisplayDelete"; the next poll of `loop` (when given) comes one
/// full interval later.
qint64 stepExpiryMinutes(const QString &shown, int index, PollLoop *loop);

/// `Pos적용` double-clicked: the two texts as whole numbers (unreadable is 0),
/// written to "DisplayPosX" and "DisplayPosY"; the window moves there.
QPoint Pos적용(const QString &posX, const QString &posY);

enum class ListOption { Resolution, Rows };
enum class Placement { KeepPlace, Centre };

/// `cob크기` or `cob표시` changed to list entry `selected` (-1: none, counts as
/// 0). Ignored while the window loads (nothing returned). Otherwise: stores the
/// index in `stored` and under "ResolutionIDX" or "DisplayIDX", lays the board
/// out again with `relayout`, runs one cycle (when `cycle` is given), and tells how the window is
/// placed after it: centred after a width change, kept in place after a row
/// count change.
std::optional<Placement> listOptionChanged(ListOption option, int selected, bool formLoading, int &stored,
                                           const std::function<void()> &relayout, RequestCycle *cycle);

/// The top left corner that centres a window of `window` size on `screen`.
QPoint centredOn(const QRect &screen, const QSize &window);

/// The icon's position in icon mode, from "MiniIconX" and "MiniIconY"; (0, 0)
/// when none is stored.
QPoint readIconPosition();
/// Leaving icon mode: the icon's position, so it comes back where it was left.
void storeIconPosition(const QPoint &position);

} // namespace kavri::monitor
