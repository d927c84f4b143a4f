#include "Answers.h"

using namespace Qt::StringLiterals;

namespace kavri::sim {
namespace {

// Field values must not end their own record early: markup brackets in a value become
// their full-width forms (these only come from the shop set-up or a customer's text).
QString tagSafe(const QString &value)
{
    QString out = value;
    out.replace(u'<', u'＜');
    out.replace(u'>', u'＞');
    return out;
}

QString markerSafe(const QString &value)
{
    QString out = value;
    out.replace(u'[', u'［');
    out.replace(u']', u'］');
    return out;
}

QString tag(const QString &name, const QString &value)
{
    return u'<' + name + u'>' + value + u"</"_s + name + u'>';
}

QString marker(const QString &name, const QString &value)
{
    return name + u'[' + markerSafe(value) + u']' + name;
}

QString page(const QString &body)
{
    return u"<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Kavri</title></head><body>\n"_s +
           body + u"\n</body></html>\n"_s;
}

} // namespace

QString escapeMemoText(const QString &text)
{
    QString out;
    out.reserve(text.size() + 16);
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        switch (c.unicode()) {
        case u'+':
            out += u"ccdd!!"_s;
            break;
        case u'%':
            out += u"ddee!!"_s;
            break;
        case u'&':
            out += u"!123!"_s;
            break;
        case u'"':
            out += u"!특문3!"_s;
            break;
        case u'<':
            out += u'＜';
            break;
        case u'>':
            out += u'＞';
            break;
        case u'\r':
            if (i + 1 < text.size() && text.at(i + 1) == u'\n')
                ++i;
            out += u"!줄바꿈!"_s;
            break;
        case u'\n':
            out += u"!줄바꿈!"_s;
            break;
        default:
            out += c;
        }
    }
    return out;
}

QString loginSuccessAnswer(const Shop &shop)
{
    return page(u"로그인 성공<br>\nstorename["_s + shop.name + u"]storename"_s);
}

QString credentialsRejectedAnswer()
{
    return page(u"아이디 또는 비밀번호가 일치하지 않습니다."_s);
}

QString requestListAnswer(const QList<CustomerRequest> &open)
{
    // The records one after another, as the real service sends them: no list tag
    // around them, so a shop with no open request gets an empty answer.
    QString out;
    for (const CustomerRequest &r : open) {
        out += u"<memochecks>"_s;
        out += tag(u"memonum"_s, QString::number(r.number));
        out += tag(u"memoqr"_s, tagSafe(r.shopId + u'-' + r.table));
        out += tag(u"memotablegroupname"_s, tagSafe(r.group));
        out += tag(u"memotablename"_s, tagSafe(r.table));
        out += tag(u"memoYN"_s, r.done ? u"Y"_s : u"N"_s);
        out += tag(u"memophonet"_s, QString());
        out += tag(u"regdatememo"_s, tagSafe(r.regDate));
        out += tag(u"memotext"_s, escapeMemoText(r.text));
        out += tag(u"ordercount"_s, QString::number(r.count));
        out += tag(u"paytype1"_s, tagSafe(r.payType));
        out += u"</memochecks>\n"_s;
    }
    return out;
}

QString confirmAnswer(ShopState::ConfirmResult result)
{
    switch (result) {
    case ShopState::ConfirmResult::Confirmed:
        return u"성공"_s;
    // Confirming twice (a retry after a lost answer) is not an error for the shop.
    case ShopState::ConfirmResult::AlreadyDone:
        return u"성공 (이미 처리됨)"_s;
    case ShopState::ConfirmResult::Unknown:
        break;
    }
    return u"해당 요청이 없습니다."_s;
}

QString tableListAnswer(const Shop &shop)
{
    QString out;
    for (const Table &t : shop.tables) {
        out += marker(u"nums"_s, QString::number(t.number));
        out += marker(u"tableYN"_s, t.active ? u"Y"_s : u"N"_s);
        out += marker(u"tableqr"_s, shop.id + u'-' + QString::number(t.number));
        out += marker(u"tableqroup"_s, t.group);
        out += marker(u"tablenum"_s, t.name);
        out += u"<br>\n"_s;
    }
    return out;
}

QString serverErrorPage()
{
    return u"<!DOCTYPE html>\n<html><head><title>500 Internal Server Error</title></head><body>\n"
           "<h1>Internal Server Error</h1>\n"
           "<p>The server encountered an internal error and was unable to complete your request.</p>\n"
           "</body></html>\n"_s;
}

} // namespace kavri::sim
