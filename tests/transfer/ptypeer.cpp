#include "ptypeer.h"

#include <QStandardPaths>

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {
void SetError(QString *psError, const QString &sText)
{
    if (psError) {
        *psError = sText;
    }
}
} // namespace

PtyPeer::~PtyPeer()
{
    StopChild();
    CloseMaster();
}

bool PtyPeer::Open(QString *psError)
{
    m_nMaster = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (m_nMaster < 0) {
        SetError(psError, QStringLiteral("posix_openpt: %1").arg(qt_error_string(errno)));
        return false;
    }
    if (::grantpt(m_nMaster) != 0 || ::unlockpt(m_nMaster) != 0) {
        SetError(psError, QStringLiteral("grantpt/unlockpt: %1").arg(qt_error_string(errno)));
        CloseMaster();
        return false;
    }
    char szName[128] = {};
    if (::ptsname_r(m_nMaster, szName, sizeof(szName)) != 0) {
        SetError(psError, QStringLiteral("ptsname_r: %1").arg(qt_error_string(errno)));
        CloseMaster();
        return false;
    }
    m_sSlavePath = QString::fromLocal8Bit(szName);
    const int nFlags = ::fcntl(m_nMaster, F_GETFL);
    ::fcntl(m_nMaster, F_SETFL, nFlags | O_NONBLOCK);
    return true;
}

QByteArray PtyPeer::ReadAvailable()
{
    QByteArray out;
    if (m_nMaster < 0) {
        return out;
    }
    char buffer[4096];
    for (;;) {
        const ssize_t n = ::read(m_nMaster, buffer, sizeof(buffer));
        if (n <= 0) {
            break;   // EAGAIN: nothing now; EIO: no slave open at the moment
        }
        out.append(buffer, static_cast<int>(n));
    }
    return out;
}

bool PtyPeer::Write(const QByteArray &bytes)
{
    if (m_nMaster < 0) {
        return false;
    }
    return ::write(m_nMaster, bytes.constData(), static_cast<size_t>(bytes.size())) == bytes.size();
}

void PtyPeer::CloseMaster()
{
    if (m_nMaster >= 0) {
        ::close(m_nMaster);
        m_nMaster = -1;
    }
}

bool PtyPeer::Spawn(const QString &sProgram, const QStringList &args, const QString &sWorkDir,
                    const QString &sErrorLog, QString *psError)
{
    if (m_nMaster < 0) {
        SetError(psError, QStringLiteral("no pseudo-terminal"));
        return false;
    }
    const QString sPath = QStandardPaths::findExecutable(sProgram);
    if (sPath.isEmpty()) {
        SetError(psError, QStringLiteral("%1 not found in PATH").arg(sProgram));
        return false;
    }
    // Everything the child needs is prepared before fork: after it, only
    // async-signal-safe calls are allowed.
    const QByteArray path = sPath.toLocal8Bit();
    const QByteArray workDir = sWorkDir.toLocal8Bit();
    const QByteArray errorLog = sErrorLog.toLocal8Bit();
    std::vector<QByteArray> argStore;
    argStore.push_back(path);
    for (const QString &s : args) {
        argStore.push_back(s.toLocal8Bit());
    }
    std::vector<char *> argv;
    for (QByteArray &a : argStore) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    const long nMaxFd = ::sysconf(_SC_OPEN_MAX) > 0 ? ::sysconf(_SC_OPEN_MAX) : 1024;

    const pid_t nPid = ::fork();
    if (nPid < 0) {
        SetError(psError, QStringLiteral("fork: %1").arg(qt_error_string(errno)));
        return false;
    }
    if (nPid == 0) {
        if (::chdir(workDir.constData()) != 0) {
            ::_exit(126);
        }
        // The master is opened non-blocking for the test; the program wants
        // an ordinary blocking line.
        const int nFlags = ::fcntl(m_nMaster, F_GETFL);
        ::fcntl(m_nMaster, F_SETFL, nFlags & ~O_NONBLOCK);
        ::dup2(m_nMaster, 0);
        ::dup2(m_nMaster, 1);
        const int nLog = ::open(errorLog.constData(), O_WRONLY | O_CREAT | O_APPEND, 0600);
        if (nLog >= 0) {
            ::dup2(nLog, 2);
        }
        for (long fd = 3; fd < nMaxFd && fd < 65536; ++fd) {
            ::close(static_cast<int>(fd));
        }
        ::execv(path.constData(), argv.data());
        ::_exit(127);
    }
    m_nChild = nPid;
    m_bChildDone = false;
    CloseMaster();
    return true;
}

bool PtyPeer::ChildExited(int *pnCode)
{
    if (m_nChild < 0) {
        return false;
    }
    if (!m_bChildDone) {
        int nStatus = 0;
        const pid_t r = ::waitpid(m_nChild, &nStatus, WNOHANG);
        if (r == m_nChild) {
            m_bChildDone = true;
            m_nChildCode = WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : -WTERMSIG(nStatus);
        }
    }
    if (m_bChildDone && pnCode) {
        *pnCode = m_nChildCode;
    }
    return m_bChildDone;
}

void PtyPeer::StopChild()
{
    if (m_nChild < 0 || ChildExited()) {
        return;
    }
    ::kill(m_nChild, SIGKILL);
    int nStatus = 0;
    ::waitpid(m_nChild, &nStatus, 0);
    m_bChildDone = true;
    m_nChildCode = -SIGKILL;
}
