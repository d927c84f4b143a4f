#include "startup/LoginLogic.h"

#include "services/EventLog.h"
#include "services/ProcessValues.h"
#include "services/UserStore.h"
#include "services/WebService.h"
#include "services/WinHttp.h"

using namespace Qt::StringLiterals;

namespace kavri::login {
namespace {

QString flagText(bool on)
{
    return on ? u"True"_s : u"False"_s;
}

} // namespace

QString defaultRecord()
{
    return u"False"_s + gSep + u"False"_s + gSep + gSep;
}

std::optional<QStringList> parseRecord(const QString &text)
{
    const QStringList fields = text.split(gSep);
    if (fields.size() != 4)
        return std::nullopt;
    return fields;
}

QStringList rememberedRecord()
{
    if (auto ours = parseRecord(userstore::get(StoreApplication, StoreSection, StoreKey)))
        return *ours;
    if (auto sibling = parseRecord(userstore::get(SiblingApplication, StoreSection, StoreKey)))
        return *sibling;
    return *parseRecord(defaultRecord());
}

QString buildRecord(bool remember, bool autoLogin, const QString &id, const QString &password)
{
    QString record = flagText(remember) + gSep + flagText(autoLogin) + gSep;
    if (remember)
        record += id + gSep + password;
    else
        record += gSep + gSep;
    return record;
}

bool saveRecord(const QString &record)
{
    return userstore::set(StoreApplication, StoreSection, StoreKey, record);
}

QString normaliseAnswer(QString answer)
{
    for (int round = 0; round < 11; ++round) {
        answer.replace(u"\r\r"_s, u"\r"_s);
        answer.replace(u"\n\n"_s, u"\n"_s);
    }
    return answer;
}

bool isBlankAnswer(const QString &answer)
{
    for (const QChar c : answer) {
        if (c != u' ')
            return false;
    }
    return true;
}

QString exchange(const QString &id, const QString &password)
{
    const QString address = web::endpoint(web::LoginPath);
    const QString body = web::loginBody(id, password);
    WriteLog(u"logins() ... "_s + address + u'?' + web::maskPassword(body), LogChannel::WinHttp);
    const QString answer = normaliseAnswer(GetWinHttp(address, body));
    WriteLog(u"logins() ... ResponseStr:"_s + u"\r\n"_s + answer, LogChannel::WinHttp);
    return answer;
}

QString loginExchange(const QString &id, const QString &password, const Deployment &deployment)
{
    gBaseURL = deployment.secureBase;
    QString answer = exchange(id, password);
    if (isBlankAnswer(answer)) {
        gBaseURL = deployment.plainBase;
        answer = exchange(id, password);
    }
    return answer;
}

void applySuccess(const QString &answer, bool remember, bool autoLogin, const QString &id,
                  const QString &password)
{
    saveRecord(buildRecord(remember, autoLogin, id, password));
    if (const auto name = web::storeNameIn(answer))
        gStoreName = *name;
    gLoginID = id;
    gLoginPW = password;
}

bool LoginAttempts::begin()
{
    if (m_running)
        return false;
    m_running = true;
    return true;
}

LoginAttempts::Verdict LoginAttempts::judge(const QString &answer)
{
    if (web::hasSuccessMarker(answer))
        return Verdict::Success;
    ++m_failCount;
    return m_failCount >= MaxFailures ? Verdict::FinalFailure : Verdict::Failure;
}

} // namespace kavri::login
