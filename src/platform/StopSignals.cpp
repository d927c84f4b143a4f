#include "platform/StopSignals.h"

#include <QCoreApplication>
#include <QSocketNotifier>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace kavri::platform {
namespace {

constexpr int kSignals[] = {SIGTERM, SIGINT, SIGHUP};
// The pipe's write end, read by the handler: set once, before any handler is installed.
volatile sig_atomic_t g_writeEnd = -1;

extern "C" void onStopSignal(int signalNumber)
{
    // Only what is safe in a handler: one byte into the pipe, errno left as it was.
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(signalNumber);
    [[maybe_unused]] const ssize_t written = ::write(g_writeEnd, &byte, 1);
    errno = saved;
}

QString errnoText(const char *what)
{
    return QString::fromLatin1(what) + u": "_s + QString::fromLocal8Bit(std::strerror(errno));
}

} // namespace

bool watchStopSignals(std::function<void(int)> onSignal, QString *error)
{
    if (g_writeEnd >= 0 || !QCoreApplication::instance()) {
        if (error)
            *error = u"이미 설정되었거나 이벤트 루프가 없습니다"_s;
        return false;
    }
    int ends[2];
    // Non-blocking both ways: a handler must never wait on a full pipe, nor the loop on an empty one.
    if (::pipe2(ends, O_CLOEXEC | O_NONBLOCK) != 0) {
        if (error)
            *error = errnoText("pipe2");
        return false;
    }
    g_writeEnd = ends[1];
    auto *notifier = new QSocketNotifier(ends[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, notifier, [readEnd = ends[0], onSignal] {
        unsigned char bytes[16];
        ssize_t n = 0;
        while ((n = ::read(readEnd, bytes, sizeof bytes)) > 0) {
            for (ssize_t i = 0; i < n; ++i) {
                if (onSignal)
                    onSignal(bytes[i]);
            }
        }
    });
    struct sigaction action
    {
    };
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    // Calls the handler interrupts go on by themselves.
    action.sa_flags = SA_RESTART;
    for (const int signalNumber : kSignals) {
        if (::sigaction(signalNumber, &action, nullptr) != 0) {
            if (error)
                *error = errnoText("sigaction");
            return false;
        }
    }
    return true;
}

QString signalName(int signalNumber)
{
    switch (signalNumber) {
    case SIGTERM:
        return u"SIGTERM"_s;
    case SIGINT:
        return u"SIGINT"_s;
    case SIGHUP:
        return u"SIGHUP"_s;
    default:
        return u"signal "_s + QString::number(signalNumber);
    }
}

} // namespace kavri::platform
