#include "startup/LoginLogic.h"

#include "services/EventLog.h"
#include "services/ProcessValues.h"
#include "services/ServiceAnswers.h"
#include "services/WebService.h"
#include "services/WinHttp.h"

using namespace Qt::StringLiterals;

namespace kavri::login {

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
    WriteLog(u"logins() ... ResponseStr:"_s + u"\r\n"_s + answerForLog(answer), LogChannel::WinHttp);
    return answer;
}

QString loginExchange(const QString &id, const QString &password, const Deployment &deployment)
{
    gBaseURL = deployment.secureBase;
    QString answer = exchange(id, password);
    if (isBlankAnswer(answer) && deployment.plainFallback) {
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
