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

/// Watches the caller's window for the length of one sequence: gone means the
/// speech is cut and no later step runs.
class OwnerGuard
{
public:
    explicit OwnerGuard(QObject *owner) : m_owner(owner), m_watched(owner != nullptr)
    {
        if (owner)
            m_cut = QObject::connect(owner, &QObject::destroyed, [] { platform::speaker().stop(); });
    }
    ~OwnerGuard() { QObject::disconnect(m_cut); }
    OwnerGuard(const OwnerGuard &) = delete;
    OwnerGuard &operator=(const OwnerGuard &) = delete;

    bool alive() const { return !m_watched || !m_owner.isNull(); }

private:
    QPointer<QObject> m_owner;
    bool m_watched;
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
    letEventsRun();
    if (!guard.alive())
        return false;
    platform::playChime(wavePath);
    Delay(ChimeToSpeechMs);
    if (!guard.alive())
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

bool announce(const QString &table, const QString &request, bool silent, QObject *owner)
{
    OwnerGuard guard(owner);
    if (silent)
        return guard.alive();
    return chimeThenSpeak(gSoundPath + u'/' + QString::fromUtf16(ChimeFileName), spokenText(table, request),
                          guard);
}

bool soundTest(QObject *owner)
{
    OwnerGuard guard(owner);
    return chimeThenSpeak(appFilePath(QString::fromUtf16(ChimeFileName)), testPhrase(), guard);
}

} // namespace kavri::alerts
