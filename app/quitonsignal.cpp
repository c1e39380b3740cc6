#include "app/quitonsignal.h"

#include <QCoreApplication>
#include <QDebug>
#include <QSocketNotifier>

#ifdef Q_OS_UNIX
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>
#endif

#ifdef Q_OS_UNIX
namespace {

// [0] written by the handler, [1] watched by the notifier.
int s_fds[2] = {-1, -1};
const int kSignals[] = {SIGTERM, SIGINT};

// Only async-signal-safe work here: hand the signal to the event loop.
extern "C" void HandleQuitSignal(int)
{
    const char c = 1;
    const ssize_t n = ::write(s_fds[0], &c, 1);
    (void)n;
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
}

bool QuitOnSignal::IsActive() const
{
    return m_pNotifier != nullptr;
}

void QuitOnSignal::slot_SignalReceived()
{
#ifdef Q_OS_UNIX
    char buffer[16];
    while (::read(s_fds[1], buffer, sizeof(buffer)) > 0) {
    }
#endif
    qDebug() << "QuitOnSignal: quit requested";
    QCoreApplication::quit();
}
