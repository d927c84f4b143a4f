#include "upgrade/Handover.h"

#include "platform/Processes.h"
#include "services/AppFolder.h"
#include "services/Settings.h"

#include <QFile>
#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace kavri {
namespace {

std::function<void(int)> &endHook()
{
    static std::function<void(int)> hook;
    return hook;
}

/// Points CfgWork at Patch.ini for the life of the object.
class PatchIniScope
{
public:
    PatchIniScope() : m_noted(CfgWork.fileName()) { CfgWork.setFileName(appFilePath(u"Patch.ini"_s)); }
    ~PatchIniScope() { CfgWork.setFileName(m_noted); }

private:
    QString m_noted;
};

bool g_ended = false;

} // namespace

bool upgradeProcessEnded()
{
    return g_ended;
}

void clearUpgradeProcessEnded()
{
    g_ended = false;
}

void endUpgradeProcess(int code)
{
    g_ended = true;
    if (endHook())
        endHook()(code);
    else
        platform::endProcessNow(code);
}

void setEndUpgradeProcess(std::function<void(int)> hook)
{
    endHook() = std::move(hook);
}

bool startPatchedProgram(const QString &path, QString *error)
{
    const QFileInfo info(path);
    if (!info.exists() || !info.isFile()) {
        *error = u"파일이 없습니다: "_s + path;
        return false;
    }
    QFile file(path);
    const QFileDevice::Permissions run = QFileDevice::ExeOwner | QFileDevice::ExeUser |
                                         QFileDevice::ExeGroup | QFileDevice::ExeOther |
                                         QFileDevice::ReadOwner | QFileDevice::ReadUser;
    if ((file.permissions() & run) != run && !file.setPermissions(file.permissions() | run)) {
        *error = file.errorString();
        return false;
    }
    const platform::ProcessStamp started = platform::startDetached(path, {u"/a"_s}, appFolder(), error);
    return !started.isNull();
}

QString readPatchIni(const QString &key)
{
    PatchIniScope scope;
    return CfgWork.readValue(u"Patch"_s, key, {});
}

void writePatchIni(const QString &version, const QString &result)
{
    PatchIniScope scope;
    CfgWork.writeValue(u"Patch"_s, u"Version"_s, version);
    CfgWork.writeValue(u"Patch"_s, u"Result"_s, result);
}

void writePatchResult(const QString &result)
{
    PatchIniScope scope;
    CfgWork.writeValue(u"Patch"_s, u"Result"_s, result);
}

} // namespace kavri
