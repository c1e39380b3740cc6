#include "device/porttrial.h"
#include "device/porttrialfortesting.h"

#include <QDebug>
#include <QMap>

#include <atomic>
#include <chrono>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>

#ifdef Q_OS_WIN
#include <windows.h>
#endif
#ifdef Q_OS_UNIX
#include <cerrno>
#include <fcntl.h>
#include <unistd.h>
#endif

struct PortTrial::State
{
    std::atomic<bool> bEnded{false};
    std::atomic<bool> bOpened{false};
    std::atomic<int> nError{0};
};

namespace {

// The trials that run, by path, and the seam's delays. Made once and never
// destroyed: a trial may still be blocked while the program's statics go.
struct Trials
{
    std::mutex mutex;
    QMap<QString, std::shared_ptr<PortTrial::State>> running;
    QMap<QString, int> delaysMs;
};

Trials &TheTrials()
{
    static Trials *s_pTrials = new Trials;
    return *s_pTrials;
}

#ifdef Q_OS_WIN
using NativePath = std::wstring;

// As Qt opens it: exclusively, for overlapped reads and writes, under the
// name with the "\\.\" prefix that a port named COMn needs.
NativePath ToNative(const QString &sDevicePath)
{
    return (sDevicePath.startsWith(QLatin1String("COM")) ? QStringLiteral("\\\\.\\") + sDevicePath : sDevicePath)
        .toStdWString();
}

// 0 when it opened; else the system's error.
int OpenAndClose(const NativePath &path)
{
    const HANDLE handle = ::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_OVERLAPPED, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        const int nError = int(::GetLastError());
        return nError != 0 ? nError : -1;
    }
    ::CloseHandle(handle);
    return 0;
}
#else
using NativePath = std::string;

// As Qt opens it: without becoming the controlling terminal and without
// waiting for a modem's carrier; a bare name is one under /dev.
NativePath ToNative(const QString &sDevicePath)
{
    const bool bPath = sDevicePath.startsWith(QLatin1Char('/')) || sDevicePath.startsWith(QLatin1String("./"))
                       || sDevicePath.startsWith(QLatin1String("../"));
    return (bPath ? sDevicePath : QStringLiteral("/dev/") + sDevicePath).toLocal8Bit().toStdString();
}

// 0 when it opened; else the system's error.
int OpenAndClose(const NativePath &path)
{
    const int nFd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (nFd < 0) {
        return errno != 0 ? errno : -1;
    }
    ::close(nFd);
    return 0;
}
#endif

} // namespace

PortTrial::PortTrial(const QString &sDevicePath)
{
    Trials &trials = TheTrials();
    int nDelayMs = 0;
    {
        const std::lock_guard<std::mutex> lock(trials.mutex);
        const auto running = trials.running.constFind(sDevicePath);
        if (running != trials.running.cend() && !running.value()->bEnded) {
            m_pState = running.value();
            return;
        }
        m_pState = std::make_shared<State>();
        trials.running.insert(sDevicePath, m_pState);
        nDelayMs = trials.delaysMs.value(sDevicePath);
    }
    try {
        std::thread([pState = m_pState, path = ToNative(sDevicePath), nDelayMs]() {
            if (nDelayMs > 0) {
                std::this_thread::sleep_for(std::chrono::milliseconds(nDelayMs));
            }
            const int nError = OpenAndClose(path);
            pState->nError = nError;
            pState->bOpened = nError == 0;
            pState->bEnded = true;
        }).detach();
    } catch (const std::system_error &error) {
        // No thread to spare: the caller's own open then tells, as before.
        qDebug() << "Trial open of" << sDevicePath << "not started:" << error.what();
        m_pState->bEnded = true;
    }
}

bool PortTrial::Ended() const
{
    return m_pState->bEnded;
}

bool PortTrial::Opened() const
{
    return m_pState->bEnded && m_pState->bOpened;
}

int PortTrial::Error() const
{
    return m_pState->bEnded ? m_pState->nError.load() : 0;
}

void PortTrialForTesting::SetOpenDelay(const QString &sDevicePath, int nMs)
{
    Trials &trials = TheTrials();
    const std::lock_guard<std::mutex> lock(trials.mutex);
    if (nMs > 0) {
        trials.delaysMs.insert(sDevicePath, nMs);
    } else {
        trials.delaysMs.remove(sDevicePath);
    }
}

int PortTrialForTesting::Running()
{
    Trials &trials = TheTrials();
    const std::lock_guard<std::mutex> lock(trials.mutex);
    int nRunning = 0;
    for (const auto &pState : qAsConst(trials.running)) {
        nRunning += pState->bEnded ? 0 : 1;
    }
    return nRunning;
}
