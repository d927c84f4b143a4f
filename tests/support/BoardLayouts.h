#pragma once

#include <QList>
#include <QTest>

namespace kavri::test {

/// The columns "resolution" (ResolutionIDX: 0 is 1024 pixels wide, 1 is 1366) and
/// "display" (DisplayIDX: 10, 16 or 30 rows), one data row per board layout.
inline void addEveryBoardLayout()
{
    QTest::addColumn<int>("resolution");
    QTest::addColumn<int>("display");
    for (int resolution : {0, 1}) {
        for (int display : {0, 1, 2})
            QTest::addRow("%d, %d rows", resolution == 0 ? 1024 : 1366, QList<int>{10, 16, 30}[display])
                << resolution << display;
    }
}

} // namespace kavri::test
