#include "app/quitonsignal.h"

#include <QCoreApplication>
#include <QDebug>
#include <QSocketNotifier>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>
#endif

#ifdef Q_OS_WIN
#include <atomic>
#include <windows.h>
#endif

#ifdef Q_OS_UNIX
namespace {

// [0] written by the handler, [1] watched by the notifier.
int s_fds[2] = {-1, -1};
const int kSignals[] = {SIGTERM, SIGINT};

// Only async-signal-safe work here: hand the signal to the event loop.
extern "C" void HandleQuitSignal(int nSignal)
{
    const char c = static_cast<char>(nSignal);
    const ssize_t n = ::write(s_fds[0], &c, 1);
    (void)n;
}

QString SignalName(int nSignal)
{
    switch (nSignal) {
    case SIGINT: return QStringLiteral("SIGINT");
    case SIGTERM: return QStringLiteral("SIGTERM");
    default: return QStringLiteral("signal %1").arg(nSignal);
    }
}

} // namespace
#endif

#ifdef Q_OS_WIN
namespace {

// The handler runs on a thread of the system's: it only queues the event to
// the object's thread, which is safe from any thread.
std::atomic<QuitOnSignal *> s_pInstance {nullptr};
// Set when the object is destroyed: the close event waits for it.
HANDLE s_hWoundUp = nullptr;

BOOL WINAPI HandleConsoleEvent(DWORD nEvent)
{
    QuitOnSignal *pInstance = s_pInstance.load();
    if (!pInstance) {
        return FALSE;
    }
    QString sName;
    switch (nEvent) {
    case CTRL_C_EVENT: sName = QStringLiteral("Ctrl+C"); break;
    case CTRL_BREAK_EVENT: sName = QStringLiteral("Ctrl+Break"); break;
    case CTRL_CLOSE_EVENT: sName = QStringLiteral("console close"); break;
    case CTRL_LOGOFF_EVENT: sName = QStringLiteral("logoff"); break;
    case CTRL_SHUTDOWN_EVENT: sName = QStringLiteral("shutdown"); break;
    default: return FALSE;
    }
    QMetaObject::invokeMethod(pInstance, "slot_Deliver", Qt::QueuedConnection, Q_ARG(QString, sName));
    if (nEvent == CTRL_C_EVENT || nEvent == CTRL_BREAK_EVENT) {
        return TRUE;
    }
    // Returning ends the process: give the job its wind-up first, within
    // the few seconds Windows allows.
    if (s_hWoundUp) {
        ::WaitForSingleObject(s_hWoundUp, 4500);
    }
    return TRUE;
}

} // namespace
#endif

QuitOnSignal::QuitOnSignal(QObject *parent)
    : QObject(parent)
{
#ifdef Q_OS_UNIX
    if (s_fds[0] >= 0) {
        qDebug() << "QuitOnSignal: already installed";
        return;
    }
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0, s_fds) != 0) {
        qDebug() << "QuitOnSignal: socketpair failed";
        s_fds[0] = s_fds[1] = -1;
        return;
    }
    m_pNotifier = new QSocketNotifier(s_fds[1], QSocketNotifier::Read, this);
    connect(m_pNotifier, &QSocketNotifier::activated, this, &QuitOnSignal::slot_SignalReceived);

    struct sigaction action = {};
    action.sa_handler = HandleQuitSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (int nSignal : kSignals) {
        ::sigaction(nSignal, &action, nullptr);
    }
    m_bActive = true;
#endif
#ifdef Q_OS_WIN
    QuitOnSignal *pExpected = nullptr;
    if (!s_pInstance.compare_exchange_strong(pExpected, this)) {
        qDebug() << "QuitOnSignal: already installed";
        return;
    }
    s_hWoundUp = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (!::SetConsoleCtrlHandler(HandleConsoleEvent, TRUE)) {
        qDebug() << "QuitOnSignal: SetConsoleCtrlHandler failed";
        s_pInstance.store(nullptr);
        return;
    }
    m_bActive = true;
#endif
}

QuitOnSignal::~QuitOnSignal()
{
#ifdef Q_OS_UNIX
    if (!m_pNotifier) {
        return;
    }
    struct sigaction action = {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    for (int nSignal : kSignals) {
        ::sigaction(nSignal, &action, nullptr);
    }
    delete m_pNotifier;
    m_pNotifier = nullptr;
    ::close(s_fds[0]);
    ::close(s_fds[1]);
    s_fds[0] = s_fds[1] = -1;
#endif
#ifdef Q_OS_WIN
    if (!m_bActive) {
        return;
    }
    s_pInstance.store(nullptr);
    // A close event waiting in the handler may now let the process end.
    // The event itself stays: the handler may still be about to wait on it.
    if (s_hWoundUp) {
        ::SetEvent(s_hWoundUp);
    }
#endif
}

bool QuitOnSignal::IsActive() const
{
    return m_bActive;
}

void QuitOnSignal::slot_SignalReceived()
{
#ifdef Q_OS_UNIX
    char buffer[16];
    ssize_t nRead = 0;
    while ((nRead = ::read(s_fds[1], buffer, sizeof(buffer))) > 0) {
        for (ssize_t i = 0; i < nRead; ++i) {
            slot_Deliver(SignalName(static_cast<unsigned char>(buffer[i])));
        }
    }
#endif
}

void QuitOnSignal::slot_Deliver(const QString &sSignalName)
{
    qDebug().noquote() << "QuitOnSignal:" << sSignalName << "received";
    emit signal_Received(sSignalName);
    if (m_bQuitAtOnce) {
        QCoreApplication::quit();
    }
}
