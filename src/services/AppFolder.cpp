#include "services/AppFolder.h"

#include "platform/Folders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace kavri {
namespace {
AppFolderChoice g_choice;

QString cleanAbsolute(const QString &path)
{
    return QDir::cleanPath(QDir(path).absolutePath());
}

/// Links (or copies) `source` to `target` unless `target` is there already. A
/// dangling link is replaced: it points at a file a package upgrade removed.
bool provide(const QString &source, const QString &target)
{
    const QFileInfo there(target);
    if (there.exists())
        return true;
    if (there.isSymLink())
        QFile::remove(target);
    return QFile::link(source, target) || QFile::copy(source, target);
}
} // namespace

bool isInstalledProgramFolder(const QString &programFolder)
{
    if (programFolder.isEmpty())
        return false;
    if (QFileInfo::exists(programFolder + u'/' + QString::fromUtf16(InstalledMarkerName)))
        return true;
    const QFileInfo info(programFolder);
    return info.isDir() && !info.isWritable();
}

QString perUserAppFolder()
{
    QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
    if (dataHome.isEmpty() || !QDir::isAbsolutePath(dataHome))
        dataHome = QDir::homePath() + u"/.local/share"_s;
    return QDir::cleanPath(dataHome + u"/kavri-display"_s);
}

AppFolderChoice chooseAppFolder(const QString &fromEnv, const QString &programFolder, const QString &perUser)
{
    AppFolderChoice choice;
    choice.installed = isInstalledProgramFolder(programFolder);
    if (!fromEnv.isEmpty()) {
        const QString named = cleanAbsolute(fromEnv);
        // The installed files are the package's; even root's copy keeps out of them.
        if (!choice.installed || named != cleanAbsolute(programFolder)) {
            choice.folder = named;
            choice.source = AppFolderSource::Environment;
            return choice;
        }
    }
    if (choice.installed) {
        choice.folder = cleanAbsolute(perUser);
        choice.source = AppFolderSource::PerUser;
    } else {
        choice.folder = programFolder;
        choice.source = AppFolderSource::Program;
    }
    return choice;
}

QString programFolder()
{
    return QCoreApplication::instance() ? QCoreApplication::applicationDirPath() : QDir::currentPath();
}

AppFolderChoice appFolderChoice()
{
    if (g_choice.folder.isEmpty())
        g_choice =
            chooseAppFolder(qEnvironmentVariable("KAVRI_APP_DIR"), programFolder(), perUserAppFolder());
    return g_choice;
}

QString appFolder()
{
    return appFolderChoice().folder;
}

void setAppFolder(const QString &folder)
{
    g_choice = {};
    if (!folder.isEmpty()) {
        g_choice.folder = QDir(folder).absolutePath();
        g_choice.source = AppFolderSource::Fixed;
    }
}

QString appFilePath(const QString &name)
{
    return appFolder() + u'/' + name;
}

bool prepareAppFolder(const QString &folder, const QString &installFolder, QString *error)
{
    // Logs and settings of the shop: for this user's eyes only, and so is every
    // folder made above it (~/.local, ~/.local/share).
    if (!platform::makeFolders(folder)) {
        *error = u"폴더를 만들 수 없습니다: "_s + folder;
        return false;
    }
    const QDir dir(folder);
    const QDir source(installFolder);
    for (const QString &sub : {u"skin"_s, u"sound"_s}) {
        if (!platform::makeFolders(dir.filePath(sub)))
            continue;
        const QFileInfoList files = QDir(source.filePath(sub)).entryInfoList(QDir::Files);
        for (const QFileInfo &file : files)
            provide(file.absoluteFilePath(), dir.filePath(sub + u'/' + file.fileName()));
    }
    // The sound test plays the chime from the application folder itself.
    if (QFileInfo::exists(source.filePath(u"DDD.wav"_s)))
        provide(source.filePath(u"DDD.wav"_s), dir.filePath(u"DDD.wav"_s));
    return true;
}

} // namespace kavri
