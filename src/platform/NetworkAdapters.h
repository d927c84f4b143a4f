#pragma once

#include <QList>
#include <QString>
#include <QStringList>

namespace kavri::platform {

/// One network adapter as the kernel lists it.
struct NetworkAdapter
{
    QString name;
    QString hardwareAddress; ///< "AA:BB:CC:DD:EE:FF" as the kernel gives it; may be empty
    bool ethernet = false;   ///< an Ethernet-type adapter (wired or wireless Ethernet framing)
    bool loopback = false;
    QStringList ipAddresses; ///< IPv4 first, then IPv6
};

/// The list of adapters, in the kernel's order.
class NetworkAdapterSource
{
public:
    virtual ~NetworkAdapterSource() = default;
    virtual QList<NetworkAdapter> adapters() const = 0;
};

/// The machine's adapters through Qt Network.
class SystemNetworkAdapters final : public NetworkAdapterSource
{
public:
    QList<NetworkAdapter> adapters() const override;
};

/// A fixed table of adapters, for tests.
class FixedNetworkAdapters final : public NetworkAdapterSource
{
public:
    explicit FixedNetworkAdapters(QList<NetworkAdapter> list) : m_list(std::move(list)) {}
    QList<NetworkAdapter> adapters() const override { return m_list; }

private:
    QList<NetworkAdapter> m_list;
};

const NetworkAdapterSource &networkAdapters();
/// Installs `source` (not owned); nullptr goes back to the machine's adapters.
void setNetworkAdapters(const NetworkAdapterSource *source);

} // namespace kavri::platform
