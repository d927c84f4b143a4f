#include "platform/gui/ProgramIcon.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace kavri::platform {

QIcon programIcon(const QString &programFolder)
{
    static const int sizes[] = {16, 22, 24, 32, 48, 64, 128, 256};
    for (const QString &themes : {u"/../../share/icons/hicolor"_s, u"/../icons/hicolor"_s}) {
        const QString base = QDir::cleanPath(programFolder + themes);
        QIcon icon;
        for (const int size : sizes) {
            const QString file = base + u"/%1x%1/apps/kavri-display.png"_s.arg(size);
            if (QFileInfo(file).isFile())
                icon.addFile(file, QSize(size, size));
        }
        if (!icon.isNull())
            return icon;
    }
    return {};
}

void useProgramIcon()
{
    // A Wayland compositor finds the icon through the desktop entry of this name.
    QGuiApplication::setDesktopFileName(u"kavri-display"_s);
    const QIcon icon = programIcon(QCoreApplication::applicationDirPath());
    if (!icon.isNull())
        QApplication::setWindowIcon(icon);
}

} // namespace kavri::platform
