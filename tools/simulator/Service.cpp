#include "Service.h"

#include "Answers.h"
#include "CustomerPage.h"

#include <QUrl>

using namespace Qt::StringLiterals;

namespace kavri::sim {
namespace {

HttpResponse notFound()
{
    return htmlResponse(404, u"<!DOCTYPE html>\n<html><head><title>404 Not Found</title></head><body>\n"
                             "<h1>Not Found</h1>\n</body></html>\n"_s);
}

QStringList decodedSegments(const QByteArray &target)
{
    const qsizetype q = target.indexOf('?');
    QStringList segments;
    for (const QByteArray &s : (q < 0 ? target : target.left(q)).split('/')) {
        if (!s.isEmpty())
            segments.append(QUrl::fromPercentEncoding(s));
    }
    return segments;
}

QByteArray escapedForLog(const QByteArray &body)
{
    QByteArray out = body;
    out.replace('\\', "\\\\");
    out.replace('\r', "\\r");
    out.replace('\n', "\\n");
    return out;
}

} // namespace

Reply Service::handle(const HttpRequest &request, Scheme scheme)
{
    if (request.path.startsWith(u"/program/"_s))
        return handleProgram(request, scheme);
    if (request.path.startsWith(u"/qr/"_s))
        return Reply{Reply::Kind::Answer, handleCustomer(request), 0};
    if (request.path.startsWith(u"/cc/"_s) && m_patches.enabled())
        return handlePatch(request);
    if (request.path.startsWith(u"/sim/"_s))
        return Reply{Reply::Kind::Answer, handleSim(request), 0};
    return Reply{Reply::Kind::Answer, notFound(), 0};
}

void Service::record(const HttpRequest &request, Scheme scheme)
{
    if (m_log.size() >= maxLogLines)
        m_log.removeFirst();
    m_log.append((scheme == Scheme::Http ? "http " : "https ") + request.method + ' ' + request.target + ' ' +
                 escapedForLog(request.body));
}

Reply Service::handleProgram(const HttpRequest &request, Scheme scheme)
{
    record(request, scheme);
    const QString numt = request.path == u"/program/qrtablememoOK.php"_s
                             ? parseForm(request.body).value(u"numt"_s)
                             : QString();
    const std::optional<FaultAction> fault = m_faults.take(scheme, numt);
    if (!fault)
        return Reply{Reply::Kind::Answer, programAnswer(request), 0};
    switch (fault->mode) {
    case FaultAction::Mode::Blank:
        return Reply{Reply::Kind::Answer, htmlResponse(200, {}), 0};
    case FaultAction::Mode::Error500:
        return Reply{Reply::Kind::Answer, htmlResponse(500, serverErrorPage()), 0};
    case FaultAction::Mode::Raw:
        return Reply{Reply::Kind::Answer, htmlResponse(200, fault->body), 0};
    case FaultAction::Mode::Drop:
        return Reply{Reply::Kind::Drop, {}, 0};
    case FaultAction::Mode::Hang:
        return Reply{Reply::Kind::Hang, {}, 0};
    case FaultAction::Mode::Slow:
        break;
    }
    // A slow service still does its work; only the answer is late.
    return Reply{Reply::Kind::Answer, programAnswer(request), fault->delayMs};
}

HttpResponse Service::programAnswer(const HttpRequest &request)
{
    const QString endpoint = request.path.mid(QStringLiteral("/program/").size());
    if (endpoint != u"logins.php"_s && endpoint != u"qrtablememolistloading.php"_s &&
        endpoint != u"qrtablememoOK.php"_s && endpoint != u"qrtableloading.php"_s)
        return notFound();

    const QMap<QString, QString> form = parseForm(request.body);
    const Shop *shop = m_state.login(form.value(u"ID"_s), form.value(u"PassWord"_s));
    if (!shop)
        return htmlResponse(200, credentialsRejectedAnswer());

    if (endpoint == u"logins.php"_s)
        return htmlResponse(200, loginSuccessAnswer(*shop));
    if (endpoint == u"qrtablememolistloading.php"_s)
        return htmlResponse(200, requestListAnswer(m_state.openRequests(shop->id)));
    if (endpoint == u"qrtableloading.php"_s)
        return htmlResponse(200, tableListAnswer(*shop));

    const QString numt = form.value(u"numt"_s);
    bool ok = false;
    const qint64 number = numt.toLongLong(&ok);
    const bool digitsOnly = !numt.isEmpty() && std::all_of(numt.begin(), numt.end(),
                                                           [](QChar c) { return c >= u'0' && c <= u'9'; });
    const ShopState::ConfirmResult result =
        ok && digitsOnly ? m_state.confirm(shop->id, number) : ShopState::ConfirmResult::Unknown;
    return htmlResponse(200, confirmAnswer(result));
}

HttpResponse Service::handleCustomer(const HttpRequest &request)
{
    const QStringList segments = decodedSegments(request.target);
    if (segments.size() != 3)
        return htmlResponse(404, customerUnknownPage());
    const Shop *shop = m_state.shop(segments[1]);
    const QString &tableName = segments[2];
    if (!shop || tableName.isEmpty())
        return htmlResponse(404, customerUnknownPage());
    // A shop set up without a table list takes requests from any table.
    if (!shop->tables.isEmpty()) {
        const Table *t = m_state.table(shop->id, tableName);
        if (!t || !t->active)
            return htmlResponse(404, customerUnknownPage());
    }

    if (request.method == "GET")
        return htmlResponse(200, customerFormPage(shop->name, tableName, {}));
    if (request.method != "POST")
        return htmlResponse(405, customerFormPage(shop->name, tableName, u"잘못된 요청입니다."_s));

    const QString text = parseForm(request.body).value(u"text"_s).trimmed();
    if (text.isEmpty())
        return htmlResponse(200, customerFormPage(shop->name, tableName, u"요청사항을 입력해 주세요."_s));
    if (text.size() > maxCustomerTextLength)
        return htmlResponse(200, customerFormPage(shop->name, tableName, u"요청사항이 너무 깁니다."_s));
    CustomerRequest r;
    r.shopId = shop->id;
    r.table = tableName;
    r.text = text;
    const qint64 number = m_state.addRequest(r);
    if (number == 0)
        return htmlResponse(503, customerFormPage(shop->name, tableName, u"잠시 후 다시 보내 주세요."_s));
    return htmlResponse(200, customerSentPage(shop->name, tableName, number));
}

HttpResponse Service::handleSim(const HttpRequest &request)
{
    const QString what = request.path.mid(QStringLiteral("/sim/").size());
    if (what == u"log"_s) {
        if (request.method != "GET")
            return textResponse(405, u"GET만 됩니다."_s);
        QByteArray body;
        for (const QByteArray &line : m_log)
            body += line + '\n';
        return HttpResponse{200, "text/plain; charset=utf-8", body};
    }
    if (what == u"patchfault"_s && request.method == "POST") {
        const QMap<QString, QString> form = parseForm(request.body);
        bool ok = true;
        const qint64 bytes = form.contains(u"bytes"_s) ? form.value(u"bytes"_s).toLongLong(&ok) : 0;
        bool countOk = true;
        const int count = form.contains(u"count"_s) ? form.value(u"count"_s).toInt(&countOk) : 1;
        if (!ok || !countOk)
            return textResponse(400, u"bytes 또는 count를 읽을 수 없습니다."_s);
        const QString error = m_patches.setFault(form.value(u"mode"_s), bytes, count);
        return error.isEmpty() ? textResponse(200, u"OK"_s) : textResponse(400, error);
    }
    if (what == u"patchcount"_s)
        return textResponse(200, QString::number(m_patches.requests()));
    if (what != u"request"_s && what != u"fault"_s && what != u"reset"_s && what != u"clearlog"_s)
        return notFound();
    if (request.method != "POST")
        return textResponse(405, u"POST만 됩니다."_s);

    const QMap<QString, QString> form = parseForm(request.body);
    if (what == u"request"_s)
        return addRequestFromTest(form);
    if (what == u"fault"_s)
        return setFaultFromTest(form);
    if (what == u"reset"_s)
        m_faults.reset();
    else
        m_log.clear();
    return textResponse(200, u"OK"_s);
}

Reply Service::handlePatch(const HttpRequest &request)
{
    if (request.method != "GET")
        return Reply{Reply::Kind::Answer, textResponse(405, u"GET만 됩니다."_s), 0};
    const PatchFiles::Answer a = m_patches.answer(request.path.mid(QStringLiteral("/cc/").size()));
    if (a.stallAfter >= 0)
        return Reply{Reply::Kind::Stall, a.response, 0, a.stallAfter};
    return Reply{Reply::Kind::Answer, a.response, 0};
}

HttpResponse Service::addRequestFromTest(const QMap<QString, QString> &form)
{
    CustomerRequest r;
    r.shopId = form.value(u"shop"_s);
    r.table = form.value(u"table"_s);
    r.text = form.value(u"text"_s);
    r.payType = form.value(u"paytype"_s);
    r.regDate = form.value(u"regdate"_s);
    r.group = form.value(u"group"_s);
    if (!m_state.shop(r.shopId))
        return textResponse(400, u"알 수 없는 매장입니다: "_s + r.shopId);
    if (r.table.isEmpty())
        return textResponse(400, u"table이 비어 있습니다."_s);
    if (r.text.size() > maxSimTextLength || r.table.size() > 100 || r.payType.size() > 20 ||
        r.group.size() > 100)
        return textResponse(400, u"값이 너무 깁니다."_s);
    if (!r.regDate.isEmpty() && !ShopState::isValidRegDate(r.regDate))
        return textResponse(400, u"regdate는 yyyy-MM-dd hh:mm:ss 형식이어야 합니다."_s);
    if (form.contains(u"count"_s)) {
        bool ok = false;
        r.count = form.value(u"count"_s).toInt(&ok);
        if (!ok || r.count < 0 || r.count > 9999)
            return textResponse(400, u"count는 0에서 9999 사이의 정수여야 합니다."_s);
    }
    const qint64 number = m_state.addRequest(r);
    if (number == 0)
        return textResponse(503, u"요청이 너무 많습니다."_s);
    return textResponse(200, QString::number(number));
}

HttpResponse Service::setFaultFromTest(const QMap<QString, QString> &form)
{
    bool ok = true;
    int count = 1;
    if (form.contains(u"count"_s))
        count = form.value(u"count"_s).toInt(&ok);
    if (!ok)
        return textResponse(400, u"count를 읽을 수 없습니다."_s);
    int delayMs = -1;
    if (form.contains(u"delay_ms"_s)) {
        delayMs = form.value(u"delay_ms"_s).toInt(&ok);
        if (!ok || delayMs < 0)
            return textResponse(400, u"delay_ms를 읽을 수 없습니다."_s);
    }
    const QString error = m_faults.set(form.value(u"mode"_s), count, form.value(u"scheme"_s), delayMs,
                                       form.value(u"body"_s), form.value(u"numt"_s));
    if (!error.isEmpty())
        return textResponse(400, error);
    return textResponse(200, u"OK"_s);
}

} // namespace kavri::sim
