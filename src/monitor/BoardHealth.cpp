#include "monitor/BoardHealth.h"

#include <QStringList>

#include <optional>

using namespace Qt::StringLiterals;

namespace kavri::monitor {

void BoardHealth::pollSucceeded(const QDateTime &now)
{
    m_lastSuccess = now;
    m_failedPolls = 0;
    m_loginRejected = false;
}

void BoardHealth::pollFailed()
{
    // Bounded: the line says how many in a row, not an ever-growing number.
    if (m_failedPolls < 9999)
        ++m_failedPolls;
}

void BoardHealth::setLoginRejected(bool rejected)
{
    m_loginRejected = rejected;
}

void BoardHealth::setPrinterFailed(const QString &slot, bool failed)
{
    if (slot.isEmpty())
        return;
    if (failed)
        m_printerFailed.insert(slot.left(40), true);
    else
        m_printerFailed.remove(slot.left(40));
}

void BoardHealth::setPrinterCondition(const QString &slot, PrinterCondition condition)
{
    if (slot.isEmpty())
        return;
    if (holdsTickets(condition) || condition == PrinterCondition::PaperNearEnd)
        m_printerConditions.insert(slot.left(40), condition);
    else
        m_printerConditions.remove(slot.left(40));
}

void BoardHealth::keepPrinters(const QStringList &names)
{
    QStringList kept;
    for (const QString &name : names)
        kept << name.left(40);
    const auto keepOnly = [&kept](auto &bySlot) {
        for (auto it = bySlot.begin(); it != bySlot.end();)
            it = kept.contains(it.key()) ? std::next(it) : bySlot.erase(it);
    };
    keepOnly(m_printerFailed);
    keepOnly(m_printerConditions);
}

void BoardHealth::setUnprinted(qsizetype count)
{
    m_unprinted = count;
}

void BoardHealth::setSpeechUnavailable(bool unavailable)
{
    m_speechUnavailable = unavailable;
}

void BoardHealth::setNewVersionInstalled(bool installed)
{
    m_newVersionInstalled = installed;
}

QString BoardHealth::faults() const
{
    return describeFaults(true);
}

QString BoardHealth::describeFaults(bool withCount) const
{
    QStringList parts;
    if (m_loginRejected)
        parts << u"로그인 거부됨"_s;
    else if (m_failedPolls > 0)
        parts << (withCount ? u"서버 응답 없음 · "_s + QString::number(m_failedPolls) + u"회"_s
                            : u"서버 응답 없음"_s);
    for (auto it = m_printerFailed.cbegin(); it != m_printerFailed.cend(); ++it)
        parts << it.key() + u" 프린터 출력 실패"_s;
    for (auto it = m_printerConditions.cbegin(); it != m_printerConditions.cend(); ++it) {
        if (holdsTickets(it.value()))
            parts << it.key() + u" 프린터 "_s + conditionText(it.value());
    }
    if (m_unprinted > 0)
        parts << u"미출력 "_s + QString::number(m_unprinted) + u"건"_s;
    if (m_speechUnavailable)
        parts << u"음성 안내 불가"_s;
    return parts.join(u" · "_s);
}

QString BoardHealth::text() const
{
    const QString last =
        m_lastSuccess.isValid() ? u"확인 "_s + m_lastSuccess.toString(u"HH:mm:ss"_s) : u"확인 전"_s;
    QStringList parts{last};
    if (const QString wrong = faults(); !wrong.isEmpty())
        parts << wrong;
    // Notes, not faults: nothing to do yet, so the line keeps its calm colour.
    for (auto it = m_printerConditions.cbegin(); it != m_printerConditions.cend(); ++it) {
        if (it.value() == PrinterCondition::PaperNearEnd)
            parts << it.key() + u" 프린터 "_s + conditionText(it.value());
    }
    // The main log hears of a new version once, from the session.
    if (m_newVersionInstalled)
        parts << u"새 버전 설치됨 · 다시 시작하세요"_s;
    return parts.join(u" · "_s);
}

bool BoardHealth::takeChange(QString *now)
{
    // The count of failed polls grows every poll; only its start and end are a change.
    const QString state = describeFaults(false);
    if (state == m_reported)
        return false;
    m_reported = state;
    if (now)
        *now = state;
    return true;
}

QList<HealthItem> BoardHealth::items() const
{
    QList<HealthItem> out;
    for (auto it = m_printerFailed.cbegin(); it != m_printerFailed.cend(); ++it)
        out.append({it.key() + u" 프린터 출력 실패"_s, it.key() + u" 프린터 실패"_s});
    if (m_unprinted > 0) {
        const QString unprinted = u"미출력 "_s + QString::number(m_unprinted) + u"건"_s;
        out.append({unprinted, unprinted});
    }
    if (m_loginRejected)
        out.append({u"로그인 거부됨"_s, u"로그인 거부"_s});
    else if (m_failedPolls > 0)
        out.append({u"서버 응답 없음 · "_s + QString::number(m_failedPolls) + u"회"_s, u"서버 무응답"_s});
    if (m_speechUnavailable)
        out.append({u"음성 안내 불가"_s, u"음성 불가"_s});
    if (m_newVersionInstalled)
        out.append({u"새 버전 설치됨 · 다시 시작하세요"_s, u"새 버전 · 재시작"_s});
    if (m_lastSuccess.isValid())
        out.append({u"확인 "_s + m_lastSuccess.toString(u"HH:mm:ss"_s),
                    u"확인 "_s + m_lastSuccess.toString(u"HH:mm"_s)});
    else
        out.append({u"확인 전"_s, u"확인 전"_s});
    return out;
}

namespace {

/// Lines of `parts` joined by " · ", a new line where the next part would not fit.
std::optional<QStringList> packed(const QStringList &parts, const std::function<bool(const QString &)> &fits,
                                  int maxLines)
{
    QStringList lines;
    for (const QString &part : parts) {
        if (!lines.isEmpty() && fits(lines.last() + u" · "_s + part)) {
            lines.last() += u" · "_s + part;
            continue;
        }
        if (lines.size() >= maxLines || !fits(part))
            return std::nullopt;
        lines.append(part);
    }
    return lines;
}

} // namespace

HealthLines healthLines(const QList<HealthItem> &items, const std::function<bool(const QString &)> &fits,
                        int maxLines)
{
    QStringList full;
    QStringList brief;
    for (const HealthItem &item : items) {
        full << item.full;
        brief << item.brief;
    }
    QStringList untimed = brief;
    if (untimed.size() > 1)
        untimed.removeLast();
    // Two lines where they do; a third (in the store name's place) only when they do not.
    for (const int lines : {std::min(2, maxLines), maxLines}) {
        for (const QStringList *parts : {&full, &brief, &untimed}) {
            if (const auto packedLines = packed(*parts, fits, lines))
                return {*packedLines, true};
        }
    }
    // The window cuts what still does not fit; it keeps the most urgent first.
    return {QStringList{untimed.join(u" · "_s)}, false};
}

} // namespace kavri::monitor
