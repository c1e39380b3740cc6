#ifndef READPOLL_H
#define READPOLL_H

#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QTimer>

#include <functional>

class QSerialPort;

// Hands the bytes a port receives to a wait: when it starts, on every
// readyRead, and on a short poll beside it.
//
// On Windows a readyRead only ever follows a read that is in flight. Qt
// starts one when its wait for a comm event ends, or when the program reads.
// Wine's comm event wait never ends on a pseudo-terminal, and some virtual
// and Bluetooth drivers behave alike: a wait that only listens for readyRead
// never hears the reply there. Each look of the poll peeks at the port,
// which starts the next read; readyRead stays the fast path.
class ReadPoll : public QObject
{
public:
    // take is called whenever bytes wait in the port; it must read them.
    ReadPoll(QSerialPort *pPort, std::function<void()> take, QObject *parent = nullptr);
    ~ReadPoll() override;

    // Looks at once, then on every readyRead and poll tick. Safe to call
    // again after Stop.
    void Start();
    // Safe from inside take.
    void Stop();
    // One look now: take is called if bytes wait.
    void Look();

    // Test seam: with false, readyRead is not listened to, so that only the
    // poll can deliver bytes (as under Wine). Set at a test's start only.
    static void SetReadyReadForTesting(bool bListen);
    // Whether waits listen to readyRead (always, but under that seam).
    static bool ListensToReadyRead();

private:
    QPointer<QSerialPort> m_pPort;
    std::function<void()> m_take;
    QTimer m_poll;
    QMetaObject::Connection m_readyRead;
};

#endif // READPOLL_H
