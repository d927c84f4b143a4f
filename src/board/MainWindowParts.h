#pragma once

#include "monitor/WindowOptions.h"

#include <QPoint>
#include <QRect>
#include <QString>

class QWidget;

// What the main window's source files share: the design positions of the
// controls the board geometry does not place, and the placement rules.
namespace kavri::mainwindow {

inline const QString WindowName = QStringLiteral("frmAlarm");

constexpr QRect PicIconRect(0, 0, 110, 65);
constexpr QRect StoreNameRect(110, 2, 220, 30);
constexpr QRect HealthRect(110, 32, 220, 16);
constexpr QRect VersionRect(110, 48, 220, 16);
constexpr QRect TablePanelRect(10, 75, 445, 198);
constexpr QRect TableRect(22, 82, 421, 124);
constexpr QRect PayTypeRect(22, 213, 190, 50);
constexpr QRect ConfirmRect(222, 213, 221, 50);

/// "name_index", the object name of a control of an indexed group.
QString indexed(const QString &name, int index);

/// Every placement of the main window keeps it on the screen (a clamp is logged);
/// the stored keys stay as they are.
void placeWindow(QWidget &window, const QPoint &wanted);

/// The stored position, bounded so that moving it never overflows.
QPoint storedPosition(const monitor::WindowOptions &options);

} // namespace kavri::mainwindow
