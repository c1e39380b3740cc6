#include "ui/upgradewidget.h"
#include "ui_upgradewidget.h"

#include "device/devicecodes.h"
#include "ui/devicerequests.h"
#include "ui/linebusytext.h"
#include "ui/pagekeys.h"
#include "ui/pathchoice.h"
#include "ui/tiplayout.h"

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QPointer>

UpgradeWidget::UpgradeWidget(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::UpgradeWidget)
{
    m_nStatus = StatusUpgrading;
    ui->setupUi(this);
    m_pPathChoice = new PathChoice(PathChoice::Kind::FirmwareFile, ui->labelUpgradePath, ui->lineEditUpgradePath,
                                   [this]() { return tr("Select path"); }, this);
    // Filled only through the file dialog; read-only rather than disabled,
    // so that the keyboard and a screen reader still reach the chosen file.
    ui->lineEditUpgradePath->setReadOnly(true);
}

UpgradeWidget::~UpgradeWidget()
{
    delete ui;
}

void UpgradeWidget::ShowPathPage()
{
    // While the device's word is awaited the page stays on its outcome:
    // a technician who came back must see what the word turns it into.
    PageKeys::ShowSubPage(ui->stackedWidgetUpgrade, m_bAwaitingWord ? ui->pageUpgradeTip : ui->pageUpgradeInfo);
}

void UpgradeWidget::on_btnUpgradeReturnMenu_clicked()
{
    emit signal_ReturnMenu();
}

void UpgradeWidget::on_btnUpgradeCancel_clicked()
{
    emit signal_ReturnMenu();
}

void UpgradeWidget::on_btnUpgradeFirmware_clicked()
{
    // Disabled, the button would hand the focus to the next control (and a
    // screen reader would name it): from the keyboard the focus goes to the
    // status instead, which a screen reader then reads as it changes.
    const bool bFocusHere = isAncestorOf(window()->focusWidget());
    if (bFocusHere) {
        window()->focusWidget()->clearFocus();
    }
    ui->btnUpgradeFirmware->setEnabled(false);
    const QString sFilePath = ui->lineEditUpgradePath->text();
    if (sFilePath.isEmpty()) {
        ui->btnUpgradeFirmware->setEnabled(true);
        if (bFocusHere) {
            ui->btnUpgradeFirmware->setFocus(Qt::OtherFocusReason);
        }
        return;
    }
    m_nStatus = StatusUpgrading;
    m_bAwaitingWord = false;
    m_nDeviceWord = WordAwaited;
    m_sVersion.clear();
    m_sVersionBefore.clear();
    m_failure.Clear();
    // Until the transfer reports its first progress the device is being
    // found and brought into its boot loader (some seconds): the bar shows
    // that work goes on rather than standing at 1 %.
    ui->progressBarUpgrade->setRange(0, 0);
    ui->progressBarUpgrade->setValue(1);
    ui->stackedWidgetUpgrade->setCurrentWidget(ui->pageUpgradeTip);
    SetTip();
    ui->btnUpgradeReturnMenu->hide();
    if (bFocusHere) {
        ui->labelUpgradeTip->setFocus(Qt::OtherFocusReason);
    }

    // The preparation waits for the device in nested event loops; the page
    // may be gone when it returns (the window closed meanwhile).
    QPointer<UpgradeWidget> pThis(this);
    const bool bStarted = DeviceRequests::StartUpgrade(sFilePath);
    if (!pThis || bStarted) {
        return;
    }
    ui->stackedWidgetUpgrade->setCurrentWidget(ui->pageUpgradeTip);
    Finish(m_nStatus == StatusKeepsSending ? StatusKeepsSending : StatusFailed);
}

void UpgradeWidget::slot_TransmitProgress(int nProgressValue)
{
    if (m_nStatus == StatusLineBusy) {
        m_nStatus = StatusUpgrading;
        SetTip();
    }
    EndPreparation();
    ui->progressBarUpgrade->setValue(nProgressValue);
}

void UpgradeWidget::EndPreparation()
{
    if (ui->progressBarUpgrade->maximum() == 0) {
        ui->progressBarUpgrade->setRange(0, 100);
        ui->progressBarUpgrade->setValue(1);
    }
}

void UpgradeWidget::slot_TransmitStatus(YmodemFileTransmit::YmodemStatus status)
{
    switch (status) {
    case YmodemFileTransmit::StatusOpening:
    case YmodemFileTransmit::StatusSending:
        // Sent again and again while the transfer runs.
        return;
    case YmodemFileTransmit::StatusDone:
        // Not completed yet: the device's answer decides (a boot loader that
        // answers again fails the upgrade). It is awaited on the same port:
        // a second upgrade waits for it (the way back to the menu is open).
        Finish(StatusUpgrading);
        m_bAwaitingWord = true;
        ui->btnUpgradeFirmware->setEnabled(false);
        return;
    default:
        // The bar keeps the last progress reached.
        Finish(StatusFailed);
        return;
    }
}

void UpgradeWidget::slot_UpgradeVerified(bool bAnswered, const QString &sVersion, int nFailureKind,
                                         const QString &sVersionBefore)
{
    if (!m_bAwaitingWord) {
        return;
    }
    m_bAwaitingWord = false;
    if (nFailureKind != 0) {
        // The file went out, and the device runs no new firmware, or said
        // nothing that confirms it: not completed.
        Finish(StatusFailed);
        return;
    }
    m_nStatus = StatusCompleted;
    m_nDeviceWord = !bAnswered ? WordSilent : sVersion.isEmpty() ? WordNoVersion : WordRuns;
    m_sVersion = sVersion;
    m_sVersionBefore = sVersionBefore;
    SetTip();
    ui->btnUpgradeFirmware->setEnabled(true);
}

void UpgradeWidget::slot_SendResult(int nFunctionType, int nResultType, bool bRet, QString sMes)
{
    if (nFunctionType == DeviceCodes::FT_Upgrade && nResultType == DeviceCodes::RT_LineBusy) {
        // Comes while the upgrade is prepared: its end follows when the
        // preparation returns.
        m_nBusySeconds = sMes.toInt();
        m_nStatus = bRet ? StatusLineBusy : StatusKeepsSending;
        SetTip();
        return;
    }
    if (nFunctionType != DeviceCodes::FT_Upgrade || bRet) {
        return;
    }
    if (nResultType == DeviceCodes::RT_OpenPort || nResultType == DeviceCodes::RT_EnterBootMode ||
        nResultType == DeviceCodes::RT_StartTransmit) {
        // Such a failure ends the upgrade without a transfer status: the
        // way back to the menu must open again, and a language change must
        // not turn the failure into "during upgrade".
        m_nStatus = StatusFailed;
        EndPreparation();
        ui->labelUpgradeTip->setText(sMes);
        ui->btnUpgradeFirmware->setEnabled(true);
        ui->btnUpgradeReturnMenu->show();
    }
}

void UpgradeWidget::slot_FailureKind(int nFunctionType, int, int nKind, const QString &sPort)
{
    if (nFunctionType == DeviceCodes::FT_Upgrade) {
        m_failure.Take(nKind, sPort);
    }
}

void UpgradeWidget::SetTip()
{
    TipLayout::SetText(ui->labelUpgradeTip, StatusText(), ui->stackedWidgetUpgrade->height(), ui->progressBarUpgrade);
}

void UpgradeWidget::Finish(int nStatus)
{
    EndPreparation();
    m_nStatus = nStatus;
    SetTip();
    ui->btnUpgradeFirmware->setEnabled(true);
    ui->btnUpgradeReturnMenu->show();
}

QString UpgradeWidget::StatusText() const
{
    switch (m_nStatus) {
    case StatusFailed:
        // The reason and the next step go on a line of their own.
        return m_failure.UnderStatus(tr("Upgrade failed"));
    case StatusLineBusy:
        return LineBusyText::Waiting(m_nBusySeconds);
    case StatusKeepsSending:
        return LineBusyText::KeepsSending();
    case StatusCompleted:
        // The device's word goes on a line of its own under the outcome.
        switch (m_nDeviceWord) {
        case WordRuns:
            // From which version to which, where the device said before.
            return tr("Upgrade completed") + QLatin1Char('\n')
                   + (m_sVersionBefore.isEmpty() ? tr("The device runs %1").arg(m_sVersion)
                                                 : tr("Firmware %1 → %2").arg(m_sVersionBefore, m_sVersion));
        case WordNoVersion:
            return tr("Upgrade completed") + QLatin1Char('\n') + tr("The device answers; version unknown");
        case WordSilent:
            return tr("Upgrade completed") + QLatin1Char('\n') + tr("The device has not answered yet");
        default:
            return tr("Upgrade completed");
        }
    default:
        return tr("during upgrade");
    }
}

void UpgradeWidget::keyPressEvent(QKeyEvent *event)
{
    if (!PageKeys::EscapeReturns(event, ui->btnUpgradeReturnMenu)) {
        QWidget::keyPressEvent(event);
    }
}

void UpgradeWidget::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
        UpdateTexts();
    }
    QWidget::changeEvent(event);
}

void UpgradeWidget::UpdateTexts()
{
    m_pPathChoice->ShortenCaption();
    SetTip();
}
