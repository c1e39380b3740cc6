#include "cli/upgradejob.h"

#include "cli/failurewords.h"
#include "device/devicecodes.h"
#include "device/waits.h"
#include "transfer/qserialuser.h"
#include "transfer/ymodemfiletransmit.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QTimer>

using FailureWords::Again;
using FailureWords::PortText;

int RunUpgrade(CliContext &ctx, QSerialUser &user, const QString &sGivenPort, const QString &sFilePath)
{
    const Waits &waits = Waits::Current();
    // Checked before the device is touched: a device brought into its boot
    // loader for a file that cannot be sent stays there for nothing.
    const QFileInfo file(sFilePath);
    const QString sNative = QDir::toNativeSeparators(sFilePath);
    if (!file.isFile() || !file.isReadable()) {
        ctx.out.Outcome(ExitTransfer, QStringLiteral("cannot read the firmware file %1: check its name, then run the "
                                                   "upgrade again (the device was not touched)")
                                        .arg(sNative));
        return ExitTransfer;
    }
    if (file.size() == 0) {
        ctx.out.Outcome(ExitTransfer, QStringLiteral("the firmware file %1 is empty: choose the right file, then run "
                                                   "the upgrade again (the device was not touched)")
                                        .arg(sNative));
        return ExitTransfer;
    }

    enum class Stage { Preparing, Sending, Verifying, Ended } eStage = Stage::Preparing;
    int nExit = ExitTransfer;
    QString sMessage;
    QJsonObject fields;
    int nProgress = 0;
    QString sPort = sGivenPort;
    const auto again = [&]() { return Again(sPort, QStringLiteral("upgrade"), sFilePath); };
    const auto end = [&]() {
        eStage = Stage::Ended;
        QCoreApplication::exit(0);
    };

    // Waits that talk: the boot loader's wait, a transfer that stalls, the
    // device's start after the transfer.
    QElapsedTimer sendTimer;
    QTimer quietTimer;
    quietTimer.setSingleShot(true);
    bool bStallSaid = false;
    const int nGiveUpS = static_cast<int>((waits.nYmodemTickDivisor + 1) * (waits.nYmodemMaxTimeouts + 1)
                                          * static_cast<uint32_t>(waits.nYmodemStepMs) / 1000);
    QObject::connect(&quietTimer, &QTimer::timeout, [&]() {
        if (eStage == Stage::Preparing) {
            const int nBootS = (waits.nBootReplyMs + waits.nBootReadyMs + waits.nBootStreamMs) / 1000;
            ctx.out.Event(QStringLiteral("wait"),
                        QStringLiteral("Bringing %1 into its boot loader and waiting for its receiver (up to %2 s) ...")
                            .arg(PortText(sPort))
                            .arg(nBootS),
                        QJsonObject{{QStringLiteral("awaited"), QStringLiteral("boot loader")},
                                    {QStringLiteral("seconds"), nBootS}});
        } else if (eStage == Stage::Sending && !bStallSaid) {
            bStallSaid = true;
            ctx.out.Event(QStringLiteral("wait"),
                        QStringLiteral("No progress on %1 for %2 s at %3 %: waiting for the device (the transfer "
                                       "gives up after %4 s without an answer) ...")
                            .arg(sPort)
                            .arg(quietTimer.interval() / 1000)
                            .arg(nProgress)
                            .arg(nGiveUpS),
                        QJsonObject{{QStringLiteral("awaited"), QStringLiteral("transfer")},
                                    {QStringLiteral("progress"), nProgress},
                                    {QStringLiteral("seconds"), nGiveUpS}});
        }
    });
    const auto armStallTimer = [&]() {
        // Two seconds, or twice the time a percent has taken so far: a big
        // file on a slow line takes longer than that for every percent.
        const qint64 nPerPercent = sendTimer.isValid() ? sendTimer.elapsed() / qMax(1, nProgress) : 0;
        quietTimer.start(static_cast<int>(qMax<qint64>(2000, 2 * nPerPercent)));
    };

    int nBusySeconds = 0;
    QObject::connect(&user, &QSerialUser::signal_SendResult, &user,
                     [&](int nFunctionType, int nResultType, bool bRet, const QString &sMes) {
                         if (nFunctionType == DeviceCodes::FT_Upgrade && nResultType == DeviceCodes::RT_LineBusy
                             && bRet) {
                             // The boot loader's wait has not begun: no word of it yet.
                             quietTimer.stop();
                             nBusySeconds = ctx.SayLineBusy(sPort, sMes);
                         }
                     });
    QObject::connect(&user, &QSerialUser::signal_TransmitProgress, &user, [&](int nValue) {
        nProgress = nValue;
        bStallSaid = false;
        if (eStage == Stage::Sending) {
            armStallTimer();
        }
        ctx.out.Progress(QStringLiteral("Upload"), nValue);
    });
    QTimer answerTimer;
    answerTimer.setSingleShot(true);
    const int nAnswerS = waits.nUpgradeAnswerMs / 1000;
    const QString sNoAnswer = QStringLiteral("Upgrade completed; %1 has not answered as application firmware within "
                                             "%2 s");
    QObject::connect(&answerTimer, &QTimer::timeout, [&]() {
        if (eStage == Stage::Verifying) {
            sMessage = sNoAnswer.arg(PortText(sPort)).arg(nAnswerS);
            end();
        }
    });
    QObject::connect(&user, &QSerialUser::signal_UpgradeVerified, &user,
                     [&](bool bAnswered, const QString &sVersion, int nFailureKind, const QString &sBefore) {
        if (eStage != Stage::Verifying) {
            return;
        }
        if (nFailureKind == int(FailureKind::NotConfirmed)) {
            // The closing header's ACK never came and the device says
            // nothing: the image may not have been taken.
            nExit = FailureWords::ExitCodeFor(FailureKind::NotConfirmed);
            sMessage = QStringLiteral("%1 took the image to its end but confirmed neither the end of the transfer nor "
                                      "its new firmware within %2 s: check the cable, then run %3 again")
                           .arg(PortText(sPort))
                           .arg(nAnswerS)
                           .arg(again());
        } else if (nFailureKind == int(FailureKind::FirmwareNotStarted)) {
            // Every byte arrived, and the device runs no firmware: a
            // production line must not pass it.
            nExit = FailureWords::ExitCodeFor(FailureKind::FirmwareNotStarted);
            sMessage = QStringLiteral("%1 took the whole image but started its boot loader again, not the new "
                                      "firmware (the boot loader did not start it): check that %2 is firmware for "
                                      "this device, then run %3 again")
                           .arg(PortText(sPort), sNative, again());
        } else if (!bAnswered && !ctx.sInterruptedBy.isEmpty()) {
            // The stop cut the wait short: no word of the device's either way.
            sMessage = QStringLiteral("Upgrade completed; stopped by %1 before %2 answered as application firmware")
                           .arg(ctx.sInterruptedBy, PortText(sPort));
        } else if (!bAnswered) {
            sMessage = sNoAnswer.arg(PortText(sPort)).arg(nAnswerS);
        } else if (sVersion.isEmpty()) {
            sMessage = QStringLiteral("Upgrade completed: %1 answered as application firmware, its version could "
                                      "not be read")
                           .arg(PortText(sPort));
        } else {
            sMessage = QStringLiteral("Upgrade completed: the device runs %1").arg(sVersion);
            if (!sBefore.isEmpty()) {
                sMessage += QStringLiteral(" (it ran %1)").arg(sBefore);
                fields.insert(QStringLiteral("version_before"), sBefore);
            }
            fields.insert(QStringLiteral("version"), sVersion);
        }
        end();
    });
    QObject::connect(&user, &QSerialUser::signal_TransmitStatus, &user, [&](YmodemFileTransmit::YmodemStatus eStatus) {
        if (eStatus < YmodemFileTransmit::StatusDone || eStage != Stage::Sending) {
            return;
        }
        quietTimer.stop();
        if (eStatus == YmodemFileTransmit::StatusDone) {
            nExit = ExitSuccess;
            eStage = Stage::Verifying;
            ctx.out.Event(QStringLiteral("wait"),
                        QStringLiteral("Transfer completed; waiting for %1 to start its new firmware (up to %2 s) ...")
                            .arg(PortText(sPort))
                            .arg(nAnswerS),
                        QJsonObject{{QStringLiteral("awaited"), QStringLiteral("application firmware")},
                                    {QStringLiteral("seconds"), nAnswerS}});
            // Bounded even if the answer's report never comes: past the
            // wait, its last look's window and the version's exchange.
            answerTimer.start(waits.nUpgradeAnswerMs + 10000);
            return;
        }
        if (!ctx.sInterruptedBy.isEmpty() && eStatus == YmodemFileTransmit::StatusCancelled) {
            nExit = ExitInterrupted;
            sMessage = QStringLiteral("upgrade interrupted by %1 at %2 %: the transfer was cancelled and %3 stays in "
                                      "its boot loader; run %4 to upgrade it")
                           .arg(ctx.sInterruptedBy)
                           .arg(nProgress)
                           .arg(PortText(sPort), again());
        } else if (user.TransferLineLost() || ctx.PortGone(sPort)) {
            nExit = ExitNoDevice;
            sMessage = QStringLiteral("%1 was lost (unplugged or switched off) at %2 % of the transfer: connect it; "
                                      "it starts in its boot loader, then run %3 again")
                           .arg(PortText(sPort))
                           .arg(nProgress)
                           .arg(again());
        } else if (user.TransferFailureKind(eStatus) == FailureKind::NoisyLine) {
            // Blocks arrived damaged again and again: the file is not to
            // blame, the line is.
            sMessage = QStringLiteral("the line to %1 is noisy: blocks arrived damaged and were sent again until the "
                                      "transfer failed at %2 %; the device stays in its boot loader: check the cable, "
                                      "the USB adapter and the connectors, then run %3 again")
                           .arg(PortText(sPort))
                           .arg(nProgress)
                           .arg(again());
        } else if (eStatus == YmodemFileTransmit::StatusCancelled) {
            sMessage = QStringLiteral("%1 cancelled the transfer at %2 % and stays in its boot loader: check that %3 "
                                      "is firmware for this device, then run %4 again")
                           .arg(PortText(sPort))
                           .arg(nProgress)
                           .arg(sNative, again());
        } else if (eStatus == YmodemFileTransmit::StatusTimeOut) {
            sMessage = QStringLiteral("%1 stopped answering at %2 % of the transfer and stays in its boot loader: "
                                      "check the cable, then run %3 again")
                           .arg(PortText(sPort))
                           .arg(nProgress)
                           .arg(again());
        } else {
            sMessage = QStringLiteral("the transfer to %1 failed at %2 % (the line reported an error, or %3 changed "
                                      "while it was sent); the device stays in its boot loader: run %4 again")
                           .arg(PortText(sPort))
                           .arg(nProgress)
                           .arg(sNative, again());
        }
        end();
    });
    // StartUpgrade's waits are nested loops: run it from the event loop. The
    // timers above fire inside them.
    QTimer::singleShot(0, &user, [&]() {
        ctx.out.Event(QStringLiteral("start"), sPort.isEmpty() ? QStringLiteral("Upgrade: looking for the device")
                                                             : QStringLiteral("Upgrade: looking for the device on %1").arg(sPort));
        quietTimer.start(2000);
        const bool bStarted = user.StartUpgrade(file.absoluteFilePath());
        quietTimer.stop();
        if (!user.PortName().isEmpty()) {
            sPort = user.PortName();
            ctx.out.SetPort(sPort);
        }
        if (bStarted) {
            if (sGivenPort.isEmpty()) {
                ctx.bPortWasThere = CliContext::PortExists(sPort);
            }
            ctx.out.Event(QStringLiteral("send"), QStringLiteral("Upgrade: boot loader ready on %1, sending %2")
                                                    .arg(sPort, QDir::toNativeSeparators(file.fileName())));
            eStage = Stage::Sending;
            sendTimer.start();
            armStallTimer();
            return;
        }
        // A port that was there and is gone now lost the device, whatever
        // step noticed it.
        const bool bGone = user.LastUpgradeFailure() != QSerialUser::FailureOpenPort && ctx.PortGone(sPort);
        const FailureKind eKind = bGone ? FailureKind::DeviceLost : user.LastUpgradeFailureKind();
        nExit = FailureWords::ExitCodeFor(eKind);
        // Where no device was found, the words name the port that was asked for.
        const QString sWordsPort = !user.LastUpgradeFailurePort().isEmpty() ? user.LastUpgradeFailurePort()
                                   : nExit == ExitNoDevice                    ? sGivenPort
                                                                              : sPort;
        sMessage = FailureWords::Words(eKind, {sWordsPort, again(), nBusySeconds});
        if (eKind == FailureKind::Interrupted) {
            sMessage = user.LastUpgradeBootSent()
                           ? QStringLiteral("upgrade interrupted by %1 before the transfer: %2 was sent to its boot "
                                            "loader and stays there; run %3 to upgrade it")
                                 .arg(ctx.sInterruptedBy, PortText(sPort), again())
                           : QStringLiteral("upgrade interrupted by %1 before the boot command: %2 was not sent to "
                                            "its boot loader")
                                 .arg(ctx.sInterruptedBy, PortText(sPort));
        } else if (sMessage.isEmpty() && eKind == FailureKind::BootLoaderNotReached) {
            sMessage = QStringLiteral("%1 did not get ready to receive the firmware and may have stayed in its boot "
                                      "loader: run %2 again; if it fails again, switch the device off and on first")
                           .arg(PortText(sPort), again());
        } else if (sMessage.isEmpty()) {
            nExit = ExitTransfer;
            sMessage = QStringLiteral("the transfer to %1 could not start (%2): run %3 again")
                           .arg(PortText(sPort), user.ErrorMessage(), again());
        }
        end();
    });
    QCoreApplication::exec();
    if (eStage == Stage::Verifying) {
        // Stopped while waiting for the device's answer: the transfer stands.
        sMessage = QStringLiteral("Upgrade completed; stopped before %1 answered as application firmware").arg(PortText(sPort));
    } else if (eStage != Stage::Ended) {
        // Stopped without waiting (a second stop signal).
        nExit = ExitInterrupted;
        sMessage = QStringLiteral("upgrade interrupted by %1: %2 may be in its boot loader; run %3 to upgrade it")
                       .arg(ctx.sInterruptedBy, PortText(sPort), again());
    }
    if (nExit == ExitSuccess || nExit == ExitInterrupted || !sMessage.isEmpty()) {
        nExit = ctx.EndJob(QStringLiteral("upgrade"), nExit, sMessage, fields, nExit == ExitInterrupted);
    }
    return nExit;
}
