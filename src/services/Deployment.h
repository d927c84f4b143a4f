#pragma once

#include <QMap>
#include <QString>

#include "services/PortTarget.h"

namespace kavri {

/// What belongs to the installation rather than the shop: the web service
/// addresses, the patch server and the serial devices, from Deploy.ini
/// (UTF-8) in the application folder.
struct Deployment
{
    QString secureBase; ///< e.g. https://host:port
    QString plainBase;  ///< e.g. http://host:port
    /// After a blank answer from the secure address, the login tries the plain one
    /// (sending the ID and password unencrypted); [Service] PlainFallback=0 turns it off.
    bool plainFallback = true;
    QString patchServer;      ///< catalogue database host[:port]; empty: no upgrade check
    QString patchUser;        ///< catalogue account; empty: the built-in one
    QString patchPassword;    ///< its password; empty: the built-in one
    QString patchDownload;    ///< host[:port] of the "/cc/" downloads; empty: the catalogue's host, port 80
    QMap<int, QString> ports; ///< serial port number -> device
    /// [Ports] Locked=1: the devices are the deployment's; the settings window only shows them.
    bool portsLocked = false;

    /// The device of serial port N: the [Ports] line COMN, else /dev/ttyS(N-1);
    /// empty for a port number below 1.
    QString serialDevice(int port) const;
    /// What port N leads to: its [Ports] line read as a device or a network
    /// printer, else the serial device /dev/ttyS(N-1); refused below 1.
    PortTarget target(int port) const;

    static QString defaultSecureBase();
    static QString defaultPlainBase();
};

/// Reads Deploy.ini; a missing file or key takes the built-in default.
Deployment loadDeployment();

} // namespace kavri
