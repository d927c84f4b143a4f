#include "services/IniFile.h"

#include "codec/Cp949.h"

#include <QFile>
#include <QSaveFile>

using namespace Qt::StringLiterals;

namespace kavri::ini {
namespace {

QString decode(const QByteArray &bytes, IniEncoding encoding)
{
    return encoding == IniEncoding::Cp949 ? codec::fromCp949(bytes) : QString::fromUtf8(bytes);
}

QByteArray encode(const QString &text, IniEncoding encoding)
{
    return encoding == IniEncoding::Cp949 ? codec::toCp949(text) : text.toUtf8();
}

// One physical line: its bytes without the line break, and the break itself.
struct Line
{
    QByteArray body;
    QByteArray eol;
};

QList<Line> splitLines(const QByteArray &contents)
{
    QList<Line> lines;
    qsizetype start = 0;
    while (start < contents.size()) {
        qsizetype nl = contents.indexOf('\n', start);
        if (nl < 0) {
            lines.append({contents.mid(start), {}});
            break;
        }
        qsizetype end = nl;
        if (end > start && contents.at(end - 1) == '\r')
            --end;
        lines.append({contents.mid(start, end - start), contents.mid(end, nl + 1 - end)});
        start = nl + 1;
    }
    return lines;
}

// Section name when the line is a header, else nothing.
std::optional<QString> sectionOf(const QString &line)
{
    const QString t = line.trimmed();
    if (t.startsWith(u'[')) {
        const qsizetype close = t.indexOf(u']');
        if (close > 0)
            return t.mid(1, close - 1).trimmed();
    }
    return std::nullopt;
}

bool isKeyLine(const QString &line, const QString &key, QString *value)
{
    const QString t = line.trimmed();
    if (t.isEmpty() || t.startsWith(u';'))
        return false;
    const qsizetype eq = t.indexOf(u'=');
    if (eq < 0 || t.left(eq).trimmed().compare(key, Qt::CaseInsensitive) != 0)
        return false;
    if (value)
        *value = t.mid(eq + 1).trimmed();
    return true;
}

bool sameName(const QString &a, const QString &b)
{
    return a.trimmed().compare(b.trimmed(), Qt::CaseInsensitive) == 0;
}

} // namespace

std::optional<QString> valueIn(const QByteArray &contents, const QString &section, const QString &key,
                               IniEncoding encoding)
{
    bool inSection = false;
    bool seenSection = false;
    for (const Line &raw : splitLines(contents)) {
        const QString line = decode(raw.body, encoding);
        if (const auto name = sectionOf(line)) {
            // Only the first section of a name counts, as with the system's own INI functions.
            if (seenSection && inSection)
                return std::nullopt;
            inSection = sameName(*name, section);
            seenSection = seenSection || inSection;
            continue;
        }
        QString value;
        if (inSection && isKeyLine(line, key, &value))
            return value;
    }
    return std::nullopt;
}

std::optional<QString> read(const QString &path, const QString &section, const QString &key,
                            IniEncoding encoding)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return valueIn(file.readAll(), section, key, encoding);
}

QByteArray withValue(const QByteArray &original, const QString &section, const QString &key,
                     const QString &value, IniEncoding encoding)
{
    QList<Line> lines = splitLines(original);
    // A line break inside a value would cut the file into bogus lines.
    QString clean = value;
    clean.replace(u'\r', u' ').replace(u'\n', u' ');
    const QByteArray newLine = encode(key + u'=' + clean, encoding);

    QByteArray eol = "\r\n";
    for (const Line &l : lines) {
        if (!l.eol.isEmpty()) {
            eol = l.eol;
            break;
        }
    }

    qsizetype sectionStart = -1; // index of the header line
    qsizetype lastContent = -1;  // last key or comment line inside the section
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString line = decode(lines[i].body, encoding);
        if (const auto name = sectionOf(line)) {
            if (sectionStart >= 0)
                break;
            if (sameName(*name, section)) {
                sectionStart = i;
                lastContent = i;
            }
            continue;
        }
        if (sectionStart < 0)
            continue;
        if (isKeyLine(line, key, nullptr)) {
            lines[i].body = newLine;
            if (lines[i].eol.isEmpty())
                lines[i].eol = eol;
            lastContent = -2;
            break;
        }
        if (!line.trimmed().isEmpty())
            lastContent = i;
    }

    if (lastContent == -2) {
        // replaced in place
    } else if (sectionStart >= 0) {
        if (lines[lastContent].eol.isEmpty())
            lines[lastContent].eol = eol;
        lines.insert(lastContent + 1, {newLine, eol});
    } else {
        if (!lines.isEmpty() && lines.last().eol.isEmpty())
            lines.last().eol = eol;
        lines.append({encode(u'[' + section + u']', encoding), eol});
        lines.append({newLine, eol});
    }

    QByteArray out;
    for (const Line &l : lines)
        out += l.body + l.eol;
    return out;
}

namespace {

/// Replaces the file with `transform` applied to its current contents, in one step.
template <typename Transform>
bool replaceFile(const QString &path, QFileDevice::Permissions permissions, Transform transform)
{
    QByteArray original;
    const bool existed = QFile::exists(path);
    if (existed) {
        QFile in(path);
        if (!in.open(QIODevice::ReadOnly))
            return false;
        original = in.readAll();
    }
    QSaveFile out(path);
    // Without a writable folder for the temporary file, write in place rather than lose the setting.
    out.setDirectWriteFallback(true);
    // Unbuffered, so a short write (disk full) shows here; a buffered one failed only inside
    // commit(), which then still put the truncated file in place of the good one.
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        return false;
    if (!existed)
        out.setPermissions(permissions);
    const QByteArray contents = transform(original);
    if (out.write(contents) != contents.size()) {
        out.cancelWriting();
        return false;
    }
    return out.commit();
}

} // namespace

bool write(const QString &path, const QString &section, const QString &key, const QString &value,
           IniEncoding encoding, QFileDevice::Permissions permissions)
{
    return replaceFile(path, permissions, [&](const QByteArray &original) {
        return withValue(original, section, key, value, encoding);
    });
}

bool writeValues(const QString &path, const QString &section, const QList<QPair<QString, QString>> &values,
                 IniEncoding encoding, QFileDevice::Permissions permissions)
{
    return replaceFile(path, permissions, [&](const QByteArray &original) {
        QByteArray contents = original;
        for (const auto &[key, value] : values)
            contents = withValue(contents, section, key, value, encoding);
        return contents;
    });
}

} // namespace kavri::ini
