// The firmware file transmitter over a real pseudo-terminal, with the test
// playing the receiver byte by byte on the master side.

#include "transfer/ymodemfiletransmit.h"

#include "device/waitsfortesting.h"
#include "ptypeer.h"
#include "support/testenvironment.h"
#include "transmitrecorder.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QFile>
#include <QTemporaryDir>
#include <QTextCodec>
#include <QThread>
#include <QtTest>

#include <atomic>
#include <thread>
#include <fcntl.h>
#include <sys/resource.h>
#include <termios.h>
#include <unistd.h>

Q_DECLARE_METATYPE(YmodemFileTransmit::YmodemStatus)

namespace {

const char kAck = 0x06;
const char kNak = 0x15;
const char kEot = 0x04;
const QByteArray kFiveCan(5, 0x18);

QByteArray Pattern(int nSize)
{
    QByteArray out(nSize, Qt::Uninitialized);
    for (int i = 0; i < nSize; ++i) {
        out[i] = static_cast<char>((i * 31 + i / 7) & 0xFF);
    }
    return out;
}

quint16 CrcOf(const QByteArray &data)
{
    return Ymodem::Crc16(reinterpret_cast<const uint8_t *>(data.constData()), static_cast<uint32_t>(data.size()));
}

QByteArray Block(char cHead, quint8 nNumber, const QByteArray &data)
{
    QByteArray field = data;
    field.append(QByteArray(((cHead == 0x02) ? 1024 : 128) - data.size(), '\0'));
    const quint16 nCrc = CrcOf(field);
    return QByteArray(1, cHead) + char(nNumber) + char(0xFF - nNumber) + field + char(nCrc >> 8) + char(nCrc & 0xFF);
}

double CpuSeconds()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec)
           + double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// One transmitter on one pseudo-terminal, with the signals recorded.
struct Rig
{
    QTemporaryDir dir;
    PtyPeer peer;
    YmodemFileTransmit tx;
    TransmitRecorder rec{&tx};
    QByteArray wire;   // what the transmitter wrote and the test has not taken yet

    bool Open()
    {
        if (!dir.isValid() || !peer.Open()) {
            return false;
        }
        tx.SetPortName(peer.SlavePath());
        return true;
    }
    QString WriteFile(const QString &sName, const QByteArray &content)
    {
        const QString sPath = dir.filePath(sName);
        QFile file(sPath);
        if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size()) {
            return QString();
        }
        return sPath;
    }
    // Waits until the transmitter has written n more bytes and takes them.
    QByteArray Take(int n, int nTimeoutMs = 5000)
    {
        QElapsedTimer timer;
        timer.start();
        while (wire.size() < n && timer.elapsed() < nTimeoutMs) {
            wire += peer.ReadAvailable();
            if (wire.size() < n) {
                QTest::qWait(5);   // lets the transmitter's timers run
            }
        }
        const QByteArray out = wire.left(n);
        wire.remove(0, out.size());
        return out;
    }
    // The receiver's end of a file after its last block's ACK: NAKs the
    // first EOT, ACKs the second and asks for the next header. What the
    // transmitter sent meanwhile: EOT, EOT and the empty closing header.
    QByteArray EndOfFile()
    {
        QByteArray sent = Take(1);
        peer.Write(QByteArray(1, kNak));
        sent += Take(1);
        peer.Write(QByteArray(1, kAck) + 'C');
        return sent + Take(133);
    }
};

using S = YmodemFileTransmit;

// A listener in another thread that connects by the signal's text, as the
// upgrade coordinator's listeners do.
class StatusListener : public QObject
{
    Q_OBJECT
public:
    std::atomic<int> m_nCount{0};
    std::atomic<int> m_nLast{-1};
    std::atomic<QThread *> m_pThreadSeen{nullptr};
public slots:
    void slot_Status(YmodemFileTransmit::YmodemStatus eStatus)
    {
        m_pThreadSeen = QThread::currentThread();
        m_nLast = eStatus;
        ++m_nCount;
    }
};

// Reaches the engine's read operation directly.
class ProbeTransmit : public YmodemFileTransmit
{
public:
    uint32_t Read(uint8_t *p, uint32_t n) { return ReadBytes(p, n); }
};

} // namespace

class YmodemFileTransmitTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        TestEnvironment::GuardSerialPorts();
        WaitsForTesting::Reset();
        // Names outside ASCII must reach the header in a known encoding.
        QTextCodec::setCodecForLocale(QTextCodec::codecForName("UTF-8"));
    }
    void cleanup()
    {
        WaitsForTesting::Reset();
    }

    // The real waits and limits throughout: every exchange here is short.
    void wholeExchangeOnTheWire()
    {
        Rig rig;
        QVERIFY(rig.Open());
        const QByteArray content = Pattern(1100);
        rig.tx.SetFileName(rig.WriteFile(QStringLiteral("fw.bin"), content));
        QVERIFY(rig.tx.StartTransmit());
        QVERIFY(rig.peer.Write("C"));

        const QByteArray header = rig.Take(133);
        const QByteArray expected = QByteArray::fromHex("0100FF" "66772E62696E00" "3131303000")
                                    + QByteArray(116, '\0') + QByteArray::fromHex("2594");
        QCOMPARE(header, expected);
        QCOMPARE(rig.rec.Statuses(), QList<int>() << S::StatusOpening);

        rig.peer.Write(QByteArray(1, kAck) + 'C');
        QCOMPARE(rig.Take(1029), Block(0x02, 1, content.left(1024)));
        rig.peer.Write(QByteArray(1, kAck));
        QCOMPARE(rig.Take(133), Block(0x01, 2, content.mid(1024)));   // 76 bytes in a 128-byte block
        rig.peer.Write(QByteArray(1, kAck));
        QCOMPARE(rig.EndOfFile(), QByteArray(2, kEot) + Block(0x01, 0, QByteArray()));
        QCOMPARE(rig.rec.Statuses().last(), int(S::StatusSending));

        QElapsedTimer sinceAck;
        sinceAck.start();
        rig.peer.Write(QByteArray(1, kAck));
        QVERIFY(rig.rec.WaitForEnd(5000));
        QVERIFY(sinceAck.elapsed() >= 100);   // the end wait comes before the final status
        QCOMPARE(rig.rec.Statuses(), QList<int>() << S::StatusOpening << S::StatusSending << S::StatusSending
                                              << S::StatusSending << S::StatusDone);
        QCOMPARE(rig.rec.Progress(), QList<int>() << 93 << 100);

        // The port is closed by then: the same object starts again at once.
        QVERIFY(rig.tx.StartTransmit());
        rig.peer.Write("C");
        QCOMPARE(rig.Take(133), expected);
        rig.peer.Write(QByteArray(1, 'a'));
        QVERIFY(rig.rec.WaitForEnd(5000));
        QCOMPARE(rig.rec.Statuses().last(), int(S::StatusCancelled));
    }

    // The block size at the 128-byte boundary, byte for byte: a last piece
    // of exactly 128 bytes goes out as a full 128-byte block, one byte more
    // as a 1024-byte block filled up with zeros.
    void lastPieceAtTheSmallBlockBoundary_data()
    {
        QTest::addColumn<int>("nSize");
        QTest::addColumn<QList<int>>("fields");   // the data fields of the blocks, in order
        QTest::newRow("128 bytes") << 128 << QList<int>{128};
        QTest::newRow("1024 + 128 bytes") << 1152 << QList<int>{1024, 128};
        QTest::newRow("1024 + 129 bytes") << 1153 << QList<int>{1024, 1024};
    }
    void lastPieceAtTheSmallBlockBoundary()
    {
        QFETCH(int, nSize);
        QFETCH(QList<int>, fields);
        Rig rig;
        QVERIFY(rig.Open());
        const QByteArray content = Pattern(nSize);
        rig.tx.SetFileName(rig.WriteFile(QStringLiteral("fw.bin"), content));
        QVERIFY(rig.tx.StartTransmit());
        rig.peer.Write("C");
        QVERIFY(rig.Take(133).startsWith(QByteArray::fromHex("0100FF")));
        rig.peer.Write(QByteArray(1, kAck) + 'C');
        int nOffset = 0;
        quint8 nBlock = 1;
        for (const int nField : fields) {
            const char cHead = (nField == 1024) ? 0x02 : 0x01;
            QCOMPARE(rig.Take(nField + 5), Block(cHead, nBlock++, content.mid(nOffset, nField)));
            nOffset += nField;
            rig.peer.Write(QByteArray(1, kAck));
        }
        QCOMPARE(rig.EndOfFile(), QByteArray(2, kEot) + Block(0x01, 0, QByteArray()));
        rig.peer.Write(QByteArray(1, kAck));
        QVERIFY(rig.rec.WaitForEnd(5000));
        QCOMPARE(rig.rec.Final(), int(S::StatusDone));
        QCOMPARE(rig.wire + rig.peer.ReadAvailable(), QByteArray());
    }

    // "C"s that queued up before the header went out ask for that one
    // header: it goes out once, and the exchange stays in step, so the NAK
    // of block 2 is answered with block 2 again.
    void queuedCsSendOneHeader()
    {
        Rig rig;
        QVERIFY(rig.Open());
        const QByteArray content = Pattern(3000);
        rig.tx.SetFileName(rig.WriteFile(QStringLiteral("fw.bin"), content));
        QVERIFY(rig.tx.StartTransmit());
        QVERIFY(rig.peer.Write("CCC"));
        QCOMPARE(rig.Take(133).left(3), QByteArray::fromHex("0100FF"));
        rig.peer.Write(QByteArray(1, kAck) + 'C');
        QCOMPARE(rig.Take(1029), Block(0x02, 1, content.left(1024)));
        rig.peer.Write(QByteArray(1, kAck));
        QCOMPARE(rig.Take(1029), Block(0x02, 2, content.mid(1024, 1024)));
        rig.peer.Write(QByteArray(1, kNak));
        QCOMPARE(rig.Take(1029), Block(0x02, 2, content.mid(1024, 1024)));
        rig.peer.Write(QByteArray(1, 0x18));
        QVERIFY(rig.rec.WaitForEnd(5000));
    }

    // The device acknowledges the closing header and drops off the line at
    // once: the ACK that already arrived counts, and the transfer is Done.
    void ackBeforeLineLossCounts()
    {
        Rig rig;
        QVERIFY(rig.Open());
        const QByteArray content = Pattern(100);
        rig.tx.SetFileName(rig.WriteFile(QStringLiteral("fw.bin"), content));
        QVERIFY(rig.tx.StartTransmit());
        rig.peer.Write("C");
        QCOMPARE(rig.Take(133).size(), 133);
        rig.peer.Write(QByteArray(1, kAck) + 'C');
        QCOMPARE(rig.Take(133), Block(0x01, 1, content));
        rig.peer.Write(QByteArray(1, kAck));
        QCOMPARE(rig.Take(1), QByteArray(1, kEot));
        rig.peer.Write(QByteArray(1, kNak));
        QCOMPARE(rig.Take(1), QByteArray(1, kEot));
        rig.peer.Write(QByteArray(1, kAck) + 'C');
        QCOMPARE(rig.Take(133), Block(0x01, 0, QByteArray()));
        // A "C" ahead of the ACK keeps the ACK waiting for a step. Both
        // arrive in one write; the step that takes the "C" resends the
        // closing header, and from then on the ACK is in the port's buffer,
        // unread, when the line goes (before the next step).
        rig.peer.Write(QByteArray("C") + kAck);
        QCOMPARE(rig.Take(133), Block(0x01, 0, QByteArray()));
        rig.peer.CloseMaster();
        QVERIFY(rig.rec.WaitForEnd(5000));
        QCOMPARE(rig.rec.Final(), int(S::StatusDone));
    }

    // A cancel whose CANs queue behind a block the line has not taken yet
    // (Windows drops what is queued on close): the port stays open until
    // they have left. Here the line is held with XOFF, as a receiver's
    // flow control would, and released 400 ms later, long after the
    // 100 ms end wait.
    void cancelLeavesTheLineBeforeThePortCloses()
    {
        Rig rig;
        QVERIFY(rig.Open());
        rig.tx.SetFileName(rig.WriteFile(QStringLiteral("fw.bin"), Pattern(3000)));
        QVERIFY(rig.tx.StartTransmit());
        rig.peer.Write("C");
        QCOMPARE(rig.Take(133).size(), 133);
        // Software flow control on the transmitter's side of the line (the
        // settings belong to the terminal, whoever opened it).
        const int nSlave = ::open(rig.peer.SlavePath().toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
        QVERIFY(nSlave >= 0);
        const auto closeSlave = qScopeGuard([nSlave]() { ::close(nSlave); });
        termios settings {};
        QCOMPARE(::tcgetattr(nSlave, &settings), 0);
        settings.c_iflag |= IXON;
        QCOMPARE(::tcsetattr(nSlave, TCSANOW, &settings), 0);
        rig.peer.Write(QByteArray(1, 0x13) + kAck + 'C');
        QTest::qWait(200);   // the first block waits in the port, held by the XOFF
        QVERIFY(rig.peer.ReadAvailable().isEmpty());
        QVERIFY(rig.tx.CancelTransmit());
        QTimer::singleShot(400, [&rig]() { rig.peer.Write(QByteArray(1, 0x11)); });
        QVERIFY(rig.rec.WaitForEnd(5000));
        QCOMPARE(rig.rec.Final(), int(S::StatusCancelled));
        const QByteArray sent = rig.Take(1029 + 5, 2000);
        QCOMPARE(sent.size(), 1029 + 5);
        QCOMPARE(sent.right(5), kFiveCan);
    }

    // Started from a thread other than its own, the transmitter's timers
    // would never run: the start is refused instead of hanging silently.
    void startFromAnotherThreadIsRefused()
    {
        Rig rig;
        QVERIFY(rig.Open());
        rig.tx.SetFileName(rig.WriteFile(QStringLiteral("fw.bin"), Pattern(10)));
        bool bStarted = true;
        std::thread other([&]() { bStarted = rig.tx.StartTransmit(); });
        other.join();
        QVERIFY(!bStarted);
        QVERIFY(rig.tx.StartTransmit());   // its own thread still may
        rig.peer.Write(QByteArray(1, 0x18));
        QVERIFY(rig.rec.WaitForEnd(5000));
    }

    void missingFileFailsWithoutOpening()
    {
        Rig rig;
        QVERIFY(rig.Open());
        rig.tx.SetFileName(rig.dir.filePath(QStringLiteral("absent.bin")));
        QVERIFY(rig.tx.StartTransmit());
        rig.peer.Write("C");
        QCOMPARE(rig.Take(5), kFiveCan);
        QVERIFY(rig.rec.WaitForEnd(5000));
        QCOMPARE(rig.rec.Statuses(), QList<int>() << S::StatusFailed);
        QVERIFY(rig.rec.Progress().isEmpty());
    }

    void statusCrossesThreadsByName()
    {
        QVERIFY(QMetaType::type("YmodemFileTransmit::YmodemStatus") != QMetaType::UnknownType);
        Rig rig;
        QVERIFY(rig.Open());
        QVERIFY(rig.tx.qt_metacast("Ymodem") != nullptr);
        QThread thread;
        StatusListener listener;
        listener.moveToThread(&thread);
        thread.start();
        QVERIFY(QObject::connect(&rig.tx, SIGNAL(TransmitStatus(YmodemFileTransmit::YmodemStatus)), &listener,
                                 SLOT(slot_Status(YmodemFileTransmit::YmodemStatus)), Qt::QueuedConnection));
        rig.tx.SetFileName(rig.dir.filePath(QStringLiteral("absent.bin")));
        QVERIFY(rig.tx.StartTransmit());
        rig.peer.Write("C");
        QVERIFY(rig.rec.WaitForEnd(5000));
        QTRY_COMPARE(listener.m_nCount.load(), 1);
        thread.quit();
        QVERIFY(thread.wait(5000));
        QCOMPARE(listener.m_nLast.load(), int(S::StatusFailed));
        QCOMPARE(listener.m_pThreadSeen.load(), &thread);
    }

    void startIsRefusedWhenThePortCannotOpenOrIsBusy()
    {
        Waits waits;
        waits.nYmodemEndMs = 2000;   // a long end wait to start into
        WaitsForTesting::Set(waits);
        Rig rig;
        QVERIFY(rig.Open());
        rig.tx.SetFileName(rig.WriteFile(QStringLiteral("fw.bin"), Pattern(10)));
        rig.tx.SetPortName(rig.dir.filePath(QStringLiteral("no-such-tty")));
        QVERIFY(!rig.tx.StartTransmit());
        QVERIFY(!rig.rec.MoreWithin(300));

        // A running transfer keeps its port and its status.
        rig.tx.SetPortName(rig.peer.SlavePath());
        QVERIFY(rig.tx.StartTransmit());
        rig.peer.Write("C");
        QCOMPARE(rig.Take(133).left(3), QByteArray::fromHex("0100FF"));
        QVERIFY(!rig.tx.StartTransmit());
        rig.peer.Write(QByteArray(1, kAck) + 'C');
        QCOMPARE(rig.Take(133), Block(0x01, 1, Pattern(10)));
        rig.peer.Write(QByteArray(1, 0x18));
        // The cancel is taken within a step or two; the final status is then
        // pending, and a start now must neither run nor change it.
        QVERIFY(!rig.rec.MoreWithin(400));
        QVERIFY(!rig.tx.StartTransmit());
        QVERIFY(rig.rec.WaitForEnd(5000));
        QCOMPARE(rig.rec.Statuses(), QList<int>() << S::StatusOpening << S::StatusSending << S::StatusCancelled);
    }

    // With shortened limits: no "C" at all ends in a time-out with CANs.
    void silentReceiverTimesOut()
    {
        Waits waits;
        waits.nYmodemStepMs = 10;
        waits.nYmodemTickDivisor = 4;
        waits.nYmodemMaxTimeouts = 1;
        WaitsForTesting::Set(waits);
        Rig rig;
        QVERIFY(rig.Open());
        rig.tx.SetFileName(rig.WriteFile(QStringLiteral("fw.bin"), Pattern(10)));
        QVERIFY(rig.tx.StartTransmit());
        QVERIFY(rig.rec.WaitForEnd(5000));
        QCOMPARE(rig.rec.Statuses(), QList<int>() << S::StatusTimeOut);
        QCOMPARE(rig.Take(5), kFiveCan);
    }

    // A receiver flooding "C"s while a data block waits for its ACK: the
    // "C"s move nothing on (block 1 goes out again, never block 2) and do
    // not shorten the limits, which keep their length in time.
    void cFloodDuringDataNeitherStepsNorHastens()
    {
        Waits waits;
        waits.nYmodemStepMs = 20;
        waits.nYmodemTickDivisor = 9;   // a resend every 10 idle steps: 200 ms
        waits.nYmodemMaxTimeouts = 2;   // given up at the 30th: 600 ms
        WaitsForTesting::Set(waits);
        Rig rig;
        QVERIFY(rig.Open());
        rig.tx.SetFileName(rig.WriteFile(QStringLiteral("fw.bin"), Pattern(3000)));
        QVERIFY(rig.tx.StartTransmit());
        rig.peer.Write("C");
        QCOMPARE(rig.Take(133).size(), 133);
        rig.peer.Write(QByteArray(1, kAck) + 'C');
        const QByteArray block1 = rig.Take(1029);
        QCOMPARE(block1.size(), 1029);
        QElapsedTimer timer;
        timer.start();
        QTimer flood;   // four "C"s to every step
        connect(&flood, &QTimer::timeout, this, [&rig]() {
            rig.peer.Write("C");
            rig.wire += rig.peer.ReadAvailable();
        });
        flood.start(5);
        QVERIFY(rig.rec.WaitForEnd(5000));
        const qint64 nEndMs = timer.elapsed();
        flood.stop();
        rig.wire += rig.peer.ReadAvailable();
        QCOMPARE(rig.rec.Statuses().last(), int(S::StatusFailed));
        const QByteArray sent = block1 + block1 + kFiveCan;
        QCOMPARE(rig.wire.left(sent.size()), sent);
        // Once the transmitter has closed its port, the line itself may echo
        // a "C" of the flood.
        QCOMPARE(rig.wire.mid(sent.size()), QByteArray(rig.wire.size() - sent.size(), 'C'));
        QVERIFY2(nEndMs >= 550, qPrintable(QString::number(nEndMs)));
    }

    // The far end closing the line: the transfer must end at once with a
    // failure (real limits: otherwise 150 s) and the port must not spin.
    void lineClosedEndsTheTransfer_data()
    {
        QTest::addColumn<int>("nStage");   // 0: before the first "C", 1: mid-data, 2: closing header sent
        QTest::newRow("awaiting start") << 0;
        QTest::newRow("mid-data") << 1;
        QTest::newRow("closing header pending") << 2;
    }
    void lineClosedEndsTheTransfer()
    {
        QFETCH(int, nStage);
        Rig rig;
        QVERIFY(rig.Open());
        rig.tx.SetFileName(rig.WriteFile(QStringLiteral("fw.bin"), Pattern(3000)));
        QVERIFY(rig.tx.StartTransmit());
        if (nStage >= 1) {
            rig.peer.Write("C");
            QCOMPARE(rig.Take(133).size(), 133);
            rig.peer.Write(QByteArray(1, kAck) + 'C');
            QCOMPARE(rig.Take(1029).size(), 1029);
        }
        if (nStage >= 2) {
            for (int i = 0; i < 2; ++i) {
                rig.peer.Write(QByteArray(1, kAck));
                QCOMPARE(rig.Take(1029).size(), 1029);
            }
            rig.peer.Write(QByteArray(1, kAck));
            QCOMPARE(rig.Take(1), QByteArray(1, kEot));
            rig.peer.Write(QByteArray(1, kAck) + 'C');   // an rb-like early ACK of the EOT
            QCOMPARE(rig.Take(133), Block(0x01, 0, QByteArray()));
        }
        QElapsedTimer timer;
        timer.start();
        rig.peer.CloseMaster();
        QVERIFY(rig.rec.WaitForEnd(3000));
        QVERIFY2(timer.elapsed() < 3000, qPrintable(QString::number(timer.elapsed())));
        QCOMPARE(rig.rec.Statuses().last(), int(S::StatusFailed));

        // Nothing keeps running: no further status, and hardly any CPU used.
        const double fCpuBefore = CpuSeconds();
        QVERIFY(!rig.rec.MoreWithin(400));
        QVERIFY2(CpuSeconds() - fCpuBefore < 0.2, "the event loop is spinning");
    }

    void failedPortReadCountsAsNothing()
    {
        ProbeTransmit probe;
        uint8_t buffer[16] = {};
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(".*device not open.*"));
        QCOMPARE(probe.Read(buffer, sizeof(buffer)), 0u);
    }

    void longFileNamesFitTheHeader_data()
    {
        QTest::addColumn<QString>("sName");
        QTest::addColumn<qint64>("nSize");
        QTest::addColumn<QString>("sExpected");   // empty: shortened, checked by its properties
        const QString sFits = QString(126 - 5, QLatin1Char('x'));   // 121 + NUL + "1100" + NUL = 127
        QTest::newRow("short") << QStringLiteral("fw.bin") << qint64(1100) << QStringLiteral("fw.bin");
        QTest::newRow("exactly fits") << sFits + QStringLiteral("y") << qint64(1100)
                                      << sFits + QStringLiteral("y");
        QTest::newRow("one byte over") << sFits + QStringLiteral("yz") << qint64(1100) << QString();
        QTest::newRow("two-byte letters") << QString(80, QChar(0x00E9)) + QStringLiteral(".bin") << qint64(5)
                                          << QString();
        QTest::newRow("surrogate pairs") << QString::fromUtf8("\xF0\x9F\x94\xA7").repeated(40) + QStringLiteral(".bin")
                                         << qint64(5) << QString();
        QTest::newRow("no suffix") << QString(200, QLatin1Char('n')) << qint64(7) << QString();
        QTest::newRow("huge suffix") << QStringLiteral("a.") + QString(200, QLatin1Char('s')) << qint64(7)
                                     << QString();
        QTest::newRow("largest size") << QString(120, QLatin1Char('m')) + QStringLiteral(".bin")
                                      << std::numeric_limits<qint64>::max() << QString();
    }
    void longFileNamesFitTheHeader()
    {
        QFETCH(QString, sName);
        QFETCH(qint64, nSize);
        QFETCH(QString, sExpected);
        const QByteArray name = YmodemFileTransmit::HeaderFileName(sName, nSize);
        const QByteArray size = QByteArray::number(nSize);
        QVERIFY(!name.isEmpty());
        QVERIFY2(name.size() + 1 + size.size() + 1 <= 128, name.constData());
        if (!sExpected.isEmpty()) {
            QCOMPARE(QString::fromUtf8(name), sExpected);
            return;
        }
        // Cut on a character boundary: decodes cleanly and is a prefix of the
        // name (before the kept suffix, if any).
        const QString sDecoded = QString::fromUtf8(name);
        QCOMPARE(sDecoded.toUtf8(), name);
        QVERIFY(!sDecoded.contains(QChar::ReplacementCharacter));
        QVERIFY(sDecoded.size() < sName.size());
        const int nDot = sName.lastIndexOf(QLatin1Char('.'));
        const QString sSuffix = nDot > 0 ? sName.mid(nDot) : QString();
        if (!sSuffix.isEmpty() && sSuffix.toUtf8().size() < 100) {
            QVERIFY(sDecoded.endsWith(sSuffix));
            QVERIFY(sName.startsWith(sDecoded.left(sDecoded.size() - sSuffix.size())));
        } else {
            QVERIFY(sName.startsWith(sDecoded));
        }
        // nothing more could have been kept
        QVERIFY(name.size() + 1 + size.size() + 1 >= 128 - 4);
    }

    // The shortened name on the wire: the header field is never overrun.
    void longFileNameOnTheWire()
    {
        Rig rig;
        QVERIFY(rig.Open());
        const QString sName = QString(60, QChar(0x4E2D)) + QStringLiteral(".bin");   // 180 bytes in UTF-8
        const QString sPath = rig.WriteFile(sName, Pattern(300));
        QVERIFY(!sPath.isEmpty());
        rig.tx.SetFileName(sPath);
        QVERIFY(rig.tx.StartTransmit());
        rig.peer.Write("C");
        const QByteArray header = rig.Take(133);
        QCOMPARE(header.size(), 133);
        const QByteArray field = header.mid(3, 128);
        QCOMPARE(header.right(2), QByteArray(1, char(CrcOf(field) >> 8)) + char(CrcOf(field) & 0xFF));
        const int nNul = field.indexOf('\0');
        QCOMPARE(field.mid(0, nNul), YmodemFileTransmit::HeaderFileName(sName, 300));
        QVERIFY(QString::fromUtf8(field.left(nNul)).endsWith(QStringLiteral(".bin")));
        QCOMPARE(field.mid(nNul + 1, 4), QByteArray("300\0", 4));
        QCOMPARE(field.mid(nNul + 5), QByteArray(128 - nNul - 5, '\0'));
        rig.peer.Write(QByteArray(1, 0x18));
        QVERIFY(rig.rec.WaitForEnd(5000));
    }

    void progressIsExactForEverySize()
    {
        using U = unsigned __int128;
        auto reference = [](qint64 s, qint64 n) { return int(U(quint64(s)) * 100 / U(quint64(n))); };
        const qint64 kMax = std::numeric_limits<qint64>::max();
        const QList<QPair<qint64, qint64>> cases = {
            {1, 3}, {1024, 1100}, {1099, 1100}, {1100, 1100}, {kMax / 2, kMax}, {kMax - 1, kMax},
            {kMax / 100 + 1, kMax}, {qint64(1) << 62, kMax}, {(qint64(1) << 57) + 12345, qint64(1) << 58},
            {184467440737095517LL, 184467440737095517LL * 2 - 1}, {3, kMax},
        };
        for (const auto &c : cases) {
            QCOMPARE(YmodemFileTransmit::ProgressPercent(c.first, c.second), reference(c.first, c.second));
        }
        quint64 x = 88172645463325252ull;
        for (int i = 0; i < 20000; ++i) {
            x ^= x << 13;
            x ^= x >> 7;
            x ^= x << 17;
            const qint64 n = qint64(x >> (1 + i % 62)) | 1;
            const qint64 s = qint64((x * 2654435761u) % quint64(n)) + (i % 5 == 0 ? 1 : 0);
            QCOMPARE(YmodemFileTransmit::ProgressPercent(s, n), reference(s, n));
        }
    }
};

QTEST_MAIN(YmodemFileTransmitTest)
#include "tst_ymodemfiletransmit.moc"
