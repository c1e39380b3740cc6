#ifndef PORTLISTER_H
#define PORTLISTER_H

#include <QList>
#include <QString>

// The one place that lists serial ports for every port scan in the program.
//
// Normally the ports are those of QSerialPortInfo::availablePorts, in its
// order. When the environment variable KESTRELPACK_SERIAL_PORTS is set (even
// to an empty value), its colon-separated device paths replace that list, in
// the given order (SetOnlyPort names one port whole instead). This is a development aid: pseudo-terminals, which the
// device simulator uses, are not listed by QSerialPortInfo on Linux, and a
// test must never touch the machine's real ports.
class PortLister
{
public:
    struct Port
    {
        QString sPortName;    // what the system calls the port (COM3, ttyUSB0)
        QString sDevicePath;  // what QSerialPort::setPortName is given to open it
        bool bUsb = false;    // the system knows its USB vendor: an adapter, where the device is
        // What the system says of it, for the support file. A port named
        // through the environment or SetOnlyPort is not asked about: none.
        QString sDescription{};
        QString sManufacturer{};
        QString sSerialNumber{};
        int nVendorId = -1;   // USB vendor and product id; -1: not known
        int nProductId = -1;
    };

    static constexpr const char *kEnvironmentVariable = "KESTRELPACK_SERIAL_PORTS";

    static QList<Port> AvailablePorts();
    // Where AvailablePorts takes its list from, in words for support: "the
    // system", the environment variable, or the one port named.
    static QString ListOrigin();

    // The order in which the system's ports are tried: USB adapters first (the
    // device is on one), then the rest (modems, Bluetooth ports, whose open can
    // take seconds), each group in the system's order.
    static QList<Port> InScanOrder(QList<Port> ports);

    // Whether a port found earlier may be opened again. Where a list replaces
    // the system's (the only port, or the environment's), only a path on it
    // may: a pseudo-terminal's path is soon reused by another program's line.
    // With the system's list, any: some adapters open but are never listed.
    static bool MayTouch(const QString &sDevicePath);

    // Makes every later scan list this one path alone, taken whole (a
    // /dev/serial/by-path/ name holds ':'); it goes before the environment's
    // list. An empty path lifts it. Set it before the first scan; a scan on
    // another thread reads it under a lock.
    static void SetOnlyPort(const QString &sPath);

    // The path that opens a listed port: "\\.\COM3" on Windows, the system
    // location (/dev/ttyUSB0) elsewhere.
    static QString DevicePath(const QString &sPortName, const QString &sSystemLocation);
    // The name a person knows a port by: COM3 rather than \\.\COM3.
    static QString DisplayName(const QString &sDevicePath);
    // A port's name as the program compares and opens it, whatever the
    // technician typed: COM-shaped names (com10, \\.\com10) become COM10,
    // the form Qt on Windows opens and lists (it adds the \\.\ prefix only to
    // a name beginning with upper-case COM); any other name is kept as it is.
    static QString NormalName(const QString &sName);
};

#endif // PORTLISTER_H
