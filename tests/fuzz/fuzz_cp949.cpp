// The CP949 decoder on mutated byte strings: never a fault, never more characters
// than bytes, and a decoding without a replacement mark encodes back to its bytes.

#include "FuzzHarness.h"

#include "codec/Cp949.h"

using namespace Qt::StringLiterals;
using kavri::codec::fromCp949;
using kavri::codec::toCp949;

int main(int argc, char **argv)
{
    const std::vector<std::string> seeds = {
        toCp949(u"2◈1층/2◈2026-12-09 10:15:00◈물 좀 더 주세요!◈카드"_s).toStdString(),
        toCp949(u"로그인 성공 storename[카브리 테스트점]storename"_s).toStdString(),
        toCp949(u"똠양꿍 ＆ 쌀국수\r\n"_s).toStdString(),
        std::string("A\xA2\xE8"
                    "BC"),
    };
    const std::vector<std::string> tokens = {
        "\xA2\xE8", "\x8C\x63", "\xB0\xA1", "\xA2\xC2", "\x80",
        "\xFF",     "\xB0",     "\xC8\x41", "\r\n",     std::string(1, '\0')};
    kavri::fuzz::Driver driver("fuzz_cp949", seeds, tokens);
    return driver.run(argc, argv, 300000, [](const std::string &input, kavri::fuzz::Random &random) {
        const QByteArray bytes = QByteArray::fromStdString(input);
        const QString text = fromCp949(bytes);
        KAVRI_FUZZ_CHECK(text.size() <= bytes.size());
        KAVRI_FUZZ_CHECK(text.size() * 2 >= bytes.size());
        if (!text.contains(QChar::ReplacementCharacter))
            KAVRI_FUZZ_CHECK(toCp949(text) == bytes);
        // What follows a complete input is never eaten by it.
        const QString more = fromCp949(bytes + "\n" + toCp949(u"성공"_s));
        KAVRI_FUZZ_CHECK(more.endsWith(u"\n성공"_s));
        // In pieces of random sizes, the same text.
        kavri::codec::Cp949Decoder decoder;
        QString pieces;
        for (qsizetype at = 0; at < bytes.size();) {
            const qsizetype n = std::uniform_int_distribution<qsizetype>(0, 4)(random);
            pieces += decoder.decode(QByteArrayView(bytes).sliced(at, std::min(n, bytes.size() - at)));
            at += n;
        }
        pieces += decoder.finish();
        KAVRI_FUZZ_CHECK(pieces == text);
    });
}
