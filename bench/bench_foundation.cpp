// Prints how long the shared services take per call: the codepage conversion,
// the escape codec, the INI reader and writer, and one log record.
#include "codec/Cp949.h"
#include "codec/TnvDecode.h"
#include "services/AppFolder.h"
#include "services/EventLog.h"
#include "services/IniFile.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <cstdio>
#include <functional>

using namespace Qt::StringLiterals;

namespace {

void measure(const char *what, int rounds, const std::function<void()> &body)
{
    QElapsedTimer t;
    t.start();
    for (int i = 0; i < rounds; ++i)
        body();
    const double us = static_cast<double>(t.nsecsElapsed()) / 1000.0 / rounds;
    std::printf("%-40s %10.2f us/call  (%d calls)\n", what, us, rounds);
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    kavri::setAppFolder(dir.path());

    QString ticketText;
    for (int i = 0; i < 20; ++i)
        ticketText += u"물 좀 더 주세요! 테이블 A3 ccdd!! 얼음!줄바꿈!"_s;
    const QByteArray bytes = kavri::codec::toCp949(ticketText);

    measure("toCp949 (600 chars)", 2000, [&] { (void)kavri::codec::toCp949(ticketText); });
    measure("fromCp949 (600 chars)", 2000, [&] { (void)kavri::codec::fromCp949(bytes); });
    measure("TnvDecodeAA (600 chars)", 20000, [&] { (void)kavri::TnvDecodeAA(ticketText); });

    const QString cfg = dir.filePath(u"Zarazo.cfg"_s);
    for (int i = 0; i < 40; ++i)
        kavri::ini::write(cfg, u"프린터"_s, u"key"_s + QString::number(i), u"값"_s + QString::number(i));
    measure("ini::read (40 keys)", 2000, [&] { (void)kavri::ini::read(cfg, u"프린터"_s, u"key39"_s); });
    measure("ini::write (40 keys, atomic)", 200,
            [&] { kavri::ini::write(cfg, u"프린터"_s, u"KavriNumT"_s, u"1042"_s); });
    measure("WriteLog (one record)", 2000, [&] { kavri::WriteLog(u"GetWinHttp ... 재시도"_s); });
    return 0;
}
