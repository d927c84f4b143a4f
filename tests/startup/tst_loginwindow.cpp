#include "codec/Cp949.h"
#include "platform/Clock.h"
#include "platform/Dialogs.h"
#include "services/Housekeeping.h"
#include "services/ProcessValues.h"
#include "services/UserStore.h"
#include "services/WinHttp.h"
#include "startup/LoginWindow.h"
#include "support/FileBytes.h"
#include "support/Simulator.h"
#include "support/TestEnvironment.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QMovie>
#include <QSslCertificate>
#include <QTest>
#include <QTimer>

#include <optional>

using namespace Qt::StringLiterals;
using namespace kavri;

namespace {

struct Controls
{
    QLineEdit *id;
    QLineEdit *pw;
    QLabel *login;
    QCheckBox *remember;
    QCheckBox *autoLogin;
};

Controls controlsOf(frmLogin &w)
{
    return {w.findChild<QLineEdit *>(u"ID"_s), w.findChild<QLineEdit *>(u"PW"_s),
            w.findChild<QLabel *>(u"lblLogin"_s), w.findChild<QCheckBox *>(u"chkLoadValue_0"_s),
            w.findChild<QCheckBox *>(u"chkLoadValue_1"_s)};
}

void storeRecord(const QString &record)
{
    userstore::set(u"fsVadn"_s, u"Login"_s, u"A"_s, record);
}

QString storedRecord()
{
    return userstore::get(u"fsVadn"_s, u"Login"_s, u"A"_s);
}

/// Plays a window manager that never activates the window: activations do not reach it.
struct NoActivation : QObject
{
    int swallowed = 0;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() != QEvent::WindowActivate && event->type() != QEvent::ActivationChange)
            return false;
        ++swallowed;
        return true;
    }
};

} // namespace

class TstLoginWindow : public QObject
{
    Q_OBJECT
    std::optional<test::TestEnvironment> m_env;
    std::unique_ptr<test::Simulator> m_sim;
    QList<int> m_ended;
    int m_followUps = 0;

    /// A login window wired to the simulator, with the test's seams for ending and what follows.
    std::unique_ptr<frmLogin> makeWindow(bool firstActivation = true)
    {
        auto w = std::make_unique<frmLogin>();
        Deployment d;
        d.secureBase = m_sim->httpsBase();
        d.plainBase = m_sim->httpBase();
        w->setDeployment(d);
        w->setEndProcess([this](int code) { m_ended.append(code); });
        w->setAfterSuccess([this] { ++m_followUps; });
        w->m_FirstActivated = firstActivation;
        return w;
    }

    /// Shows the window and waits until its first activation has run (with whatever it started).
    bool showAndActivate(frmLogin &w)
    {
        w.show();
        return QTest::qWaitFor([&] { return !w.m_FirstActivated && !w.loginRunning(); }, 20000);
    }

    QList<test::ReceivedRequest> logins()
    {
        QList<test::ReceivedRequest> out;
        for (const auto &r : m_sim->receivedLog()) {
            if (r.target.startsWith(u"/program/logins.php"_s))
                out.append(r);
        }
        return out;
    }

    QString log(const QString &channel) const
    {
        return codec::fromCp949(test::readBytes(m_env->filePath(u"261209"_s + channel + u".log"_s)));
    }

    void loginByHand(frmLogin &w, const QString &id, const QString &password)
    {
        const Controls c = controlsOf(w);
        c.id->setText(id);
        c.pw->setText(password);
        QTest::mouseClick(c.login, Qt::LeftButton);
    }

private slots:
    void init()
    {
        m_env.emplace(QDateTime(QDate(2026, 12, 9), QTime(9, 15, 0, 120)));
        m_sim = std::make_unique<test::Simulator>();
        QVERIFY2(m_sim->isRunning(), qPrintable(m_sim->errorString()));
        winHttpOptions().stageLimitMs = 2000;
        winHttpOptions().extraCaCertificates = QSslCertificate::fromPath(m_sim->caCertificatePath());
        m_ended.clear();
        m_followUps = 0;
    }
    void cleanup()
    {
        m_sim.reset();
        m_env.reset();
    }

    void firstStartWithoutRecord()
    {
        auto w = makeWindow();
        QCOMPARE(w->size(), QSize(450, 515));
        QCOMPARE(w->windowTitle(), u"LOGIN"_s);
        QVERIFY(w->windowFlags() & Qt::FramelessWindowHint);
        const Controls c = controlsOf(*w);
        QVERIFY(!c.login->isEnabled()); // until the first activation
        QVERIFY(showAndActivate(*w));
        QVERIFY(!c.remember->isChecked());
        QVERIFY(!c.autoLogin->isChecked());
        QVERIFY(c.id->text().isEmpty());
        QVERIFY(c.pw->text().isEmpty());
        QVERIFY(c.id->isEnabled());
        QVERIFY(c.login->isEnabled());
        QVERIFY(logins().isEmpty());
        QVERIFY(log({}).contains(u"]  [frmLogin→Form_Activate] Enter\r\n"_s));

        // Later activations change nothing and say so.
        QEvent activate(QEvent::WindowActivate);
        QCoreApplication::sendEvent(w.get(), &activate);
        QVERIFY(log({}).contains(u"]  [frmLogin→Form_Activate] Quit\r\n"_s));
        QVERIFY(logins().isEmpty());
    }

    void roundedOutline()
    {
        auto w = makeWindow();
        const QRegion mask = w->mask();
        QVERIFY(!mask.isEmpty());
        QVERIFY(mask.contains(QPoint(225, 257)));
        QVERIFY(mask.contains(QPoint(449, 257)));
        QVERIFY(mask.contains(QPoint(225, 0)));
        for (const QPoint corner :
             {QPoint(0, 0), QPoint(449, 0), QPoint(0, 514), QPoint(449, 514), QPoint(10, 10)})
            QVERIFY2(!mask.contains(corner), qPrintable(u"%1,%2"_s.arg(corner.x()).arg(corner.y())));
    }

    void manualLoginRemembersAsChosen_data()
    {
        QTest::addColumn<bool>("remember");
        QTest::addColumn<bool>("autoLogin");
        QTest::addColumn<QString>("record");
        QTest::newRow("neither") << false << false << u"False◈False◈◈◈"_s;
        QTest::newRow("remember") << true << false << u"True◈False◈shop1◈pass1"_s;
        QTest::newRow("remember and auto") << true << true << u"True◈True◈shop1◈pass1"_s;
        QTest::newRow("auto, remember switched off") << false << true << u"False◈True◈◈◈"_s;
    }
    void manualLoginRemembersAsChosen()
    {
        QFETCH(bool, remember);
        QFETCH(bool, autoLogin);
        QFETCH(QString, record);
        auto w = makeWindow();
        QVERIFY(showAndActivate(*w));
        const Controls c = controlsOf(*w);
        if (autoLogin)
            QTest::mouseClick(c.autoLogin, Qt::LeftButton);
        if (c.remember->isChecked() != remember)
            QTest::mouseClick(c.remember, Qt::LeftButton);
        QCOMPARE(c.remember->isChecked(), remember);
        QCOMPARE(c.autoLogin->isChecked(), autoLogin);

        loginByHand(*w, test::Simulator::shopId, test::Simulator::shopPassword);

        QCOMPARE(logins().size(), 1);
        QCOMPARE(logins().first().scheme, u"https"_s);
        QCOMPARE(logins().first().body, QByteArray("ID=shop1&PassWord=pass1"));
        QCOMPARE(storedRecord(), record);
        QCOMPARE(gLoginID, u"shop1"_s);
        QCOMPARE(gLoginPW, u"pass1"_s);
        QCOMPARE(gStoreName, test::Simulator::shopName);
        QCOMPARE(gBaseURL, m_sim->httpsBase());
        QCOMPARE(m_followUps, 1);
        QVERIFY(!w->isVisible());
        QVERIFY(m_env->dialogs().shown().isEmpty());
        QVERIFY(m_ended.isEmpty());
        QVERIFY(!log({}).contains(u"pass1"_s));
        QVERIFY(!log(u"_WinHttp"_s).contains(u"pass1"_s));
    }

    void recordWithFiveFieldsIsNotRemembered()
    {
        storeRecord(u"False◈True◈◈◈"_s);
        auto w = makeWindow();
        QVERIFY(showAndActivate(*w));
        const Controls c = controlsOf(*w);
        QVERIFY(!c.autoLogin->isChecked());
        QVERIFY(!c.remember->isChecked());
        QVERIFY(c.login->isEnabled());
        QVERIFY(logins().isEmpty());
    }

    void siblingRecordIsTheFallback()
    {
        storeRecord(u"broken"_s);
        userstore::set(u"fsPelno"_s, u"Login"_s, u"A"_s, u"True◈False◈sib◈pw"_s);
        auto w = makeWindow();
        QVERIFY(showAndActivate(*w));
        const Controls c = controlsOf(*w);
        QCOMPARE(c.id->text(), u"sib"_s);
        QCOMPARE(c.pw->text(), u"pw"_s);
        QVERIFY(c.remember->isChecked());
        QVERIFY(!c.autoLogin->isChecked());
        QVERIFY(logins().isEmpty());
    }

    void automaticLoginAfterAPause()
    {
        storeRecord(u"True◈True◈shop1◈pass1"_s);
        auto w = makeWindow();
        bool idEnabled = true, pwEnabled = true;
        QString idText;
        quint32 startedAfter = 0;
        quint32 shownAt = 0;
        connect(w.get(), &frmLogin::loginStarted, this, [&] {
            const Controls c = controlsOf(*w);
            idEnabled = c.id->isEnabled();
            pwEnabled = c.pw->isEnabled();
            idText = c.id->text();
            startedAfter = GetTick() - shownAt;
        });
        shownAt = GetTick();
        QVERIFY(showAndActivate(*w));
        QVERIFY(!idEnabled);
        QVERIFY(!pwEnabled);
        QCOMPARE(idText, u"shop1"_s);
        QVERIFY2(startedAfter >= 100, qPrintable(QString::number(startedAfter)));
        QCOMPARE(logins().size(), 1);
        QCOMPARE(gLoginID, u"shop1"_s);
        QCOMPARE(m_followUps, 1);
        QVERIFY(!w->isVisible());
        QCOMPARE(storedRecord(), u"True◈True◈shop1◈pass1"_s);
    }

    // A compositor that never gives the window the focus: the remembered login is
    // applied all the same, once, right after the window is shown.
    void rememberedLoginWithoutActivation_data()
    {
        QTest::addColumn<QString>("record");
        QTest::addColumn<int>("sent");
        QTest::newRow("automatic login") << u"True◈True◈shop1◈pass1"_s << 1;
        QTest::newRow("remembered only") << u"True◈False◈shop1◈pass1"_s << 0;
    }
    void rememberedLoginWithoutActivation()
    {
        QFETCH(QString, record);
        QFETCH(int, sent);
        storeRecord(record);
        auto w = makeWindow();
        NoActivation neverActive;
        w->installEventFilter(&neverActive);
        w->show();
        QVERIFY(QTest::qWaitFor([&] { return !w->m_FirstActivated && !w->loginRunning(); }, 20000));
        QCOMPARE(logins().size(), sent);
        QCOMPARE(m_followUps, sent);
        if (sent == 0) {
            const Controls c = controlsOf(*w);
            QCOMPARE(c.id->text(), u"shop1"_s);
            QCOMPARE(c.pw->text(), u"pass1"_s);
            QVERIFY(c.login->isEnabled());
        } else {
            QCOMPARE(gLoginID, u"shop1"_s);
            QVERIFY(!w->isVisible());
        }

        // An activation that comes late starts nothing more.
        w->removeEventFilter(&neverActive);
        QEvent activate(QEvent::WindowActivate);
        QCoreApplication::sendEvent(w.get(), &activate);
        QTest::qWait(300);
        QCOMPARE(logins().size(), sent);
        QCOMPARE(log({}).count(u"[frmLogin→Form_Activate] Enter"_s), 1);
    }

    void togglesFollowTheRule()
    {
        auto w = makeWindow();
        QVERIFY(showAndActivate(*w));
        const Controls c = controlsOf(*w);
        QTest::mouseClick(c.autoLogin, Qt::LeftButton);
        QVERIFY(c.autoLogin->isChecked());
        QVERIFY(c.remember->isChecked());
        QTest::mouseClick(c.autoLogin, Qt::LeftButton);
        QVERIFY(!c.autoLogin->isChecked());
        QVERIFY(c.remember->isChecked()); // switched on by any click of the automatic toggle
        QTest::mouseClick(c.remember, Qt::LeftButton);
        QVERIFY(!c.remember->isChecked());
        QVERIFY(!c.autoLogin->isChecked());
    }

    void threeFailuresEndTheProgram_data()
    {
        QTest::addColumn<bool>("automaticFirst");
        QTest::newRow("by hand") << false;
        QTest::newRow("automatic, then by hand") << true;
    }
    void threeFailuresEndTheProgram()
    {
        QFETCH(bool, automaticFirst);
        if (automaticFirst)
            storeRecord(u"True◈True◈shop1◈wrong"_s);
        auto w = makeWindow();
        QVERIFY(showAndActivate(*w));
        const Controls c = controlsOf(*w);
        if (!automaticFirst)
            loginByHand(*w, u"shop1"_s, u"wrong"_s);
        QCOMPARE(w->loginFailCount(), 1);
        QCOMPARE(m_env->dialogs().texts(), QStringList{u"로그인에 실패했습니다."_s});
        QCOMPARE(m_env->dialogs().shown().first().icon, platform::DialogIcon::None);
        // The user can correct the fields and try again.
        QVERIFY(c.id->isEnabled());
        QVERIFY(c.pw->isEnabled());
        QVERIFY(c.login->isEnabled());
        loginByHand(*w, u"shop1"_s, u"wrong"_s);
        QVERIFY(m_ended.isEmpty());
        loginByHand(*w, u"shop1"_s, u"wrong2"_s);
        QCOMPARE(m_env->dialogs().texts(),
                 QStringList({u"로그인에 실패했습니다."_s, u"로그인에 실패했습니다."_s,
                              u"로그인에 3번 실패하여 종료합니다."_s}));
        QCOMPARE(m_env->dialogs().shown().last().icon, platform::DialogIcon::Error);
        QCOMPARE(m_ended, QList<int>{1});
        QCOMPARE(m_followUps, 0);
        QCOMPARE(logins().size(), 3);
        QVERIFY(gLoginID.isEmpty());
        // Nothing more starts once the end has begun.
        w->lblLogin_Click();
        QCOMPARE(logins().size(), 3);
    }

    void twoFailuresThenSuccess()
    {
        auto w = makeWindow();
        QVERIFY(showAndActivate(*w));
        loginByHand(*w, u"shop1"_s, u"x"_s);
        loginByHand(*w, u"nobody"_s, u"pass1"_s);
        loginByHand(*w, u"shop1"_s, u"pass1"_s);
        QCOMPARE(w->loginFailCount(), 2);
        QVERIFY(m_ended.isEmpty());
        QCOMPARE(m_followUps, 1);
        QCOMPARE(gLoginID, u"shop1"_s);
    }

    void blankSecureAnswerFallsBackToPlain_data()
    {
        QTest::addColumn<bool>("trustCertificate");
        QTest::newRow("blank answer") << true;
        QTest::newRow("certificate not trusted") << false;
    }
    void blankSecureAnswerFallsBackToPlain()
    {
        QFETCH(bool, trustCertificate);
        if (trustCertificate)
            QVERIFY(m_sim->setFault(u"blank"_s, 1, u"https"_s));
        else
            winHttpOptions().extraCaCertificates.clear();
        auto w = makeWindow();
        QVERIFY(showAndActivate(*w));
        loginByHand(*w, u"shop1"_s, u"pass1"_s);

        const auto got = logins();
        QCOMPARE(got.size(), trustCertificate ? 2 : 1);
        QCOMPARE(got.last().scheme, u"http"_s);
        QCOMPARE(gBaseURL, m_sim->httpBase());
        QCOMPARE(m_followUps, 1);
        QCOMPARE(w->loginFailCount(), 0);

        const QString secure = m_sim->httpsBase() + u"/program/logins.php"_s;
        const QString plain = m_sim->httpBase() + u"/program/logins.php"_s;
        const QString winHttp = log(u"_WinHttp"_s);
        const QString stamp = u"[261209-091500.120]"_s;
        QVERIFY(winHttp.contains(
            stamp + u"logins() ... "_s + secure + u"?ID=shop1&PassWord=****\r\n"_s + stamp +
            (trustCertificate ? u"logins() ... ResponseStr:\r\n\r\n"_s : u"e)lib_misc->GetWinHttp"_s)));
        QVERIFY(winHttp.contains(stamp + u"logins() ... "_s + plain + u"?ID=shop1&PassWord=****\r\n"_s +
                                 stamp + u"logins() ... ResponseStr:\r\n"_s));
        QVERIFY(winHttp.contains(u"storename["_s + test::Simulator::shopName + u"]storename"_s));
        QVERIFY(!winHttp.contains(u"pass1"_s));
    }

    void enterMovesOnOrLogsIn()
    {
        auto w = makeWindow();
        QVERIFY(showAndActivate(*w));
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        const Controls c = controlsOf(*w);
        c.id->setFocus();
        QTRY_COMPARE(QApplication::focusWidget(), c.id);
        QTest::keyClick(c.id, Qt::Key_Return);
        QCOMPARE(QApplication::focusWidget(), c.pw);
        QVERIFY(logins().isEmpty());
        QTest::keyClick(c.pw, Qt::Key_Enter); // the keypad's Enter too
        QCOMPARE(logins().size(), 1);
        QCOMPARE(w->loginFailCount(), 1); // empty fields: the service says no
        c.id->setText(u"shop1"_s);
        c.pw->setText(u"pass1"_s);
        QTest::keyClick(c.pw, Qt::Key_Return);
        QCOMPARE(logins().size(), 2);
        QCOMPARE(m_followUps, 1);
    }

    void enterInPasswordWaitsForTheLoginButton()
    {
        // Without the first activation the login button stays disabled.
        auto w = makeWindow(false);
        w->show();
        QVERIFY(QTest::qWaitForWindowExposed(w.get()));
        const Controls c = controlsOf(*w);
        QVERIFY(!c.login->isEnabled());
        c.id->setText(u"shop1"_s);
        c.pw->setText(u"pass1"_s);
        QTest::keyClick(c.pw, Qt::Key_Return);
        QTest::qWait(50);
        QVERIFY(logins().isEmpty());
    }

    void secondClickDuringALoginIsIgnored()
    {
        auto w = makeWindow();
        QVERIFY(showAndActivate(*w));
        QVERIFY(m_sim->setFault(u"slow"_s, 1, u"https"_s, 300));
        const Controls c = controlsOf(*w);
        bool triedAgain = false;
        bool fieldsLocked = false;
        connect(w.get(), &frmLogin::loginStarted, this, [&] {
            // Runs while the first login waits for the service.
            QTimer::singleShot(0, this, [&] {
                triedAgain = w->loginRunning();
                fieldsLocked = !c.id->isEnabled() && !c.pw->isEnabled() && !c.login->isEnabled();
                w->lblLogin_Click();
                QTest::mouseClick(c.login, Qt::LeftButton);
                QTest::keyClick(c.pw, Qt::Key_Return);
            });
        });
        loginByHand(*w, u"shop1"_s, u"pass1"_s);
        QVERIFY(triedAgain);
        QVERIFY(fieldsLocked);
        QCOMPARE(logins().size(), 1);
        QCOMPARE(m_followUps, 1);
        QVERIFY(m_env->dialogs().shown().isEmpty());
    }

    void picturesWhenPresent()
    {
        const auto colourAt = [](frmLogin &w, QPoint p) { return w.grab().toImage().pixelColor(p); };
        {
            auto plain = makeWindow(false);
            QCOMPARE(colourAt(*plain, QPoint(225, 20)), QColor(0xf4, 0xf7, 0xfa));
            QVERIFY(!plain->findChild<QLabel *>(u"imgWait"_s)->movie());
        }
        QDir().mkpath(gSkinPath);
        for (const QString &name : {u"0001.gif"_s, u"0106.gif"_s})
            QVERIFY(QFile::copy(QStringLiteral(KAVRI_BINARY_DIR) + u"/src/skin/"_s + name,
                                gSkinPath + u'/' + name));
        auto skinned = makeWindow(false);
        QCOMPARE(colourAt(*skinned, QPoint(225, 20)), QColor(0x1f, 0x6f, 0x8b));
        QMovie *wait = skinned->findChild<QLabel *>(u"imgWait"_s)->movie();
        QVERIFY(wait);
        QVERIFY(wait->frameCount() > 1);
        // The wait panel sits in the middle and hides until a login runs.
        QLabel *panel = skinned->findChild<QLabel *>(u"picWait"_s);
        QVERIFY(panel->isHidden());
        const QPoint off = panel->geometry().center() - QRect(0, 0, 450, 515).center();
        QVERIFY(off.manhattanLength() <= 2);
    }
};

QTEST_MAIN(TstLoginWindow)
#include "tst_loginwindow.moc"
