#include "app/supportsummary.h"

#include <QCoreApplication>
#include <QDir>
#include <QLocale>
#include <QSysInfo>
#include <QTextStream>

namespace SupportSummary {

namespace {

// CR LF, as the log's lines end: support opens both in the same editor on
// Windows.
const char *const kEnd = "\r\n";

QString OrDash(const QString &sText)
{
    return sText.trimmed().isEmpty() ? QStringLiteral("-") : sText.trimmed();
}

QString Id(int nId)
{
    return nId < 0 ? QStringLiteral("-") : QStringLiteral("%1").arg(nId, 4, 16, QLatin1Char('0'));
}

QString Compiler()
{
#if defined(__clang__)
    return QStringLiteral("clang " __clang_version__);
#elif defined(__GNUC__)
    return QStringLiteral("GCC " __VERSION__);
#elif defined(_MSC_VER)
    return QStringLiteral("MSVC %1").arg(_MSC_VER);
#else
    return QStringLiteral("unknown compiler");
#endif
}

void Screens(QTextStream &out, const Facts &facts)
{
    if (!facts.bWindow) {
        out << "Screens: none (the command line has no window)" << kEnd;
        return;
    }
    out << "Screens: " << facts.screens.size() << kEnd;
    for (int i = 0; i < facts.screens.size(); ++i) {
        out << "  " << (i + 1) << ": " << facts.screens.at(i) << kEnd;
    }
}

void Ports(QTextStream &out, const Facts &facts)
{
    out << "Serial ports (listed from " << facts.sPortOrigin << "; in use: told within " << facts.nPortCheckMs
        << " ms): " << facts.ports.size() << kEnd;
    for (const PortUsage::Entry &entry : facts.ports) {
        const PortLister::Port &port = entry.port;
        out << "  " << port.sPortName;
        if (port.sDevicePath != port.sPortName) {
            out << " (" << port.sDevicePath << ")";
        }
        out << kEnd;
        out << "    Description: " << OrDash(port.sDescription) << kEnd;
        out << "    Manufacturer: " << OrDash(port.sManufacturer) << kEnd;
        out << "    Vendor ID: " << Id(port.nVendorId) << ", product ID: " << Id(port.nProductId) << kEnd;
        out << "    Serial number: " << OrDash(port.sSerialNumber) << kEnd;
        out << "    In use: " << PortUsage::UseWord(entry.eUse) << " (" << entry.sNote << ")" << kEnd;
    }
}

QString TakenText(const SupportLogs::Piece &piece)
{
    using SupportLogs::Taken;
    switch (piece.eTaken) {
    case Taken::Whole:
        return QStringLiteral("%1 bytes").arg(piece.data.size());
    case Taken::Tail:
        return QStringLiteral("its last %1 of %2 bytes (the start cut off at the bound)")
            .arg(piece.data.size())
            .arg(piece.nFileSize);
    case Taken::LeftOut:
        return QStringLiteral("left out, %1 bytes (beyond the bound)").arg(piece.nFileSize);
    case Taken::Unreadable:
        return QStringLiteral("not readable: %1").arg(piece.sError);
    case Taken::Missing:
        break;
    }
    return QStringLiteral("not there");
}

} // namespace

QString Text(const Facts &facts)
{
    QString sText;
    QTextStream out(&sText);
    out << "Kestrelpack support file" << kEnd;
    // With the offset from UTC: the log's times are local, support's may not be.
    const QDateTime written = facts.written.toOffsetFromUtc(facts.written.offsetFromUtc());
    out << "Written: " << written.toString(Qt::ISODate) << " by " << facts.sProgram << kEnd << kEnd;

    out << "Version: " << KP_PRODUCT_VERSION << " (file version " << KP_FILE_VERSION << ")" << kEnd;
    out << "Build: " << KP_BUILD_TYPE << ", " << Compiler() << ", " << QSysInfo::buildAbi() << ", Qt " << QT_VERSION_STR
        << kEnd;
    out << "Program: " << QDir::toNativeSeparators(QCoreApplication::applicationFilePath()) << kEnd;
    out << "Data folder: " << QDir::toNativeSeparators(facts.sDataDir) << kEnd;
    out << "Operating system: " << QSysInfo::prettyProductName() << " (" << QSysInfo::kernelType() << " "
        << QSysInfo::kernelVersion() << ", " << QSysInfo::currentCpuArchitecture() << ")" << kEnd;
    out << "System locale: " << QLocale::system().name() << kEnd;
    out << "Qt: " << qVersion() << kEnd;
    Screens(out, facts);
    out << kEnd;

    Ports(out, facts);
    out << kEnd;

    out << "Last job: ";
    if (facts.sLastJob.isEmpty()) {
        out << "none recorded" << kEnd;
    } else {
        out << facts.sLastJob << kEnd << "  (from " << facts.sLastJobSource << ")" << kEnd;
    }
    out << kEnd;

    out << "Files (logs within " << SupportLogs::kLogBytesBound << " bytes together, newest first; the settings and "
        << "the service history within " << SupportLogs::kFileBytesBound << " bytes each):" << kEnd;
    for (const SupportLogs::Piece &piece : facts.pieces) {
        out << "  " << piece.sEntry << ": " << TakenText(piece) << kEnd;
    }
    out.flush();
    return sText;
}

} // namespace SupportSummary
