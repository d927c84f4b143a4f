#include "services/Conversions.h"

#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

namespace kavri {
namespace {

bool isNumberRunChar(QChar c)
{
    return (c >= u'0' && c <= u'9') || c == u'+' || c == u'-' || c == u'.';
}

// Reads a decimal prefix the way a number prefix is read: an optional sign,
// digits, an optional point and more digits. Nothing readable gives 0.
double readDecimalPrefix(const QString &run)
{
    qsizetype i = 0;
    QString number;
    if (i < run.size() && (run.at(i) == u'+' || run.at(i) == u'-'))
        number += run.at(i++);
    bool digits = false;
    while (i < run.size() && run.at(i).isDigit()) {
        number += run.at(i++);
        digits = true;
    }
    if (i < run.size() && run.at(i) == u'.') {
        number += run.at(i++);
        while (i < run.size() && run.at(i).isDigit()) {
            number += run.at(i++);
            digits = true;
        }
    }
    if (!digits)
        return 0.0;
    bool ok = false;
    const double v = number.toDouble(&ok);
    return ok ? v : 0.0;
}

} // namespace

qint64 ToLong(const QString &value)
{
    const QString lower = value.toLower();
    if (lower == u"true"_s)
        return -1;
    if (lower == u"false"_s)
        return 0;
    QString text = value;
    text.remove(u',');
    text = text.trimmed();
    qsizetype end = 0;
    while (end < text.size() && isNumberRunChar(text.at(end)))
        ++end;
    const double v = std::nearbyint(readDecimalPrefix(text.left(end))); // default rounding: half to even
    if (!std::isfinite(v) || v >= 9.2e18 || v <= -9.2e18)
        return 0;
    return static_cast<qint64>(v);
}

bool ToBool(const QString &value)
{
    const QString lower = value.toLower();
    if (lower == u"true"_s || lower == u"yes"_s || lower == u"t"_s || lower == u"y"_s)
        return true;
    return ToLong(value) != 0;
}

bool IsNumber(const QString &value)
{
    if (value.isEmpty())
        return true;
    QString t = value.trimmed();
    t.remove(u',');
    bool hasDigit = false;
    for (QChar c : t) {
        if (c.isDigit())
            hasDigit = true;
        else if (c != u'+' && c != u'-' && c != u'.' && c != u'e' && c != u'E')
            return false;
    }
    if (!hasDigit)
        return false;
    bool ok = false;
    t.toDouble(&ok);
    return ok;
}

QString withoutControls(QStringView text)
{
    return withoutControls(text, {});
}

QString withoutControls(QStringView text, QStringView kept)
{
    QString out = text.toString();
    for (QChar &c : out) {
        if ((c.unicode() < 0x20 || c.unicode() == 0x7F) && !kept.contains(c))
            c = u' ';
    }
    return out;
}

} // namespace kavri
