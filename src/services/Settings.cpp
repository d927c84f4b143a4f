#include "services/Settings.h"

#include "codec/Cp949.h"
#include "services/AppFolder.h"
#include "services/ColumnWidth.h"
#include "services/EventLog.h"
#include "services/IniFile.h"

using namespace Qt::StringLiterals;

namespace kavri {

CommonUtil CfgMain;
CommonUtil CfgWork(u"CommonUtil.ini"_s);

QString ReadINI(const QString &section, const QString &key, const QString &path)
{
    const QString value = ini::read(path, section, key, IniEncoding::Cp949).value_or(QString());
    // The plain route hands back at most 254 bytes; a cut never leaves half a character.
    QString out;
    qsizetype bytes = 0;
    for (qsizetype i = 0; i < value.size();) {
        const qsizetype step = value.at(i).isHighSurrogate() && i + 1 < value.size() ? 2 : 1;
        const QString ch = value.mid(i, step);
        const qsizetype len = codec::cp949Length(ch);
        if (bytes + len > 254)
            break;
        out += ch;
        bytes += len;
        i += step;
    }
    return out;
}

void WriteINI(const QString &section, const QString &key, const QString &value, const QString &path)
{
    ini::write(path, section, key, value, IniEncoding::Cp949);
}

CommonUtil::CommonUtil(QString defaultFileName) : m_defaultFileName(std::move(defaultFileName)) {}

QString CommonUtil::fileName() const
{
    if (!m_fileName.isEmpty())
        return m_fileName;
    return m_defaultFileName.isEmpty() ? QString() : appFilePath(m_defaultFileName);
}

QString CommonUtil::readValue(const QString &section, const QString &key, const QString &defaultValue) const
{
    const QString path = fileName();
    if (path.isEmpty())
        return defaultValue;
    return ini::read(path, section, key, IniEncoding::Cp949).value_or(defaultValue);
}

void CommonUtil::writeValue(const QString &section, const QString &key, const QString &value)
{
    const QString path = fileName();
    if (!path.isEmpty())
        ini::write(path, section, key, value, IniEncoding::Cp949);
}

bool CommonUtil::writeValues(const QString &section, const QList<QPair<QString, QString>> &values)
{
    const QString path = fileName();
    return !path.isEmpty() && ini::writeValues(path, section, values, IniEncoding::Cp949);
}

QString CommonUtil::boolText(bool value)
{
    return value ? u"True"_s : u"False"_s;
}

void CommonUtil::writeValue(const QString &section, const QString &key, bool value)
{
    writeValue(section, key, boolText(value));
}

void CommonUtil::writeValue(const QString &section, const QString &key, qint64 value)
{
    writeValue(section, key, QString::number(value));
}

void CommonUtil::report(const QString &text, int, int) const
{
    WriteLog(text, LogChannel::Main);
}

QString CommonUtil::cutAtTerminator(const QString &text)
{
    const qsizetype nul = text.indexOf(QChar(0));
    return nul < 0 ? text : text.left(nul);
}

int CommonUtil::textWidth(const QString &text)
{
    return TextWidth(text);
}

QString CommonUtil::fitToWidth(const QString &text, int width)
{
    return LeftByWidth(text, width);
}

} // namespace kavri
