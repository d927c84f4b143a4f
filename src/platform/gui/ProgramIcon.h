#pragma once

#include <QIcon>
#include <QString>

namespace kavri::platform {

/// The program's icon, every size of the hicolor files that belong to the program
/// in `programFolder`: the package's (/usr/lib/kavri-display → /usr/share/icons) or
/// the build's (build/src → build/icons). Null when neither is there.
QIcon programIcon(const QString &programFolder);

/// Gives every window of the program its icon (on X11 the window manager reads it
/// as _NET_WM_ICON) and names the desktop entry it belongs to.
void useProgramIcon();

} // namespace kavri::platform
