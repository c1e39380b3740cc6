#ifndef SIMULATOROPTIONS_H
#define SIMULATOROPTIONS_H

#include <QByteArray>
#include <QString>
#include <QStringList>

// Everything that shapes how the simulated device behaves. The command line of
// kestrelpack-devsim maps one to one onto these fields (see --help).
struct SimulatorOptions
{
    enum class State
    {
        Application,   // application firmware: answers the command frames
        BootMenu,      // boot loader menu: refuses frames with "Invalid Number", "1" starts YMODEM
        Ymodem,        // boot loader YMODEM receiver: sends "C" and takes a file
    };
    enum class LineEnd
    {
        Lf,            // "\n"
        LfCr,          // "\n\r"
    };

    // Positions for the receiver's faults: 0 is the header block, 1..n the
    // data blocks in the order received (not the wrapped block number),
    // kAtEot the first EOT. Each receiver fault fires once in the device's
    // life, in the first transfer that reaches its position, so that a test
    // can also see the retry succeed.
    static constexpr int kNever = -1;
    static constexpr int kAtEot = -2;

    State initialState = State::Application;

    // Application firmware
    int nVersionMajor = 1;
    int nVersionMinor = 10;
    // The host shows the reply's hex text from the count byte on, cut to
    // "count" digits, so the count byte itself is the first part of the
    // serial number shown: the defaults answer CC 08 12 34 56 and the host
    // shows 08123456.
    QByteArray serialNumber = QByteArray::fromHex("123456");  // bytes after CC and the count byte
    int nSerialCountByte = -1;        // the count byte; -1: the digits of the count byte and the serial bytes
    QString sCountLabel = QStringLiteral("Count");  // D1 answers "<label>:<records>"
    int nRecordCount = 20;            // generated records (index, date, time, event, value)
    QByteArray recordStream;          // when not empty, sent instead of generated records
    int nInvalidEvery = 0;            // an "An invalid record." line after every k-th record; 0: none
    LineEnd lineEnd = LineEnd::Lf;
    int nStreamDelayMs = 0;           // silence between CD34 and the first record byte
    int nStreamPauseEvery = 0;        // a pause after every k-th record; 0: none
    int nStreamPauseMs = 0;
    // At start the device is still sending the last this many records of an
    // export that an earlier host asked for and left (a host opening the
    // line meets the rest); kEndless: it sends its records again and again
    // and never answers; 0: it starts quiet.
    static constexpr int kEndless = -1;
    int nStreamingAtStart = 0;
    // Frames that arrive while the device is still sending are lost in its
    // stream: never answered, not even after it.
    bool bDeafWhileSending = false;
    int nBootDelayMs = 300;           // from the C955 echo to the boot loader's first "C"

    // Line-rate pacing, both directions, in bytes per second (11520 emulates
    // 115200 baud 8N1); 0: unpaced.
    int nBytesPerSecond = 0;

    // Boot loader
    int nCIntervalMs = 1000;          // the receiver's "C" every this many ms
    bool bBootBanner = false;         // print a start-up text (with capital Cs in it) when it boots
    QString sImageDir;                // received images are written here (name from the header)
    // Where the device is once an image is stored: its application firmware
    // (the new image runs), or back in its boot loader, as a boot loader
    // that refused the image and did not start it.
    State afterImageState = State::Application;
    // The version the firmware reports once an image was stored (the new
    // image's); below 0: the one it had.
    int nVersionAfterMajor = -1;
    int nVersionAfterMinor = -1;

    // Not a device: a loopback plug or an echoing line. Every byte received
    // goes straight back, and nothing else is ever sent (application state
    // only; frames are still recorded).
    bool bEcho = false;

    // Faults of the application firmware and the boot menu
    bool bSilent = false;             // answers nothing at all
    bool bWrongEcho = false;          // echoes frames with the last byte changed
    QByteArray extraAfterEcho;        // appended to every echo
    int nSplitPieces = 0;             // every reply goes out in this many pieces...
    int nSplitGapMs = 0;              // ...this far apart; 0/1 pieces: whole
    QByteArray garbageBeforeReply;    // sent before every reply
    // The faults above hit only the replies to this command: its first byte
    // (0xC0, 0xC8, 0xCD, ...; 0x31 for the boot menu's "1"); -1: every reply.
    int nFaultCommand = -1;
    // After the record stream, noise lines without a pause until the next
    // command frame: a stream that never ends.
    bool bChatter = false;

    // Faults of the YMODEM receiver (positions as above)
    int nNakAtBlock = kNever;         // NAK this block...
    int nNakTimes = 0;                // ...this many times before accepting it
    int nCancelAtBlock = kNever;      // answer this block with CAN CAN
    int nCancelLetterAtBlock = kNever; // answer this block with cCancelLetter
    char cCancelLetter = 'A';         // 'A' or 'a'
    int nSilentAtBlock = kNever;      // stop answering from this block on
    int nGarbageAtBlock = kNever;     // answer this block with garbage bytes instead of ACK/NAK
    int nCloseAtBlock = kNever;       // close the line (the device is gone) at this block

    // The ACK of the closing empty header is lost once: the receiver stores
    // the image and starts its application firmware as if it had gone out.
    bool bDropClosingAck = false;

    QString sTranscriptFile;          // when set, every received frame is also appended here

    // Not this device: a GPS receiver or modem port that streams its own
    // text lines (NMEA sentences, CR LF) again and again and answers nothing
    // (--foreign-talker).
    void MakeForeignTalker();

    // Parses kestrelpack-devsim's arguments (without the program name).
    // Returns false with a reason in *psError on a bad option.
    static bool FromArguments(const QStringList &args, SimulatorOptions *pOptions, QString *psError);
    static QString HelpText();
};

#endif // SIMULATOROPTIONS_H
