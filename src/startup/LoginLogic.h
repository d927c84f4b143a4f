#pragma once

#include "services/Deployment.h"
#include "services/LoginRecord.h"

#include <QString>

// The rules of the login, apart from the window: the exchange with the service
// and the counting of failures (the remembered record is services/LoginRecord).
namespace kavri::login {

/// Eleven rounds of CR CR -> CR then LF LF -> LF.
QString normaliseAnswer(QString answer);

/// True when nothing but spaces remains; line breaks count as content.
bool isBlankAnswer(const QString &answer);

/// One exchange with the current gBaseURL: logs the request (password masked),
/// posts, normalises and logs the answer on "_WinHttp". Returns the normalised answer.
QString exchange(const QString &id, const QString &password);

/// The whole exchange of a login: the secure address first; after a blank
/// answer the plain one, once, unless the deployment turned that off. gBaseURL is
/// left at the address that answered.
QString loginExchange(const QString &id, const QString &password, const Deployment &deployment);

/// The values a successful login establishes: saves the record, takes the shop
/// name (keeping the old one when the answer has none) and sets gLoginID and gLoginPW.
void applySuccess(const QString &answer, bool remember, bool autoLogin, const QString &id,
                  const QString &password);

/// The failures of one showing of the login window, and the rule that at most
/// one login runs at a time.
class LoginAttempts
{
public:
    enum class Verdict { Success, Failure, FinalFailure };
    static constexpr int MaxFailures = 3;

    /// Marks a login as running; false (change nothing) when one already runs.
    bool begin();
    void end() { m_running = false; }
    bool running() const { return m_running; }

    /// Judges an answer; a failure is counted, and the third one is final.
    Verdict judge(const QString &answer);
    int failCount() const { return m_failCount; }

private:
    int m_failCount = 0;
    bool m_running = false;
};

} // namespace kavri::login
