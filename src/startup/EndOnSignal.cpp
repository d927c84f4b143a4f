#include "startup/EndOnSignal.h"

#include "board/MainWindow.h"
#include "platform/StopSignals.h"
#include "services/EventLog.h"
#include "startup/LoginFollowUp.h"

#include <QCoreApplication>

using namespace Qt::StringLiterals;

namespace kavri {

void endOnStopSignals()
{
    QString error;
    const bool watching = platform::watchStopSignals(
        [](int signalNumber) {
            static bool ending = false;
            const QString name = platform::signalName(signalNumber);
            if (ending) {
                WriteLog(u"종료 신호 "_s + name + u": 이미 종료하는 중"_s);
                return;
            }
            ending = true;
            WriteLog(u"종료 신호 "_s + name + u": 출력 중인 주문서를 마치고 종료합니다"_s);
            if (frmAlarm *window = mainWindow(); window && !window->ending())
                window->endWithoutAsking();
            else
                QCoreApplication::exit(0);
        },
        &error);
    if (!watching)
        WriteLog(u"종료 신호를 받을 수 없음: "_s + error);
}

} // namespace kavri
