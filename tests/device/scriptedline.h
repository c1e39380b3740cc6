#ifndef SCRIPTEDLINE_H
#define SCRIPTEDLINE_H

#include "simulator/pseudoterminal.h"

#include <QByteArray>
#include <QObject>
#include <QString>

#include <functional>

class QSocketNotifier;

// A pseudo-terminal whose far end the test drives byte by byte, for exact
// byte patterns on the wire (bursts of 'C's, a reply that is only a piece of
// a frame). It lives in the test's thread: the link's nested wait loops serve
// its notifier, so scripted answers arrive while a command waits.
class ScriptedLine : public QObject
{
    Q_OBJECT

public:
    explicit ScriptedLine(QObject *parent = nullptr);
    ~ScriptedLine() override;

    bool Open();
    QString PortPath() const { return m_pty.SlavePath(); }

    // Sends bytes to the host in one write.
    void Write(const QByteArray &bytes);
    // Sends bytes to the host nDelayMs from now.
    void WriteLater(int nDelayMs, const QByteArray &bytes);

    // Closes the far end, as if the cable were pulled.
    void Unplug();

    // Everything the host wrote so far.
    QByteArray Received() const { return m_received; }

    // Called with each chunk the host writes (after it is recorded).
    std::function<void(const QByteArray &)> onReceived;

private:
    void ReadMaster();

    PseudoTerminal m_pty;
    QSocketNotifier *m_pNotifier = nullptr;
    QByteArray m_received;
};

#endif // SCRIPTEDLINE_H
