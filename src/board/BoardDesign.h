#pragma once

#include <QRect>
#include <QString>

// The design positions of the main window's parts that the board geometry does
// not place, shared by the window and its components.
namespace kavri::design {

inline const QString WindowName = QStringLiteral("frmAlarm");

constexpr QRect PicIconRect(0, 0, 110, 65);
constexpr QRect StoreNameRect(110, 2, 220, 30);
// One line of the health line, at a size read from the counter.
constexpr QRect HealthRect(110, 32, 220, 20);
constexpr QRect VersionRect(110, 52, 220, 16);
constexpr QRect TablePanelRect(10, 75, 445, 198);
// The count of open requests heads the banner's table panel; the table stands under it.
constexpr QRect OpenCountRect(22, 82, 150, 32);
constexpr QRect TableRect(22, 116, 421, 92);
constexpr QRect PayTypeRect(22, 213, 190, 50);
constexpr QRect ConfirmRect(222, 213, 221, 50);

/// "name_index", the object name of a control of an indexed group.
inline QString indexed(const QString &name, int index)
{
    return name + u'_' + QString::number(index);
}

} // namespace kavri::design
