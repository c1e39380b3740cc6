#include "transfer/upgradecheck.h"

#include "device/devicecodes.h"
#include "device/devicecommands.h"
#include "device/devicelink.h"

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
    const auto seconds = [&waited]() { return QString::number(waited.elapsed() / 1000.0, 'f', 1); };
    while (!m_bAborted) {
        const qint64 nLeftMs = nWaitMs - waited.elapsed();
        if (nLeftMs <= 0) {
            break;
        }
        ++word.nLooks;
        word.bAnswered = Ask(int(qMin<qint64>(nLeftMs, nWindowMs)), word.sVersion, word.sSeen);
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
    word.sWaited = seconds();
    if (!word.bAnswered) {
        word.sVersion.clear();
    }
    m_bAborted = false;
    return word;
}

bool UpgradeCheck::Ask(int nWindowMs, QString &sVersion, QString &sSeen)
{
    sVersion.clear();
    // A fresh port object each time: the last one may belong to a path that
    // vanished with the device.
    m_link.CreateSerialPort();
    if (!m_link.OpenCurrentPort()) {
        sSeen = QStringLiteral("the port could not be opened (%1)").arg(m_link.SerialPort()->errorString());
        return false;
    }
    const bool bReplied = m_commands.EnterCtrlMode(nWindowMs);
    if (!bReplied || m_link.DeviceMode() != DeviceCodes::ModeCtrl) {
        if (!bReplied) {
            sSeen = QStringLiteral("no answer (%1)").arg(m_link.Error().sEnglish);
        } else if (m_link.DeviceMode() == DeviceCodes::ModeBootMenu) {
            sSeen = QStringLiteral("the boot menu refused the command");
        } else {
            sSeen = QStringLiteral("the boot loader's receiver asks for a file");
        }
        m_link.ClosePort();
        return false;
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
    return true;
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
