// The channel by which a second start asks the running copy to show its board:
// the one fixed message gets through, anything else is closed unheard.
#include "platform/RaiseChannel.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QLocalSocket>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;
using kavri::platform::RaiseListener;

class TstRaiseChannel : public QObject
{
    Q_OBJECT
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<RaiseListener> m_listener;
    int m_raised = 0;

    QString path() const { return m_dir->filePath(u"raise.sock"_s); }

    /// A client that sends `bytes` in pieces of `piece` bytes and waits until the
    /// listener closes the connection; false when it is still open after `waitMs`.
    bool sendAndWaitForClose(const QByteArray &bytes, int piece, int waitMs)
    {
        QLocalSocket socket;
        socket.connectToServer(path());
        if (!socket.waitForConnected(2000))
            return false;
        for (qsizetype at = 0; at < bytes.size() && socket.state() == QLocalSocket::ConnectedState;
             at += piece) {
            socket.write(bytes.mid(at, piece));
            socket.flush();
            QTest::qWait(20);
        }
        return QTest::qWaitFor([&] { return socket.state() == QLocalSocket::UnconnectedState; }, waitMs);
    }

private slots:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_raised = 0;
        m_listener = std::make_unique<RaiseListener>();
        QString error;
        QVERIFY2(m_listener->listen(
                     path(), [this] { ++m_raised; }, &error),
                 qPrintable(error));
    }
    void cleanup()
    {
        m_listener.reset();
        m_dir.reset();
    }

    void requestIsHeard()
    {
        QVERIFY(kavri::platform::requestRaise(path()));
        QTRY_COMPARE(m_raised, 1);
        QVERIFY(kavri::platform::requestRaise(path()));
        QTRY_COMPARE(m_raised, 2);
    }

    // Only this user may connect.
    void socketIsPrivate()
    {
        struct stat status
        {
        };
        QCOMPARE(::stat(QFile::encodeName(path()).constData(), &status), 0);
        QVERIFY(S_ISSOCK(status.st_mode));
        QCOMPARE(status.st_mode & 0777, mode_t(0600));
        QCOMPARE(status.st_uid, ::getuid());
    }

    void whatIsSent_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("piece");
        QTest::addColumn<int>("raised");
        QTest::newRow("the message") << QByteArray("RAISE\n") << 6 << 1;
        QTest::newRow("the message in pieces") << QByteArray("RAISE\n") << 1 << 1;
        QTest::newRow("nothing") << QByteArray() << 1 << 0;
        QTest::newRow("another word") << QByteArray("QUIT\n") << 5 << 0;
        QTest::newRow("lower case") << QByteArray("raise\n") << 6 << 0;
        QTest::newRow("the message twice") << QByteArray("RAISE\nRAISE\n") << 12 << 0;
        QTest::newRow("the message and more") << QByteArray("RAISE\nrm -rf /") << 100 << 0;
        QTest::newRow("without its line end") << QByteArray("RAISE") << 5 << 0;
        QTest::newRow("a flood") << QByteArray(1 << 20, 'R') << 65536 << 0;
        QTest::newRow("zero bytes") << QByteArray(16, '\0') << 16 << 0;
    }
    void whatIsSent()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, piece);
        QFETCH(int, raised);
        QElapsedTimer clock;
        clock.start();
        // Closed by the listener: at once, or after a second of silence at most.
        QVERIFY(sendAndWaitForClose(bytes, piece, 3000));
        QVERIFY2(clock.elapsed() < 3000, qPrintable(QString::number(clock.elapsed())));
        QTest::qWait(50);
        QCOMPARE(m_raised, raised);
        // The channel still works afterwards.
        QVERIFY(kavri::platform::requestRaise(path()));
        QTRY_COMPARE(m_raised, raised + 1);
    }

    // Silent connections cannot hold the channel: at most a few are kept, each
    // for a second, and a request after them is heard.
    void silentConnectionsAreDropped()
    {
        std::vector<std::unique_ptr<QLocalSocket>> silent;
        for (int i = 0; i < 20; ++i) {
            silent.push_back(std::make_unique<QLocalSocket>());
            silent.back()->connectToServer(path());
            QVERIFY(silent.back()->waitForConnected(2000));
        }
        QTRY_VERIFY_WITH_TIMEOUT(
            std::all_of(silent.begin(), silent.end(),
                        [](const auto &s) { return s->state() == QLocalSocket::UnconnectedState; }),
            3000);
        QCOMPARE(m_raised, 0);
        QVERIFY(kavri::platform::requestRaise(path()));
        QTRY_COMPARE(m_raised, 1);
    }

    // A copy that crashed left its socket behind: nobody answers there, and the
    // next copy listens in its place.
    void socketOfACrashedCopy()
    {
        m_listener.reset();
        QProcess crashed;
        crashed.start(QCoreApplication::applicationFilePath(), {u"--listen"_s, path()});
        QVERIFY(crashed.waitForReadyRead(10000));
        QCOMPARE(crashed.readLine().trimmed(), QByteArray("listening"));
        crashed.kill();
        QVERIFY(crashed.waitForFinished(5000));
        QVERIFY(QFile::exists(path()));

        QElapsedTimer clock;
        clock.start();
        QVERIFY(!kavri::platform::requestRaise(path()));
        QVERIFY(clock.elapsed() < 1500);

        m_listener = std::make_unique<RaiseListener>();
        QString error;
        QVERIFY2(m_listener->listen(
                     path(), [this] { ++m_raised; }, &error),
                 qPrintable(error));
        QVERIFY(kavri::platform::requestRaise(path()));
        QTRY_COMPARE(m_raised, 1);
    }

    void nobodyListening()
    {
        QVERIFY(!kavri::platform::requestRaise(m_dir->filePath(u"none.sock"_s)));
        QVERIFY(!kavri::platform::requestRaise(QString()));
    }

    // One channel per application folder, as one lock per folder; in the user's runtime folder.
    void pathPerFolder()
    {
        QTemporaryDir runtime;
        QVERIFY(
            QFile::setPermissions(runtime.path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
        const QByteArray old = qgetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
        const QString a = kavri::platform::raiseChannelPath(m_dir->path());
        const QString again = kavri::platform::raiseChannelPath(m_dir->path() + u"/./"_s);
        const QString b = kavri::platform::raiseChannelPath(m_dir->path() + u"/other"_s);
        qputenv("XDG_RUNTIME_DIR", old);
        QVERIFY2(a.startsWith(runtime.path() + u"/kavri-display-"_s), qPrintable(a));
        QCOMPARE(again, a);
        QVERIFY(b != a);
        QVERIFY(a.toUtf8().size() < 100); // a socket's path has room for 107 bytes
    }

    void listenWhereItCannot()
    {
        RaiseListener listener;
        QString error;
        QVERIFY(!listener.listen(
            u"/nonexistent-folder/raise.sock"_s, [] {}, &error));
        QVERIFY(!error.isEmpty());
        QVERIFY(!listener.listen(
            QString(), [] {}, &error));
    }
};

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc == 3 && qstrcmp(argv[1], "--listen") == 0) {
        RaiseListener listener;
        QString error;
        if (!listener.listen(
                QString::fromLocal8Bit(argv[2]), [] {}, &error))
            return 2;
        std::printf("listening\n");
        std::fflush(stdout);
        return app.exec();
    }
    TstRaiseChannel tc;
    return QTest::qExec(&tc, argc, argv);
}
#include "tst_raisechannel.moc"
