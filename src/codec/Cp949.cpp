#include "codec/Cp949.h"

#include <iconv.h>

#include <cerrno>
#include <vector>

// glibc's iconv holds the full Microsoft CP949 (UHC) table, not only EUC-KR:
// the 8822 extra Hangul syllables such as "똠" (8C 63) are there.

namespace kavri::codec {
namespace {

class Iconv
{
public:
    Iconv(const char *to, const char *from) : m_cd(iconv_open(to, from)) {}
    ~Iconv()
    {
        if (valid())
            iconv_close(m_cd);
    }
    Iconv(const Iconv &) = delete;
    Iconv &operator=(const Iconv &) = delete;
    bool valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }
    iconv_t handle() const { return m_cd; }
    void reset() const { iconv(m_cd, nullptr, nullptr, nullptr, nullptr); }

private:
    iconv_t m_cd;
};

// One converter per direction for the life of the process; the program has one thread.
const Iconv &encoder()
{
    static const Iconv cd("CP949", "UTF-32LE");
    return cd;
}

const Iconv &decoder()
{
    static const Iconv cd("UTF-32LE", "CP949");
    return cd;
}

// Converts one code point; returns false when CP949 has no form for it.
bool encodeOne(char32_t cp, QByteArray &out)
{
    if (cp < 0x80) {
        out.append(static_cast<char>(cp));
        return true;
    }
    const Iconv &cd = encoder();
    if (!cd.valid())
        return false;
    cd.reset();
    char in[4] = {static_cast<char>(cp & 0xFF), static_cast<char>((cp >> 8) & 0xFF),
                  static_cast<char>((cp >> 16) & 0xFF), static_cast<char>((cp >> 24) & 0xFF)};
    char buf[8];
    char *inPtr = in;
    size_t inLeft = sizeof in;
    char *outPtr = buf;
    size_t outLeft = sizeof buf;
    if (iconv(cd.handle(), &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1))
        return false;
    out.append(buf, static_cast<qsizetype>(outPtr - buf));
    return true;
}

} // namespace

QByteArray toCp949(const QString &text)
{
    const QString nfc = text.normalized(QString::NormalizationForm_C);
    QByteArray out;
    out.reserve(nfc.size() * 2);
    const QList<uint> ucs4 = nfc.toUcs4();
    for (char32_t cp : ucs4) {
        if (!encodeOne(cp, out))
            out.append('?');
    }
    return out;
}

QString fromCp949(const QByteArray &bytes)
{
    const Iconv &cd = decoder();
    QString out;
    if (!cd.valid())
        return QString::fromLatin1(bytes);
    cd.reset();
    std::vector<char32_t> buf(static_cast<size_t>(bytes.size()) + 1);
    char *inPtr = const_cast<char *>(bytes.constData());
    size_t inLeft = static_cast<size_t>(bytes.size());
    while (inLeft > 0) {
        char *outPtr = reinterpret_cast<char *>(buf.data());
        size_t outLeft = buf.size() * sizeof(char32_t);
        const size_t rc = iconv(cd.handle(), &inPtr, &inLeft, &outPtr, &outLeft);
        const auto produced = static_cast<qsizetype>((outPtr - reinterpret_cast<char *>(buf.data())) / 4);
        out += QString::fromUcs4(buf.data(), produced);
        if (rc == static_cast<size_t>(-1)) {
            if (errno == E2BIG)
                continue;
            // Invalid or truncated sequence: mark it and step over one byte.
            out += QChar(QChar::ReplacementCharacter);
            ++inPtr;
            --inLeft;
            cd.reset();
        }
    }
    return out;
}

qsizetype cp949Length(const QString &text)
{
    return toCp949(text).size();
}

} // namespace kavri::codec
