#pragma once

#include "codec/Cp949.h"
#include "monitor/WindowOptions.h"
#include "support/FileBytes.h"
#include "support/OpenBoard.h"
#include "support/PrintingTestEnvironment.h"
#include "support/Simulator.h"

#include <QTest>

#include <functional>
#include <memory>
#include <optional>

namespace kavri::test {

/// The board as the program runs it, against the simulator: the environment with
/// its clock at 2026-12-10 12:00, a simulator the shop is logged in to, and the
/// session and its window once opened. Started in init(), stopped in cleanup().
struct BoardFixture
{
    std::optional<PrintingTestEnvironment> env;
    std::unique_ptr<Simulator> sim;
    std::unique_ptr<monitor::MonitorSession> session;
    std::unique_ptr<frmAlarm> window;

    /// False (with the simulator's error) when it did not start. A non-zero `tick`
    /// sets the clock's tick counter.
    bool start(QString *error, qint64 tick = 0)
    {
        env.emplace(QDateTime(QDate(2026, 12, 10), QTime(12, 0, 0)));
        if (tick != 0)
            env->clock().setTick(tick);
        sim = std::make_unique<Simulator>();
        if (!sim->isRunning()) {
            *error = sim->errorString();
            return false;
        }
        sim->logIn(3000);
        return true;
    }
    /// The window before its session, the session before the simulator.
    void stop()
    {
        window.reset();
        session.reset();
        sim.reset();
        env.reset();
    }
    void open(std::function<void(int code)> end = [](int) {}) { openBoard(session, window, std::move(end)); }

    QString regDate(qint64 secondsAgo) const
    {
        return env->clock().now().addSecs(-secondsAgo).toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    }
    /// A request of the test shop, registered `secondsAgo` before the clock's now.
    qint64 add(const QString &table, const QString &text, qint64 secondsAgo)
    {
        return sim->addRequest(Simulator::shopId, table, text, {}, regDate(secondsAgo));
    }
};

/// Zarazo.cfg holding only these lines of section "Set", in the file's code page.
inline void writeSetSection(const QStringList &lines)
{
    QString text = QStringLiteral("[Set]\r\n");
    for (const QString &line : lines)
        text += line + QStringLiteral("\r\n");
    QVERIFY(writeBytes(monitor::settingsFilePath(), codec::toCp949(text)));
}

} // namespace kavri::test
