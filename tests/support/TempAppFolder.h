#pragma once

#include <QString>
#include <QTemporaryDir>

#include <memory>

namespace kavri::test {

/// A fresh application folder and per-user store for one test, removed afterwards.
/// It points the program's application folder and XDG_CONFIG_HOME at itself.
class TempAppFolder
{
public:
    TempAppFolder();
    ~TempAppFolder();

    bool isValid() const { return m_dir.isValid(); }
    QString path() const { return m_dir.path() + QStringLiteral("/app"); }
    QString filePath(const QString &name) const { return path() + u'/' + name; }
    QString configHome() const { return m_dir.path() + QStringLiteral("/config"); }

private:
    QTemporaryDir m_dir;
    QByteArray m_oldConfigHome;
    bool m_hadConfigHome = false;
};

} // namespace kavri::test
