#ifndef INFOWIDGET_H
#define INFOWIDGET_H

#include "ui/failureadvice.h"

#include <QString>
#include <QWidget>

class QKeyEvent;
class QTimer;

namespace Ui {
class InfoWidget;
}

// The device information page: the firmware version and the serial number,
// read through the shared QSerialUser. While it waits, both value fields
// cycle through one, two and three dots every 500 ms; the first result of
// any kind ends the waiting. A port or mode failure shows a message instead.
class InfoWidget : public QWidget
{
    Q_OBJECT

public:
    // Which message the tip sub-page shows; restored on a language change.
    enum Tip
    {
        TipDisconnected = 0,
        TipUpgradeFirst = 1,
        TipLineBusy = 2,       // waiting for the device to stop sending; the request goes on
        TipKeepsSending = 3,   // it never stopped
    };

    explicit InfoWidget(QWidget *parent = nullptr);
    ~InfoWidget() override;

    // Shows the value sub-page with both values empty.
    void ClearInfo();
    // Starts the dots from the first phase and asks for version and serial
    // number. Every call issues a new request.
    void StartReadInfo();
    // The dots are running: no result has arrived since StartReadInfo.
    bool IsWaiting() const;

signals:
    void signal_ReturnMenu();

public slots:
    void slot_SendResult(int nFunctionType, int nResultType, bool bRet, QString sMes);
    // Comes just before the failure's result: what the line under the
    // failure says is chosen by the kind.
    void slot_FailureKind(int nFunctionType, int nResultType, int nKind, const QString &sPort);
    void slot_TimeOut();

private slots:
    void on_btnInfoReturnMenu_clicked();

protected:
    void changeEvent(QEvent *event) override;
    // Escape returns to the menu.
    void keyPressEvent(QKeyEvent *event) override;

private:
    QString TipText() const;
    void ShowTip(int nTip);
    // What assistive technology calls a value field that shows no value:
    // "Reading…" once rather than every dot, then "Not read". A value shown
    // is the field's own name, so that its arrival is announced.
    void NameValues();
    // The line under the values that says why one is missing.
    void SetReason(const QString &sReason);

    Ui::InfoWidget *ui = nullptr;
    QTimer *m_pTimer = nullptr;
    int m_nDotCount = 0;
    int m_nTip = TipDisconnected;
    int m_nBusySeconds = 0;
    // Why the last request failed, and what next; whether it was a value's
    // (shown under the values).
    FailureAdvice m_failure;
    bool m_bValueFailed = false;
    // Each value field: still read, shown, or left without its value.
    enum Value
    {
        ValueAwaited,
        ValueShown,
        ValueMissing,
    };
    Value m_eSN = ValueAwaited;
    Value m_eVersion = ValueAwaited;
};

#endif // INFOWIDGET_H
