#include "services/AppFolder.h"

#include <QCoreApplication>
#include <QDir>

using namespace Qt::StringLiterals;

namespace kavri {
namespace {
QString g_appFolder;
}

QString appFolder()
{
    if (g_appFolder.isEmpty()) {
        const QString fromEnv = qEnvironmentVariable("KAVRI_APP_DIR");
        if (!fromEnv.isEmpty())
            g_appFolder = QDir(fromEnv).absolutePath();
        else if (QCoreApplication::instance())
            g_appFolder = QCoreApplication::applicationDirPath();
        else
            g_appFolder = QDir::currentPath();
    }
    return g_appFolder;
}

void setAppFolder(const QString &folder)
{
    g_appFolder = folder.isEmpty() ? QString() : QDir(folder).absolutePath();
}

QString appFilePath(const QString &name)
{
    return appFolder() + u'/' + name;
}

} // namespace kavri
