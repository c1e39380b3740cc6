#include "transfer/upgradecheck.h"

#include "device/devicecodes.h"
#include "device/devicecommands.h"
#include "device/devicelink.h"
#include "device/waits.h"

#include <QDebug>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

UpgradeCheck::UpgradeCheck(DeviceLink &link, DeviceCommands &commands) : m_link(link), m_commands(commands)
{
}

void UpgradeCheck::Abort()
{
    m_bAborted = true;
    if (m_pPauseLoop) {
        m_pPauseLoop->quit();
    }
}

UpgradeCheck::Word UpgradeCheck::Await(int nWaitMs, bool bAbortedAlready)
{
    // Between two looks at the port: a device that reboots in a second is
    // seen soon after, and the line is not flooded with control frames.
    constexpr int kRetryMs = 300;
    m_bAborted = bAbortedAlready;
    const int nWindowMs = m_link.Window(m_link.WaitWindows().pCtrlReplyMs);
    QElapsedTimer waited;
    waited.start();
    Word word;
    word.sSeen = QStringLiteral("not asked");
    qint64 nBootLoaderSeenMs = -1;   // when a look last found the boot loader
    const auto seconds = [&waited]() { return QString::number(waited.elapsed() / 1000.0, 'f', 1); };
    while (!m_bAborted) {
        if (waited.elapsed() >= nWaitMs) {
            break;
        }
        ++word.nLooks;
        // Every look gets its whole window, the last one too (the wait may
        // run over by up to one window): a look cut short would miss a
        // boot loader's receiver between two of its 'C's and take the
        // device for silent.
        const Look look = Ask(nWindowMs, word.sVersion, word.sSeen);
        word.bAnswered = look == Look::Answered;
        if (look == Look::BootLoader) {
            nBootLoaderSeenMs = waited.elapsed();
            word.sBootLoaderSeen = seconds();
        }
        qDebug().noquote() << QStringLiteral("QSerialUser: look %1 for the new firmware after %2 s: %3")
                                  .arg(word.nLooks)
                                  .arg(seconds(), word.bAnswered ? QStringLiteral("answered") : word.sSeen);
        if (word.bAnswered || m_bAborted) {
            break;
        }
        const qint64 nRestMs = nWaitMs - waited.elapsed();
        if (nRestMs <= 0) {
            break;
        }
        if (!Pause(int(qMin<qint64>(nRestMs, kRetryMs)))) {
            // Ended by Abort, or the thread's event loops are being stopped
            // (the program quits): no wait would last now.
            word.bLoopsStopped = !m_bAborted;
            break;
        }
    }
    word.bAborted = !word.bAnswered && m_bAborted;
    // A boot loader seen in the wait's last seconds is the last word even
    // when the very last look fell between two of its receiver's 'C's, and
    // when the wait was cut short: nothing has answered since.
    word.bBootLoader = !word.bAnswered && nBootLoaderSeenMs >= 0
                       && waited.elapsed() - nBootLoaderSeenMs <= Waits::Current().nUpgradeBootLoaderRecentMs;
    word.sWaited = seconds();
    if (!word.bAnswered) {
        word.sVersion.clear();
    }
    m_bAborted = false;
    return word;
}

UpgradeCheck::Look UpgradeCheck::Ask(int nWindowMs, QString &sVersion, QString &sSeen)
{
    sVersion.clear();
    // A fresh port object each time: the last one may belong to a path that
    // vanished with the device.
    m_link.CreateSerialPort();
    if (!m_link.OpenCurrentPort()) {
        sSeen = QStringLiteral("the port could not be opened (%1)").arg(m_link.SerialPort()->errorString());
        return Look::Nothing;
    }
    const bool bReplied = m_commands.EnterCtrlMode(nWindowMs);
    if (!bReplied || m_link.DeviceMode() != DeviceCodes::ModeCtrl) {
        Look look = Look::BootLoader;
        if (!bReplied) {
            sSeen = QStringLiteral("no answer (%1)").arg(m_link.Error().sEnglish);
            look = Look::Nothing;
        } else if (m_link.DeviceMode() == DeviceCodes::ModeBootMenu) {
            sSeen = QStringLiteral("the boot menu refused the command");
        } else {
            sSeen = QStringLiteral("the boot loader's receiver asks for a file");
        }
        m_link.ClosePort();
        return look;
    }
    if (!m_commands.GetVersion(sVersion)) {
        sVersion.clear();
        sSeen = QStringLiteral("its version could not be read (%1)").arg(m_link.Error().sEnglish);
    }
    // Left in control mode, the device would wait for commands no one sends.
    if (!m_commands.ExitCtrlMode()) {
        qDebug().noquote() << "QSerialUser: the new firmware did not leave control mode:" << m_link.Error().sEnglish;
    }
    m_link.ClosePort();
    return Look::Answered;
}

bool UpgradeCheck::Pause(int nMs)
{
    QEventLoop loop;
    QTimer::singleShot(nMs, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    m_pPauseLoop = &loop;
    // -1: the thread's event loops are being ended, and this one did not run.
    const int nResult = loop.exec();
    m_pPauseLoop = nullptr;
    return nResult == 0 && !m_bAborted;
}
