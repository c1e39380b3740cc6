#include "device/busyline.h"

#include "device/commandframes.h"
#include "device/devicelink.h"
#include "device/readpoll.h"
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
    m_bEchoRetried = false;
    m_bTailRetried = false;
    m_bForeign = false;
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
        const QByteArray reply = QByteArray::fromHex(sReply.toLatin1());
        switch (WaitQuiet(reply)) {
        case Quiet::AfterData:
            continue;
        case Quiet::Silent:
            // The last few records of a stream that ended within the reply
            // window: the device answers now. Asked once more, not again
            // and again: something else may answer every frame so.
            if (!m_bTailRetried && LooksLikeRecords(reply)) {
                m_bTailRetried = true;
                qDebug() << "OpenSerialPort: the reply was the end of a record stream; asking again";
                continue;
            }
            // A wrong answer on a quiet line: not the device, or not one
            // that answers as it should.
            return false;
        case Quiet::Never:
            m_bKeptBusy = true;
            m_link.m_error = m_link.Translate("The device keeps sending: its line did not fall quiet within %1 s",
                                              FailureKind::KeepsSending)
                                 .arg(Seconds());
            qDebug() << "OpenSerialPort:" << m_link.m_error.sEnglish;
            return false;
        case Quiet::Foreign:
            m_bForeign = true;
            qDebug() << "OpenSerialPort: what" << m_link.SerialPort()->portName()
                     << "sends is not the device's records";
            return false;
        default:
            return false;
        }
    }
}

BusyLine::Quiet BusyLine::WaitQuiet(const QByteArray &reply)
{
    if (m_link.m_bBusyWaitAborted) {
        return Quiet::Ended;
    }
    // What the stream is made of is judged once enough of it is there; a
    // stream of something else ends the wait at once.
    QByteArray sample = reply;
    bool bJudged = false;
    const auto foreign = [&]() {
        // A long record may still be without its line end.
        if (bJudged || sample.size() <= kStreamBytes || (!sample.contains('\n') && sample.size() <= kLineBytes)) {
            return false;
        }
        bJudged = true;
        return !LooksLikeRecords(sample);
    };
    if (foreign()) {
        return Quiet::Foreign;
    }
    if (!m_since.isValid()) {
        m_since.start();
    }
    const int nGapMs = Waits::Current().nBusyQuietMs;
    const int nReplyBytes = reply.size();
    bool bFellQuiet = false;
    bool bForeign = false;
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
        const QByteArray bytes = pPort->readAll();
        if (bytes.isEmpty()) {
            return;
        }
        nDropped += bytes.size();
        if (!bJudged) {
            sample += bytes;
        }
        if (foreign()) {
            bForeign = true;
            loop.quit();
            return;
        }
        quiet.start(nGapMs);
        if (!m_bSaid && nReplyBytes + nDropped > kStreamBytes) {
            m_bSaid = true;
            qDebug() << "OpenSerialPort: the line is busy; waiting up to" << m_nBoundMs << "ms for it to fall quiet";
            emit m_link.signal_LineBusy(Seconds());
        }
    };
    quiet.start(nGapMs);
    ReadPoll reads(pPort, drop);
    reads.Start();
    const qint64 nLeftMs = m_nBoundMs - m_since.elapsed();
    if (nLeftMs > 0 && !bForeign) {
        m_link.m_bInBusyWait = true;
        m_link.RunWaitLoop(loop, static_cast<int>(nLeftMs));
        m_link.m_bInBusyWait = false;
    }
    reads.Stop();
    qDebug() << "OpenSerialPort: dropped" << nDropped << "bytes of a busy line after" << m_since.elapsed()
             << "ms; quiet:" << bFellQuiet;
    if (bForeign) {
        return Quiet::Foreign;
    }
    if (m_link.m_bDeviceGone || m_link.m_bWaitsAborted || m_link.m_bBusyWaitAborted) {
        return Quiet::Ended;
    }
    if (bFellQuiet) {
        // The reply itself may have been the stream, its end within the
        // reply window: then the line is free now all the same.
        return (nReplyBytes + nDropped > kStreamBytes) ? Quiet::AfterData : Quiet::Silent;
    }
    return Quiet::Never;
}

BusyLine::Talk BusyLine::LastReplyTalk() const
{
    const QByteArray reply = QByteArray::fromHex(m_link.m_sLastReply.toLatin1());
    if (reply.isEmpty()) {
        return Talk::Nothing;
    }
    if (LooksLikeRecords(reply)) {
        return Talk::Records;
    }
    const bool bJudged = reply.contains('\n') || reply.size() > kLineBytes;
    return (reply.size() > kStreamBytes && bJudged) ? Talk::Foreign : Talk::Nothing;
}

bool BusyLine::LooksLikeRecords(const QByteArray &bytes)
{
    const auto words = [](const QByteArray &line, bool bCutAtStart) {
        for (const char c : line) {
            if (c < 0x20 || c > 0x7E) {
                return false;
            }
        }
        const QByteArray body = bCutAtStart && line.startsWith(' ') ? line.mid(1) : line;
        // A whole line has two words or more; a cut one may hold one.
        return !body.isEmpty() && !body.startsWith(' ') && !body.contains("  ")
               && (bCutAtStart || body.contains(' '));
    };
    const QList<QByteArray> lines = bytes.split('\n');
    if (lines.size() < 2) {
        return false;   // no line end
    }
    // Most lines decide, not every one: a blank line, a byte damaged on a
    // noisy line or trailing blanks do not make the device's stream
    // another device's (the report takes such a stream all the same). The
    // last piece has no line end yet: it is judged by nothing.
    int nJudged = 0;
    int nShaped = 0;
    for (int i = 0; i + 1 < lines.size(); ++i) {
        QByteArray line = lines.at(i);
        if (line.startsWith('\r')) {
            line.remove(0, 1);   // the carriage return after the last line feed
        }
        while (line.endsWith(' ')) {
            line.chop(1);
        }
        if (line.isEmpty()) {
            continue;
        }
        ++nJudged;
        if (words(line, i == 0)) {
            ++nShaped;
        }
    }
    return nJudged > 0 && 2 * nShaped > nJudged;
}
