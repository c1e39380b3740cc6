#ifndef UPGRADEWIDGET_H
#define UPGRADEWIDGET_H

#include "transfer/ymodemfiletransmit.h"
#include "ui/failureadvice.h"

#include <QString>
#include <QWidget>

class PathChoice;

namespace Ui {
class UpgradeWidget;
}

// The firmware upgrade page. Its path sub-page picks a ".bin" file (the last
// one is remembered in "software/upgradedir") and starts the upgrade through
// the shared QSerialUser; its tip sub-page shows the transfer's progress and
// outcome, which arrive as QSerialUser's progress and status signals, and
// under a completed transfer the device's word: the firmware it runs once it
// has rebooted, or that it has not answered.
//
// While an upgrade runs the page offers no way back to the menu: the return
// button is hidden and "Cancel" sits on the hidden path sub-page.
class UpgradeWidget : public QWidget
{
    Q_OBJECT

public:
    // What the tip text says; restored on a language change.
    enum Status
    {
        StatusUpgrading = 0,
        StatusFailed = 1,
        StatusCompleted = 2,
        StatusLineBusy = 3,       // upgrading, once the device has stopped sending what it was sending
        StatusKeepsSending = 4,   // it never stopped: failed
    };

    explicit UpgradeWidget(QWidget *parent = nullptr);
    ~UpgradeWidget() override;

    // Shows the path sub-page; the path, the progress and the status stay.
    void ShowPathPage();

signals:
    void signal_ReturnMenu();

public slots:
    // Upgrade results (FT_Upgrade): the wait for a busy line and its end;
    // a failed step's text is shown as it comes, and "Update" and the
    // return button are offered again.
    void slot_SendResult(int nFunctionType, int nResultType, bool bRet, QString sMes);
    // Comes before a failed preparation returns and before a failed
    // transfer's status: what the line under "Upgrade failed" says is
    // chosen by the kind.
    void slot_FailureKind(int nFunctionType, int nResultType, int nKind, const QString &sPort);
    void slot_TransmitProgress(int nProgressValue);
    void slot_TransmitStatus(YmodemFileTransmit::YmodemStatus status);
    // After a completed transfer: whether the device answered as application
    // firmware, and the version it reported; nFailureKind (FailureKind, 0:
    // none): the upgrade failed after all (the kind came first). "Update" is
    // offered again.
    void slot_UpgradeVerified(bool bAnswered, const QString &sVersion, int nFailureKind = 0,
                              const QString &sVersionBefore = QString());

private slots:
    void on_btnUpgradeReturnMenu_clicked();
    void on_btnUpgradeCancel_clicked();
    void on_btnUpgradeFirmware_clicked();

protected:
    void changeEvent(QEvent *event) override;
    // Escape returns to the menu while the return button is offered.
    void keyPressEvent(QKeyEvent *event) override;

private:
    QString StatusText() const;
    // The status's tip text, "Update" enabled and the way back open.
    void Finish(int nStatus);
    // The bar leaves its busy look for percentages (kept at 1 until the
    // first one arrives).
    void EndPreparation();
    // The status text, with the room it needs.
    void SetTip();
    void UpdateTexts();

    Ui::UpgradeWidget *ui = nullptr;
    PathChoice *m_pPathChoice = nullptr;   // the "Select path" link
    int m_nStatus = StatusUpgrading;
    // What the device said after a completed transfer.
    enum DeviceWord
    {
        WordAwaited = 0,   // not known yet: nothing under "Upgrade completed"
        WordRuns,          // answers as application firmware with m_sVersion
        WordNoVersion,     // answers as application firmware, no version read
        WordSilent,        // has not answered within the wait
    };
    int m_nDeviceWord = WordAwaited;
    bool m_bAwaitingWord = false;   // the transfer completed; the device's word decides the outcome
    int m_nBusySeconds = 0;
    QString m_sVersion;
    QString m_sVersionBefore;   // what it ran before the upgrade, when it said
    // Why the last upgrade failed, and what next.
    FailureAdvice m_failure;
};

#endif // UPGRADEWIDGET_H
