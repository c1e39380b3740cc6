#include "scriptedline.h"

#include <QSocketNotifier>
#include <QTimer>

#include <unistd.h>

ScriptedLine::ScriptedLine(QObject *parent) : QObject(parent) {}

ScriptedLine::~ScriptedLine()
{
    Unplug();
}

bool ScriptedLine::Open()
{
    if (!m_pty.Open(nullptr)) {
        return false;
    }
    m_pNotifier = new QSocketNotifier(m_pty.MasterFd(), QSocketNotifier::Read, this);
    connect(m_pNotifier, &QSocketNotifier::activated, this, &ScriptedLine::ReadMaster);
    return true;
}

void ScriptedLine::Unplug()
{
    delete m_pNotifier;
    m_pNotifier = nullptr;
    m_pty.Close();
}

void ScriptedLine::Write(const QByteArray &bytes)
{
    if (!m_pty.IsOpen()) {
        return;
    }
    const ssize_t nWritten = ::write(m_pty.MasterFd(), bytes.constData(), size_t(bytes.size()));
    Q_ASSERT(nWritten == bytes.size());
    Q_UNUSED(nWritten);
}

void ScriptedLine::WriteLater(int nDelayMs, const QByteArray &bytes)
{
    QTimer::singleShot(nDelayMs, this, [this, bytes]() { Write(bytes); });
}

void ScriptedLine::ReadMaster()
{
    char buffer[4096];
    for (;;) {
        const ssize_t nRead = ::read(m_pty.MasterFd(), buffer, sizeof(buffer));
        if (nRead <= 0) {
            return;
        }
        const QByteArray chunk(buffer, int(nRead));
        m_received.append(chunk);
        if (onReceived) {
            onReceived(chunk);
        }
    }
}
