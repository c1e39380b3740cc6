#include "ui/infowidget.h"
#include "ui_infowidget.h"

#include "device/devicecodes.h"
#include "ui/devicerequests.h"
#include "ui/linebusytext.h"
#include "ui/pagekeys.h"
#include "ui/tiplayout.h"

#include <QApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QTimer>

namespace {
constexpr int kDotsIntervalMs = 500;
// Longer version captions are cut to 15 characters and "...:".
constexpr int kMaxCaptionLength = 18;
constexpr int kShortCaptionLength = 15;
} // namespace

InfoWidget::InfoWidget(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::InfoWidget)
{
    ui->setupUi(this);
    SetReason(QString());
    m_pTimer = new QTimer;
    connect(m_pTimer, &QTimer::timeout, this, &InfoWidget::slot_TimeOut);
}

InfoWidget::~InfoWidget()
{
    delete m_pTimer;
    delete ui;
}

void InfoWidget::ClearInfo()
{
    PageKeys::ShowSubPage(ui->stackedWidgetInfo, ui->pageInfoShow);
    ui->labelFirmwareVer->clear();
    ui->labelSN->clear();
    SetReason(QString());
    m_failure.Clear();
    m_bValueFailed = false;
    m_eSN = ValueAwaited;
    m_eVersion = ValueAwaited;
}

void InfoWidget::SetReason(const QString &sReason)
{
    ui->labelInfoReason->setText(sReason);
    // Reached by Tab while it says why a value is missing.
    ui->labelInfoReason->setFocusPolicy(sReason.isEmpty() ? Qt::NoFocus : Qt::TabFocus);
}

void InfoWidget::StartReadInfo()
{
    m_nDotCount = 0;
    m_pTimer->start(kDotsIntervalMs);
    NameValues();
    // Entered from the menu (which let the focus go), or with the focus on
    // the page, the focus goes to what the page reads.
    if (!window()->focusWidget() || isAncestorOf(window()->focusWidget())) {
        ui->labelSN->setFocus(Qt::OtherFocusReason);
    }
    DeviceRequests::StartGetVersionAndSN();
}

void InfoWidget::NameValues()
{
    const struct
    {
        QLabel *pLabel;
        Value eValue;
    } fields[] = {{ui->labelSN, m_eSN}, {ui->labelFirmwareVer, m_eVersion}};
    for (const auto &field : fields) {
        const QString sName = field.eValue == ValueShown    ? QString()
                              : field.eValue == ValueAwaited ? tr("Reading…")
                                                             : tr("Not read");
        // Every change of the name is announced: only real ones.
        if (field.pLabel->accessibleName() != sName) {
            field.pLabel->setAccessibleName(sName);
        }
    }
}

bool InfoWidget::IsWaiting() const
{
    return m_pTimer->isActive();
}

void InfoWidget::on_btnInfoReturnMenu_clicked()
{
    emit signal_ReturnMenu();
}

void InfoWidget::slot_TimeOut()
{
    m_nDotCount = (m_nDotCount + 1) % 3;
    // Phase 1 shows ".", phase 2 "..", phase 0 (after 2) "...".
    const QString sDots(m_nDotCount == 0 ? 3 : m_nDotCount, QLatin1Char('.'));
    ui->labelSN->setText(sDots);
    ui->labelFirmwareVer->setText(sDots);
}

void InfoWidget::slot_SendResult(int nFunctionType, int nResultType, bool bRet, QString sMes)
{
    if (nFunctionType == DeviceCodes::FT_DeviceInfo && nResultType == DeviceCodes::RT_LineBusy && bRet) {
        // The request goes on once the device has stopped sending.
        m_nBusySeconds = sMes.toInt();
        ShowTip(TipLineBusy);
        return;
    }
    // Any result ends the waiting; a field whose value does not come keeps
    // the dots it shows.
    m_nDotCount = 0;
    m_pTimer->stop();
    if (nFunctionType != DeviceCodes::FT_DeviceInfo) {
        return;
    }
    if (bRet) {
        if (m_nTip == TipLineBusy && ui->stackedWidgetInfo->currentWidget() == ui->pageInfoTip) {
            PageKeys::ShowSubPage(ui->stackedWidgetInfo, ui->pageInfoShow);
        }
        // The value first, under the name "Reading…" (no event), then the
        // name goes: one change, to the value.
        if (nResultType == DeviceCodes::RT_Version) {
            ui->labelFirmwareVer->setText(sMes);
            m_eVersion = ValueShown;
        } else if (nResultType == DeviceCodes::RT_SN) {
            ui->labelSN->setText(sMes);
            m_eSN = ValueShown;
        }
        NameValues();
        return;
    }
    // A value's failure leaves that field without one; any other ends the
    // request for both.
    if (nResultType == DeviceCodes::RT_Version || nResultType == DeviceCodes::RT_SN) {
        (nResultType == DeviceCodes::RT_Version ? m_eVersion : m_eSN) = ValueMissing;
    } else {
        m_eVersion = m_eVersion == ValueShown ? ValueShown : ValueMissing;
        m_eSN = m_eSN == ValueShown ? ValueShown : ValueMissing;
    }
    NameValues();
    if (nResultType == DeviceCodes::RT_Version || nResultType == DeviceCodes::RT_SN) {
        // The field keeps its dots; why it has no value goes under the values.
        m_bValueFailed = true;
        SetReason(m_failure.Text());
    } else if (nResultType == DeviceCodes::RT_OpenPort) {
        ShowTip(TipDisconnected);
    } else if (nResultType == DeviceCodes::RT_EnterCtrlMode) {
        ShowTip(TipUpgradeFirst);
    } else if (nResultType == DeviceCodes::RT_LineBusy) {
        ShowTip(TipKeepsSending);
    }
}

void InfoWidget::slot_FailureKind(int nFunctionType, int, int nKind, const QString &sPort)
{
    if (nFunctionType == DeviceCodes::FT_DeviceInfo) {
        m_failure.Take(nKind, sPort);
    }
}

void InfoWidget::ShowTip(int nTip)
{
    m_nTip = nTip;
    PageKeys::ShowSubPage(ui->stackedWidgetInfo, ui->pageInfoTip);
    TipLayout::SetText(ui->labelInfoTip, TipText(), ui->stackedWidgetInfo->height());
}

QString InfoWidget::TipText() const
{
    switch (m_nTip) {
    case TipUpgradeFirst:
        return m_failure.UnderStatus(tr("Please upgrade before proceeding"));
    case TipLineBusy:
        return LineBusyText::Waiting(m_nBusySeconds);
    case TipKeepsSending:
        return LineBusyText::KeepsSending();
    default:
        return m_failure.UnderStatus(tr("Disconnected"));
    }
}

void InfoWidget::keyPressEvent(QKeyEvent *event)
{
    if (!PageKeys::EscapeReturns(event, ui->btnInfoReturnMenu)) {
        QWidget::keyPressEvent(event);
    }
}

void InfoWidget::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange) {
        // The form's texts reset the value fields and the message; what the
        // device said (or the dots still waiting for it) is no text of the
        // language and stays.
        const QString sSN = ui->labelSN->text();
        const QString sFirmwareVer = ui->labelFirmwareVer->text();
        ui->retranslateUi(this);
        ui->labelSN->setText(sSN);
        ui->labelFirmwareVer->setText(sFirmwareVer);
        TipLayout::SetText(ui->labelInfoTip, TipText(), ui->stackedWidgetInfo->height());
        SetReason(m_bValueFailed ? m_failure.Text() : QString());
        // The names of fields with no value are texts of the language.
        NameValues();

        const QString sCaption = ui->labelFirmwareVertip->text();
        if (sCaption.size() > kMaxCaptionLength) {
            ui->labelFirmwareVertip->setText(sCaption.left(kShortCaptionLength) + QStringLiteral("...:"));
            ui->labelFirmwareVertip->setToolTip(sCaption);
            ui->labelSNTip->setToolTip(ui->labelSNTip->text());
        } else {
            // No tooltip left over from an earlier language.
            ui->labelFirmwareVertip->setToolTip(QString());
            ui->labelSNTip->setToolTip(QString());
        }
    }
    QWidget::changeEvent(event);
}
