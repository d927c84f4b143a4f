#include "services/LoginRecord.h"

#include "services/ProcessValues.h"
#include "services/UserStore.h"

using namespace Qt::StringLiterals;

namespace kavri::login {
namespace {

QString flagText(bool on)
{
    return on ? u"True"_s : u"False"_s;
}

} // namespace

QString defaultRecord()
{
    return u"False"_s + gSep + u"False"_s + gSep + gSep;
}

std::optional<QStringList> parseRecord(const QString &text)
{
    const QStringList fields = text.split(gSep);
    if (fields.size() != 4)
        return std::nullopt;
    return fields;
}

QString joinRecord(const QStringList &fields)
{
    return fields.join(gSep);
}

QStringList rememberedRecord()
{
    if (auto ours = parseRecord(storedRecord()))
        return *ours;
    if (auto sibling = parseRecord(userstore::get(SiblingApplication, StoreSection, StoreKey)))
        return *sibling;
    return *parseRecord(defaultRecord());
}

QString buildRecord(bool remember, bool autoLogin, const QString &id, const QString &password)
{
    QString record = flagText(remember) + gSep + flagText(autoLogin) + gSep;
    if (remember)
        record += id + gSep + password;
    else
        record += gSep + gSep;
    return record;
}

QString recordAfterLogout(const QString &stored)
{
    auto fields = parseRecord(stored);
    if (!fields)
        return defaultRecord();
    (*fields)[1] = flagText(false);
    return joinRecord(*fields);
}

QString storedRecord()
{
    return userstore::get(StoreApplication, StoreSection, StoreKey);
}

bool saveRecord(const QString &record)
{
    return userstore::set(StoreApplication, StoreSection, StoreKey, record);
}

} // namespace kavri::login
