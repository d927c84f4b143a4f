#include "board/WindowOutline.h"

#include <QTest>

using namespace kavri::monitor;

class TstWindowOutline : public QObject
{
    Q_OBJECT

private slots:
    void outlines()
    {
        const QRegion icon = iconModeRegion();
        QCOMPARE(icon.boundingRect(), QRect(1, 1, 84, 80));
        QVERIFY(icon.contains(QPoint(42, 40)));
        QVERIFY(icon.contains(QPoint(1, 40)));
        QVERIFY(icon.contains(QPoint(42, 80)));
        QVERIFY(!icon.contains(QPoint(1, 1)));
        QVERIFY(!icon.contains(QPoint(84, 80)));
        QVERIFY(!icon.contains(QPoint(0, 40)));
        QCOMPARE(fullModeRegion(1366).boundingRect(), QRect(0, 0, 1367, 769));
    }
};

QTEST_MAIN(TstWindowOutline)
#include "tst_windowoutline.moc"
