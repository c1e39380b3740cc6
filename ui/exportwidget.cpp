#include "ui/exportwidget.h"
#include "ui_exportwidget.h"

#include "device/devicecodes.h"
#include "ui/devicerequests.h"
#include "ui/linebusytext.h"
#include "ui/pagekeys.h"
#include "ui/pathchoice.h"
#include "ui/tiplayout.h"

#include <QApplication>
#include <QDebug>
#include <QEvent>
#include <QFileInfo>
#include <QKeyEvent>

ExportWidget::ExportWidget(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::ExportWidget)
{
    m_nStatus = StatusExporting;
    ui->setupUi(this);
    m_pPathChoice = new PathChoice(PathChoice::Kind::ReportFolder, ui->labelExportPath, ui->lineEditExportPath,
                                   [this]() { return tr("Select path"); }, this);
}

ExportWidget::~ExportWidget()
{
    delete ui;
}

void ExportWidget::ShowPathPage()
{
    PageKeys::ShowSubPage(ui->stackedWidgetExport, ui->pageExportInfo);
}

void ExportWidget::on_btnExportReturnMenu_clicked()
{
    emit signal_ReturnMenu();
}

void ExportWidget::on_btnExportCancel_clicked()
{
    emit signal_ReturnMenu();
}

void ExportWidget::on_btnExportFile_clicked()
{
    m_nStatus = StatusExporting;
    m_failure.Clear();
    // Disabled, the button would hand the focus to the next control (and a
    // screen reader would name it): from the keyboard the focus waits on
    // "Cancel" and goes to the status once it shows.
    const bool bFocusHere = isAncestorOf(window()->focusWidget());
    if (bFocusHere) {
        window()->focusWidget()->clearFocus();
    }
    ui->btnExportFile->setEnabled(false);
    SetTip();
    const QString sDirPath = ui->lineEditExportPath->text();
    if (sDirPath.isEmpty()) {
        ui->btnExportFile->setEnabled(true);
        if (bFocusHere) {
            ui->btnExportFile->setFocus(Qt::OtherFocusReason);
        }
        return;
    }
    if (bFocusHere) {
        ui->btnExportCancel->setFocus(Qt::OtherFocusReason);
    }
    // The folder is the worker's to check; its failure comes back as a result.
    ui->btnExportReturnMenu->hide();
    ui->progressBarExport->setValue(1);
    DeviceRequests::StartExportLogInfo(sDirPath);
}

void ExportWidget::slot_SendResult(int nFunctionType, int nResultType, bool bRet, QString sMes)
{
    if (nFunctionType != DeviceCodes::FT_ExportLog) {
        return;
    }
    if (!bRet) {
        // Under the page's own status: the reason (the report's numbers and
        // file only it knows) and the next step.
        m_failure.SetReason(sMes);
    }
    if (nResultType == DeviceCodes::RT_OpenPort && !bRet) {
        ShowTipPage();
        Finish(StatusDisconnected);
    } else if (nResultType == DeviceCodes::RT_EnterCtrlMode && !bRet) {
        ShowTipPage();
        Finish(StatusUpgradeFirst);
    } else if (nResultType == DeviceCodes::RT_LineBusy && bRet) {
        // The wait is told at once: until the export starts, the page would
        // show only its disabled "Export".
        m_nStatus = StatusLineBusy;
        m_nBusySeconds = sMes.toInt();
        SetTip();
        ShowTipPage();
    } else if (nResultType == DeviceCodes::RT_LineBusy) {
        ShowTipPage();
        Finish(StatusKeepsSending);
    } else if (nResultType == DeviceCodes::RT_ExportLog && !bRet) {
        ShowTipPage();
        Finish(StatusFailed);
    } else if (nResultType == DeviceCodes::RT_ExportLog && sMes == QLatin1String("Start")) {
        m_sReportName.clear();
        ShowTipPage();
    } else if (nResultType == DeviceCodes::RT_ReportFile && bRet) {
        // Shown with the outcome: exports of the same second take numbered
        // names, and a failed one keeps what arrived under a partial name.
        m_sReportName = QFileInfo(sMes).fileName();
    } else if (nResultType == DeviceCodes::RT_ExportLog && sMes == QLatin1String("End")) {
        ui->progressBarExport->setValue(100);
        Finish(StatusSucceeded);
    } else if (nResultType == DeviceCodes::RT_ExportLog) {
        // A progress report in percent; a text that is no number reads as 0.
        qDebug().noquote() << QStringLiteral("ExportWidget: ") + sMes;
        if (m_nStatus == StatusLineBusy) {
            m_nStatus = StatusExporting;
            SetTip();
        }
        ui->progressBarExport->setValue(sMes.toInt(nullptr, 10));
        ui->progressBarExport->update();
    }
}

void ExportWidget::slot_FailureKind(int nFunctionType, int, int nKind, const QString &sPort)
{
    if (nFunctionType == DeviceCodes::FT_ExportLog) {
        m_failure.Take(nKind, sPort);
    }
}

void ExportWidget::Finish(int nStatus)
{
    m_nStatus = nStatus;
    SetTip();
    ui->btnExportFile->setEnabled(true);
    ui->btnExportReturnMenu->show();
}

QString ExportWidget::WithReportName(const QString &sText) const
{
    return m_sReportName.isEmpty() ? sText : sText + QLatin1Char('\n') + m_sReportName;
}

QString ExportWidget::StatusText() const
{
    switch (m_nStatus) {
    case StatusDisconnected:
        return m_failure.UnderStatus(tr("Disconnected"));
    case StatusUpgradeFirst:
        return m_failure.UnderStatus(tr("Please upgrade before proceeding"));
    case StatusFailed:
        return WithReportName(m_failure.UnderStatus(tr("File export failed")));
    case StatusSucceeded:
        return WithReportName(tr("File export successful"));
    case StatusLineBusy:
        return LineBusyText::Waiting(m_nBusySeconds);
    case StatusKeepsSending:
        return LineBusyText::KeepsSending();
    default:
        return tr("File exporting");
    }
}

void ExportWidget::SetTip()
{
    TipLayout::SetText(ui->labelExportTip, StatusText(), ui->stackedWidgetExport->height(), ui->progressBarExport);
}

void ExportWidget::ShowTipPage()
{
    PageKeys::ShowSubPage(ui->stackedWidgetExport, ui->pageExportTip);
}

void ExportWidget::keyPressEvent(QKeyEvent *event)
{
    if (!PageKeys::EscapeReturns(event, ui->btnExportReturnMenu)) {
        QWidget::keyPressEvent(event);
    }
}

void ExportWidget::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
        UpdateTexts();
    }
    QWidget::changeEvent(event);
}

void ExportWidget::UpdateTexts()
{
    m_pPathChoice->ShortenCaption();
    SetTip();
}
