#include "monitor/Confirmation.h"

#include "monitor/PollLoop.h"
#include "monitor/RequestBoard.h"
#include "monitor/RequestCycle.h"
#include "platform/Clock.h"
#include "services/ErrorReport.h"
#include "services/EventLog.h"
#include "services/ProcessValues.h"
#include "services/ServiceAnswers.h"
#include "services/WebService.h"
#include "services/WinHttp.h"

#include <exception>

using namespace Qt::StringLiterals;

namespace kavri::monitor {

namespace {

const QString kWindowName = u"frmAlarm"_s;

void call(const std::function<void()> &hook)
{
    // A copy: the window may take its hooks back while one of them runs.
    const std::function<void()> f = hook;
    if (f)
        f();
}

} // namespace

ConfirmResult confirmRequest(const QString &numT)
{
    const QString address = web::endpoint(web::ConfirmPath);
    const QString body = web::confirmBody(gLoginID, gLoginPW, numT);
    WriteLog(web::maskPassword(u"Check_Kavri() ... "_s + address + u'?' + body), LogChannel::WinHttpReq);
    int status = 0;
    const QString answer = GetWinHttp(address, body, &status);
    WriteLog(u"Check_Kavri() ... ResponseStr:"_s + gCrLf + answerForLog(answer), LogChannel::WinHttpReq);
    if (web::hasSuccessMarker(answer))
        return ConfirmResult::Confirmed;
    // A request time-out, or a gateway in front of the service that got no answer
    // from it (bad gateway, unavailable, time-out), is a service that hangs, as is no
    // response at all; any other answer is the service's word on this one request.
    const bool hangs = status == 0 || status == 408 || (status >= 502 && status <= 504);
    return hangs ? ConfirmResult::NoAnswer : ConfirmResult::Refused;
}

bool Check_Kavri(const QString &numT)
{
    return confirmRequest(numT) == ConfirmResult::Confirmed;
}

QStringList markedRequestNumbers(const RequestBoard &board)
{
    QStringList numbers;
    for (int r = 0; r < RequestBoard::kMaxRows; ++r) {
        const BoardRow &row = board.row(r);
        if (row.marked && !row.isEmpty() && !row.numTag.isEmpty())
            numbers.append(row.numTag);
    }
    return numbers;
}

ConfirmFlow::ConfirmFlow(RequestBoard &board, RequestCycle &cycle, PollLoop &loop, QObject *parent)
    : QObject(parent), m_board(board), m_cycle(cycle), m_loop(loop)
{
    // Marks follow their requests through every fill and vanish with them, and a
    // layout clears them: the button shows exactly while a mark is left.
    connect(&m_board, &RequestBoard::changed, this, [this] {
        if (!m_confirming)
            setButton(m_board.anyMarked(), m_enabled);
    });
    m_visible = m_board.anyMarked();
}

void ConfirmFlow::setHooks(Hooks hooks)
{
    m_hooks = std::move(hooks);
}

void ConfirmFlow::setButton(bool visible, bool enabled)
{
    if (visible == m_visible && enabled == m_enabled)
        return;
    m_visible = visible;
    m_enabled = enabled;
    emit buttonChanged();
}

void ConfirmFlow::rowClicked(int index)
{
    if (index < 0 || index >= m_board.rowCount() || m_board.row(index).isEmpty())
        return;
    m_board.setMarked(index, !m_board.row(index).marked);
    m_loop.restartInterval();
    if (!m_confirming)
        setButton(m_board.anyMarked(), m_enabled);
}

void ConfirmFlow::CMD_Click(int index)
{
    WriteLog(u"CMD_Click Start CMD("_s + QString::number(index) + u").Enabled := "_s +
             (m_enabled ? u"True"_s : u"False"_s));
    if (!m_enabled)
        return;
    setButton(m_visible, false);
    WriteLog(u"CMD_Click NextStep"_s);
    // The flag is cleared below only when this press set it: a poll tick's
    // cycle keeps its own.
    const bool heldBefore = m_loop.LoopTimerDoing();
    // While a cycle runs the board is being rewritten; the marks wait for
    // the next press.
    if (index == 0 && !m_cycle.isRunning())
        confirmMarked();
    m_confirming = false;
    if (!heldBefore)
        m_loop.setLoopTimerDoing(false);
    setButton(m_board.anyMarked(), true);
}

void ConfirmFlow::confirmMarked()
{
    m_confirming = true;
    m_loop.setLoopTimerDoing(true);
    m_loop.restartInterval();
    const QStringList numbers = markedRequestNumbers(m_board);
    m_board.clearMarks();
    for (const QString &numT : numbers)
        confirmOne(numT);
    if (!numbers.isEmpty())
        emit confirmed();
    m_cycle.Load_Kavri(true);
}

bool ConfirmFlow::confirmOne(const QString &numT)
{
    bool ok = false;
    call(m_hooks.showWait);
    ok = Check_Kavri(numT);
    if (ok)
        m_cycle.responseStats().noteConfirmed(numT, stats::LeftHow::Staff, platform::clock().now());
    call(m_hooks.hideWait);
    return ok;
}

} // namespace kavri::monitor
