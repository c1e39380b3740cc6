#ifndef EXPORTWIDGET_H
#define EXPORTWIDGET_H

#include <QString>
#include <QWidget>

#include "ui/failureadvice.h"

class PathChoice;

namespace Ui {
class ExportWidget;
}

// The report export page. Its path sub-page takes the report folder (typed,
// or picked in a folder dialog that remembers "software/exportdir") and
// starts the export through the shared QSerialUser; its tip sub-page shows
// the progress and the outcome, which arrive as result reports.
//
// "Cancel" and the return button only go back to the menu: an export goes on
// in the worker and its results still reach this page.
class ExportWidget : public QWidget
{
    Q_OBJECT

public:
    // What the tip text says; restored on a language change.
    enum Status
    {
        StatusExporting = 0,
        StatusDisconnected = 1,
        StatusUpgradeFirst = 2,
        StatusFailed = 3,
        StatusSucceeded = 4,
        StatusLineBusy = 5,       // exporting, once the device has stopped sending what it was sending
        StatusKeepsSending = 6,   // it never stopped
    };

    explicit ExportWidget(QWidget *parent = nullptr);
    ~ExportWidget() override;

    // Shows the path sub-page; the folder, the progress and the tip stay.
    void ShowPathPage();

signals:
    void signal_ReturnMenu();

public slots:
    void slot_SendResult(int nFunctionType, int nResultType, bool bRet, QString sMes);
    // Comes just before the failure's result: what the line under the
    // failure status says is chosen by the kind.
    void slot_FailureKind(int nFunctionType, int nResultType, int nKind, const QString &sPort);

private slots:
    void on_btnExportReturnMenu_clicked();
    void on_btnExportCancel_clicked();
    void on_btnExportFile_clicked();

protected:
    void changeEvent(QEvent *event) override;
    // Escape returns to the menu while the return button is offered.
    void keyPressEvent(QKeyEvent *event) override;

private:
    QString StatusText() const;
    // The status text, with the room it needs.
    void SetTip();
    // sText, with the name of the file the export left on a line below.
    QString WithReportName(const QString &sText) const;
    // The status's tip text on the tip sub-page, "Export" enabled and the way
    // back open.
    void Finish(int nStatus);
    void UpdateTexts();
    // The tip sub-page; the focus on the stack goes to the status.
    void ShowTipPage();

    Ui::ExportWidget *ui = nullptr;
    PathChoice *m_pPathChoice = nullptr;   // the "Select path" link
    int m_nStatus = StatusExporting;
    int m_nBusySeconds = 0;
    // The file name of the report written, shown under the success.
    QString m_sReportName;
    // Why the last export failed, and what next.
    FailureAdvice m_failure;
};

#endif // EXPORTWIDGET_H
