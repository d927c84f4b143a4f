#include "platform/NetworkAdapters.h"

#include <QNetworkInterface>

namespace kavri::platform {
namespace {

const SystemNetworkAdapters g_system;
const NetworkAdapterSource *g_source = &g_system;

} // namespace

QList<NetworkAdapter> SystemNetworkAdapters::adapters() const
{
    QList<NetworkAdapter> out;
    const QList<QNetworkInterface> all = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface &iface : all) {
        NetworkAdapter a;
        a.name = iface.name();
        a.hardwareAddress = iface.hardwareAddress();
        a.loopback = iface.type() == QNetworkInterface::Loopback ||
                     iface.flags().testFlag(QNetworkInterface::IsLoopBack);
        a.ethernet = iface.type() == QNetworkInterface::Ethernet || iface.type() == QNetworkInterface::Wifi;
        QStringList v6;
        for (const QNetworkAddressEntry &entry : iface.addressEntries()) {
            const QHostAddress ip = entry.ip();
            if (ip.protocol() == QAbstractSocket::IPv4Protocol)
                a.ipAddresses.append(ip.toString());
            else
                v6.append(ip.toString());
        }
        a.ipAddresses += v6;
        out.append(a);
    }
    return out;
}

const NetworkAdapterSource &networkAdapters()
{
    return *g_source;
}

void setNetworkAdapters(const NetworkAdapterSource *source)
{
    g_source = source ? source : &g_system;
}

} // namespace kavri::platform
