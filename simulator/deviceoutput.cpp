#include "simulator/deviceoutput.h"

#include "simulator/pseudoterminal.h"

#include <QDateTime>
#include <QDebug>
#include <QSocketNotifier>
#include <QTimer>

#include <algorithm>
#include <cerrno>
#include <unistd.h>

namespace {

const QByteArray kInvalidRecord = QByteArrayLiteral("An invalid record.");

QByteArray LineEndBytes(SimulatorOptions::LineEnd eLineEnd)
{
    return eLineEnd == SimulatorOptions::LineEnd::LfCr ? QByteArrayLiteral("\n\r") : QByteArrayLiteral("\n");
}

} // namespace

DeviceOutput::DeviceOutput(const SimulatorOptions &options, PseudoTerminal &terminal, const QElapsedTimer &clock,
                           QObject *parent)
    : QObject(parent), m_options(options), m_terminal(terminal), m_clock(clock), m_pacer(options.nBytesPerSecond)
{
}

qint64 DeviceOutput::NowMs() const
{
    return m_clock.elapsed();
}

void DeviceOutput::Begin()
{
    m_pWriteNotifier = new QSocketNotifier(m_terminal.MasterFd(), QSocketNotifier::Write, this);
    m_pWriteNotifier->setEnabled(false);
    connect(m_pWriteNotifier, &QSocketNotifier::activated, this, &DeviceOutput::slot_WriteReady);
    m_pWriteTimer = new QTimer(this);
    m_pWriteTimer->setSingleShot(true);
    m_pWriteTimer->setTimerType(Qt::PreciseTimer);
    connect(m_pWriteTimer, &QTimer::timeout, this, &DeviceOutput::slot_Pump);
    m_nIdleSinceMs = NowMs();
}

void DeviceOutput::Clear()
{
    m_queue.clear();
    m_current.clear();
}

void DeviceOutput::Stop()
{
    if (m_pWriteNotifier)
        m_pWriteNotifier->setEnabled(false);
    if (m_pWriteTimer)
        m_pWriteTimer->stop();
    m_bChattering = false;
    Clear();
}

void DeviceOutput::Shutdown()
{
    Stop();
    delete m_pWriteNotifier;
    m_pWriteNotifier = nullptr;
    delete m_pWriteTimer;
    m_pWriteTimer = nullptr;
}

void DeviceOutput::Enqueue(const QByteArray &bytes, int nDelayMs)
{
    OutItem item;
    item.nQueuedMs = NowMs();
    item.nDelayMs = std::max(0, nDelayMs);
    item.bytes = bytes;
    m_queue.append(item);
    slot_Pump();
}

void DeviceOutput::EnqueueAction(std::function<void()> action, int nDelayMs)
{
    OutItem item;
    item.nQueuedMs = NowMs();
    item.nDelayMs = std::max(0, nDelayMs);
    item.action = std::move(action);
    m_queue.append(item);
    slot_Pump();
}

void DeviceOutput::AimFaults(char cCommand)
{
    m_bFaultsApply = m_options.nFaultCommand < 0 || static_cast<uint8_t>(cCommand) == m_options.nFaultCommand;
}

void DeviceOutput::Reply(const QByteArray &bytes)
{
    if (m_options.bSilent && m_bFaultsApply)
        return;
    const QByteArray whole = (m_bFaultsApply ? m_options.garbageBeforeReply : QByteArray()) + bytes;
    const int nPieces = m_bFaultsApply ? std::min(m_options.nSplitPieces, whole.size()) : 0;
    if (nPieces <= 1) {
        Enqueue(whole);
        return;
    }
    int nStart = 0;
    for (int i = 0; i < nPieces; ++i) {
        const int nEnd = static_cast<int>(static_cast<qint64>(whole.size()) * (i + 1) / nPieces);
        Enqueue(whole.mid(nStart, nEnd - nStart), i == 0 ? 0 : m_options.nSplitGapMs);
        nStart = nEnd;
    }
}

void DeviceOutput::Echo(const QByteArray &frame)
{
    QByteArray echo = frame;
    if (!m_bFaultsApply) {
        Reply(echo);
        return;
    }
    if (m_options.bWrongEcho)
        echo[echo.size() - 1] = static_cast<char>(echo.at(echo.size() - 1) ^ 0xFF);
    Reply(echo + m_options.extraAfterEcho);
}

QList<QByteArray> DeviceOutput::RecordLines() const
{
    QList<QByteArray> lines;
    if (!m_options.recordStream.isEmpty()) {
        int nStart = 0;
        while (nStart < m_options.recordStream.size()) {
            int nEnd = m_options.recordStream.indexOf('\n', nStart);
            nEnd = nEnd < 0 ? m_options.recordStream.size() : nEnd + 1;
            if (nEnd < m_options.recordStream.size() && m_options.recordStream.at(nEnd) == '\r')
                ++nEnd;
            lines.append(m_options.recordStream.mid(nStart, nEnd - nStart));
            nStart = nEnd;
        }
    } else {
        lines = GeneratedRecords(m_options);
    }
    return lines;
}

void DeviceOutput::StreamAtStart()
{
    // Everything this device answers is queued behind the stream, as a
    // real device answers only once its stream is out.
    const QList<QByteArray> lines = RecordLines();
    if (m_options.nStreamingAtStart == SimulatorOptions::kEndless) {
        for (const QByteArray &line : lines)
            Enqueue(line);
        EnqueueAction([this]() { QTimer::singleShot(0, this, [this]() { StreamAtStart(); }); });
        return;
    }
    for (int i = std::max(0, lines.size() - m_options.nStreamingAtStart); i < lines.size(); ++i)
        Enqueue(lines.at(i));
}

void DeviceOutput::StreamRecords()
{
    const QList<QByteArray> lines = RecordLines();
    int nDelay = m_options.nStreamDelayMs;
    int nRecords = 0;
    for (const QByteArray &line : lines) {
        Enqueue(line, nDelay);
        nDelay = 0;
        if (!line.startsWith(kInvalidRecord)) {
            ++nRecords;
            if (m_options.nStreamPauseEvery > 0 && nRecords % m_options.nStreamPauseEvery == 0)
                nDelay = m_options.nStreamPauseMs;
        }
    }
    if (m_options.bChatter) {
        EnqueueAction([this]() {
            m_bChattering = true;
            QTimer::singleShot(0, this, [this]() { Chatter(); });
        });
    }
}

void DeviceOutput::Chatter()
{
    if (!m_bChattering)
        return;
    static const QByteArray kNoise = QByteArrayLiteral("~ line noise ~\n").repeated(256);
    Enqueue(kNoise);
    EnqueueAction([this]() { QTimer::singleShot(0, this, [this]() { Chatter(); }); });
}

void DeviceOutput::slot_WriteReady()
{
    m_pWriteNotifier->setEnabled(false);
    slot_Pump();
}

void DeviceOutput::slot_Pump()
{
    if (!m_pWriteTimer)
        return;
    m_pWriteTimer->stop();
    if (!m_terminal.IsOpen()) {
        m_queue.clear();
        m_current.clear();
        return;
    }
    if (m_pWriteNotifier->isEnabled())
        return;   // waiting for room in the line
    for (;;) {
        if (m_current.isEmpty()) {
            if (m_queue.isEmpty())
                return;
            const OutItem &head = m_queue.first();
            const qint64 nDue = std::max(head.nQueuedMs, m_nIdleSinceMs) + head.nDelayMs;
            const qint64 nNow = NowMs();
            if (nNow < nDue) {
                m_pWriteTimer->start(static_cast<int>(nDue - nNow));
                return;
            }
            OutItem item = m_queue.takeFirst();
            if (item.action) {
                item.action();
                m_nIdleSinceMs = NowMs();
                if (!m_terminal.IsOpen())
                    return;
                continue;
            }
            m_current = item.bytes;
            if (m_current.isEmpty())
                continue;
        }
        const qint64 nNowNs = m_clock.nsecsElapsed();
        const qint64 nAllowed = m_pacer.Allowance(nNowNs, m_current.size());
        if (nAllowed <= 0) {
            m_pWriteTimer->start(m_pacer.MsUntilNextByte(nNowNs));
            return;
        }
        // With no host on the line the bytes go nowhere, as on a real cable.
        const ssize_t nWritten = m_terminal.HostPresent()
            ? ::write(m_terminal.MasterFd(), m_current.constData(), static_cast<size_t>(nAllowed))
            : static_cast<ssize_t>(nAllowed);
        if (nWritten < 0) {
            if (errno == EAGAIN || errno == EINTR) {
                m_pWriteNotifier->setEnabled(true);
                return;
            }
            qWarning() << "Simulated device: write failed, output dropped, errno" << errno;
            m_queue.clear();
            m_current.clear();
            return;
        }
        m_pacer.Consume(nWritten);
        m_current.remove(0, static_cast<int>(nWritten));
        if (m_current.isEmpty())
            m_nIdleSinceMs = NowMs();
    }
}

QList<QByteArray> DeviceOutput::GeneratedRecords(const SimulatorOptions &options)
{
    static const char *const apszEvents[] = {"POWER_ON", "SELF_TEST_OK", "TEMP_HIGH", "VOLTAGE_LOW",
                                             "DOOR_OPEN", "DOOR_CLOSED", "FAULT_E12", "POWER_OFF"};
    const QByteArray lineEnd = LineEndBytes(options.lineEnd);
    const QDateTime first(QDate(2026, 12, 8), QTime(4, 55, 0), Qt::UTC);
    QList<QByteArray> lines;
    for (int i = 1; i <= options.nRecordCount; ++i) {
        const QDateTime when = first.addSecs(static_cast<qint64>(i - 1) * 433);
        const int nValue = 180 + (i * 37) % 90;
        QByteArray line = QByteArray::number(i).rightJustified(4, '0') + ' '
            + when.toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")).toLatin1() + ' ' + apszEvents[(i - 1) % 8]
            + ' ' + QByteArray::number(nValue) + lineEnd;
        lines.append(line);
        if (options.nInvalidEvery > 0 && i % options.nInvalidEvery == 0)
            lines.append(kInvalidRecord + lineEnd);
    }
    return lines;
}

int DeviceOutput::ValidRecordCount(const SimulatorOptions &options)
{
    if (options.recordStream.isEmpty())
        return std::max(0, options.nRecordCount);
    int nCount = 0;
    for (const QByteArray &line : options.recordStream.split('\n')) {
        const QByteArray trimmed = line.trimmed();
        if (!trimmed.isEmpty() && trimmed != kInvalidRecord)
            ++nCount;
    }
    return nCount;
}
