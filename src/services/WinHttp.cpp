#include "services/WinHttp.h"

#include "services/Conversions.h"
#include "services/ErrorReport.h"
#include "services/EventLog.h"
#include "services/Housekeeping.h"
#include "services/WebService.h"

#include <QCoreApplication>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace kavri {

platform::HttpOptions &winHttpOptions()
{
    static platform::HttpOptions options;
    return options;
}

QString answerForLog(const QString &answer)
{
    return answerForLog(answer, answer.size());
}

QString answerForLog(const QString &head, qsizetype totalChars)
{
    // The answer's own lines stay lines; any other control character it carries (an
    // escape sequence a customer typed) would act on the terminal the log is read in.
    const QString text =
        withoutControls(QStringView(head).left(std::min<qsizetype>(totalChars, kLogAnswerLimit)), u"\r\n\t");
    if (totalChars <= kLogAnswerLimit)
        return text;
    return text + u"... (응답 "_s + QString::number(totalChars) + u"자 중 앞 "_s +
           QString::number(kLogAnswerLimit) + u"자만 기록)"_s;
}

QString GetWinHttp(const QString &address, const QString &body, int *status)
{
    const WinHttpAnswer answer = GetWinHttpAnswer(address, body);
    if (status)
        *status = answer.status;
    // A long body lets the window's events run between its slices, as the exchange did.
    return platform::decodeResponseBody(answer.body, answer.contentType,
                                        [] { QCoreApplication::processEvents(); });
}

WinHttpAnswer GetWinHttpAnswer(const QString &address, const QString &body)
{
    constexpr int maxAttempts = 3;
    const QString shown = address + u'?' + web::maskPassword(body);
    WinHttpAnswer result;
    int attempts = 0;
    while (true) {
        const quint32 t0 = GetTick();
        platform::HttpResult r = platform::postForm(address, body.toUtf8(), winHttpOptions());
        const quint32 elapsed = GetTick() - t0;
        if (r.responded) {
            result = {std::move(r.body), std::move(r.contentType), r.status};
            if (r.status != 200) {
                WriteLog(u"GetWinHttp ... <실패> ("_s + QString::number(r.status) + u"): "_s +
                             QString::number(elapsed) + u"ms 걸림. ("_s + r.statusText + u")"_s + u"\r\n"_s +
                             shown,
                         LogChannel::WinHttp);
            }
            return result;
        }
        reportError(u"lib_misc"_s, u"GetWinHttp"_s,
                    {r.failedStep, r.errorNumber, web::maskPassword(r.errorText)}, LogChannel::WinHttp);
        WriteLog(u"GetWinHttp ... <실패2>: "_s + QString::number(elapsed) + u"ms 걸림. "_s + shown,
                 LogChannel::WinHttp);
        if (++attempts >= maxAttempts)
            return result;
        WriteLog(u"GetWinHttp ... 재시도"_s, LogChannel::WinHttp);
    }
}

} // namespace kavri
