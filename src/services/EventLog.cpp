#include "services/EventLog.h"

#include "codec/Cp949.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "services/AppFolder.h"

#include <QFile>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace kavri {

QString LogChannel::requestListHour(const QDateTime &at)
{
    return u"_WinHttp_Req_"_s + at.toString(u"HH"_s);
}

QString logFilePath(const QDateTime &at, const QString &channel)
{
    return appFilePath(at.toString(u"yyMMdd"_s) + channel + u".log"_s);
}

QByteArray logRecord(const QDateTime &at, const QString &text)
{
    const QString prefix = u"["_s + at.toString(u"yyMMdd-HHmmss.zzz"_s) + u"]"_s;
    return codec::toCp949(prefix + text + u"\r\n"_s);
}

void WriteLog(const QString &text, const QString &channel)
{
    const QDateTime at = platform::clock().now();
    const QByteArray record = logRecord(at, text);
    const QByteArray path = QFile::encodeName(logFilePath(at, channel));

    const int fd = ::open(path.constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        // Out of file descriptors is the one failure worth telling the user; others lose the line quietly.
        // One box at a time, and none that holds the board while it is open.
        static bool telling = false;
        if ((errno == EMFILE || errno == ENFILE) && !telling) {
            telling = true;
            platform::tellError(u"파일을 열기 위한 번호를 취득할 수 없습니다."_s, [] { telling = false; });
        }
        return;
    }
    const char *data = record.constData();
    qsizetype left = record.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, data, static_cast<size_t>(left));
        if (n < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        data += n;
        left -= n;
    }
    ::close(fd);
}

} // namespace kavri
