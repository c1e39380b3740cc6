#include "simulator/devicesimulator.h"

#include "simulator/simhandover.h"
#include "simulator/commandframesplitter.h"
#include "simulator/imagestore.h"

#include <QDebug>
#include <QSocketNotifier>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <unistd.h>

namespace {

// A partial command frame whose first byte is older than this is dropped.
constexpr int kFrameGapMs = 50;
// Longest run of unframed bytes held before it is dropped at once.
constexpr int kMaxPending = 64;
constexpr int kReadChunk = 65536;

const QByteArray kFrameEnterCtrl = QByteArray::fromHex("C0AAAAAAAAD4");
const QByteArray kFrameExitCtrl = QByteArray::fromHex("C1AAAAAAAA19");
const QByteArray kFrameVersion = QByteArray::fromHex("C8AAAAAAAAEA");
const QByteArray kFrameSerial = QByteArray::fromHex("CC55AAAAAA1E");
const QByteArray kFrameCount = QByteArray::fromHex("D1AAAAAAAA65");
const QByteArray kFrameExport = QByteArray::fromHex("CD34AAAAAACC");
const QByteArray kFrameBoot = QByteArray::fromHex("C955AAAAAACC");

QString StateName(SimulatorOptions::State eState)
{
    switch (eState) {
    case SimulatorOptions::State::Application: return QStringLiteral("app");
    case SimulatorOptions::State::BootMenu: return QStringLiteral("boot");
    case SimulatorOptions::State::Ymodem: return QStringLiteral("ymodem");
    }
    return QString();
}

} // namespace

const QByteArray DeviceSimulator::kRefusalText = QByteArrayLiteral("Invalid Number\r\n");
// No capital letter C in it: a host counts those as the receiver's requests.
const QByteArray DeviceSimulator::kMenuText = QByteArrayLiteral(
    "\r\n1: Download image to the internal flash\r\n2: Execute the loaded application\r\n"
    "Waiting for the file to be sent ... (press 'a' to abort)\r\n");

// Capital Cs on purpose: a host that counts every "C" as a request of the
// receiver is fooled by it, as it would be by the real boot loader.
const QByteArray DeviceSimulator::kBannerText =
    QByteArrayLiteral("\r\nBoot loader V1.2 (C) Kestrel Devices Corp.\r\n");

DeviceSimulator::DeviceSimulator(const SimulatorOptions &options, QObject *parent)
    : QObject(parent)
    , m_options(options)
    , m_inPacer(options.nBytesPerSecond)
    , m_output(m_options, m_terminal, m_clock, this)
    , m_receiver(options, this)
    , m_eState(options.initialState)
{
    m_clock.start();
}

DeviceSimulator::~DeviceSimulator()
{
    m_terminal.Close();
}

bool DeviceSimulator::OpenTerminal(QString *psError)
{
    if (!m_terminal.Open(psError))
        return false;
    std::lock_guard<std::mutex> locker(m_mutex);
    m_sPortPath = m_terminal.SlavePath();
    return true;
}

QString DeviceSimulator::PortPath() const
{
    std::lock_guard<std::mutex> locker(m_mutex);
    return m_sPortPath;
}

QList<QByteArray> DeviceSimulator::Frames() const
{
    std::lock_guard<std::mutex> locker(m_mutex);
    return m_frames;
}

SimulatorOptions::State DeviceSimulator::State() const
{
    std::lock_guard<std::mutex> locker(m_mutex);
    return m_eState;
}

QList<SimulatedDevice::Image> DeviceSimulator::Images() const
{
    std::lock_guard<std::mutex> locker(m_mutex);
    return m_images;
}

QStringList DeviceSimulator::LineViolations() const
{
    std::lock_guard<std::mutex> locker(m_mutex);
    return m_lineViolations;
}

qint64 DeviceSimulator::NowMs() const
{
    return m_clock.elapsed();
}

void DeviceSimulator::slot_Begin()
{
    if (!m_terminal.IsOpen() || m_pReadNotifier)
        return;
    if (!m_options.sTranscriptFile.isEmpty()) {
        m_transcript.setFileName(m_options.sTranscriptFile);
        if (!m_transcript.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text))
            qWarning() << "Transcript file cannot be opened:" << m_options.sTranscriptFile << m_transcript.errorString();
    }
    m_pReadNotifier = new QSocketNotifier(m_terminal.MasterFd(), QSocketNotifier::Read, this);
    connect(m_pReadNotifier, &QSocketNotifier::activated, this, &DeviceSimulator::slot_ReadReady);

    auto makeTimer = [this](void (DeviceSimulator::*slot)()) {
        QTimer *pTimer = new QTimer(this);
        pTimer->setSingleShot(true);
        pTimer->setTimerType(Qt::PreciseTimer);
        connect(pTimer, &QTimer::timeout, this, slot);
        return pTimer;
    };
    m_pReadTimer = makeTimer(&DeviceSimulator::slot_ResumeReading);
    m_pFrameTimer = makeTimer(&DeviceSimulator::slot_FrameTimeout);
    m_pReceiverTimer = makeTimer(&DeviceSimulator::slot_ReceiverTick);
    m_pBootTimer = makeTimer(&DeviceSimulator::slot_Reboot);

    m_output.Begin();
    // Starting in the boot loader is a boot of its own; only a host that is
    // already on the line sees the banner.
    if (m_options.bBootBanner && State() != SimulatorOptions::State::Application)
        m_output.Enqueue(kBannerText);
    if (State() == SimulatorOptions::State::Ymodem) {
        m_receiver.Start(NowMs());
        RescheduleReceiver();
    }
    if (State() == SimulatorOptions::State::Application && m_options.nStreamingAtStart != 0)
        m_output.StreamAtStart();
}

void DeviceSimulator::slot_Unplug()
{
    if (!m_terminal.IsOpen())
        return;
    qDebug() << "Simulated device: line closed";
    if (m_pReadNotifier)
        m_pReadNotifier->setEnabled(false);
    m_terminal.Close();
    m_receiver.Stop();
    m_output.Stop();
    for (QTimer *pTimer : {m_pReadTimer, m_pFrameTimer, m_pReceiverTimer, m_pBootTimer}) {
        if (pTimer)
            pTimer->stop();
    }
}

void DeviceSimulator::slot_Shutdown()
{
    slot_Unplug();
    delete m_pReadNotifier;
    m_pReadNotifier = nullptr;
    m_output.Shutdown();
    for (QTimer **ppTimer : {&m_pReadTimer, &m_pFrameTimer, &m_pReceiverTimer, &m_pBootTimer}) {
        delete *ppTimer;
        *ppTimer = nullptr;
    }
    m_transcript.close();
}

void DeviceSimulator::SetState(SimulatorOptions::State eState, bool bDropOutput, bool bBoots)
{
    // Bytes of a frame still being gathered are lost with the old state, but
    // the transcript shows that the host sent them.
    if (!m_baPending.isEmpty()) {
        const QByteArray lost = m_baPending;
        m_baPending.clear();
        RecordFrame(lost, QStringLiteral("lost when the state changed"));
    }
    {
        std::lock_guard<std::mutex> locker(m_mutex);
        m_eState = eState;
    }
    qDebug() << "Simulated device: now in state" << StateName(eState);
    if (m_pFrameTimer)
        m_pFrameTimer->stop();
    if (bDropOutput)
        m_output.Clear();
    if (bBoots && m_options.bBootBanner)
        m_output.Enqueue(kBannerText);
    if (eState == SimulatorOptions::State::Ymodem)
        m_receiver.Start(NowMs());
    else
        m_receiver.Stop();
    RescheduleReceiver();
    emit StateChanged(static_cast<int>(eState));
}

void DeviceSimulator::RecordFrame(const QByteArray &frame, const QString &sNote)
{
    SimulatorOptions::State eState;
    {
        std::lock_guard<std::mutex> locker(m_mutex);
        m_frames.append(frame);
        eState = m_eState;
    }
    QByteArray text = frame.toHex(' ').toUpper();
    if (!sNote.isEmpty())
        text += " # " + sNote.toUtf8();
    WriteTranscript(eState, text);
    // The frame's bytes were read here; the queued signal carries them to
    // the host's thread (SimulatedDevice receives the hand-over).
    SimHandOver::Give(this);
    emit FrameReceived(frame);
}

void DeviceSimulator::WriteTranscript(SimulatorOptions::State eState, const QByteArray &text)
{
    if (!m_transcript.isOpen())
        return;
    m_transcript.write(QByteArray::number(NowMs()) + ' ' + StateName(eState).toLatin1() + ' ' + text + '\n');
    m_transcript.flush();
}

void DeviceSimulator::CheckLineSettings()
{
    const QString sDifference = m_terminal.HostSettingDifferences().join(QStringLiteral("; "));
    if (sDifference == m_sLastLineDifference)
        return;
    m_sLastLineDifference = sDifference;
    if (sDifference.isEmpty())
        return;
    SimulatorOptions::State eState;
    {
        std::lock_guard<std::mutex> locker(m_mutex);
        m_lineViolations.append(sDifference);
        eState = m_eState;
    }
    qDebug() << "Simulated device: host line settings differ:" << sDifference;
    WriteTranscript(eState, "! line settings: " + sDifference.toUtf8());
    emit LineViolation(sDifference);
}

// ---------------------------------------------------------------- input

void DeviceSimulator::slot_ReadReady()
{
    if (!m_terminal.IsOpen())
        return;
    const qint64 nNowNs = m_clock.nsecsElapsed();
    const qint64 nAllowed = m_inPacer.Allowance(nNowNs, kReadChunk);
    if (nAllowed <= 0) {
        m_pReadNotifier->setEnabled(false);
        m_pReadTimer->start(m_inPacer.MsUntilNextByte(nNowNs));
        return;
    }
    QByteArray buffer(static_cast<int>(nAllowed), '\0');
    const ssize_t nRead = ::read(m_terminal.MasterFd(), buffer.data(), static_cast<size_t>(nAllowed));
    if (nRead < 0 && (errno == EAGAIN || errno == EINTR))
        return;
    if (nRead <= 0) {
        // Not expected while the slave is held open; look again a little later
        // rather than spin on a readable-but-failing descriptor.
        m_pReadNotifier->setEnabled(false);
        m_pReadTimer->start(100);
        return;
    }
    buffer.resize(static_cast<int>(nRead));
    m_inPacer.Consume(nRead);
    if (m_inPacer.IsPaced()) {
        // The rest waits in the kernel until the line could have carried it.
        m_pReadNotifier->setEnabled(false);
        m_pReadTimer->start(m_inPacer.MsUntilNextByte(m_clock.nsecsElapsed()));
    }
    HandleInput(buffer);
}

void DeviceSimulator::slot_ResumeReading()
{
    if (m_pReadNotifier && m_terminal.IsOpen())
        m_pReadNotifier->setEnabled(true);
}

void DeviceSimulator::HandleInput(const QByteArray &bytes)
{
    // The settings in force when the bytes arrive are the ones they crossed
    // the line with.
    CheckLineSettings();
    if (m_options.bEcho)
        m_output.Enqueue(bytes);
    switch (State()) {
    case SimulatorOptions::State::Ymodem:
        m_receiver.Feed(bytes, NowMs());
        RescheduleReceiver();
        break;
    case SimulatorOptions::State::BootMenu:
        ProcessBootMenuInput(bytes);
        break;
    case SimulatorOptions::State::Application:
        if (m_baPending.isEmpty())
            m_nPendingSinceMs = NowMs();
        m_baPending.append(bytes);
        ProcessApplicationInput();
        break;
    }
}

void DeviceSimulator::ProcessApplicationInput()
{
    while (State() == SimulatorOptions::State::Application) {
        const CommandFrameSplitter::Piece piece = CommandFrameSplitter::Next(m_baPending);
        if (piece.eKind == CommandFrameSplitter::NeedMore)
            break;
        const QByteArray bytes = m_baPending.left(piece.nLength);
        m_baPending.remove(0, piece.nLength);
        m_nPendingSinceMs = NowMs();
        if (piece.eKind == CommandFrameSplitter::Frame)
            HandleApplicationFrame(bytes);
        else
            RecordFrame(bytes, QStringLiteral("no valid frame"));
    }
    if (m_baPending.size() > kMaxPending) {
        RecordFrame(m_baPending, QStringLiteral("no valid frame"));
        m_baPending.clear();
    }
    ArmFrameTimer();
}

void DeviceSimulator::ArmFrameTimer()
{
    if (m_baPending.isEmpty()) {
        m_pFrameTimer->stop();
        return;
    }
    m_pFrameTimer->start(static_cast<int>(std::max<qint64>(0, m_nPendingSinceMs + kFrameGapMs - NowMs())));
}

void DeviceSimulator::slot_FrameTimeout()
{
    if (m_baPending.isEmpty())
        return;
    const QByteArray partial = m_baPending;
    m_baPending.clear();
    RecordFrame(partial, QStringLiteral("incomplete frame"));
    m_output.AimFaults(partial.at(0));
    if (State() == SimulatorOptions::State::BootMenu)
        m_output.Reply(kRefusalText);
}

void DeviceSimulator::HandleApplicationFrame(const QByteArray &frame)
{
    const bool bKnown = frame == kFrameEnterCtrl || frame == kFrameExitCtrl || frame == kFrameVersion
        || frame == kFrameSerial || frame == kFrameCount || frame == kFrameExport || frame == kFrameBoot;
    RecordFrame(frame, bKnown ? QString() : QStringLiteral("unknown command"));
    m_output.StopChatter();
    m_output.AimFaults(frame.at(0));
    // An endless stream leaves no room for any answer; a deaf device hears no frame while it sends.
    if (!bKnown || m_options.bEcho || (m_options.bSilent && m_output.FaultsApply()) || (m_options.bDeafWhileSending
        && m_output.Sending()) || m_options.nStreamingAtStart == SimulatorOptions::kEndless)
        return;
    if (frame == kFrameEnterCtrl || frame == kFrameExitCtrl) {
        m_output.Echo(frame);
    } else if (frame == kFrameVersion) {
        QByteArray reply(1, static_cast<char>(0xC8));
        reply.append(static_cast<char>(m_options.nVersionMajor));
        reply.append(static_cast<char>(m_options.nVersionMinor));
        m_output.Reply(reply);
    } else if (frame == kFrameSerial) {
        const int nCount = m_options.nSerialCountByte >= 0 ? m_options.nSerialCountByte
                                                           : 2 * (m_options.serialNumber.size() + 1);
        QByteArray reply(1, static_cast<char>(0xCC));
        reply.append(static_cast<char>(nCount & 0xFF));
        reply.append(m_options.serialNumber);
        m_output.Reply(reply);
    } else if (frame == kFrameCount) {
        m_output.Reply(m_options.sCountLabel.toUtf8() + ':' + QByteArray::number(DeviceOutput::ValidRecordCount(m_options)));
    } else if (frame == kFrameExport) {
        m_output.StreamRecords();
    } else if (frame == kFrameBoot) {
        m_output.Echo(frame);
        // The boot loader takes over once the echo has left the device.
        m_output.EnqueueAction([this]() { m_pBootTimer->start(std::max(0, m_options.nBootDelayMs)); });
    }
}

void DeviceSimulator::slot_Reboot()
{
    SetState(SimulatorOptions::State::Ymodem, true, true);
}

void DeviceSimulator::ProcessBootMenuInput(const QByteArray &bytes)
{
    for (int i = 0; i < bytes.size(); ++i) {
        if (State() != SimulatorOptions::State::BootMenu) {
            // "1" started the receiver: the rest is the receiver's.
            m_receiver.Feed(bytes.mid(i), NowMs());
            RescheduleReceiver();
            return;
        }
        const char c = bytes.at(i);
        if (m_baPending.isEmpty() && c == '1') {
            RecordFrame(QByteArray(1, c), QString());
            m_output.AimFaults(c);
            if (!(m_options.bSilent && m_output.FaultsApply())) {
                m_output.Reply(kMenuText);
                SetState(SimulatorOptions::State::Ymodem, false);
            }
            continue;
        }
        if (m_baPending.isEmpty())
            m_nPendingSinceMs = NowMs();
        m_baPending.append(c);
        m_output.AimFaults(m_baPending.at(0));
        if (CommandFrameSplitter::HasValidCrc(m_baPending, 0)) {
            // The boot loader takes no commands: any frame is refused.
            RecordFrame(m_baPending, QStringLiteral("refused"));
            m_baPending.clear();
            m_output.Reply(kRefusalText);
        } else if (m_baPending.size() > kMaxPending) {
            RecordFrame(m_baPending, QStringLiteral("refused"));
            m_baPending.clear();
            m_output.Reply(kRefusalText);
        }
    }
    if (State() == SimulatorOptions::State::BootMenu)
        ArmFrameTimer();
}

// ---------------------------------------------------------------- receiver

void DeviceSimulator::RescheduleReceiver()
{
    if (!m_pReceiverTimer)
        return;
    const qint64 nNext = m_receiver.NextDeadlineMs();
    if (nNext < 0 || !m_terminal.IsOpen()) {
        m_pReceiverTimer->stop();
        return;
    }
    m_pReceiverTimer->start(static_cast<int>(std::max<qint64>(0, nNext - NowMs())));
}

void DeviceSimulator::slot_ReceiverTick()
{
    m_receiver.Tick(NowMs());
    RescheduleReceiver();
}

void DeviceSimulator::ReceiverSend(const QByteArray &bytes)
{
    m_output.Enqueue(bytes);
}

void DeviceSimulator::ReceiverFrame(const QByteArray &frame, const QString &sNote)
{
    RecordFrame(frame, sNote);
}

void DeviceSimulator::ReceiverFile(const QByteArray &rawName, qint64 nHeaderSize, const QByteArray &content)
{
    SimulatedDevice::Image image;
    image.sFileName = QString::fromUtf8(rawName);
    image.nHeaderSize = nHeaderSize;
    image.content = content;
    if (!m_options.sImageDir.isEmpty())
        image.sSavedPath = ImageStore::Store(m_options.sImageDir, rawName, content);
    qDebug() << "Simulated device: image received" << image.sFileName << content.size() << "bytes";
    {
        std::lock_guard<std::mutex> locker(m_mutex);
        m_images.append(image);
    }
    SimHandOver::Give(this);
    emit ImageReceived(image.sFileName, content);
}

void DeviceSimulator::ReceiverBatchDone()
{
    // Boot the new image (or, as told, the boot loader again) once the last ACK has left.
    m_output.EnqueueAction([this]() {
        if (m_options.nVersionAfterMajor >= 0) {
            m_options.nVersionMajor = m_options.nVersionAfterMajor;
            m_options.nVersionMinor = m_options.nVersionAfterMinor;
        }
        SetState(m_options.afterImageState, false);
    });
}

void DeviceSimulator::ReceiverAborted(const QString &sReason)
{
    qDebug() << "Simulated device: transfer aborted:" << sReason;
    emit TransferAborted(sReason);
}

void DeviceSimulator::ReceiverCloseLine()
{
    QMetaObject::invokeMethod(this, &DeviceSimulator::slot_Unplug, Qt::QueuedConnection);
}
