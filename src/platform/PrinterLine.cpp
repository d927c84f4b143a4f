#include "platform/PrinterLine.h"

#include "platform/DeviceDiscovery.h"

#include "platform/Clock.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QIODevice>
#include <QThread>
#include <QTimer>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace kavri::platform {
namespace {

// Terminal majors for devices that have no entry under /sys/dev/char (pseudo
// terminals): the old ptys, tty/ttyS, the console group, Unix98 ptys, ACM, USB adapters.
bool isTerminalMajor(unsigned major)
{
    return major == 3 || major == 4 || major == 5 || (major >= 136 && major <= 143) || major == 166 ||
           major == 188 || major == 204;
}

// Read from the kernel's own tables: no open, no control line raised. Pseudo
// terminals have no entry there; their majors tell.
bool isTerminal(const QString &path, dev_t rdev)
{
    switch (charDeviceKind(path)) {
    case CharDeviceKind::Terminal:
        return true;
    case CharDeviceKind::NotTerminal:
        return false;
    case CharDeviceKind::Unknown:
        break;
    }
    return isTerminalMajor(::major(rdev));
}

LineOpening refusedOpening(LineOpenResult result, int number, const QString &description)
{
    LineOpening opening;
    opening.result = result;
    opening.error = {number, description};
    return opening;
}

} // namespace

DeviceState deviceState(const QString &path)
{
    DeviceState state;
    if (path.isEmpty())
        return state;
    const QByteArray name = QFile::encodeName(path);
    struct stat st
    {
    };
    if (::stat(name.constData(), &st) != 0)
        return state;
    if (S_ISFIFO(st.st_mode))
        state.kind = DeviceKind::Plain;
    else if (S_ISCHR(st.st_mode))
        state.kind = isTerminal(path, st.st_rdev) ? DeviceKind::Serial : DeviceKind::Plain;
    else
        state.kind = DeviceKind::NotDevice;
    // The rights the program opens with: the effective ones.
    state.writable = ::faccessat(AT_FDCWD, name.constData(), W_OK, AT_EACCESS) == 0;
    if (const struct group *g = ::getgrgid(st.st_gid))
        state.group = QString::fromLocal8Bit(g->gr_name);
    return state;
}

LineOpening openDeviceLine(const QString &path, qint32 speed)
{
    if (path.isEmpty())
        return refusedOpening(LineOpenResult::NoSuchPort, ENOENT, u"장치가 지정되지 않았습니다."_s);
    // Tell a missing device from one we may not open, before touching it.
    struct stat st
    {
    };
    if (::stat(QFile::encodeName(path).constData(), &st) != 0) {
        const int e = errno;
        const QString why = QString::fromLocal8Bit(std::strerror(e));
        if (e == EACCES || e == EPERM)
            return refusedOpening(LineOpenResult::Unavailable, e, why);
        const bool missing = e == ENOENT || e == ENOTDIR || e == ENAMETOOLONG || e == ELOOP;
        return refusedOpening(missing ? LineOpenResult::NoSuchPort : LineOpenResult::OtherError, e, why);
    }
    switch (deviceState(path).kind) {
    case DeviceKind::Serial:
        return openSerialLine(path, speed);
    case DeviceKind::Plain:
        return openPlainDeviceLine(path);
    case DeviceKind::Missing:
    case DeviceKind::NotDevice:
        break;
    }
    return refusedOpening(LineOpenResult::NoSuchPort, ENODEV, u"프린터 장치가 아닙니다."_s);
}

bool waitWithEvents(quint32 ms, const std::function<bool()> &done)
{
    const quint32 start = clock().tick();
    if (!QCoreApplication::instance()) {
        while (!done()) {
            if (clock().tick() - start >= ms)
                return false;
            QThread::msleep(5);
        }
        return true;
    }
    QEventLoop loop;
    QTimer wake;
    wake.setSingleShot(true);
    QObject::connect(&wake, &QTimer::timeout, &loop, &QEventLoop::quit);
    while (!done()) {
        const quint32 elapsed = clock().tick() - start;
        if (elapsed >= ms)
            return done();
        wake.start(int(std::min<quint32>(ms - elapsed, 5)));
        loop.processEvents(QEventLoop::AllEvents | QEventLoop::WaitForMoreEvents);
    }
    return true;
}

std::optional<quint8> askStatusOver(QIODevice &device, quint8 n, quint32 waitMs)
{
    // An answer that came too late for the last request must not pass for this one.
    device.readAll();
    const char request[3] = {0x10, 0x04, char(n)};
    if (device.write(request, 3) != 3)
        return std::nullopt;
    std::optional<quint8> answer;
    waitWithEvents(waitMs, [&] {
        char c = 0;
        if (device.bytesAvailable() > 0 && device.getChar(&c))
            answer = quint8(c);
        return answer.has_value() || !device.isOpen();
    });
    return answer;
}

} // namespace kavri::platform
