#include "device/busyline.h"

#include "device/commandframes.h"
#include "device/devicelink.h"
#include "device/waits.h"

#include <QDebug>
#include <QEventLoop>
#include <QPointer>
#include <QTimer>

#include <atomic>

namespace {

// The longest record stream an export of this process asked for.
std::atomic<qint64> s_nStreamOwedMs {0};

// The control-mode frame as hex text: its echo is the application's answer.
QString CtrlFrameText()
{
    QString sFrameText;
    CommandFrames::BuildCommandFrame(QLatin1String(CommandFrames::kEnterCtrlModeCommand), sFrameText);
    return sFrameText;
}

} // namespace

int BusyLine::BoundMs()
{
    const qint64 nMaxMs = Waits::Current().nBusyMaxMs;
    const qint64 nOwedMs = s_nStreamOwedMs.load();
    return static_cast<int>(nOwedMs > 0 ? qMin(nOwedMs, nMaxMs) : nMaxMs);
}

void BusyLine::NoteStreamOwedMs(qint64 nMs)
{
    s_nStreamOwedMs.store(nMs);
}

BusyLine::BusyLine(DeviceLink &link) : m_link(link), m_nBoundMs(BoundMs())
{
}

bool BusyLine::Identify(int nWindowMs)
{
    static const QString sCtrlFrame = CtrlFrameText();
    for (;;) {
        if (m_link.IdentifyOpenPort(nWindowMs)) {
            return true;
        }
        // Silence is no busy line: nothing there, or nothing that answers.
        const QString sReply = m_link.m_sLastReply;
        if (m_link.m_bDeviceGone || m_link.m_bWaitsAborted || !m_link.SerialPort()->isOpen() || sReply.isEmpty()) {
            return false;
        }
        // Data, then the echo: the device finished what it was sending and
        // answered; asked again, it answers at once.
        if (!m_bEchoRetried && sReply.size() > sCtrlFrame.size() && sReply.endsWith(sCtrlFrame)) {
            m_bEchoRetried = true;
            qDebug() << "OpenSerialPort: the echo came after other data; asking again";
            continue;
        }
        switch (WaitQuiet(sReply.size() / 2)) {
        case Quiet::AfterData:
            continue;
        case Quiet::Never:
            m_bKeptBusy = true;
            m_link.m_error = m_link.Translate("The device keeps sending: its line did not fall quiet within %1 s",
                                              FailureKind::KeepsSending)
                                 .arg(Seconds());
            qDebug() << "OpenSerialPort:" << m_link.m_error.sEnglish;
            return false;
        default:
            // A wrong answer on a quiet line: not the device, or not one
            // that answers as it should.
            return false;
        }
    }
}

BusyLine::Quiet BusyLine::WaitQuiet(int nReplyBytes)
{
    if (m_link.m_bBusyWaitAborted) {
        return Quiet::Ended;
    }
    if (!m_since.isValid()) {
        m_since.start();
    }
    const int nGapMs = Waits::Current().nBusyQuietMs;
    bool bFellQuiet = false;
    qint64 nDropped = 0;
    QEventLoop loop;
    QTimer quiet;
    quiet.setSingleShot(true);
    quiet.setTimerType(Qt::PreciseTimer);
    QObject::connect(&quiet, &QTimer::timeout, &loop, [&bFellQuiet, &loop]() {
        bFellQuiet = true;
        loop.quit();
    });
    const QPointer<QSerialPort> pPort(m_link.SerialPort());
    const auto drop = [&]() {
        const qint64 nBytes = pPort->readAll().size();
        if (nBytes == 0) {
            return;
        }
        nDropped += nBytes;
        quiet.start(nGapMs);
        if (!m_bSaid && nReplyBytes + nDropped > kStreamBytes) {
            m_bSaid = true;
            qDebug() << "OpenSerialPort: the line is busy; waiting up to" << m_nBoundMs << "ms for it to fall quiet";
            emit m_link.signal_LineBusy(Seconds());
        }
    };
    const QMetaObject::Connection readyRead = QObject::connect(pPort, &QSerialPort::readyRead, &loop, drop);
    quiet.start(nGapMs);
    if (pPort->bytesAvailable() > 0) {
        drop();
    }
    const qint64 nLeftMs = m_nBoundMs - m_since.elapsed();
    if (nLeftMs > 0) {
        m_link.m_bInBusyWait = true;
        m_link.RunWaitLoop(loop, static_cast<int>(nLeftMs));
        m_link.m_bInBusyWait = false;
    }
    QObject::disconnect(readyRead);
    qDebug() << "OpenSerialPort: dropped" << nDropped << "bytes of a busy line after" << m_since.elapsed()
             << "ms; quiet:" << bFellQuiet;
    if (m_link.m_bDeviceGone || m_link.m_bWaitsAborted || m_link.m_bBusyWaitAborted) {
        return Quiet::Ended;
    }
    if (bFellQuiet) {
        return (nDropped > 0 && nReplyBytes + nDropped > kStreamBytes) ? Quiet::AfterData : Quiet::Silent;
    }
    return Quiet::Never;
}

bool BusyLine::HearsUnasked()
{
    const int nReplyBytes = m_link.m_sLastReply.size() / 2;
    if (nReplyBytes == 0 || m_link.m_bDeviceGone || !m_link.SerialPort()->isOpen()) {
        return false;
    }
    const int nGapMs = Waits::Current().nBusyQuietMs;
    QElapsedTimer listening;
    listening.start();
    qint64 nHeard = 0;
    while (listening.elapsed() < nGapMs) {
        const int nBytes = m_link.WaitForData(static_cast<int>(nGapMs - listening.elapsed())).size() / 2;
        if (nBytes == 0) {
            break;
        }
        nHeard += nBytes;
        if (nReplyBytes + nHeard > kStreamBytes) {
            return true;
        }
    }
    return false;
}
