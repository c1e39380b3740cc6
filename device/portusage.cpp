#include "device/portusage.h"

#include "device/porttrial.h"
#include "device/waits.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <algorithm>
#include <optional>
#include <vector>

#ifdef Q_OS_WIN
#include <windows.h>
#endif
#ifdef Q_OS_UNIX
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <csignal>
#endif

namespace {

// The refusal that means another holder: Windows opens a port for one
// handle only; on Unix a port opened with TIOCEXCL refuses everyone but root.
bool MeansHeld(int nError)
{
#ifdef Q_OS_WIN
    return nError == ERROR_ACCESS_DENIED;
#else
    return nError == EBUSY;
#endif
}

#ifdef Q_OS_UNIX
// A lock file is a few dozen bytes; more is not one.
constexpr qint64 kLockFileMaxBytes = 256;

struct LockHolder
{
    qint64 nPid = 0;
    QString sProgram;
};

// The living process that a lock file for the port names, looked for in the
// folders where Qt's serial port takes its lock, under Qt's name for it
// ("/dev/pts/3" -> "LCK..pts_3"). Only regular files are read: a FIFO put in
// its place would hold the read up for ever.
LockHolder FindLockHolder(const QString &sDevicePath)
{
    QString sName = sDevicePath.startsWith(QLatin1String("/dev/")) ? sDevicePath.mid(5) : sDevicePath;
    sName.replace(QLatin1Char('/'), QLatin1Char('_'));
    const QStringList folders = {
        QStringLiteral("/var/lock"),        QStringLiteral("/etc/locks"), QStringLiteral("/var/spool/locks"),
        QStringLiteral("/var/spool/uucp"),  QStringLiteral("/tmp"),       QStringLiteral("/var/tmp"),
        QStringLiteral("/var/lock/lockdev"), QStringLiteral("/run/lock"),
        QStandardPaths::writableLocation(QStandardPaths::TempLocation),
    };
    for (const QString &sFolder : folders) {
        const QString sPath = sFolder + QStringLiteral("/LCK..") + sName;
        if (!QFileInfo(sPath).isFile()) {
            continue;
        }
        QFile file(sPath);
        if (!file.open(QIODevice::ReadOnly)) {
            continue;
        }
        // Qt writes the process id, its name and the host, a line each;
        // UUCP programs the id alone, padded with blanks.
        const QList<QByteArray> lines = file.read(kLockFileMaxBytes).split('\n');
        const qint64 nPid = lines.value(0).trimmed().toLongLong();
        if (nPid <= 0) {
            continue;
        }
        if (::kill(pid_t(nPid), 0) == -1 && errno == ESRCH) {
            continue;   // left behind by a process that has ended
        }
        return {nPid, QString::fromUtf8(lines.value(1).trimmed())};
    }
    return {};
}
#endif

} // namespace

namespace PortUsage {

QList<Entry> Check()
{
    const QList<PortLister::Port> ports = PortLister::AvailablePorts();
    QList<Entry> entries;
    // A port whose lock names its holder is not touched; every other one
    // gets its trial open, all at once.
    std::vector<std::optional<PortTrial>> trials(std::size_t(ports.size()));
    for (int i = 0; i < ports.size(); ++i) {
        entries.append(Entry{ports.at(i), Use::Unknown, QString()});
#ifdef Q_OS_UNIX
        const LockHolder holder = FindLockHolder(ports.at(i).sDevicePath);
        if (holder.nPid > 0) {
            entries.last().eUse = Use::InUse;
            entries.last().sNote =
                QStringLiteral("its lock file names process %1%2%3")
                    .arg(holder.nPid)
                    .arg(holder.sProgram.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(holder.sProgram))
                    .arg(holder.nPid == QCoreApplication::applicationPid() ? QStringLiteral(", this program")
                                                                           : QString());
            continue;
        }
#endif
        trials[std::size_t(i)].emplace(ports.at(i).sDevicePath);
    }
    const auto allEnded = [&trials]() {
        return std::all_of(trials.cbegin(), trials.cend(),
                           [](const std::optional<PortTrial> &trial) { return !trial || trial->Ended(); });
    };
    const int nBoundMs = Waits::Current().nSupportPortCheckMs;
    if (!allEnded()) {
        QEventLoop loop;
        QElapsedTimer elapsed;
        elapsed.start();
        QTimer poll;
        poll.setTimerType(Qt::PreciseTimer);
        QObject::connect(&poll, &QTimer::timeout, &loop, [&]() {
            if (allEnded() || elapsed.elapsed() >= nBoundMs) {
                loop.quit();
            }
        });
        poll.start(Waits::Current().nPortOpenPollMs);
        loop.exec();
    }

    for (int i = 0; i < ports.size(); ++i) {
        const std::optional<PortTrial> &trial = trials.at(std::size_t(i));
        if (!trial) {
            continue;
        }
        Entry &entry = entries[i];
        if (!trial->Ended()) {
            entry.sNote = QStringLiteral("its open had not returned after %1 ms").arg(nBoundMs);
        } else if (trial->Opened()) {
            entry.eUse = Use::Free;
            entry.sNote = QStringLiteral("it opened and was closed again");
        } else if (MeansHeld(trial->Error())) {
            entry.eUse = Use::InUse;
            entry.sNote = QStringLiteral("it refused to open: a program holds it");
        } else if (trial->Error() != 0) {
            entry.eUse = Use::NotOpened;
            entry.sNote = QStringLiteral("system error %1: %2").arg(trial->Error()).arg(qt_error_string(trial->Error()));
        } else {
            entry.sNote = QStringLiteral("its trial open could not be started");
        }
    }
    return entries;
}

QString UseWord(Use eUse)
{
    switch (eUse) {
    case Use::Free:
        return QStringLiteral("no");
    case Use::InUse:
        return QStringLiteral("yes");
    case Use::NotOpened:
        return QStringLiteral("could not be opened");
    case Use::Unknown:
        break;
    }
    return QStringLiteral("not known");
}

} // namespace PortUsage
