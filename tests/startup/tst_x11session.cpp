// The program on a real X display (Xvfb) as an autostarted desktop session starts
// it: the window system it picks, the icon its windows carry, a second start.
#include "codec/Cp949.h"
#include "platform/RaiseChannel.h"
#include "support/FileBytes.h"
#include "support/XServer.h"

#include <QDate>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace Qt::StringLiterals;
using namespace kavri;

namespace {

const QString Program = QString::fromUtf8(KAVRI_DISPLAY_PATH);

} // namespace

class TstX11Session : public QObject
{
    Q_OBJECT
    std::unique_ptr<test::XServer> m_x;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::vector<std::unique_ptr<QProcess>> m_programs;

    QString appDir() const { return m_dir->filePath(u"app"_s); }
    QString log() const
    {
        return codec::fromCp949(
            test::readBytes(appDir() + u'/' + QDate::currentDate().toString(u"yyMMdd"_s) + u".log"_s));
    }

    /// What a desktop session hands the program: a display, a home, a runtime folder.
    QProcessEnvironment session() const
    {
        QProcessEnvironment env;
        env.insert(u"PATH"_s, u"/usr/bin:/bin"_s);
        env.insert(u"HOME"_s, m_dir->filePath(u"home"_s));
        env.insert(u"XDG_RUNTIME_DIR"_s, m_dir->filePath(u"run"_s));
        env.insert(u"LANG"_s, u"C.UTF-8"_s);
        env.insert(u"DISPLAY"_s, m_x->display());
        env.insert(u"KAVRI_APP_DIR"_s, appDir());
        return env;
    }

    QProcess &start(const QProcessEnvironment &env)
    {
        m_programs.push_back(std::make_unique<QProcess>());
        QProcess &p = *m_programs.back();
        p.setProcessEnvironment(env);
        p.start(Program, {});
        return p;
    }

    bool reachesTheLoginWindow() const
    {
        return QTest::qWaitFor([this] { return log().contains(u"[frmLogin→Form_Activate] Enter"_s); }, 30000);
    }

private slots:
    void init()
    {
        m_x = std::make_unique<test::XServer>();
        if (!m_x->isRunning())
            QSKIP(qPrintable(m_x->errorString()));
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(QDir().mkpath(appDir()) && QDir().mkpath(m_dir->filePath(u"home"_s)));
        QVERIFY(QDir().mkpath(m_dir->filePath(u"run"_s)));
        QVERIFY(QFile::setPermissions(m_dir->filePath(u"run"_s),
                                      QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    }
    void cleanup()
    {
        for (const auto &p : m_programs) {
            p->kill();
            p->waitForFinished(5000);
        }
        m_programs.clear();
        m_dir.reset();
        m_x.reset();
    }

    // On a desktop with an X display (a Wayland session's XWayland too) the program
    // runs on X11 unless QT_QPA_PLATFORM names another system; the log says which.
    void windowSystem_data()
    {
        QTest::addColumn<QString>("qpaPlatform");
        QTest::addColumn<QString>("line");
        QTest::newRow("nothing asked") << QString() << u"화면 방식: xcb (DISPLAY가 있어"_s;
        QTest::newRow("asked for") << u"offscreen"_s << u"화면 방식: offscreen (QT_QPA_PLATFORM=offscreen"_s;
    }
    void windowSystem()
    {
        QFETCH(QString, qpaPlatform);
        QFETCH(QString, line);
        QProcessEnvironment env = session();
        if (!qpaPlatform.isEmpty())
            env.insert(u"QT_QPA_PLATFORM"_s, qpaPlatform);
        start(env);
        QVERIFY2(reachesTheLoginWindow(), qPrintable(log()));
        QVERIFY2(log().contains(line), qPrintable(log()));
        // On X11 the login window is a real window of the display.
        const QByteArray login = m_x->xprop({u"-name"_s, u"LOGIN"_s, u"WM_CLASS"_s});
        QCOMPARE(login.contains("kavri-display"), qpaPlatform.isEmpty());
    }

    // The window manager shows the program's own icon (_NET_WM_ICON), in its sizes.
    void windowsCarryTheIcon()
    {
        start(session());
        QVERIFY2(reachesTheLoginWindow(), qPrintable(log()));
        const QByteArray icon = m_x->xprop({u"-name"_s, u"LOGIN"_s, u"_NET_WM_ICON"_s});
        for (const char *size : {"Icon (16 x 16)", "Icon (32 x 32)", "Icon (48 x 48)", "Icon (128 x 128)"})
            QVERIFY2(icon.contains(size), icon.left(200).constData());
    }

    // A second start keeps its box; before the box the running copy has heard it and
    // brought its window to the front, above the program that covered it.
    void secondStart()
    {
        QProcess &first = start(session());
        QVERIFY2(reachesTheLoginWindow(), qPrintable(log()));
        QProcess cover;
        cover.start(u"xlogo"_s, {u"-display"_s, m_x->display(), u"-geometry"_s, u"1280x1024+0+0"_s});
        auto position = [this](const QString &name) {
            const QList<test::XServer::Window> stack = m_x->stack();
            for (qsizetype i = 0; i < stack.size(); ++i) {
                if (stack[i].name == name)
                    return i;
            }
            return qsizetype(-1);
        };
        QTRY_VERIFY_WITH_TIMEOUT(position(u"xlogo"_s) >= 0, 15000);
        QVERIFY(position(u"xlogo"_s) < position(u"LOGIN"_s)); // the login window is covered

        QProcess &second = start(session());
        QTRY_VERIFY_WITH_TIMEOUT(log().contains(u"프로그램을 다시 실행하여 창을 앞으로 가져옵니다."_s),
                                 30000);
        QTRY_VERIFY_WITH_TIMEOUT(position(u"LOGIN"_s) < position(u"xlogo"_s), 10000);
        QCOMPARE(log().count(u"프로그램을 다시 실행하여 창을 앞으로 가져옵니다."_s), 1);
        // The second copy's box is up and waits for an answer; the first copy runs on.
        QTRY_VERIFY_WITH_TIMEOUT(
            [&] {
                for (const test::XServer::Window &w : m_x->stack()) {
                    if (w.name == u"Kavri 디스플레이"_s && w.pid == second.processId())
                        return true;
                }
                return false;
            }(),
            15000);
        QCOMPARE(second.state(), QProcess::Running);
        QCOMPARE(first.state(), QProcess::Running);
        cover.kill();
        cover.waitForFinished(5000);
    }

    // Anything of this user's that keeps sending the message moves the window and
    // writes the log once a second at most.
    void aFloodOfRequests()
    {
        QProcess &first = start(session());
        QVERIFY2(reachesTheLoginWindow(), qPrintable(log()));
        const QByteArray oldRuntime = qgetenv("XDG_RUNTIME_DIR");
        qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_dir->filePath(u"run"_s)));
        const QString channel = platform::raiseChannelPath(appDir());
        qputenv("XDG_RUNTIME_DIR", oldRuntime);
        QElapsedTimer clock;
        clock.start();
        int sent = 0;
        while (clock.elapsed() < 1500) {
            sent += platform::requestRaise(channel) ? 1 : 0;
            QTest::qWait(10);
        }
        QVERIFY2(sent > 20, qPrintable(QString::number(sent)));
        QTest::qWait(300);
        const qsizetype heard = log().count(u"프로그램을 다시 실행하여 창을 앞으로 가져옵니다."_s);
        QVERIFY2(heard >= 1 && heard <= 3, qPrintable(QString::number(heard)));
        QCOMPARE(first.state(), QProcess::Running);
    }
};

QTEST_GUILESS_MAIN(TstX11Session)
#include "tst_x11session.moc"
