#include "support/TempAppFolder.h"

#include "services/AppFolder.h"

#include <QDir>

namespace kavri::test {

TempAppFolder::TempAppFolder()
{
    QDir().mkpath(path());
    QDir().mkpath(configHome());
    m_hadConfigHome = qEnvironmentVariableIsSet("XDG_CONFIG_HOME");
    m_oldConfigHome = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(configHome()));
    setAppFolder(path());
}

TempAppFolder::~TempAppFolder()
{
    setAppFolder({});
    if (m_hadConfigHome)
        qputenv("XDG_CONFIG_HOME", m_oldConfigHome);
    else
        qunsetenv("XDG_CONFIG_HOME");
}

} // namespace kavri::test
