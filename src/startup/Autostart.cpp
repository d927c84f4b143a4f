#include "startup/Autostart.h"

#include "platform/Folders.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

using namespace Qt::StringLiterals;

namespace kavri {

QString autostartFilePath()
{
    QString configHome = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (configHome.isEmpty() || !QDir::isAbsolutePath(configHome))
        configHome = QDir::homePath() + u"/.config"_s;
    return QDir::cleanPath(configHome + u"/autostart/kavri-display.desktop"_s);
}

QString desktopExecArgument(const QString &argument)
{
    if (argument.contains(u'\n') || argument.contains(u'\r'))
        return {};
    static const QString reserved = u" \t\"'\\><~|&;$*?#()`"_s;
    QString out;
    bool quote = argument.isEmpty();
    for (const QChar c : argument) {
        if (reserved.contains(c))
            quote = true;
        if (c == u'%')
            out += u"%%"_s;
        else if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            out += QString(u'\\') + c;
        else
            out += c;
    }
    return quote ? u'"' + out + u'"' : out;
}

QString autostartCommand(const QString &program, const QString &onPath, bool installed)
{
    if (installed && !onPath.isEmpty() && onPath == program)
        return u"kavri-display"_s;
    return program;
}

QByteArray autostartEntry(const QString &command, const QString &appDir)
{
    QStringList exec;
    if (!appDir.isEmpty())
        exec << u"env"_s << desktopExecArgument(u"KAVRI_APP_DIR="_s + appDir);
    exec << desktopExecArgument(command);
    if (exec.contains(QString()))
        return {};
    // Exec and TryExec are string values: their backslashes are escaped (once more).
    QString line = exec.join(u' ');
    line.replace(u"\\"_s, u"\\\\"_s);
    QString tryExec = command;
    tryExec.replace(u"\\"_s, u"\\\\"_s);
    return (u"[Desktop Entry]\n"
            "Type=Application\n"
            "Name=Kavri 디스플레이\n"
            "Comment=손님 요청 모니터를 로그인할 때 시작합니다\n"
            "Comment[en]=Starts the customer request monitor at login\n"
            "Exec="_s +
            line + u"\nTryExec="_s + tryExec +
            u"\n"
            "Icon=kavri-display\n"
            "Terminal=false\n"
            "X-GNOME-Autostart-enabled=true\n"_s)
        .toUtf8();
}

bool setAutostart(bool on, const QString &command, const QString &appDir, QString *error)
{
    const QString path = autostartFilePath();
    if (!on) {
        const QFileInfo there(path);
        if ((there.exists() || there.isSymLink()) && !QFile::remove(path)) {
            *error = u"자동 시작 파일을 지울 수 없습니다 / cannot remove "_s + path;
            return false;
        }
        return true;
    }
    const QByteArray entry = autostartEntry(command, appDir);
    if (entry.isEmpty()) {
        *error = u"경로에 줄바꿈이 있어 쓸 수 없습니다 / a path holds a line break"_s;
        return false;
    }
    QSaveFile file(path);
    // What the session starts at login: nobody else may change it, whatever the umask.
    const auto othersWrite = QFileDevice::WriteGroup | QFileDevice::WriteOther;
    if (!platform::makeFolders(QFileInfo(path).path()) || !file.open(QIODevice::WriteOnly) ||
        !file.setPermissions(file.permissions() & ~othersWrite) || file.write(entry) != entry.size() ||
        !file.commit()) {
        *error = u"자동 시작 파일을 쓸 수 없습니다 / cannot write "_s + path;
        return false;
    }
    return true;
}

} // namespace kavri
