#include "services/TimeText.h"

namespace kavri {

namespace {

/// The `count` digits at `from` as a number; -1 when one of them is no digit.
int digitsAt(QStringView text, qsizetype from, qsizetype count)
{
    int value = 0;
    for (qsizetype i = from; i < from + count; ++i) {
        const char16_t c = text.at(i).unicode();
        if (c < u'0' || c > u'9')
            return -1;
        value = value * 10 + (c - u'0');
    }
    return value;
}

} // namespace

std::optional<WallTime> readWallTime(QStringView text)
{
    if (text.size() != 19 || text.at(4) != u'-' || text.at(7) != u'-' || text.at(10) != u' ' ||
        text.at(13) != u':' || text.at(16) != u':')
        return std::nullopt;
    const int year = digitsAt(text, 0, 4);
    const int month = digitsAt(text, 5, 2);
    const int day = digitsAt(text, 8, 2);
    const int hour = digitsAt(text, 11, 2);
    const int minute = digitsAt(text, 14, 2);
    const int second = digitsAt(text, 17, 2);
    // A letter in the year reads as -1, which QDate would take as 2 BC.
    if (year < 1 || !QDate::isValid(year, month, day) || !QTime::isValid(hour, minute, second))
        return std::nullopt;
    return WallTime{QDate(year, month, day), QTime(hour, minute, second)};
}

} // namespace kavri
