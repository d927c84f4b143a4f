// The INI reader and writer on mutated settings files: never a fault; a value
// written is read back; every other key keeps its value.

#include "FuzzHarness.h"

#include "codec/Cp949.h"
#include "services/IniFile.h"

using namespace Qt::StringLiterals;
using namespace kavri;

int main(int argc, char **argv)
{
    auto cp = [](const QString &s) { return codec::toCp949(s).toStdString(); };
    const std::vector<std::string> seeds = {
        cp(u"; "
           u"shop\r\n[Set]\r\nDisplayPosX=120\r\ncalltime=15초\r\n\r\n[프린터]\r\n이름0=주방\r\nKavriNumT="
           u"1042\r\n"
           u"[SET]\r\nMiniIconX=5\r\n"_s),
        "\xEF\xBB\xBF[Set]\r\nDisplayIDX=2\r\n",
        "[Set]\rDisplayPosY=3\r[Patch]\rVersion=1.0.0.2\r",
        "[Upgrade]\nForceUpgrade=True\n",
        "",
    };
    const std::vector<std::string> tokens = {"[",
                                             "]",
                                             "=",
                                             "\r\n",
                                             "\r",
                                             "\n",
                                             ";",
                                             " ",
                                             "[Set]",
                                             cp(u"[프린터]"_s),
                                             "KavriNumT=",
                                             "DisplayPosX",
                                             "\xEF\xBB\xBF",
                                             "\xA2\xE8",
                                             "\xB0"};
    const QStringList sections = {u"Set"_s, u"프린터"_s, u"Patch"_s, u"Other"_s};
    const QStringList keys = {u"DisplayPosX"_s, u"calltime"_s, u"KavriNumT"_s, u"이름0"_s, u"Version"_s};
    const QStringList values = {u"1"_s,        u"15초"_s,  QString(),     u"a=b"_s,
                                u" padded "_s, u"[Set]"_s, u"-[1층/2]-"_s};

    kavri::fuzz::Driver driver("fuzz_inifile", seeds, tokens);
    return driver.run(argc, argv, 20000, [&](const std::string &input, kavri::fuzz::Random &random) {
        const QByteArray file = QByteArray::fromStdString(input);
        const QString section =
            kavri::fuzz::Driver::pick(std::vector<QString>(sections.begin(), sections.end()), random);
        const QString key = kavri::fuzz::Driver::pick(std::vector<QString>(keys.begin(), keys.end()), random);
        const QString value =
            kavri::fuzz::Driver::pick(std::vector<QString>(values.begin(), values.end()), random);
        const IniEncoding encoding = random() % 4 == 0 ? IniEncoding::Utf8 : IniEncoding::Cp949;

        const QByteArray after = ini::withValue(file, section, key, value, encoding);
        KAVRI_FUZZ_CHECK(ini::valueIn(after, section, key, encoding) == value.trimmed());
        KAVRI_FUZZ_CHECK(ini::valueIn(after, section, key, encoding, true) == value);
        for (const QString &s : sections) {
            for (const QString &k : keys) {
                if (s == section && k == key)
                    continue;
                KAVRI_FUZZ_CHECK(ini::valueIn(after, s, k, encoding) == ini::valueIn(file, s, k, encoding));
            }
        }
    });
}
