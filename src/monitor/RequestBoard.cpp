#include "monitor/RequestBoard.h"

#include "services/Settings.h"

using namespace Qt::StringLiterals;

namespace kavri::monitor {

namespace {

struct SizeStep
{
    int below; ///< applies to widths below this; 0 = everything wider
    int size;
};

int sizeFor(std::initializer_list<SizeStep> steps, int w)
{
    int size = 0;
    for (const SizeStep &step : steps) {
        size = step.size;
        if (step.below == 0 || w < step.below)
            break;
    }
    return size;
}

PayIcon iconFor(const QString &payType)
{
    if (payType == u"카드"_s)
        return PayIcon::Card;
    if (payType == u"현금"_s)
        return PayIcon::Cash;
    return PayIcon::None;
}

} // namespace

RequestBoard::RequestBoard(QObject *parent) : QObject(parent) {}

int RequestBoard::rowCountFor(int displayIdx)
{
    switch (displayIdx) {
    case 0:
        return 10;
    case 1:
        return 16;
    case 2:
        return 30;
    default:
        return 0;
    }
}

QString RequestBoard::resolutionText() const
{
    switch (m_resolutionIdx) {
    case 0:
        return u"1024"_s;
    case 1:
        return u"1366"_s;
    default:
        return {};
    }
}

QString RequestBoard::rowText() const
{
    switch (m_displayIdx) {
    case 0:
        return u"10개"_s;
    case 1:
        return u"16개"_s;
    case 2:
        return u"30개"_s;
    default:
        return {};
    }
}

void RequestBoard::setLayout(int resolutionIdx, int displayIdx)
{
    m_resolutionIdx = resolutionIdx;
    m_displayIdx = displayIdx;
    for (BoardRow &row : m_rows) {
        const QString numTag = row.numTag;
        row = BoardRow{};
        row.numTag = numTag;
    }
    m_banner = Banner{};
    m_openCount = 0;
    emit changed();
}

void RequestBoard::clearRows()
{
    for (BoardRow &row : m_rows) {
        row.table.clear();
        row.regDate.clear();
        row.memo.clear();
        row.payType.clear();
        row.icon = PayIcon::None;
    }
    emit changed();
}

void RequestBoard::fill(const KavriList &list, qsizetype openCount)
{
    m_openCount = openCount < 0 ? list.size() : std::max<qsizetype>(openCount, list.size());
    // A mark belongs to the request it was set on: it moves with the request to
    // whatever row shows it now, and goes when the request has left the list.
    QStringList markedNumbers;
    for (const BoardRow &row : m_rows) {
        if (row.marked && !row.numTag.isEmpty())
            markedNumbers.append(row.numTag);
    }
    for (BoardRow &row : m_rows) {
        row.marked = false;
        row.table.clear();
        row.regDate.clear();
        row.memo.clear();
        row.payType.clear();
        row.icon = PayIcon::None;
    }
    const QString resolution = resolutionText();
    const QString rows = rowText();
    const qsizetype n = qMin<qsizetype>(list.size(), kMaxRows);
    for (qsizetype i = 0; i < n; ++i) {
        const KavriEntry &entry = list.at(i);
        BoardRow &row = m_rows[i];
        row.numTag = entry.NumT;
        row.table = entry.TableT;
        row.regDate = entry.RegDateT;
        row.memo = entry.MemoT;
        row.payType = entry.PayTypeT;
        row.icon = iconFor(entry.PayTypeT);
        row.marked = markedNumbers.contains(entry.NumT);
        row.memoPointSize = requestPointSize(resolution, rows, CommonUtil::textWidth(entry.MemoT));
    }
    m_banner.table = m_rows[0].table;
    m_banner.payType = m_rows[0].payType;
    m_banner.text = m_rows[0].memo;
    m_banner.pointSize = bannerPointSize(resolution, CommonUtil::textWidth(m_banner.text));
    emit changed();
}

void RequestBoard::setMarked(int r, bool marked)
{
    if (r < 0 || r >= kMaxRows || m_rows[r].marked == marked)
        return;
    m_rows[r].marked = marked;
    emit changed();
}

void RequestBoard::clearMarks()
{
    if (!anyMarked())
        return;
    for (BoardRow &row : m_rows)
        row.marked = false;
    emit changed();
}

bool RequestBoard::anyMarked() const
{
    for (const BoardRow &row : m_rows) {
        if (row.marked)
            return true;
    }
    return false;
}

int requestPointSize(const QString &resolutionText, const QString &rowText, int w)
{
    if (resolutionText == u"1024"_s) {
        if (rowText == u"10개"_s)
            return sizeFor({{45, 20}, {65, 16}, {100, 14}, {0, 12}}, w);
        if (rowText == u"16개"_s)
            return sizeFor({{45, 16}, {65, 14}, {100, 12}, {150, 10}, {0, 8}}, w);
        return sizeFor({{45, 13}, {65, 10}, {100, 9}, {150, 7}, {0, 5}}, w);
    }
    if (rowText == u"10개"_s)
        return sizeFor({{75, 20}, {100, 16}, {150, 14}, {0, 12}}, w);
    if (rowText == u"16개"_s)
        return sizeFor({{45, 16}, {65, 14}, {130, 12}, {200, 10}, {0, 8}}, w);
    return sizeFor({{75, 13}, {100, 11}, {150, 9}, {190, 8}, {230, 7}, {0, 6}}, w);
}

int bannerPointSize(const QString &resolutionText, int w)
{
    if (resolutionText == u"1024"_s)
        return sizeFor({{55, 40}, {100, 35}, {140, 30}, {200, 24}, {0, 18}}, w);
    return sizeFor({{100, 40}, {150, 35}, {200, 30}, {250, 24}, {0, 18}}, w);
}

std::optional<BoardRow> RequestBoard::shownRequest(const QString &number) const
{
    if (number.isEmpty())
        return std::nullopt;
    for (int r = 0; r < rowCount(); ++r) {
        if (!m_rows.at(r).isEmpty() && m_rows.at(r).numTag == number)
            return m_rows.at(r);
    }
    return std::nullopt;
}

} // namespace kavri::monitor
