#include "platform/DisplayPlatform.h"

#include <QByteArray>

#include <cstring>

using namespace Qt::StringLiterals;

namespace kavri::platform {
namespace {

DisplayPlatformChoice g_choice;

/// Qt reads "-platform" and "--platform" from the command line; either overrides the environment.
bool hasPlatformArgument(int argc, const char *const *argv)
{
    for (int i = 1; i < argc && argv[i]; ++i) {
        if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0)
            return true;
    }
    return false;
}

} // namespace

DisplayPlatformChoice chooseDisplayPlatform(const QString &qpaPlatform, const QString &display,
                                            bool platformArgument)
{
    if (platformArgument)
        return {{}, u"-platform 인수로 지정됨"_s};
    if (!qpaPlatform.isEmpty())
        return {{}, u"QT_QPA_PLATFORM="_s + qpaPlatform.left(100) + u"로 지정됨"_s};
    if (display.isEmpty())
        return {{}, u"DISPLAY가 없어 Qt가 고름"_s};
    // Under Wayland the compositor would place the board and its icon and may cover them.
    return {u"xcb"_s, u"DISPLAY가 있어 X11(XWayland)로 실행, Wayland로는 QT_QPA_PLATFORM=wayland"_s};
}

DisplayPlatformChoice selectDisplayPlatform(int argc, const char *const *argv)
{
    g_choice = chooseDisplayPlatform(qEnvironmentVariable("QT_QPA_PLATFORM"), qEnvironmentVariable("DISPLAY"),
                                     hasPlatformArgument(argc, argv));
    if (!g_choice.setTo.isEmpty())
        qputenv("QT_QPA_PLATFORM", g_choice.setTo.toUtf8());
    return g_choice;
}

DisplayPlatformChoice displayPlatformChoice()
{
    return g_choice;
}

} // namespace kavri::platform
