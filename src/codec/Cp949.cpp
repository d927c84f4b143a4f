#include "codec/Cp949.h"

#include <QTextBoundaryFinder>

#include <iconv.h>

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

// One encoder for the life of the process; the program has one thread.
const Iconv &encoder()
{
    static const Iconv cd("CP949", "UTF-32LE");
    return cd;
}

constexpr unsigned char kFirstLead = 0x81;
constexpr unsigned char kLastLead = 0xFE;
constexpr unsigned char kFirstTrail = 0x41;
constexpr unsigned char kLastTrail = 0xFE;

// Every two-byte character of the code page, asked of the converter once, pair by
// pair. Decoding then never hands the converter a stream, whose handling of bad
// sequences differs between versions (glibc consumes A2 E8 and then calls it invalid).
class DecodeTable
{
public:
    DecodeTable()
    {
        const Iconv cd("UTF-32LE", "CP949");
        if (!cd.valid())
            return;
        for (int lead = kFirstLead; lead <= kLastLead; ++lead) {
            for (int trail = kFirstTrail; trail <= kLastTrail; ++trail) {
                cd.reset();
                char in[2] = {static_cast<char>(lead), static_cast<char>(trail)};
                char32_t cp = 0;
                char *inPtr = in;
                size_t inLeft = sizeof in;
                char *outPtr = reinterpret_cast<char *>(&cp);
                size_t outLeft = sizeof cp;
                const size_t rc = iconv(cd.handle(), &inPtr, &inLeft, &outPtr, &outLeft);
                // Exactly the two bytes into exactly one character of the basic plane.
                if (rc != static_cast<size_t>(-1) && inLeft == 0 && outLeft == 0 && cp >= 0x80 &&
                    cp < 0x10000 && !(cp >= 0xD800 && cp < 0xE000))
                    m_chars[index(lead, trail)] = static_cast<char16_t>(cp);
            }
        }
    }
    /// The character of the pair, 0 when the pair holds none.
    char16_t at(unsigned char lead, unsigned char trail) const
    {
        if (trail < kFirstTrail || trail > kLastTrail)
            return 0;
        return m_chars[index(lead, trail)];
    }

private:
    static size_t index(int lead, int trail)
    {
        return static_cast<size_t>(lead - kFirstLead) * (kLastTrail - kFirstTrail + 1) +
               (trail - kFirstTrail);
    }
    std::vector<char16_t> m_chars = std::vector<char16_t>(static_cast<size_t>(kLastLead - kFirstLead + 1) *
                                                          (kLastTrail - kFirstTrail + 1));
};

const DecodeTable &decodeTable()
{
    static const DecodeTable table;
    return table;
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

// Appends the code points of `text`; false when one of them has no CP949 form
// (it is then written as "?").
bool encodeAll(const QString &text, QByteArray &out)
{
    bool all = true;
    const QList<uint> ucs4 = text.toUcs4();
    for (char32_t cp : ucs4) {
        if (!encodeOne(cp, out)) {
            out.append('?');
            all = false;
        }
    }
    return all;
}

// Appends `text` (a piece that starts and ends at character boundaries) character by character.
void encodeClusters(const QString &text, QByteArray &out)
{
    // Character by character (grapheme cluster): as it stands when CP949 holds it,
    // else in its composed form. Composing everything first would lose signs that
    // CP949 holds but whose composed form it lacks (the angstrom sign A1 CA would become Å).
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    qsizetype start = 0;
    while (start < text.size()) {
        qsizetype end = finder.toNextBoundary();
        if (end <= start)
            end = text.size();
        const QChar first = text.at(start);
        if (end == start + 1 && first.unicode() < 0x80) {
            out.append(static_cast<char>(first.unicode()));
        } else {
            const QString cluster = text.mid(start, end - start);
            const qsizetype mark = out.size();
            if (!encodeAll(cluster, out)) {
                out.truncate(mark);
                encodeAll(cluster.normalized(QString::NormalizationForm_C), out);
            }
        }
        start = end;
    }
}

bool isAscii(QChar c)
{
    return c.unicode() < 0x80;
}

// Characters that are a grapheme cluster of their own beside one another and
// beside ASCII: precomposed Hangul syllables (they join only conjoining jamo),
// Hangul compatibility jamo, CJK ideographs and fullwidth forms. Nearly every
// non-ASCII character a shop's text holds is one of them.
bool standsAlone(char16_t c)
{
    return (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0x3131 && c <= 0x318E) || (c >= 0x4E00 && c <= 0x9FFF) ||
           (c >= 0xFF01 && c <= 0xFF5E);
}

// The code page's two bytes of a character that stands alone, asked of the converter
// once per character and then kept: the same bytes as the converter's, without its cost.
class EncodeCache
{
public:
    /// Appends the character's bytes, or "?" when the code page has none.
    void append(char16_t c, QByteArray &out)
    {
        if (m_codes.empty())
            m_codes.assign(0x10000, kUnknown);
        quint16 &code = m_codes[c];
        if (code == kUnknown) {
            QByteArray bytes;
            code = encodeOne(c, bytes) && bytes.size() == 2
                       ? quint16((quint8(bytes.at(0)) << 8) | quint8(bytes.at(1)))
                       : kNone;
        }
        if (code == kNone) {
            out.append('?');
        } else {
            out.append(char(code >> 8));
            out.append(char(code & 0xFF));
        }
    }

private:
    // No two-byte code of the code page is 0x0000 or 0xFFFF.
    static constexpr quint16 kUnknown = 0xFFFF;
    static constexpr quint16 kNone = 0x0000;
    std::vector<quint16> m_codes;
};

EncodeCache &encodeCache()
{
    static EncodeCache cache;
    return cache;
}

// Appends text[from, to) (a piece that starts and ends at character boundaries):
// characters that stand alone between neighbours that do too go straight through
// the cache, the rest cluster by cluster.
void encodePiece(const QString &text, qsizetype from, qsizetype to, QByteArray &out)
{
    const qsizetype n = text.size();
    auto neighbourOk = [&text, n](qsizetype at) {
        return at < 0 || at >= n || isAscii(text.at(at)) || standsAlone(text.at(at).unicode());
    };
    auto fast = [&](qsizetype at) {
        return standsAlone(text.at(at).unicode()) && neighbourOk(at - 1) && neighbourOk(at + 1);
    };
    qsizetype k = from;
    while (k < to) {
        if (fast(k)) {
            encodeCache().append(text.at(k).unicode(), out);
            ++k;
            continue;
        }
        qsizetype j = k + 1;
        while (j < to && !fast(j))
            ++j;
        encodeClusters(text.sliced(k, j - k), out);
        k = j;
    }
}

} // namespace

QByteArray toCp949(const QString &text)
{
    QByteArray out;
    out.reserve(text.size() * 2);
    // Two ASCII characters in a row always have a character boundary between them (a
    // CR LF pair is written the same either way), so runs of ASCII are copied as they
    // are and only the stretches around other characters go through the boundary finder:
    // a megabyte of mostly ASCII is then converted in a few milliseconds.
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n) {
        qsizetype start = i;
        if (isAscii(text.at(i))) {
            qsizetype j = i;
            while (j < n && isAscii(text.at(j)))
                ++j;
            if (j == n) {
                out.append(text.sliced(i).toLatin1());
                break;
            }
            // The last ASCII character may take the marks that follow it.
            out.append(text.sliced(i, j - 1 - i).toLatin1());
            start = j - 1;
        }
        qsizetype end = start + 1;
        while (end < n && !(isAscii(text.at(end - 1)) && isAscii(text.at(end))))
            ++end;
        encodePiece(text, start, end, out);
        i = end;
    }
    return out;
}

QString Cp949Decoder::decode(QByteArrayView bytes)
{
    const DecodeTable &table = decodeTable();
    QString out;
    out.reserve(bytes.size() + 1);
    const auto *p = reinterpret_cast<const unsigned char *>(bytes.data());
    const qsizetype n = bytes.size();
    qsizetype i = 0;
    // A lead byte the previous piece ended with pairs with this piece's first byte.
    auto pair = [&](unsigned char lead, unsigned char trail) {
        const char16_t ch = table.at(lead, trail);
        if (ch != 0) {
            out += QChar(ch);
            return qsizetype(2);
        }
        // One mark for the bad pair; an ASCII second byte is kept, as it may be a
        // line break or the start of the next word.
        out += QChar(QChar::ReplacementCharacter);
        return trail < 0x80 ? qsizetype(1) : qsizetype(2);
    };
    if (m_lead >= 0 && n > 0) {
        i = pair(static_cast<unsigned char>(m_lead), p[0]) - 1;
        m_lead = -1;
    }
    while (i < n) {
        const unsigned char lead = p[i];
        if (lead < 0x80) {
            out += QChar(char16_t(lead));
            ++i;
            continue;
        }
        if (lead < kFirstLead || lead > kLastLead) {
            out += QChar(QChar::ReplacementCharacter);
            ++i;
            continue;
        }
        if (i + 1 == n) {
            m_lead = lead;
            break;
        }
        i += pair(lead, p[i + 1]);
    }
    return out;
}

QString Cp949Decoder::finish()
{
    // A lead byte cut off by the end of the input.
    const bool cut = m_lead >= 0;
    m_lead = -1;
    return cut ? QString(QChar(QChar::ReplacementCharacter)) : QString();
}

QString fromCp949(const QByteArray &bytes)
{
    Cp949Decoder decoder;
    QString out = decoder.decode(bytes);
    out += decoder.finish();
    return out;
}

qsizetype cp949Length(const QString &text)
{
    return toCp949(text).size();
}

} // namespace kavri::codec
