#include "device/serialworker.h"

#include "app/logging.h"
#include "device/devicecommands.h"
#include "device/devicelink.h"
#include "device/logexport.h"
#include "device/threadhandover.h"

#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QThread>

#include <spdlog/spdlog.h>

SerialWorker::SerialWorker(QObject *parent) : QObject(parent)
{
    m_pThread = new QThread;
    moveToThread(m_pThread);
    // The link, the command set and the export are created on the worker's
    // thread, before its event loop delivers the first request, and released
    // there when it ends: objects made here would stay with the creating
    // thread, and their timers and notifiers would never serve the worker.
    connect(m_pThread, &QThread::started, this, &SerialWorker::CreateThreadObjects, Qt::DirectConnection);
    connect(m_pThread, &QThread::finished, this, &SerialWorker::ReleaseThreadObjects, Qt::DirectConnection);

    connect(this, &SerialWorker::signal_StartGetVersionAndSN, this, &SerialWorker::slot_StartGetVersionAndSN,
            Qt::QueuedConnection);
    connect(this, &SerialWorker::signal_StartExportLogInfo, this, &SerialWorker::slot_StartExportLogInfo,
            Qt::QueuedConnection);
    connect(this, &SerialWorker::signal_StopRequest, this, &SerialWorker::slot_StopRequest, Qt::QueuedConnection);
    // Both threads log. The log's registry is made now, before the thread
    // starts, not by whichever thread logs first: one made later by the
    // owner's thread would reach this thread only through Qt's event queue,
    // an ordering the thread checker cannot see.
    spdlog::default_logger_raw();
    m_pThread->start(QThread::InheritPriority);
}

SerialWorker::~SerialWorker()
{
    if (m_pThread) {
        // Quitting ends every event loop of the thread, the nested waits of
        // a running request included, and makes later waits return at once:
        // the request runs to its end quickly; the thread's end releases the
        // link, the command set and an unfinished report.
        // Texts the worker's thread handed over (a port name, a failure
        // text) may have their last copy here released inside Qt, where the
        // thread checker sees no ordering: what this thread did with them
        // comes before the thread's end releases its own copies.
        ThreadHandOver::Publish(this);
        m_pThread->quit();
        m_pThread->wait();
        ThreadHandOver::Receive(this);
        delete m_pThread;
        m_pThread = nullptr;
    } else {
        ReleaseThreadObjects();
    }
}

void SerialWorker::CreateThreadObjects()
{
    m_pLink = new DeviceLink(DeviceLink::kWorkerWindows, "SerialWorker");
    m_pCommands = new DeviceCommands(*m_pLink);
    m_pExport = new LogExport(*m_pLink);
    connect(m_pLink, &DeviceLink::signal_ReadyReadQuit, this, &SerialWorker::signal_ReadyReadQuit);
    connect(m_pLink, &DeviceLink::signal_LineBusy, this, [this](int nSeconds) {
        KP_LOG_INFO(QStringLiteral("The device on %1 is still sending its records; waiting up to %2 s")
                        .arg(m_pLink->SerialPort()->portName())
                        .arg(nSeconds));
        Report(m_nRequestFunction, RT_LineBusy, true, QString::number(nSeconds));
    });
    connect(m_pLink, &DeviceLink::signal_DeviceLost, this, [this]() {
        if (m_pExport->IsCollecting()) {
            // Unplugged during the export: keep what arrived, and say that
            // the report is not complete. From the event loop, not from
            // inside the port's own notification.
            QMetaObject::invokeMethod(
                this,
                [this]() {
                    if (m_pExport->IsCollecting()) {
                        FinishExport(true);
                    }
                },
                Qt::QueuedConnection);
        }
    });
    connect(m_pExport, &LogExport::signal_Progress, this, [this](int nProgress) {
        Report(FT_ExportLog, RT_ExportLog, true, QStringLiteral("%1").arg(nProgress));
        if (m_bStopRequested) {
            // Asked to stop before the collection ran: stop at its first tick.
            QMetaObject::invokeMethod(this, &SerialWorker::slot_StopRequest, Qt::QueuedConnection);
        }
    });
    connect(m_pExport, &LogExport::signal_StreamEnded, this, &SerialWorker::FinishExport);
}

void SerialWorker::ReleaseThreadObjects()
{
    ThreadHandOver::Receive(this);
    if (m_pExport && m_pExport->IsCollecting()) {
        // The program ends during an export: keep what the device sent so
        // far, under the partial name, rather than leave an open file.
        const LogExport::Outcome outcome = m_pExport->Finish(LogExport::Ending::Interrupted);
        KP_LOG_INFO("ExportLogInfo: {}", outcome.error.sEnglish);
    }
    m_pendingRequests.clear();
    delete m_pExport;
    m_pExport = nullptr;
    delete m_pCommands;
    m_pCommands = nullptr;
    delete m_pLink;
    m_pLink = nullptr;
    ThreadHandOver::Publish(this);
}

// ---------------------------------------------------------------------------
// Requests

void SerialWorker::Report(int nFunctionType, int nResultType, bool bRet, const QString &sMes)
{
    emit signal_SendResult(nFunctionType, nResultType, bRet, sMes);
}

void SerialWorker::ReportFailure(int nFunctionType, int nResultType)
{
    // The log's reason in English first: the coordinator takes it with the
    // report that follows.
    emit signal_FailureReason(static_cast<int>(m_pLink->Error().eKind), m_pLink->Error().sEnglish,
                              m_pLink->Error().sPort);
    Report(nFunctionType, nResultType, false, m_pLink->ErrorMessage());
    KP_LOG_INFO("{}", m_pLink->Error().sEnglish);
}

void SerialWorker::Submit(std::function<void()> body)
{
    m_pendingRequests.enqueue(std::move(body));
    RunNextRequest();
}

void SerialWorker::RunNextRequest()
{
    // A request that arrives inside a running one's wait lands here too: it
    // is held until the running one has ended.
    if (m_bBusy || m_pendingRequests.isEmpty()) {
        return;
    }
    m_bBusy = true;
    m_pLink->ResumeWaits();
    const std::function<void()> body = m_pendingRequests.dequeue();
    body();
}

void SerialWorker::EndRequest()
{
    m_bBusy = false;
    m_bStopRequested = false;
    emit signal_RequestFinished();
    if (!m_pendingRequests.isEmpty()) {
        // From the event loop, so that the next request never runs inside
        // the stack of the one that just ended (an export tick).
        QMetaObject::invokeMethod(this, &SerialWorker::RunNextRequest, Qt::QueuedConnection);
    }
}

void SerialWorker::slot_StartGetVersionAndSN()
{
    Submit([this]() { RunGetVersionAndSN(); });
}

void SerialWorker::slot_StartExportLogInfo(QString sDirPath)
{
    Submit([this, sDirPath]() { RunExportLogInfo(sDirPath); });
}

bool SerialWorker::OpenForRequest(int nFunctionType)
{
    m_nRequestFunction = nFunctionType;
    if (!m_pLink->OpenSerialPort()) {
        ReportFailure(nFunctionType, m_pLink->LineKeptBusy() ? RT_LineBusy : RT_OpenPort);
        EndRequest();
        return false;
    }
    // Found here, in whichever state: the next upgrade looks here first.
    emit signal_DeviceFound(m_pLink->PortName());
    if (m_pLink->DeviceMode() == ModeBootMenu || m_pLink->DeviceMode() == ModeYmodem) {
        m_pLink->ClosePort();
        m_pLink->SetError(ReasonText::Tr("SerialWorker",
                                         QT_TRANSLATE_NOOP("SerialWorker", "Please upgrade before proceeding"),
                                         FailureKind::BootLoader));
        ReportFailure(nFunctionType, RT_EnterCtrlMode);
        EndRequest();
        return false;
    }
    KP_LOG_INFO("Device found on {}", m_pLink->PortName());
    return true;
}

void SerialWorker::EndAsNoDevice(int nFunctionType, const ReasonText &reason)
{
    m_pLink->SetError(reason);
    ReportFailure(nFunctionType, RT_OpenPort);
    m_pLink->ClosePort();
    EndRequest();
}

bool SerialWorker::EndIfOnlyEcho(int nFunctionType)
{
    if (!m_pCommands->OwnFrameCameBack()) {
        return false;
    }
    EndAsNoDevice(nFunctionType, ReasonText::Tr("SerialWorker",
                                                QT_TRANSLATE_NOOP("SerialWorker", "Only the request came back: the "
                                                                                  "line echoes, and no device answered"),
                                                FailureKind::EchoOnly));
    return true;
}

void SerialWorker::RunGetVersionAndSN()
{
    if (!OpenForRequest(FT_DeviceInfo)) {
        return;
    }
    // A device lost on the way is reported as a port failure, which the
    // page shows as "Disconnected"; the failed value alone would leave it
    // without a word.
    const auto endIfGone = [this]() {
        if (!m_pLink->DeviceGone()) {
            return false;
        }
        EndAsNoDevice(FT_DeviceInfo, ReasonText::Tr("SerialWorker",
                                                     QT_TRANSLATE_NOOP("SerialWorker",
                                                                       "The device was disconnected during the request"),
                                                     FailureKind::DeviceLost));
        return true;
    };
    // Each value step: its value reported, or its failure; a line that only
    // echoes, or a device lost on the way, ends the request there.
    const auto step = [this, &endIfGone](int nResultType, const std::function<bool(QString &)> &read) {
        QString sValue;
        if (read(sValue)) {
            Report(FT_DeviceInfo, nResultType, true, sValue);
        } else if (EndIfOnlyEcho(FT_DeviceInfo)) {
            return false;
        } else {
            ReportFailure(FT_DeviceInfo, nResultType);
        }
        return !endIfGone();
    };
    if (!step(RT_Version, [this](QString &sValue) { return m_pCommands->GetVersion(sValue); })
        || !step(RT_SN, [this](QString &sValue) { return m_pCommands->GetSN(sValue); })) {
        return;
    }
    if (!m_pCommands->ExitCtrlMode()) {
        ReportFailure(FT_DeviceInfo, RT_ExitCtrlMode);
    }
    m_pLink->ClosePort();
    EndRequest();
}

void SerialWorker::slot_StopRequest()
{
    if (!m_bBusy) {
        return;
    }
    m_bStopRequested = true;
    if (m_pExport->IsCollecting()) {
        KP_LOG_INFO("ExportLogInfo: stopped on request; the report keeps what was received so far");
        FinishExport(false);
        return;
    }
    // The request's waits are short, except the wait for a line the device
    // is still sending on (up to minutes): that one ends now.
    m_pLink->AbortBusyWait();
}

void SerialWorker::RunExportLogInfo(const QString &sDirPath)
{
    Report(FT_ExportLog, RT_ExportLog, true, QStringLiteral("Start"));
    // The report's name is reserved before the device is touched: a folder
    // that takes no file fails here, with the device left as it was.
    ReasonText error;
    if (!m_pExport->Reserve(sDirPath, error)) {
        m_pLink->SetError(error);
        ReportFailure(FT_ExportLog, RT_ExportLog);
        EndRequest();
        return;
    }
    if (!OpenForRequest(FT_ExportLog)) {
        m_pExport->Discard();
        return;
    }
    // A count request that failed with silence still lets the export run
    // on its own counter; one that only came back as sent means no device.
    if (!m_pCommands->GetLogInfoCount(m_mLogInfoCount) && m_pCommands->OwnFrameCameBack()) {
        m_pExport->Discard();
        EndIfOnlyEcho(FT_ExportLog);
        return;
    }
    if (!ExportLogInfo(sDirPath)) {
        ReportFailure(FT_ExportLog, RT_ExportLog);
        // The device was not asked for its records; leave control mode and
        // free the port as the export's normal end does.
        if (m_pLink->SerialPort()->isOpen()) {
            m_pCommands->ExitCtrlMode();
        }
        m_pLink->ClosePort();
        EndRequest();
        return;
    }
    // The collection goes on in the export ticks; the request ends there.
}

// ---------------------------------------------------------------------------
// Export

bool SerialWorker::ExportLogInfo(const QString &sDirPath)
{
    // The report is reserved before the device is asked for its records: a
    // report that cannot be written must not leave the device streaming
    // into a port that nobody reads.
    ReasonText error;
    if (!m_pExport->IsReserved() && !m_pExport->Reserve(sDirPath, error)) {
        m_pLink->SetError(error);
        return false;
    }
    m_pExport->Collect(m_mLogInfoCount);
    if (!m_pCommands->SendExportCommand()) {
        m_pExport->Discard();
        return false;
    }
    // No reply window: the device starts streaming its records at once.
    m_pExport->StartTicks();
    return true;
}

void SerialWorker::FinishExport(bool bDeviceGone)
{
    if (!m_pExport->IsCollecting()) {
        return;
    }
    // A stream stopped on request is no complete report, even when the
    // device announced no count to hold it against.
    const LogExport::Ending ending = bDeviceGone        ? LogExport::Ending::DeviceGone
                                     : m_bStopRequested ? LogExport::Ending::Interrupted
                                                        : LogExport::Ending::StreamStopped;
    const LogExport::Outcome outcome = m_pExport->Finish(ending);
    if (bDeviceGone) {
        KP_LOG_INFO("ExportLogInfo: device gone; {} bytes received", static_cast<long long>(outcome.nBytes));
    } else {
        // Leave control mode on a fresh port, as the device expects after
        // its stream; also after a stream stopped for going on too long,
        // which tells the device to stop. A device still sending (its
        // stream paused beyond the idle ticks, or went on too long) answers
        // only after it: what it sends is dropped until the line is quiet,
        // so that the next job finds it as this one did. Not while the
        // program is being stopped: it ends now, and the next run waits.
        m_pLink->ClosePort();
        m_pLink->CreateSerialPort();
        m_pLink->OpenCurrentPort();
        if (m_bStopRequested) {
            m_pCommands->EnterCtrlMode();
        } else if (!m_pLink->IdentifyWhenQuiet(m_pLink->Window(m_pLink->WaitWindows().pCtrlReplyMs))
                   && m_pLink->LineKeptBusy()) {
            KP_LOG_INFO("ExportLogInfo: {}", m_pLink->Error().sEnglish);
        }
        m_pCommands->ExitCtrlMode();
    }
    m_pLink->ClosePort();
    if (outcome.bComplete) {
        // The name actually written, before "End": the callers show it.
        Report(FT_ExportLog, RT_ReportFile, true,
               QDir::toNativeSeparators(QFileInfo(outcome.sPath).absoluteFilePath()));
        Report(FT_ExportLog, RT_ExportLog, true, QStringLiteral("End"));
    } else {
        // What arrived is kept under the partial name: the page shows it
        // with the failure, whoever reads only the page finds it too.
        if (!outcome.sPath.isEmpty()) {
            Report(FT_ExportLog, RT_ReportFile, true,
                   QDir::toNativeSeparators(QFileInfo(outcome.sPath).absoluteFilePath()));
        }
        m_pLink->SetError(outcome.error);
        ReportFailure(FT_ExportLog, RT_ExportLog);
    }
    EndRequest();
}
