// The YMODEM sender engine against a scripted receiver, one step at a time.

#include "device/waits.h"
#include "transfer/ymodem.h"

#include <QByteArray>
#include <QList>
#include <QtTest>

#include <cstring>

namespace {

const char kSoh = 0x01;
const char kStx = 0x02;
const char kEot = 0x04;
const char kAck = 0x06;
const char kNak = 0x15;
const char kCan = 0x18;
const QByteArray kFiveCan(5, kCan);

// An engine bound to byte queues: the test puts the receiver's bytes into
// m_baIncoming and reads every write from m_writes. The callback serves an
// in-memory file the way the firmware transmitter serves a real one.
class ScriptedSender : public Ymodem
{
public:
    ScriptedSender(uint32_t nDivisor = 499, uint32_t nTimeouts = 5, uint32_t nErrors = 999,
                   uint32_t nClosingSteps = Waits().nYmodemClosingResendSteps,
                   uint32_t nClosingResends = Waits().nYmodemClosingResends)
        : Ymodem(nDivisor, nTimeouts, nErrors, nClosingSteps, nClosingResends)
    {
    }

    // Puts the receiver's bytes on the line and performs one step; returns
    // what the engine wrote during that step (all writes joined).
    QByteArray Step(const QByteArray &reply = QByteArray())
    {
        m_baIncoming += reply;
        const int nBefore = m_writes.size();
        Transmit();
        QByteArray out;
        for (int i = nBefore; i < m_writes.size(); ++i) {
            out += m_writes.at(i);
        }
        return out;
    }

    QByteArray m_baFile;
    QByteArray m_baName = "fw.bin";
    qint64 m_nSent = 0;
    QByteArray m_baIncoming;
    QList<QByteArray> m_writes;
    QList<uint32_t> m_requests;          // every callback request, in order
    int m_nRefuseAt = -1;                // refuse the n-th callback (0 = header)
    uint32_t m_nForcedLength = 0;        // when set, reported instead of the real length
    uint32_t m_nReadOverclaim = 0;       // ReadBytes claims this many bytes more than it copied

    QList<uint32_t> Notifications() const
    {
        QList<uint32_t> out;
        for (uint32_t n : m_requests) {
            if (n >= NotifyFinished) {
                out << n;
            }
        }
        return out;
    }

protected:
    uint8_t Callback(Request eRequest, uint8_t *pData, uint32_t *pLength) override
    {
        const int nIndex = m_requests.size();
        m_requests << eRequest;
        if (eRequest >= NotifyFinished) {
            Q_ASSERT(pData == nullptr && pLength == nullptr);
            return CodeAck;
        }
        if (nIndex == m_nRefuseAt) {
            return CodeCan;
        }
        if (eRequest == RequestHeader) {
            m_nSent = 0;
            const QByteArray header = m_baName + '\0' + QByteArray::number(m_baFile.size()) + '\0';
            std::memcpy(pData, header.constData(), static_cast<size_t>(header.size()));
            *pLength = m_nForcedLength ? m_nForcedLength : 128;
            return CodeAck;
        }
        if (m_nSent == m_baFile.size()) {
            return CodeEot;
        }
        const qint64 nRemaining = m_baFile.size() - m_nSent;
        const uint32_t nField = nRemaining > 128 ? 1024 : 128;
        const qint64 nCount = qMin<qint64>(nField, nRemaining);
        std::memcpy(pData, m_baFile.constData() + m_nSent, static_cast<size_t>(nCount));
        m_nSent += nCount;
        *pLength = m_nForcedLength ? m_nForcedLength : nField;
        return CodeAck;
    }

    uint32_t ReadBytes(uint8_t *pBuffer, uint32_t nMax) override
    {
        const int nCount = qMin<int>(static_cast<int>(nMax), m_baIncoming.size());
        std::memcpy(pBuffer, m_baIncoming.constData(), static_cast<size_t>(nCount));
        m_baIncoming.remove(0, nCount);
        return nCount ? static_cast<uint32_t>(nCount) + m_nReadOverclaim : 0;
    }

    uint32_t WriteBytes(const uint8_t *pBuffer, uint32_t nCount) override
    {
        m_writes << QByteArray(reinterpret_cast<const char *>(pBuffer), static_cast<int>(nCount));
        return nCount;
    }
};

QByteArray Pattern(int nSize, int nSeed = 7)
{
    QByteArray out(nSize, Qt::Uninitialized);
    quint32 x = static_cast<quint32>(nSeed) * 2654435761u + 1;
    for (int i = 0; i < nSize; ++i) {
        x = x * 1103515245u + 12345u;
        out[i] = static_cast<char>(x >> 16);
    }
    return out;
}

quint16 CrcOf(const QByteArray &data)
{
    return Ymodem::Crc16(reinterpret_cast<const uint8_t *>(data.constData()), static_cast<uint32_t>(data.size()));
}

// A block as it must look on the wire.
QByteArray Block(char cHead, quint8 nNumber, const QByteArray &data)
{
    const int nField = (cHead == kStx) ? 1024 : 128;
    QByteArray field = data;
    field.append(QByteArray(nField - data.size(), '\0'));
    const quint16 nCrc = CrcOf(field);
    QByteArray out;
    out += cHead;
    out += static_cast<char>(nNumber);
    out += static_cast<char>(0xFF - nNumber);
    out += field;
    out += static_cast<char>(nCrc >> 8);
    out += static_cast<char>(nCrc & 0xFF);
    return out;
}

QByteArray EmptyHeader()
{
    return Block(kSoh, 0, QByteArray());
}

// Drives a sender through a whole batch the way the device's boot loader
// answers (ACK and "C" to the header, ACK to data, NAK then ACK and "C" to
// the EOTs, ACK to the empty header) and returns every frame the sender
// wrote. The receiver answers each frame once it is written; its bytes are
// consumed one per step as the engine does.
QList<QByteArray> RunBatch(ScriptedSender &sender, int nMaxSteps = 100000)
{
    QList<QByteArray> frames;
    int nEots = 0;
    sender.Step();                 // Idle -> AwaitStart
    sender.m_baIncoming += 'C';
    for (int i = 0; i < nMaxSteps && sender.Notifications().isEmpty(); ++i) {
        const QByteArray out = sender.Step();
        if (out.isEmpty()) {
            continue;
        }
        frames << out;
        if (out.at(0) == kEot) {
            ++nEots;
            sender.m_baIncoming += (nEots == 1) ? QByteArray(1, kNak) : QByteArray("\x06" "C");
        } else if (frames.size() == 1) {   // the header
            sender.m_baIncoming += QByteArray("\x06" "C");
        } else {
            sender.m_baIncoming += kAck;
        }
    }
    return frames;
}

} // namespace

class YmodemEngineTest : public QObject
{
    Q_OBJECT

private slots:
    void crcMatchesXmodemCheckValues()
    {
        const QByteArray check("123456789");
        QCOMPARE(CrcOf(check), quint16(0x31C3));
        QCOMPARE(Ymodem::Crc16(nullptr, 0), quint16(0));
        QCOMPARE(CrcOf(QByteArray(128, '\0')), quint16(0));
        QCOMPARE(CrcOf(QByteArray(1, 'A')), quint16(0x58E5));
    }

    // The whole conversation for a file of three data blocks, step by step.
    void exchangeStepByStep()
    {
        ScriptedSender s;
        s.m_baFile = Pattern(2500);
        // The first step reads nothing, even with a byte waiting.
        QCOMPARE(s.Step("C"), QByteArray());
        QCOMPARE(s.Stage(), Ymodem::StageAwaitStart);
        QCOMPARE(s.m_baIncoming, QByteArray("C"));

        const QByteArray header = s.Step();
        QCOMPARE(header, Block(kSoh, 0, QByteArray("fw.bin\0" "2500\0", 12)));
        QCOMPARE(s.Stage(), Ymodem::StageHeaderSent);

        QCOMPARE(s.Step(QByteArray(1, kAck)), QByteArray());   // block 1 prepared, not sent
        QCOMPARE(s.BlockNumber(), quint8(1));
        QCOMPARE(s.Step("C"), Block(kStx, 1, s.m_baFile.left(1024)));
        QCOMPARE(s.Stage(), Ymodem::StageSendingData);
        QCOMPARE(s.Step(QByteArray(1, kAck)), Block(kStx, 2, s.m_baFile.mid(1024, 1024)));
        QCOMPARE(s.Step(QByteArray(1, kAck)), Block(kStx, 3, s.m_baFile.mid(2048)));
        QCOMPARE(s.Step(QByteArray(1, kAck)), QByteArray(1, kEot));
        QCOMPARE(s.Stage(), Ymodem::StageEndOfFile);
        QCOMPARE(s.Step(QByteArray(1, kNak)), QByteArray(1, kEot));
        // The ACK of the second EOT gets no answer; only "C" brings the
        // closing empty header.
        QCOMPARE(s.Step(QByteArray(1, kAck)), QByteArray());
        QCOMPARE(s.Stage(), Ymodem::StageEndOfFile);
        QCOMPARE(s.TickCount(), 1u);
        QCOMPARE(s.Step("C"), EmptyHeader());
        QCOMPARE(s.Stage(), Ymodem::StageEndOfBatch);
        QVERIFY(s.Notifications().isEmpty());
        QCOMPARE(s.Step(QByteArray(1, kAck)), QByteArray());
        QCOMPARE(s.Notifications(), QList<uint32_t>() << Ymodem::NotifyFinished);
        QCOMPARE(s.Stage(), Ymodem::StageIdle);
        QCOMPARE(s.m_requests.count(Ymodem::RequestData), 4);
    }

    void headerExampleByteForByte()
    {
        ScriptedSender s;
        s.m_baFile = Pattern(1100);
        s.Step();
        const QByteArray header = s.Step("C");
        const QByteArray expected = QByteArray::fromHex("0100FF" "66772E62696E00" "3131303000")
                                    + QByteArray(116, '\0') + QByteArray::fromHex("2594");
        QCOMPARE(header, expected);
        QCOMPARE(EmptyHeader().right(2), QByteArray(2, '\0'));
    }

    void blockFraming_data()
    {
        QTest::addColumn<int>("nSize");
        QTest::addColumn<QByteArray>("heads");    // one lead byte per data block
        QTest::newRow("0 bytes") << 0 << QByteArray();
        QTest::newRow("128 bytes") << 128 << QByteArray(1, kSoh);
        QTest::newRow("129 bytes") << 129 << QByteArray(1, kStx);
        QTest::newRow("1025 bytes") << 1025 << QByteArray("\x02\x01");
        QTest::newRow("1100 bytes") << 1100 << QByteArray("\x02\x01");
        QTest::newRow("1200 bytes") << 1200 << QByteArray("\x02\x02");
    }
    void blockFraming()
    {
        QFETCH(int, nSize);
        QFETCH(QByteArray, heads);
        ScriptedSender s;
        s.m_baFile = Pattern(nSize, nSize);
        const QList<QByteArray> frames = RunBatch(s);
        QCOMPARE(s.Notifications(), QList<uint32_t>() << Ymodem::NotifyFinished);

        // header, data blocks..., EOTs, empty header
        QVERIFY(frames.size() >= 4);
        QCOMPARE(frames.last(), EmptyHeader());
        QList<QByteArray> data;
        int nEots = 0;
        for (int i = 1; i < frames.size() - 1; ++i) {
            if (frames.at(i) == QByteArray(1, kEot)) {
                ++nEots;
            } else {
                QCOMPARE(nEots, 0);   // no block after an EOT
                data << frames.at(i);
            }
        }
        QVERIFY(nEots >= 2);
        QCOMPARE(data.size(), heads.size());
        QByteArray received;
        for (int i = 0; i < data.size(); ++i) {
            const QByteArray &b = data.at(i);
            QCOMPARE(b.at(0), heads.at(i));
            QCOMPARE(b.size(), heads.at(i) == kStx ? 1029 : 133);
            const QByteArray chunk = s.m_baFile.mid(received.size(), b.size() - 5);
            // Exactly the file's bytes, then 0x00 fill (never 0x1A).
            QCOMPARE(b, Block(heads.at(i), static_cast<quint8>(i + 1), chunk));
            received += chunk;
        }
        QCOMPARE(received, s.m_baFile);
    }

    // An empty file: EOT goes out right after the header's ACK, still in the
    // header stage; the "C" that follows moves on and sends EOT again.
    void emptyFileSendsEotBeforeItsC()
    {
        ScriptedSender s;
        s.Step();
        QCOMPARE(s.Step("C").size(), 133);
        QCOMPARE(s.Step(QByteArray(1, kAck)), QByteArray(1, kEot));
        QCOMPARE(s.Stage(), Ymodem::StageHeaderSent);
        QCOMPARE(s.BlockNumber(), quint8(2));
        QCOMPARE(s.Step("C"), QByteArray(1, kEot));
        QCOMPARE(s.Stage(), Ymodem::StageEndOfFile);
        QCOMPARE(s.Step("C"), EmptyHeader());
    }

    void blockNumberWrapsAfter255()
    {
        ScriptedSender s;
        s.m_baFile = Pattern(257 * 1024 + 1);
        const QList<QByteArray> frames = RunBatch(s);
        QCOMPARE(s.Notifications(), QList<uint32_t>() << Ymodem::NotifyFinished);
        // frames: header, then data block k at index k
        QCOMPARE(quint8(frames.at(255).at(1)), quint8(255));
        QCOMPARE(quint8(frames.at(256).at(1)), quint8(0));
        QCOMPARE(quint8(frames.at(256).at(2)), quint8(0xFF));
        QCOMPARE(quint8(frames.at(257).at(1)), quint8(1));
        QCOMPARE(quint8(frames.at(257).at(2)), quint8(0xFE));
        QCOMPARE(frames.at(258), Block(kSoh, 2, s.m_baFile.right(1)));
    }

    void repeatedCBeforeHeaderAckResendsHeader()
    {
        ScriptedSender s;
        s.m_baFile = Pattern(300);
        s.Step();
        const QByteArray header = s.Step("C");
        QCOMPARE(s.Step("C"), header);
        QCOMPARE(s.Step("C"), header);
        QCOMPARE(s.Stage(), Ymodem::StageHeaderSent);
        QCOMPARE(s.m_requests.count(Ymodem::RequestHeader), 1);
        // a "C" while a data block is in flight is only an idle step
        s.Step(QByteArray(1, kAck));
        QCOMPARE(s.Step("C").size(), 1029);
        QCOMPARE(s.Step("C"), QByteArray());
        QCOMPARE(s.Stage(), Ymodem::StageSendingData);
        QCOMPARE(s.TickCount(), 1u);
    }

    void receiverCancelInEveryStage_data()
    {
        QTest::addColumn<QByteArray>("before");   // replies that bring the engine to the stage
        QTest::addColumn<char>("cCancel");
        QTest::addColumn<int>("nStage");
        const QByteArray toHeader("C");
        const QByteArray toData = toHeader + kAck + 'C';
        const QByteArray toEof = toData + kAck + kAck;           // 1100 bytes: two blocks
        const QByteArray toBatch = toEof + kNak + kAck + 'C';
        const char letters[] = {kCan, 'A', 'a'};
        for (char c : letters) {
            const QByteArray tag = (c == kCan) ? QByteArray("CAN") : QByteArray(1, c);
            QTest::newRow(("await start " + tag).constData()) << QByteArray() << c << int(Ymodem::StageAwaitStart);
            QTest::newRow(("header " + tag).constData()) << toHeader << c << int(Ymodem::StageHeaderSent);
            QTest::newRow(("data " + tag).constData()) << toData << c << int(Ymodem::StageSendingData);
            QTest::newRow(("eof " + tag).constData()) << toEof << c << int(Ymodem::StageEndOfFile);
            QTest::newRow(("batch " + tag).constData()) << toBatch << c << int(Ymodem::StageEndOfBatch);
        }
    }
    void receiverCancelInEveryStage()
    {
        QFETCH(QByteArray, before);
        QFETCH(char, cCancel);
        QFETCH(int, nStage);
        ScriptedSender s;
        s.m_baFile = Pattern(1100);
        s.Step();
        for (char c : before) {
            s.Step(QByteArray(1, c));
        }
        QCOMPARE(int(s.Stage()), nStage);
        QCOMPARE(s.Step(QByteArray(1, cCancel)), QByteArray());   // nothing is sent back
        QCOMPARE(s.Notifications(), QList<uint32_t>() << Ymodem::NotifyCancelled);
        QCOMPARE(s.Stage(), Ymodem::StageIdle);
    }

    // The real limits (499, 5, 999): step counting costs nothing here.
    // Silence (or noise) with the real limits: resends every 500 idle steps
    // once the header is out, none before it; the 3000th idle step gives up.
    // A receiver that floods "C"s while a data block is in flight neither
    // moves the transfer on nor ends it sooner: a "C" there is noise too.
    void realLimitsResendAndGiveUp_data()
    {
        QTest::addColumn<bool>("bHeaderSent");
        QTest::addColumn<QByteArray>("noise");
        QTest::addColumn<int>("nEvery");   // the noise comes at every nEvery-th step
        QTest::newRow("awaiting the first C") << false << QByteArray(1, kAck - 1) << 7;
        QTest::newRow("data block in flight") << true << QByteArray(1, kAck - 1) << 7;
        QTest::newRow("data block in flight, a C at every step") << true << QByteArray("C") << 1;
    }
    void realLimitsResendAndGiveUp()
    {
        QFETCH(bool, bHeaderSent);
        QFETCH(QByteArray, noise);
        QFETCH(int, nEvery);
        ScriptedSender s;
        s.m_baFile = Pattern(2000);
        s.Step();
        QByteArray inFlight;
        if (bHeaderSent) {
            s.Step("C");
            s.Step(QByteArray(1, kAck));
            inFlight = s.Step("C");
        }
        QList<int> resendSteps;
        int nStep = 0;
        QByteArray out;
        while (out != kFiveCan && nStep < 10000) {
            ++nStep;
            out = s.Step(nStep % nEvery == 0 ? noise : QByteArray());   // noise is an idle step too
            if (!out.isEmpty() && out == inFlight) {
                resendSteps << nStep;
            }
        }
        QCOMPARE(nStep, 3000);
        QCOMPARE(resendSteps, bHeaderSent ? QList<int>({500, 1000, 1500, 2000, 2500}) : QList<int>());
        QCOMPARE(s.Notifications(), QList<uint32_t>() << (bHeaderSent ? Ymodem::NotifyFailed : Ymodem::NotifyTimeOut));
        QCOMPARE(s.Stage(), Ymodem::StageIdle);
    }

    // A receiver that never hears the header asks for it once a second: each
    // "C" is answered with the header, and the time limit still ends it.
    void headerAskedForEverGivesUp()
    {
        ScriptedSender s;
        s.m_baFile = Pattern(2000);
        s.Step();
        const QByteArray header = s.Step("C");
        int nStep = 0;
        int nUnanswered = 0;
        QByteArray out;
        while (out != kFiveCan && nStep < 10000) {
            ++nStep;
            const bool bAsk = (nStep % 20 == 0);
            out = s.Step(bAsk ? QByteArray("C") : QByteArray());
            nUnanswered += (bAsk && out != header) ? 1 : 0;
        }
        QCOMPARE(nStep, 3157);   // 3000 idle steps, and the 157 that brought a "C"
        QCOMPARE(nUnanswered, 0);
        QCOMPARE(s.Notifications(), QList<uint32_t>() << Ymodem::NotifyFailed);
    }

    void realNakLimitPerBlock()
    {
        ScriptedSender s;
        s.m_baFile = Pattern(3000);
        s.Step();
        s.Step("C");
        s.Step(QByteArray(1, kAck));
        s.Step("C");
        const QByteArray block2 = s.Step(QByteArray(1, kAck));
        for (int i = 1; i <= 999; ++i) {
            QCOMPARE(s.Step(QByteArray(1, kNak)), block2);
        }
        QCOMPARE(s.ErrorCount(), 999u);
        // An ACK starts the count afresh for the next block...
        const QByteArray block3 = s.Step(QByteArray(1, kAck));
        QCOMPARE(block3, Block(kStx, 3, s.m_baFile.mid(2048)));
        QCOMPARE(s.ErrorCount(), 0u);
        for (int i = 1; i <= 999; ++i) {
            s.Step(QByteArray(1, kNak));
        }
        // ...and NAK number 1000 of the same block ends the transfer.
        QCOMPARE(s.Step(QByteArray(1, kNak)), kFiveCan);
        QCOMPARE(s.Notifications(), QList<uint32_t>() << Ymodem::NotifyFailed);
    }

    // Shortened limits, as the transmitter passes them from the waits in
    // force: a resend every third idle step, the give-up in the second
    // period; NAKs count against the error limit.
    void limitsGivenAtConstruction()
    {
        ScriptedSender s(2, 1, 2);
        s.m_baFile = Pattern(100);
        s.Step();
        const QByteArray header = s.Step("C");
        // resend period 3 steps, give up in the second period's end
        QCOMPARE(s.Step(), QByteArray());
        QCOMPARE(s.Step(), QByteArray());
        QCOMPARE(s.Step(), header);
        // a NAK counts as an error and does not restart the tick count
        QCOMPARE(s.Step(QByteArray(1, kNak)), header);
        QCOMPARE(s.TickCount(), 3u);
        QCOMPARE(s.Step(), QByteArray());
        QCOMPARE(s.Step(), QByteArray());
        QCOMPARE(s.Step(), kFiveCan);
        QCOMPARE(s.Notifications(), QList<uint32_t>() << Ymodem::NotifyFailed);

        // A "C" while the header is pending fails once errors + 1 pass the limit.
        ScriptedSender u(499, 5, 1);
        u.m_baFile = Pattern(100);
        u.Step();
        u.Step("C");
        u.Step(QByteArray(1, kNak));
        QCOMPARE(u.Step("C"), kFiveCan);
        QCOMPARE(u.Notifications(), QList<uint32_t>() << Ymodem::NotifyFailed);
    }

    void closingHeaderCountsNaksAndCs()
    {
        ScriptedSender s(499, 5, 3);
        s.m_baFile = Pattern(10);
        s.Step();
        for (char c : QByteArray("C\x06" "C\x06\x15" "C", 6)) {
            s.Step(QByteArray(1, c));
        }
        QCOMPARE(s.Stage(), Ymodem::StageEndOfBatch);
        QCOMPARE(s.Step(QByteArray(1, kNak)), EmptyHeader());
        QCOMPARE(s.Step("C"), EmptyHeader());
        QCOMPARE(s.Step(QByteArray(1, kNak)), EmptyHeader());
        QCOMPARE(s.Step("C"), kFiveCan);
        QCOMPARE(s.Notifications(), QList<uint32_t>() << Ymodem::NotifyFailed);
    }

    void callbackRefusalSendsCancelWithoutReport_data()
    {
        QTest::addColumn<int>("nRefuseAt");
        QTest::addColumn<QByteArray>("replies");
        QTest::newRow("header") << 0 << QByteArray("C");
        QTest::newRow("first data block") << 1 << QByteArray("C\x06");
        QTest::newRow("second data block") << 2 << QByteArray("C\x06" "C\x06");
    }
    void callbackRefusalSendsCancelWithoutReport()
    {
        QFETCH(int, nRefuseAt);
        QFETCH(QByteArray, replies);
        ScriptedSender s;
        s.m_baFile = Pattern(3000);
        s.m_nRefuseAt = nRefuseAt;
        s.Step();
        QByteArray last;
        for (char c : replies) {
            last = s.Step(QByteArray(1, c));
        }
        QCOMPARE(last, kFiveCan);
        QVERIFY(s.Notifications().isEmpty());
        QCOMPARE(s.Stage(), Ymodem::StageIdle);
    }

    // Packets from the receiver are swallowed whole, a piece per step, and
    // count as idle steps.
    void incomingPacketsAreSwallowed()
    {
        ScriptedSender s(1, 5, 999);   // resend every second idle step
        s.m_baFile = Pattern(300);
        s.Step();
        const QByteArray header = s.Step("C");
        s.Step(QByteArray(1, kAck));
        const QByteArray block1 = s.Step("C");
        const QByteArray packet = Block(kSoh, 9, "ACK ACK");
        QCOMPARE(s.Step(packet.left(50)), QByteArray());            // SOH + 49: incomplete
        QCOMPARE(s.ReceiveState(), Ymodem::RxBlock128);
        QCOMPARE(s.Step(), block1);                                 // tick 2: resend
        QCOMPARE(s.Step(packet.mid(50)), QByteArray());             // completes the packet
        QCOMPARE(s.ReceiveState(), Ymodem::RxIdle);
        QCOMPARE(s.TickCount(), 3u);
        QVERIFY(s.m_baIncoming.isEmpty());
        QCOMPARE(s.Step(Block(kStx, 1, "x")), block1);              // whole STX packet in one step
        QVERIFY(s.m_baIncoming.isEmpty());
        QCOMPARE(s.Step(QByteArray(1, kAck)), QByteArray(1, kEot));
        QVERIFY(s.Notifications().isEmpty());
        Q_UNUSED(header);
    }

    void engineRunsAgainAfterEveryEnding()
    {
        ScriptedSender s;
        s.m_baFile = Pattern(700);
        RunBatch(s);
        QCOMPARE(s.Notifications(), QList<uint32_t>() << Ymodem::NotifyFinished);
        s.Step();
        s.Step(QByteArray(1, kCan));
        QCOMPARE(s.Notifications().last(), uint32_t(Ymodem::NotifyCancelled));
        s.m_requests.clear();
        s.m_writes.clear();
        const QList<QByteArray> frames = RunBatch(s);
        QCOMPARE(s.Notifications(), QList<uint32_t>() << Ymodem::NotifyFinished);
        QCOMPARE(frames.at(1), Block(kStx, 1, s.m_baFile));
    }

    // A second ACK while block 1 waits for its "C" must not fetch more data:
    // that would drop block 1's bytes from the image.
    void duplicateHeaderAckKeepsBlockOne()
    {
        ScriptedSender s;
        s.m_baFile = Pattern(3000);
        s.Step();
        s.Step("C");
        QCOMPARE(s.Step(QByteArray(1, kAck)), QByteArray());
        QCOMPARE(s.Step(QByteArray(1, kAck)), QByteArray());
        QCOMPARE(s.m_requests.count(Ymodem::RequestData), 1);
        QCOMPARE(s.Step("C"), Block(kStx, 1, s.m_baFile.left(1024)));
        QCOMPARE(s.Step(QByteArray(1, kAck)), Block(kStx, 2, s.m_baFile.mid(1024, 1024)));
    }

    // The "C" after the header's ACK is lost and the receiver NAKs while it
    // waits for block 1: block 1 goes out, and its ACK moves on to block 2
    // instead of stalling in the header stage until the limits run out.
    void nakForBlockOneAfterLostCMovesOn()
    {
        ScriptedSender s;
        s.m_baFile = Pattern(3000);
        s.Step();
        s.Step("C");
        QCOMPARE(s.Step(QByteArray(1, kAck)), QByteArray());
        QCOMPARE(s.Step(QByteArray(1, kNak)), Block(kStx, 1, s.m_baFile.left(1024)));
        QCOMPARE(s.Stage(), Ymodem::StageSendingData);
        QCOMPARE(s.Step(QByteArray(1, kAck)), Block(kStx, 2, s.m_baFile.mid(1024, 1024)));
    }

    // The "C" after the header's ACK is lost and the receiver stays silent:
    // the resend at the end of the period puts block 1 on the line for the
    // first time, and the receiver's ACK of it moves on to block 2 instead of
    // being taken for a repeated ACK of the header until the limits run out.
    void resendAfterLostCMakesBlockOneTheBlockInFlight()
    {
        ScriptedSender s(1, 5, 999);   // resend every second idle step
        s.m_baFile = Pattern(3000);
        s.Step();
        s.Step("C");
        QCOMPARE(s.Step(QByteArray(1, kAck)), QByteArray());
        QCOMPARE(s.Step(), QByteArray());
        QCOMPARE(s.Step(), Block(kStx, 1, s.m_baFile.left(1024)));
        QCOMPARE(s.Stage(), Ymodem::StageSendingData);
        QCOMPARE(s.TickCount(), 2u);   // the time limit goes on
        QCOMPARE(s.Step(QByteArray(1, kAck)), Block(kStx, 2, s.m_baFile.mid(1024, 1024)));
        QVERIFY(s.Notifications().isEmpty());
    }

    // A receiver that NAKs every EOT must not keep the transfer alive for ever.
    void endlessEotNaksEndTheTransfer()
    {
        ScriptedSender s(499, 5, 4);
        s.m_baFile = Pattern(10);
        s.Step();
        for (char c : QByteArray("C\x06" "C\x06", 4)) {
            s.Step(QByteArray(1, c));
        }
        QCOMPARE(s.Stage(), Ymodem::StageEndOfFile);
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(s.Step(QByteArray(1, kNak)), QByteArray(1, kEot));
        }
        QCOMPARE(s.Step(QByteArray(1, kNak)), kFiveCan);
        QCOMPARE(s.Notifications(), QList<uint32_t>() << Ymodem::NotifyFailed);
    }

    // Misbehaving bindings must not make the engine overrun its buffers or
    // divide by zero.
    void hostileBindingsAreContained()
    {
        // a read that claims more than it was asked for counts as nothing
        ScriptedSender r;
        r.m_nReadOverclaim = 0x10000;
        r.Step();
        QCOMPARE(r.Step("C"), QByteArray());
        QCOMPARE(r.Stage(), Ymodem::StageAwaitStart);
        QCOMPARE(r.Step(Block(kStx, 1, "x")), QByteArray());
        QCOMPARE(r.ReceiveState(), Ymodem::RxIdle);

        // a data length no block can carry is refused and reported
        ScriptedSender l;
        l.m_baFile = Pattern(3000);
        l.Step();
        l.Step("C");
        l.m_nForcedLength = 1025;
        QCOMPARE(l.Step(QByteArray(1, kAck)), kFiveCan);
        QCOMPARE(l.Notifications(), QList<uint32_t>() << Ymodem::NotifyFailed);

        // a header longer than its 128-byte field likewise
        ScriptedSender h;
        h.m_nForcedLength = 1024;
        h.Step();
        QCOMPARE(h.Step("C"), kFiveCan);
        QCOMPARE(h.Notifications(), QList<uint32_t>() << Ymodem::NotifyFailed);

        // the largest tick divisor: a period of 2^32 steps, no division by zero
        ScriptedSender d(0xFFFFFFFFu, 0, 999);
        d.Step();
        d.Step("C");
        for (int i = 0; i < 10; ++i) {
            QCOMPARE(d.Step(), QByteArray());
        }
        QCOMPARE(d.Stage(), Ymodem::StageHeaderSent);
    }

    // With the program's limits, after the receiver's answer to the second
    // EOT: a closing header that nothing answers (the boot loader started its
    // new firmware, its ACK lost) is sent again after 20 silent steps, three
    // times, and the transfer then ends finished and marked unconfirmed.
    // Without an ACK of the EOT, and for a receiver still asking for the
    // closing header, the transfer's own limits hold as before.
    void unansweredClosingHeader_data()
    {
        QTest::addColumn<QByteArray>("eotAnswer");   // to the second EOT
        QTest::addColumn<int>("nAskEvery");          // then a "C" at every n-th step; 0: silence
        QTest::addColumn<int>("nEndStep");           // counted from the closing header's first send
        QTest::addColumn<QList<int>>("resendSteps"); // of the closing header after silence (first 5)
        QTest::addColumn<uint32_t>("eEnd");
        QTest::addColumn<bool>("bUnconfirmed");
        QTest::newRow("its ACK lost") << QByteArray("\x06" "C") << 0 << 80 << QList<int>{20, 40, 60}
                                      << uint32_t(Ymodem::NotifyFinished) << true;
        QTest::newRow("the EOT never acknowledged")
            << QByteArray("C") << 0 << 3000 << QList<int>{500, 1000, 1500, 2000, 2500}
            << uint32_t(Ymodem::NotifyFailed) << false;
        QTest::newRow("the receiver asks again and again")
            << QByteArray("\x06" "C") << 10 << 3333 << QList<int>{} << uint32_t(Ymodem::NotifyFailed) << false;
    }
    void unansweredClosingHeader()
    {
        QFETCH(QByteArray, eotAnswer);
        QFETCH(int, nAskEvery);
        QFETCH(int, nEndStep);
        QFETCH(QList<int>, resendSteps);
        QFETCH(uint32_t, eEnd);
        QFETCH(bool, bUnconfirmed);
        ScriptedSender s;
        s.m_baFile = Pattern(10);
        s.Step();
        for (char c : QByteArray("C\x06" "C\x06\x15", 5)) {
            s.Step(QByteArray(1, c));
        }
        QCOMPARE(s.Stage(), Ymodem::StageEndOfFile);
        QByteArray out;
        for (char c : eotAnswer) {
            out = s.Step(QByteArray(1, c));
        }
        QCOMPARE(out, EmptyHeader());
        QCOMPARE(s.Stage(), Ymodem::StageEndOfBatch);

        int nStep = 0;
        QList<int> silentResends;
        int nAnswered = 0;
        while (s.Notifications().isEmpty() && nStep < 10000) {
            ++nStep;
            const bool bAsk = nAskEvery > 0 && nStep % nAskEvery == 0;
            out = s.Step(bAsk ? QByteArray("C") : QByteArray());
            if (bAsk) {
                nAnswered += (out == EmptyHeader()) ? 1 : 0;
            } else if (out == EmptyHeader() && silentResends.size() < 5) {
                silentResends << nStep;
            }
        }
        QCOMPARE(nStep, nEndStep);
        QCOMPARE(silentResends, resendSteps);
        QCOMPARE(nAnswered, nAskEvery > 0 ? nEndStep / nAskEvery : 0);
        QCOMPARE(out, bUnconfirmed ? QByteArray() : kFiveCan);
        QCOMPARE(s.Notifications(), QList<uint32_t>() << eEnd);
        QCOMPARE(s.ClosingUnconfirmed(), bUnconfirmed);
        QCOMPARE(s.Stage(), Ymodem::StageIdle);

        // The mark belongs to that transfer: the next one starts without it.
        s.Step();
        QVERIFY(!s.ClosingUnconfirmed());
    }
};

QTEST_APPLESS_MAIN(YmodemEngineTest)
#include "tst_ymodem.moc"
