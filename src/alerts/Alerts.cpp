#include "alerts/Alerts.h"

#include "platform/Audio.h"
#include "services/AppFolder.h"
#include "services/Housekeeping.h"
#include "services/ProcessValues.h"

#include <QCoreApplication>
#include <QPointer>

using namespace Qt::StringLiterals;

namespace kavri::alerts {
namespace {

/// Watches the caller's window for the length of one sequence: gone, or the
/// caller's `cancelled` true (logout or terminate), means no later step runs.
class OwnerGuard
{
public:
    OwnerGuard(QObject *owner, std::function<bool()> cancelled)
        : m_owner(owner), m_watched(owner != nullptr), m_cancelled(std::move(cancelled))
    {
        if (owner)
            m_cut = QObject::connect(owner, &QObject::destroyed, [] { platform::speaker().stop(); });
    }
    ~OwnerGuard() { QObject::disconnect(m_cut); }
    OwnerGuard(const OwnerGuard &) = delete;
    OwnerGuard &operator=(const OwnerGuard &) = delete;

    bool alive() const { return (!m_watched || !m_owner.isNull()) && !(m_cancelled && m_cancelled()); }

private:
    QPointer<QObject> m_owner;
    bool m_watched;
    std::function<bool()> m_cancelled;
    QMetaObject::Connection m_cut;
};

void letEventsRun()
{
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
}

/// Chime, pause, speech: the shared road of both sequences.
bool chimeThenSpeak(const QString &wavePath, const QString &text, OwnerGuard &guard)
{
    if (!guard.alive())
        return false;
    // Started before pending events run: work waiting for them (the tickets of the
    // cycle) must not hold the chime back.
    platform::playChime(wavePath);
    letEventsRun();
    if (!guard.alive())
        return false;
    // The pause ends at once when the window goes or the process is ending.
    if (!Delay(ChimeToSpeechMs, [&guard] { return !guard.alive(); }) || !guard.alive())
        return false;
    letEventsRun();
    if (!guard.alive())
        return false;
    platform::speakText(text);
    return guard.alive();
}

} // namespace

QString testPhrase()
{
    return u"Kavri 디스플레이 Ondel"_s;
}

QString spokenText(const QString &table, const QString &request)
{
    QString tableSpoken = table;
    tableSpoken.replace(u'-', u"  "_s);
    return tableSpoken + u" ! ! "_s + request;
}

bool announce(const QString &table, const QString &request, bool silent, QObject *owner,
              std::function<bool()> cancelled)
{
    OwnerGuard guard(owner, std::move(cancelled));
    if (silent)
        return guard.alive();
    return chimeThenSpeak(gSoundPath + u'/' + QString::fromUtf16(ChimeFileName), spokenText(table, request),
                          guard);
}

bool soundTest(QObject *owner, std::function<bool()> cancelled)
{
    OwnerGuard guard(owner, std::move(cancelled));
    return chimeThenSpeak(appFilePath(QString::fromUtf16(ChimeFileName)), testPhrase(), guard);
}

} // namespace kavri::alerts
