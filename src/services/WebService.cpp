#include "services/WebService.h"

#include "services/Conversions.h"
#include "services/ProcessValues.h"

#include <QUrl>

using namespace Qt::StringLiterals;

namespace kavri::web {

QString formValue(const QString &value)
{
    QByteArray encoded = QUrl::toPercentEncoding(value);
    encoded.replace("%20", "+");
    return QString::fromLatin1(encoded);
}

QString endpoint(const QString &path)
{
    return gBaseURL + path;
}

QString credentialsBody(const QString &id, const QString &password)
{
    return u"ID="_s + formValue(id) + u"&"_s + PasswordKey + u"="_s + formValue(password);
}

QString loginBody(const QString &id, const QString &password)
{
    return credentialsBody(id, password);
}

QString requestListBody(const QString &id, const QString &password)
{
    return credentialsBody(id, password) + u"&checked=Y"_s;
}

QString confirmBody(const QString &id, const QString &password, const QString &requestNumber)
{
    return credentialsBody(id, password) + u"&numt="_s + formValue(requestNumber);
}

QString tableListBody(const QString &id, const QString &password)
{
    return credentialsBody(id, password);
}

QString maskPassword(const QString &text)
{
    // A field starts the body, follows "?" (address + "?" + body) or follows "&".
    const QString key = PasswordKey + u'=';
    QString out;
    out.reserve(text.size());
    qsizetype from = 0;
    while (from <= text.size()) {
        qsizetype at = text.indexOf(key, from);
        while (at > 0 && text.at(at - 1) != u'&' && text.at(at - 1) != u'?')
            at = text.indexOf(key, at + 1);
        if (at < 0) {
            out += QStringView(text).mid(from);
            break;
        }
        const qsizetype valueStart = at + key.size();
        qsizetype valueEnd = text.indexOf(u'&', valueStart);
        if (valueEnd < 0)
            valueEnd = text.size();
        out += QStringView(text).mid(from, valueStart - from);
        out += u"****"_s;
        from = valueEnd;
        if (from == text.size())
            break;
    }
    return out;
}

} // namespace kavri::web
