// Which window system the program asks Qt for, from the environment it starts in.
#include "platform/DisplayPlatform.h"

#include <QTest>

using namespace Qt::StringLiterals;
using kavri::platform::chooseDisplayPlatform;

class TstDisplayPlatform : public QObject
{
    Q_OBJECT
private slots:
    void choice_data()
    {
        QTest::addColumn<QString>("qpaPlatform");
        QTest::addColumn<QString>("display");
        QTest::addColumn<bool>("platformArgument");
        QTest::addColumn<QString>("setTo");
        QTest::addColumn<QString>("reasonHas");
        // A Wayland session with XWayland: DISPLAY and WAYLAND_DISPLAY are both set.
        QTest::newRow("X display, nothing asked")
            << QString() << u":0"_s << false << u"xcb"_s << u"DISPLAY"_s;
        QTest::newRow("remote X display") << QString() << u"host:10.0"_s << false << u"xcb"_s << u"DISPLAY"_s;
        QTest::newRow("wayland asked for") << u"wayland"_s << u":0"_s << false << QString() << u"wayland"_s;
        QTest::newRow("xcb asked for") << u"xcb"_s << u":0"_s << false << QString() << u"xcb"_s;
        QTest::newRow("offscreen asked for")
            << u"offscreen"_s << QString() << false << QString() << u"offscreen"_s;
        QTest::newRow("a list asked for")
            << u"wayland;xcb"_s << u":0"_s << false << QString() << u"wayland;xcb"_s;
        QTest::newRow("-platform argument") << QString() << u":0"_s << true << QString() << u"-platform"_s;
        QTest::newRow("no X display") << QString() << QString() << false << QString() << u"DISPLAY"_s;
        QTest::newRow("a very long value is cut in the log")
            << QString(5000, u'x') << u":0"_s << false << QString() << QString(100, u'x');
    }
    void choice()
    {
        QFETCH(QString, qpaPlatform);
        QFETCH(QString, display);
        QFETCH(bool, platformArgument);
        QFETCH(QString, setTo);
        QFETCH(QString, reasonHas);
        const auto choice = chooseDisplayPlatform(qpaPlatform, display, platformArgument);
        QCOMPARE(choice.setTo, setTo);
        QVERIFY2(choice.reason.contains(reasonHas), qPrintable(choice.reason));
        QVERIFY(choice.reason.size() < 200);
    }

    // The choice reaches the environment Qt reads, and only when it was made.
    void selectSetsTheEnvironment_data()
    {
        QTest::addColumn<QByteArray>("qpaPlatform");
        QTest::addColumn<QByteArray>("display");
        QTest::addColumn<QByteArrayList>("arguments");
        QTest::addColumn<QByteArray>("after");
        QTest::newRow("chosen") << QByteArray() << QByteArray(":7") << QByteArrayList{} << QByteArray("xcb");
        QTest::newRow("empty counts as unset")
            << QByteArray("") << QByteArray(":7") << QByteArrayList{} << QByteArray("xcb");
        QTest::newRow("kept") << QByteArray("wayland") << QByteArray(":7") << QByteArrayList{}
                              << QByteArray("wayland");
        QTest::newRow("argument wins")
            << QByteArray() << QByteArray(":7") << QByteArrayList{"--platform", "wayland"} << QByteArray();
        QTest::newRow("no display") << QByteArray() << QByteArray() << QByteArrayList{} << QByteArray();
    }
    void selectSetsTheEnvironment()
    {
        QFETCH(QByteArray, qpaPlatform);
        QFETCH(QByteArray, display);
        QFETCH(QByteArrayList, arguments);
        QFETCH(QByteArray, after);
        const QByteArray oldPlatform = qgetenv("QT_QPA_PLATFORM");
        const QByteArray oldDisplay = qgetenv("DISPLAY");
        auto set = [](const char *name, const QByteArray &value) {
            if (value.isNull())
                qunsetenv(name);
            else
                qputenv(name, value);
        };
        set("QT_QPA_PLATFORM", qpaPlatform);
        set("DISPLAY", display);
        QList<const char *> argv{"kavri-display"};
        for (const QByteArray &a : arguments)
            argv << a.constData();
        const auto choice = kavri::platform::selectDisplayPlatform(int(argv.size()), argv.constData());
        const QByteArray now = qgetenv("QT_QPA_PLATFORM");
        set("QT_QPA_PLATFORM", oldPlatform);
        set("DISPLAY", oldDisplay);
        QCOMPARE(now, after);
        QCOMPARE(kavri::platform::displayPlatformChoice().reason, choice.reason);
    }
};

QTEST_GUILESS_MAIN(TstDisplayPlatform)
#include "tst_displayplatform.moc"
