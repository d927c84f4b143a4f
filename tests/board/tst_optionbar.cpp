#include "board/OptionBar.h"
#include "support/TestEnvironment.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include <optional>

using namespace Qt::StringLiterals;
using namespace kavri;
using monitor::OptionBar;

// The option bar on its own: each control tells through its own signal, and
// what the window shows comes back as it was given.
class TstOptionBar : public QObject
{
    Q_OBJECT
    std::optional<test::TestEnvironment> m_env;

private slots:
    void init() { m_env.emplace(); }
    void cleanup() { m_env.reset(); }

    void buttons_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<bool>("doubleClick");
        QTest::addColumn<QByteArray>("signal");
        QTest::addColumn<QVariantList>("arguments");
        QTest::newRow("lower the minutes")
            << u"삭제변경_0"_s << false << QByteArray(SIGNAL(expiryStepClicked(int))) << QVariantList{0};
        QTest::newRow("raise the minutes")
            << u"삭제변경_1"_s << false << QByteArray(SIGNAL(expiryStepClicked(int))) << QVariantList{1};
        QTest::newRow("apply the position")
            << u"Pos적용"_s << true << QByteArray(SIGNAL(positionApplied())) << QVariantList{};
        QTest::newRow("sound test") << u"lblSound"_s << false << QByteArray(SIGNAL(soundTestClicked()))
                                    << QVariantList{};
        QTest::newRow("printer settings")
            << u"lblConfig"_s << false << QByteArray(SIGNAL(settingsClicked())) << QVariantList{};
        QTest::newRow("icon mode") << u"lblMinimize"_s << false << QByteArray(SIGNAL(minimizeClicked()))
                                   << QVariantList{};
        QTest::newRow("statistics") << u"lblStats"_s << false << QByteArray(SIGNAL(statsClicked()))
                                    << QVariantList{};
        QTest::newRow("logout") << u"lblLogout"_s << false << QByteArray(SIGNAL(logoutClicked()))
                                << QVariantList{};
        QTest::newRow("terminate") << u"lblTerminate"_s << false << QByteArray(SIGNAL(terminateClicked()))
                                   << QVariantList{};
    }
    // A click reaches its own signal and no other.
    void buttons()
    {
        QFETCH(QString, control);
        QFETCH(bool, doubleClick);
        QFETCH(QByteArray, signal);
        QFETCH(QVariantList, arguments);
        QWidget window;
        OptionBar bar(&window);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QList<std::shared_ptr<QSignalSpy>> spies;
        const QMetaObject &meta = OptionBar::staticMetaObject;
        for (int i = meta.methodOffset(); i < meta.methodCount(); ++i) {
            if (meta.method(i).methodType() == QMetaMethod::Signal)
                spies.append(std::make_shared<QSignalSpy>(&bar, meta.method(i)));
        }
        auto *label = bar.findChild<QLabel *>(control);
        QVERIFY(label);
        if (doubleClick)
            QTest::mouseDClick(label, Qt::LeftButton);
        else
            QTest::mouseClick(label, Qt::LeftButton);
        const QByteArray wanted = QMetaObject::normalizedSignature(signal.constData() + 1);
        for (const auto &spy : std::as_const(spies)) {
            const bool isWanted = spy->signal() == wanted;
            QVERIFY2(spy->count() == (isWanted ? 1 : 0), spy->signal().constData());
            if (isWanted)
                QCOMPARE(spy->first(), arguments);
        }
    }

    // The lists tell their choices; a repeat entry tells its seconds.
    void lists()
    {
        OptionBar bar(nullptr);
        QSignalSpy width(&bar, &OptionBar::layoutWidthChosen);
        QSignalSpy rows(&bar, &OptionBar::rowCountChosen);
        QSignalSpy repeat(&bar, &OptionBar::alertRepeatChosen);
        bar.showLayout(1, 2);
        QCOMPARE(bar.layoutWidthIndex(), 1);
        QCOMPARE(bar.rowCountIndex(), 2);
        QCOMPARE(width.count(), 1);
        QCOMPARE(rows.count(), 1);
        bar.findChild<QComboBox *>(u"cobRepeat"_s)->setCurrentIndex(2);
        QCOMPARE(repeat.count(), 1);
        QCOMPARE(repeat.first().first().toInt(), bar.repeatSeconds(2));
    }

    // What the window shows comes back as text, as staff may have changed it.
    void shownValues()
    {
        OptionBar bar(nullptr);
        bar.showExpiryMinutes(7);
        QCOMPARE(bar.shownExpiryMinutes(), u"7"_s);
        bar.showPosition(40, -3);
        QCOMPARE(bar.positionX(), u"40"_s);
        QCOMPARE(bar.positionY(), u"-3"_s);
        bar.findChild<QLineEdit *>(u"PosX"_s)->setText(u"구석"_s);
        QCOMPARE(bar.positionX(), u"구석"_s);
    }
};

QTEST_MAIN(TstOptionBar)
#include "tst_optionbar.moc"
