#include "platform/gui/LongPress.h"

#include <QContextMenuEvent>
#include <QMouseEvent>
#include <QTest>
#include <QWidget>

using namespace kavri;

namespace {

/// A widget that counts what reaches it.
class Target : public QWidget
{
public:
    int menus = 0;
    int releases = 0;
    QPoint menuPos;

protected:
    void contextMenuEvent(QContextMenuEvent *event) override
    {
        ++menus;
        menuPos = event->pos();
    }
    void mouseReleaseEvent(QMouseEvent *) override { ++releases; }
};

} // namespace

// A hold on a widget is its right click; a click and a drag stay what they are.
class TstLongPress : public QObject
{
    Q_OBJECT

private slots:
    void holdOpensTheMenu_data()
    {
        QTest::addColumn<QByteArray>("gesture");
        QTest::addColumn<int>("menus");
        QTest::addColumn<int>("releases");
        QTest::newRow("held still") << QByteArray("hold") << 1 << 0;
        QTest::newRow("held with a small tremble") << QByteArray("tremble") << 1 << 0;
        QTest::newRow("a click") << QByteArray("click") << 0 << 1;
        QTest::newRow("a drag") << QByteArray("drag") << 0 << 1;
    }
    void holdOpensTheMenu()
    {
        QFETCH(QByteArray, gesture);
        QFETCH(int, menus);
        QFETCH(int, releases);
        Target target;
        target.resize(200, 60);
        platform::LongPress longPress;
        longPress.watch(&target);
        target.show();
        QVERIFY(QTest::qWaitForWindowExposed(&target));

        const QPoint at(40, 30);
        const Qt::MouseButton button = Qt::LeftButton;
        QTest::mousePress(&target, button, {}, at);
        if (gesture == "click") {
            QTest::mouseRelease(&target, button, {}, at);
        } else {
            if (gesture == "drag")
                QTest::mouseMove(&target, at + QPoint(40, 0));
            else if (gesture == "tremble")
                QTest::mouseMove(&target, at + QPoint(3, 2));
            if (menus)
                QTRY_COMPARE(target.menus, menus);
            else
                QTest::qWait(platform::LongPress::kHoldMs * 2);
            QTest::mouseRelease(&target, button, {}, gesture == "drag" ? at + QPoint(40, 0) : at);
        }
        QCOMPARE(target.menus, menus);
        QCOMPARE(target.releases, releases);
        if (menus)
            QCOMPARE(target.menuPos, at);

        // The next plain click after a hold is a click again.
        QTest::mouseClick(&target, Qt::LeftButton, {}, at);
        QCOMPARE(target.releases, releases + 1);
    }
};

QTEST_MAIN(TstLongPress)
#include "tst_longpress.moc"
