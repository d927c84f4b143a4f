#include "codec/TnvDecode.h"

#include <array>
#include <utility>

using namespace Qt::StringLiterals;

namespace kavri {

QString TnvDecodeAA(const QString &text)
{
    // Order matters: the longer "ccdd!!" before "ccdd!", "!줄바꿈!" before "!줄!".
    // Every replacement is free of token characters, so no later step matches across one.
    static const std::array<std::pair<QString, QString>, 10> steps = {{
        {u"ccdd!!"_s, u"+"_s},
        {u"ccdd!"_s, u"+"_s},
        {QStringView(u"\uD50C\uB78F\uB69C\u314B").toString(), u"+"_s},
        {u"!123!"_s, QStringView(u"\uFF06").toString()},
        {u"ddee!!"_s, u"%"_s},
        {QStringView(u"!\uC904\uBC14\uAFC8!").toString(), u"\r\n"_s},
        {QStringView(u"!\uC904!").toString(), u"\r\n"_s},
        {QStringView(u"!\uD2B9\uBB381!").toString(), QStringView(u"\uFF06").toString()},
        {QStringView(u"!\uD2B9\uBB382!").toString(), u"+"_s},
        {QStringView(u"!\uD2B9\uBB383!").toString(), u"\""_s},
    }};
    QString out = text;
    for (const auto &[token, replacement] : steps)
        out.replace(token, replacement, Qt::CaseSensitive);
    return out;
}

} // namespace kavri
