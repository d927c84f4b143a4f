#pragma once

#include <QString>
#include <QStringView>

namespace kavri {

/// Whole number from a settings or service text: "true" is -1, "false" 0;
/// otherwise the leading number after removing "," and outer blanks, rounded
/// half to even; anything unreadable is 0.
qint64 ToLong(const QString &value);

/// True for "true", "yes", "t", "y" (any case) and any text whose ToLong is not 0.
bool ToBool(const QString &value);
inline bool ToBool(bool value)
{
    return value;
}

/// True for the empty text and for a text that reads as a number.
bool IsNumber(const QString &value);

/// Every control character (U+0000–U+001F, U+007F) replaced by a space: text from outside
/// never reaches a printer, a terminal or a log as a command or a line break.
QString withoutControls(QStringView text);
/// The same, but the control characters in `kept` (say the line breaks a text's own
/// tokens made) stay as they are.
QString withoutControls(QStringView text, QStringView kept);

} // namespace kavri
