#include "services/AppFolder.h"
#include "services/Deployment.h"
#include "services/DeploymentPorts.h"
#include "services/PortTarget.h"
#include "support/FileBytes.h"
#include "support/TempAppFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTest>

#include <sys/stat.h>

using namespace Qt::StringLiterals;
using namespace kavri;

namespace {

using Lines = QMap<int, QString>;

QByteArray dataFile(const QString &name)
{
    return test::readBytes(QStringLiteral(KAVRI_SOURCE_DIR) + u"/tests/services/data/"_s + name);
}

} // namespace

class TstDeploymentPorts : public QObject
{
    Q_OBJECT

private slots:
    // The vendor's file keeps its mark, comments, other sections, spacing and line ends.
    void goldenFile()
    {
        const Lines lines{{1, u"/dev/serial/by-id/usb-Printer-if00"_s}, {4, u"tcp://[fe80::1]:9101"_s}};
        QCOMPARE(test::hex(kavri::withPortLines(dataFile(u"deploy-before.ini"_s), lines)),
                 test::hex(dataFile(u"deploy-after.ini"_s)));

        test::TempAppFolder app;
        const QString path = app.filePath(u"Deploy.ini"_s);
        QVERIFY(test::writeBytes(path, dataFile(u"deploy-before.ini"_s)));
        const PortsWrite w = writePortLines(path, lines);
        QVERIFY2(w.written, qPrintable(w.failure));
        QCOMPARE(test::hex(test::readBytes(path)), test::hex(dataFile(u"deploy-after.ini"_s)));
    }

    void withPortLines_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<Lines>("lines");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("new file: just [Ports]")
            << QByteArray() << Lines{{2, u"/dev/ttyUSB0"_s}} << QByteArray("[Ports]\nCOM2=/dev/ttyUSB0\n");
        QTest::newRow("no [Ports] yet: appended, the rest untouched")
            << QByteArray("[Service]\nPlainFallback=0") << Lines{{1, u"/dev/usb/lp0"_s}}
            << QByteArray("[Service]\nPlainFallback=0\n[Ports]\nCOM1=/dev/usb/lp0\n");
        QTest::newRow("[Ports] before another section")
            << QByteArray("[Ports]\nCOM1=/dev/ttyS0\n\n[Patch]\nServer=x\n")
            << Lines{{1, u"/dev/ttyACM0"_s}, {3, u"tcp://10.0.0.9"_s}}
            << QByteArray("[Ports]\nCOM1=/dev/ttyACM0\nCOM3=tcp://10.0.0.9\n\n[Patch]\nServer=x\n");
        QTest::newRow("Locked and other keys stay")
            << QByteArray("[Ports]\r\nLocked=0\r\nCOM12=/dev/x\r\n") << Lines{{2, u"/dev/y"_s}}
            << QByteArray("[Ports]\r\nLocked=0\r\nCOM12=/dev/x\r\nCOM2=/dev/y\r\n");
        QTest::newRow("UTF-8 comments")
            << QByteArray("[Ports]\n; 카운터 프린터\nCOM1=/dev/a\n") << Lines{{1, u"/dev/b"_s}}
            << QByteArray("[Ports]\n; 카운터 프린터\nCOM1=/dev/b\n");
    }
    void withPortLines()
    {
        QFETCH(QByteArray, before);
        QFETCH(Lines, lines);
        QFETCH(QByteArray, after);
        QCOMPARE(kavri::withPortLines(before, lines), after);
    }

    // What the window writes is what the output reads at its next ticket.
    void writtenLinesAreWhatTheDeploymentReads()
    {
        test::TempAppFolder app;
        const QString path = appFilePath(u"Deploy.ini"_s);
        QVERIFY(!QFile::exists(path));
        const Lines lines{{1, u"/dev/usb/lp0"_s}, {2, u"tcp://printer.local"_s}, {3, u"tcp://[::1]:9200"_s}};
        const PortsWrite w = writePortLines(path, lines);
        QVERIFY2(w.written, qPrintable(w.failure));
        QCOMPARE(test::readBytes(path),
                 QByteArray("[Ports]\nCOM1=/dev/usb/lp0\nCOM2=tcp://printer.local\nCOM3=tcp://[::1]:9200\n"));
        // A new file is the shop user's, readable by others as Deploy.ini always is.
        struct stat st
        {
        };
        QCOMPARE(::stat(QFile::encodeName(path).constData(), &st), 0);
        QCOMPARE(st.st_mode & 07777, mode_t(0644));
        const Deployment d = loadDeployment();
        for (auto it = lines.cbegin(); it != lines.cend(); ++it)
            QCOMPARE(d.target(it.key()), portTarget(it.value()));
        QCOMPARE(d.target(4), portTarget(u"/dev/ttyS3"_s));
    }

    void nothingToWriteTouchesNothing()
    {
        test::TempAppFolder app;
        const QString path = app.filePath(u"Deploy.ini"_s);
        QVERIFY(writePortLines(path, {}).written);
        QVERIFY(!QFile::exists(path));
    }

    // Not through a link, not into a folder, a FIFO or an oversized file: refused, each with its reason.
    void refusesWhatIsNoPlainFile_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("failure");
        QTest::newRow("link") << u"link"_s
                              << u"Deploy.ini가 다른 파일을 가리키는 링크여서 쓰지 않았습니다: "_s;
        QTest::newRow("dangling link")
            << u"dangling"_s << u"Deploy.ini가 다른 파일을 가리키는 링크여서 쓰지 않았습니다: "_s;
        QTest::newRow("folder") << u"folder"_s << u"Deploy.ini가 일반 파일이 아니어서 쓰지 않았습니다: "_s;
        QTest::newRow("fifo") << u"fifo"_s << u"Deploy.ini가 일반 파일이 아니어서 쓰지 않았습니다: "_s;
        QTest::newRow("too big to be ours") << u"big"_s << u"Deploy.ini를 읽을 수 없어 쓰지 않았습니다: "_s;
    }
    void refusesWhatIsNoPlainFile()
    {
        QFETCH(QString, kind);
        QFETCH(QString, failure);
        test::TempAppFolder app;
        const QString path = app.filePath(u"Deploy.ini"_s);
        const QString elsewhere = app.filePath(u"elsewhere.ini"_s);
        const QByteArray original("[Ports]\nCOM1=/dev/ttyS0\n");
        if (kind == u"link"_s) {
            QVERIFY(test::writeBytes(elsewhere, original));
            QVERIFY(QFile::link(elsewhere, path));
        } else if (kind == u"dangling"_s) {
            QVERIFY(QFile::link(elsewhere, path));
        } else if (kind == u"folder"_s) {
            QVERIFY(QDir().mkdir(path));
        } else if (kind == u"fifo"_s) {
            QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0644), 0);
        } else {
            QVERIFY(test::writeBytes(path, original + QByteArray(1024 * 1024, ';')));
        }
        const PortsWrite w = writePortLines(path, {{1, u"/dev/ttyUSB0"_s}});
        QVERIFY(!w.written);
        QCOMPARE(w.failure, failure + path);
        if (kind == u"link"_s) {
            QVERIFY(QFileInfo(path).isSymLink());
            QCOMPARE(test::readBytes(elsewhere), original);
        }
        if (kind == u"dangling"_s)
            QVERIFY(!QFile::exists(elsewhere));
        if (kind == u"big"_s)
            QVERIFY(test::readBytes(path).startsWith(original));
    }

    void lockedPorts_data()
    {
        QTest::addColumn<QByteArray>("contents");
        QTest::addColumn<bool>("locked");
        QTest::newRow("Locked=1") << QByteArray("[Ports]\nLocked=1\n") << true;
        QTest::newRow("any case, True") << QByteArray("[PORTS]\nlocked = True\n") << true;
        QTest::newRow("Locked=0") << QByteArray("[Ports]\nLocked=0\n") << false;
        QTest::newRow("empty") << QByteArray("[Ports]\nLocked=\n") << false;
        QTest::newRow("missing") << QByteArray("[Ports]\nCOM1=/dev/ttyS0\n") << false;
        QTest::newRow("in another section") << QByteArray("[Service]\nLocked=1\n") << false;
    }
    void lockedPorts()
    {
        QFETCH(QByteArray, contents);
        QFETCH(bool, locked);
        test::TempAppFolder app;
        QVERIFY(test::writeBytes(appFilePath(u"Deploy.ini"_s), contents));
        QCOMPARE(loadDeployment().portsLocked, locked);
    }
};

QTEST_GUILESS_MAIN(TstDeploymentPorts)
#include "tst_deploymentports.moc"
