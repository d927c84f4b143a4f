#include "CustomerPage.h"

using namespace Qt::StringLiterals;

namespace kavri::sim {
namespace {

QString page(const QString &title, const QString &body)
{
    return u"<!DOCTYPE html>\n<html lang=\"ko\"><head><meta charset=\"utf-8\">\n"
           "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n<title>"_s +
           title.toHtmlEscaped() +
           u"</title>\n<style>body{font-family:sans-serif;margin:1.5em;max-width:30em}"
           "textarea{width:100%;font-size:1.2em}button{font-size:1.2em;padding:.5em 2em;margin-top:.5em;"
           "background:#008dee;color:#fff;border:0;border-radius:.3em}.notice{color:#c00}</style>\n"
           "</head><body>\n"_s +
           body + u"\n</body></html>\n"_s;
}

} // namespace

QString customerFormPage(const QString &shopName, const QString &table, const QString &notice)
{
    QString body =
        u"<h1>"_s + shopName.toHtmlEscaped() + u"</h1>\n<h2>테이블 "_s + table.toHtmlEscaped() + u"</h2>\n"_s;
    if (!notice.isEmpty())
        body += u"<p class=\"notice\">"_s + notice.toHtmlEscaped() + u"</p>\n"_s;
    body += u"<form method=\"post\" accept-charset=\"utf-8\">\n"
            "<label for=\"text\">요청사항</label><br>\n"
            "<textarea id=\"text\" name=\"text\" rows=\"4\" maxlength=\""_s +
            QString::number(maxCustomerTextLength) +
            u"\" placeholder=\"물 좀 더 주세요!\"></textarea><br>\n"
            "<button type=\"submit\">요청 보내기</button>\n</form>"_s;
    return page(shopName, body);
}

QString customerSentPage(const QString &shopName, const QString &table, qint64 number)
{
    return page(shopName, u"<h1>"_s + shopName.toHtmlEscaped() + u"</h1>\n<p>테이블 "_s +
                              table.toHtmlEscaped() + u"의 요청이 전달되었습니다. (요청번호 "_s +
                              QString::number(number) + u")</p>\n<p><a href=\"\">다른 요청 보내기</a></p>"_s);
}

QString customerUnknownPage()
{
    return page(u"Kavri"_s, u"<h1>찾을 수 없는 매장 또는 테이블입니다.</h1>"_s);
}

} // namespace kavri::sim
