// The real program stopped while a ticket goes out to a pty printer: killed (SIGKILL, no
// chance to finish) or told to stop (SIGTERM, SIGINT, SIGHUP), then started again until it
// has printed what it owes. Every ticket comes out once, or once plus once marked
// "[재출력]"; never twice unmarked and never lost. A stop signal ends it cleanly.
#include "codec/Cp949.h"
#include "printing/PrinterCommands.h"
#include "printing/TicketOutput.h"
#include "services/ProcessValues.h"
#include "support/FileBytes.h"
#include "support/PtyPair.h"
#include "support/Simulator.h"

#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QHash>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <memory>

using namespace Qt::StringLiterals;
using namespace kavri;

namespace {

const QString kSlot = u"카운터"_s;
const QString kProgram = QString::fromUtf8(KAVRI_DISPLAY_PATH);

/// A kept ticket as the program composes them: a header, then its body line.
QString keptTicket(const QString &body)
{
    return gPrnInit + u"< Kavri >"_s + gCrLf + gCrLf + body + gCrLf + gPrnCut;
}

} // namespace

class TstStopWhilePrinting : public QObject
{
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<test::Simulator> m_sim;
    std::unique_ptr<test::PtyPair> m_pty;
    int m_runs = 0;

    QString appDir() const { return m_dir->path() + u"/app"_s; }
    QString appFile(const QString &name) const { return appDir() + u'/' + name; }

    QProcessEnvironment environment() const
    {
        QProcessEnvironment env;
        env.insert(u"PATH"_s, u"/usr/bin:/bin"_s);
        env.insert(u"HOME"_s, m_dir->path() + u"/home"_s);
        env.insert(u"LANG"_s, u"C.UTF-8"_s);
        env.insert(u"KAVRI_APP_DIR"_s, appDir());
        env.insert(u"XDG_CONFIG_HOME"_s, m_dir->path() + u"/config"_s);
        env.insert(u"QT_QPA_PLATFORM"_s, u"offscreen"_s);
        return env;
    }

    /// The application folder of a shop whose board logs in by itself to the simulator
    /// and prints on one slot, the pty.
    void prepareFolder()
    {
        QVERIFY(QDir().mkpath(appDir()));
        QVERIFY(QDir().mkpath(m_dir->path() + u"/home"_s));
        QVERIFY(QDir().mkpath(m_dir->path() + u"/config/kavri-display"_s));
        const QString base = m_sim->httpBase();
        QVERIFY(test::writeBytes(appFile(u"Deploy.ini"_s),
                                 (u"[Service]\nSecureBase="_s + base + u"\nPlainBase="_s + base +
                                  u"\n[Ports]\nCOM3="_s + m_pty->printerPath() + u"\n"_s)
                                     .toUtf8()));
        QVERIFY(test::writeBytes(appFile(u"Zarazo.cfg"_s),
                                 codec::toCp949(u"[Set]\r\ncalltime=10\r\n[프린터]\r\n이름0="_s + kSlot +
                                                u"\r\n포트0=3\r\n통신속도0=4\r\n선택된테이블=전체\r\n"_s)));
        QVERIFY(test::writeBytes(m_dir->path() + u"/config/kavri-display/fsVadn.ini"_s,
                                 (u"[Login]\nA=True"_s + gSep + u"True"_s + gSep + test::Simulator::shopId +
                                  gSep + test::Simulator::shopPassword + u"\n"_s)
                                     .toUtf8()));
    }

    std::unique_ptr<QProcess> start()
    {
        auto p = std::make_unique<QProcess>();
        p->setProcessEnvironment(environment());
        const QString out = m_dir->path() + u"/run"_s + QString::number(++m_runs);
        p->setStandardOutputFile(out + u".out"_s);
        p->setStandardErrorFile(out + u".err"_s);
        p->start(kProgram, {});
        if (!p->waitForStarted(10000))
            qWarning("the program did not start");
        return p;
    }

    QString keptNumber() const
    {
        const QString cfg = codec::fromCp949(test::readBytes(appFile(u"Zarazo.cfg"_s)));
        static const QRegularExpression key(u"KavriNumT=(\\d*)"_s);
        return key.match(cfg).captured(1);
    }

    QString mainLog() const
    {
        QString log;
        for (const QString &name : QDir(appDir()).entryList({u"??????.log"_s}, QDir::Files))
            log += codec::fromCp949(test::readBytes(appFile(name)));
        return log;
    }

    bool keptListEmpty() const
    {
        const QJsonDocument list = QJsonDocument::fromJson(test::readBytes(appFile(u"unprinted.json"_s)));
        return list.isArray() && list.array().isEmpty();
    }

private slots:
    void init()
    {
        if (!test::PtyPair::socatAvailable())
            QSKIP("socat is not installed; the serial printer tests need it");
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_sim = std::make_unique<test::Simulator>();
        QVERIFY2(m_sim->isRunning(), qPrintable(m_sim->errorString()));
        m_pty = std::make_unique<test::PtyPair>();
        QVERIFY2(m_pty->isValid(), qPrintable(m_pty->error()));
        m_runs = 0;
    }
    void cleanup()
    {
        m_pty.reset();
        m_sim.reset();
        m_dir.reset();
    }

    void stoppedWhileATicketGoesOut_data()
    {
        QTest::addColumn<int>("signalNumber");
        QTest::addColumn<bool>("kept"); // kept tickets sent again, or new requests
        QTest::newRow("SIGKILL, kept tickets") << int(SIGKILL) << true;
        QTest::newRow("SIGKILL, new requests") << int(SIGKILL) << false;
        QTest::newRow("SIGTERM, kept tickets") << int(SIGTERM) << true;
        QTest::newRow("SIGTERM, new requests") << int(SIGTERM) << false;
        QTest::newRow("SIGINT, new requests") << int(SIGINT) << false;
        QTest::newRow("SIGHUP, new requests") << int(SIGHUP) << false;
    }
    void stoppedWhileATicketGoesOut()
    {
        QFETCH(int, signalNumber);
        QFETCH(bool, kept);
        prepareFolder();
        QStringList owed; // what identifies each ticket in the printed text
        QString lastNumber;
        if (kept) {
            QJsonArray list;
            const QString failedAt = QDateTime::currentDateTime().addSecs(-60).toString(Qt::ISODate);
            for (const QString &body : {u"KEPT-1"_s, u"KEPT-2"_s}) {
                list.append(QJsonObject{
                    {u"slot"_s, kSlot}, {u"text"_s, keptTicket(body)}, {u"failedAt"_s, failedAt}});
                owed << body;
            }
            QVERIFY(test::writeBytes(appFile(u"unprinted.json"_s), QJsonDocument(list).toJson()));
        } else {
            for (const QString &table : {u"T1"_s, u"T2"_s, u"T3"_s}) {
                const qint64 number = m_sim->addRequest(test::Simulator::shopId, table, u"물 주세요"_s);
                QVERIFY(number > 0);
                lastNumber = QString::number(number);
                owed << u"QR: "_s + table;
            }
        }

        // The first run is stopped the moment its first ticket reaches the printer.
        const std::unique_ptr<QProcess> first = start();
        QByteArray arrived = m_pty->read(1, 60000);
        QVERIFY2(!arrived.isEmpty(), "nothing was printed");
        QVERIFY(::kill(pid_t(first->processId()), signalNumber) == 0);
        QElapsedTimer stopping;
        stopping.start();
        QVERIFY(first->waitForFinished(30000));
        const qint64 stopMs = stopping.elapsed();
        const QString firstLog = mainLog();
        arrived += m_pty->readUntilQuiet(300, 5000);

        // The second run prints what is still owed, and ends on SIGTERM.
        const std::unique_ptr<QProcess> second = start();
        if (kept)
            QTRY_VERIFY_WITH_TIMEOUT(keptListEmpty(), 60000);
        else
            QTRY_COMPARE_WITH_TIMEOUT(keptNumber(), lastNumber, 60000);
        arrived += m_pty->readUntilQuiet(1000, 10000);
        QVERIFY(::kill(pid_t(second->processId()), SIGTERM) == 0);
        QVERIFY(second->waitForFinished(30000));
        arrived += m_pty->readUntilQuiet(300, 2000);

        // Each ticket starts with the printer's initialisation.
        QHash<QString, int> plain;
        QHash<QString, int> marked;
        const QString text = codec::fromCp949(arrived);
        for (const QString &ticket : text.split(gPrnInit, Qt::SkipEmptyParts)) {
            for (const QString &id : std::as_const(owed)) {
                if (ticket.contains(id))
                    ++(ticket.contains(u"[재출력]"_s) ? marked : plain)[id];
            }
        }
        for (const QString &id : std::as_const(owed)) {
            const QString seen = id + u": "_s + QString::number(plain.value(id)) + u" plain, "_s +
                                 QString::number(marked.value(id)) + u" marked\n"_s + text;
            QVERIFY2(plain.value(id) + marked.value(id) >= 1, qPrintable(seen));
            QVERIFY2(plain.value(id) <= 1 && marked.value(id) <= 1, qPrintable(seen));
            if (signalNumber != SIGKILL)
                QVERIFY2(plain.value(id) == 1 && marked.value(id) == 0, qPrintable(seen));
        }
        // The ticket going out when the first run was killed may have come out whole: it is the
        // one that may come again, marked.
        if (signalNumber == SIGKILL)
            QCOMPARE(marked.size(), 1);
        if (signalNumber != SIGKILL) {
            // As after 종료: a normal end with 0, within a few seconds, and a line that says why.
            QCOMPARE(first->exitStatus(), QProcess::NormalExit);
            QCOMPARE(first->exitCode(), 0);
            QVERIFY2(stopMs < StopPrintingWhen::GraceMs + 5000, qPrintable(QString::number(stopMs)));
            qInfo("ended %lld ms after the signal", stopMs);
            const QString name = signalNumber == SIGTERM  ? u"SIGTERM"_s
                                 : signalNumber == SIGINT ? u"SIGINT"_s
                                                          : u"SIGHUP"_s;
            QVERIFY(
                firstLog.contains(u"]종료 신호 "_s + name + u": 출력 중인 주문서를 마치고 종료합니다\r\n"_s));
        }
        QCOMPARE(second->exitStatus(), QProcess::NormalExit);
        QCOMPARE(second->exitCode(), 0);
    }
};

QTEST_GUILESS_MAIN(TstStopWhilePrinting)
#include "tst_stopwhileprinting.moc"
