#pragma once

#include <QList>
#include <QPair>
#include <QString>

namespace kavri {

/// Reads a value of a CP949 INI file the plain way: at most 254 bytes of it,
/// never splitting a two-byte character; the empty text when anything is missing.
QString ReadINI(const QString &section, const QString &key, const QString &path);

/// Sets a value in a CP949 INI file; reports nothing.
void WriteINI(const QString &section, const QString &key, const QString &value, const QString &path);

/// The settings component: INI access on a settable file, the error report,
/// and the text operations the program shares.
class CommonUtil
{
public:
    explicit CommonUtil(QString defaultFileName = {});

    /// The file the instance works on.
    QString fileName() const;
    void setFileName(const QString &path) { m_fileName = path; }

    /// The stored value, or `defaultValue` when the key (or file or section) is missing.
    QString readValue(const QString &section, const QString &key, const QString &defaultValue = {}) const;

    void writeValue(const QString &section, const QString &key, const QString &value);
    void writeValue(const QString &section, const QString &key, bool value);
    void writeValue(const QString &section, const QString &key, qint64 value);
    void writeValue(const QString &section, const QString &key, int value)
    {
        writeValue(section, key, qint64(value));
    }
    /// Writes all `values` of `section` in one atomic replace of the file; false
    /// (and the file unchanged) when it could not be written.
    bool writeValues(const QString &section, const QList<QPair<QString, QString>> &values);
    /// The text form of a flag in the file.
    static QString boolText(bool value);

    /// Records an error report line in the main log. The two numbers are kept for
    /// the callers' sake and change nothing.
    void report(const QString &text, int kind = 3, int level = 2) const;

    /// The text up to its first NUL character.
    static QString cutAtTerminator(const QString &text);
    /// Width in printer columns: 1 below U+0100, 2 otherwise.
    static int textWidth(const QString &text);
    /// The text when it fits `width` columns, else its longest prefix that does.
    static QString fitToWidth(const QString &text, int width);

private:
    QString m_defaultFileName;
    QString m_fileName;
};

/// Bound to Zarazo.cfg by start-up.
extern CommonUtil CfgMain;
/// Used by the upgrade on Patch.ini and ForceUpgrade.ini; until pointed
/// anywhere it works on CommonUtil.ini in the application folder.
extern CommonUtil CfgWork;

} // namespace kavri
