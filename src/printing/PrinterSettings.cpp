#include "printing/PrinterSettings.h"

#include "services/ErrorReport.h"
#include "services/Settings.h"

#include <QRegularExpression>

#include <cmath>
#include <limits>
#include <optional>

using namespace Qt::StringLiterals;

namespace kavri {

PrinterSettings gPrinterSettings;

namespace {

constexpr int kTypeMismatch = 13;
constexpr int kOverflow = 6;

const QString kFooterPrefix = u"!@#$%"_s;
const QString kFooterBreak = u"!CrLf!"_s;

/// A failed conversion: the error number and its text.
struct ConversionError
{
    int number;
    QString description;
};

// The printer keys are converted strictly: a value that is not a number stops the
// load instead of quietly becoming 0. An empty value counts as missing.
std::optional<qint32> strictNumber(const QString &value, ConversionError &error)
{
    static const QRegularExpression number(u"^[+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?$"_s);
    const QString t = value.trimmed();
    if (!number.match(t).hasMatch()) {
        error = {kTypeMismatch, u"형식이 일치하지 않습니다."_s};
        return std::nullopt;
    }
    const double d = t.toDouble();
    const double r = std::nearbyint(d); // the default rounding mode sends halves to the even neighbour
    if (!std::isfinite(r) || r < std::numeric_limits<qint32>::min() ||
        r > std::numeric_limits<qint32>::max()) {
        error = {kOverflow, u"오버플로입니다."_s};
        return std::nullopt;
    }
    return static_cast<qint32>(r);
}

std::optional<bool> strictBool(const QString &value, ConversionError &error)
{
    const QString t = value.trimmed().toLower();
    if (t == u"true"_s)
        return true;
    if (t == u"false"_s)
        return false;
    const std::optional<qint32> n = strictNumber(value, error);
    if (!n)
        return std::nullopt;
    return *n != 0;
}

/// Reads the keys of section "프린터" one after another; the first value that
/// cannot be converted stops every later read.
class KeyReader
{
public:
    bool failed() const { return m_failed.has_value(); }

    QString text(const QString &key, const QString &fallback)
    {
        if (failed())
            return {};
        ++m_step;
        return CfgMain.readValue(kPrinterSection, key, fallback);
    }

    /// Stores the converted value into `field` only when the read succeeded.
    void number(const QString &key, qint32 fallback, qint32 &field)
    {
        const QString v = text(key, QString::number(fallback));
        if (failed())
            return;
        if (v.trimmed().isEmpty()) {
            field = fallback;
            return;
        }
        ConversionError e{};
        if (const std::optional<qint32> n = strictNumber(v, e))
            field = *n;
        else
            fail(key, v, e);
    }

    void flag(const QString &key, bool &field)
    {
        const QString v = text(key, u"False"_s);
        if (failed())
            return;
        if (v.trimmed().isEmpty()) {
            field = false;
            return;
        }
        ConversionError e{};
        if (const std::optional<bool> b = strictBool(v, e))
            field = *b;
        else
            fail(key, v, e);
    }

    Failure failure() const { return m_failed.value_or(Failure{}); }

private:
    void fail(const QString &key, const QString &value, const ConversionError &e)
    {
        m_failed = Failure{m_step, e.number, e.description + u" ("_s + key + u"="_s + value + u")"_s};
    }

    int m_step = 0;
    std::optional<Failure> m_failed;
};

qint32 sizeCodeOrNormal(qint32 code)
{
    return code < 0 || code > 2 ? 0 : code;
}

} // namespace

qint32 speedFromPosition(qint64 position)
{
    if (position < 0 || position >= qint64(kLineSpeeds.size()))
        return kLineSpeeds[0];
    return kLineSpeeds[size_t(position)];
}

QString encodeFooter(const QString &footer)
{
    QString body = footer;
    body.replace(u"\r\n"_s, kFooterBreak);
    return kFooterPrefix + body;
}

QString decodeFooter(const QString &stored)
{
    QString text = stored;
    text.replace(kFooterBreak, u"\r\n"_s);
    if (text.startsWith(kFooterPrefix))
        text.remove(0, kFooterPrefix.size());
    return text;
}

bool IsTableSelected(const QString &selection, const QString &table)
{
    return selection == u"전체"_s || selection.contains(u"-["_s + table + u"]-"_s);
}

bool Load_프린터설정()
{
    PrinterSettings &s = gPrinterSettings;
    KeyReader r;
    for (int n = 0; n < PrinterSettings::SlotCount && !r.failed(); ++n) {
        const QString digit = QString::number(n);
        const QString name = r.text(u"이름"_s + digit, {});
        if (r.failed())
            break;
        s.이름[n] = name;
        r.number(u"포트"_s + digit, 0, s.포트[n]);
        qint32 position = 0;
        r.number(u"통신속도"_s + digit, 0, position);
        if (!r.failed())
            s.통신속도[n] = speedFromPosition(position);
    }

    qint32 copies = s.주문서_출력수;
    r.number(u"주문서_출력수"_s, 1, copies);
    if (!r.failed())
        s.주문서_출력수 = copies < 1 || copies > 3 ? 1 : copies;
    r.flag(u"주문서_꼬리말_출력"_s, s.주문서_꼬리말_출력);
    qint32 code = s.주문서_꼬리말_글자크기;
    r.number(u"주문서_꼬리말_글자크기"_s, 0, code);
    if (!r.failed())
        s.주문서_꼬리말_글자크기 = sizeCodeOrNormal(code);
    const QString footer = r.text(u"주문서_꼬리말"_s, {});
    if (!r.failed())
        s.주문서_꼬리말 = decodeFooter(footer);
    code = s.주문서_주문내역_글자크기;
    r.number(u"주문서_주문내역_글자크기"_s, 0, code);
    if (!r.failed())
        s.주문서_주문내역_글자크기 = sizeCodeOrNormal(code);
    r.flag(u"주문서_메뉴가격표시"_s, s.주문서_메뉴가격표시);
    r.flag(u"주문서_중간커팅금지"_s, s.주문서_중간커팅금지);
    code = s.주문서_주문번호_글자크기;
    r.number(u"주문서_주문번호_글자크기"_s, 0, code);
    if (!r.failed())
        s.주문서_주문번호_글자크기 = sizeCodeOrNormal(code);
    r.flag(u"주문서_낱장출력"_s, s.주문서_낱장출력);

    if (r.failed()) {
        CfgWork.report(errorReport(u"lib_misc"_s, u"Load_프린터설정"_s, r.failure()), 3, 2);
        return false;
    }
    return true;
}

bool Load_선택된테이블설정()
{
    gPrinterSettings.선택된테이블 = CfgMain.readValue(kPrinterSection, u"선택된테이블"_s, u"전체"_s);
    return true;
}

} // namespace kavri
