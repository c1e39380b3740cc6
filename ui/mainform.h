#ifndef MAINFORM_H
#define MAINFORM_H

#include <QMainWindow>
#include <QPoint>
#include <QPointer>

class FocusRing;
class QSerialUser;
class QTranslator;

namespace Ui {
class MainForm;
}

// The application's main window: frameless and translucent, it paints its
// own white body and shadow, carries the title band with the language
// button and the support entry, and shows either the menu or one of the three task pages. It wires
// the shared device coordinator's reports to the pages.
class MainForm : public QMainWindow
{
    Q_OBJECT

public:
    explicit MainForm(QWidget *parent = nullptr);
    ~MainForm() override;

    // The application translator that language choices reload (not owned).
    void SetTranslator(QTranslator *pTranslator);

private slots:
    void on_btnLanguage_clicked();
    void on_btnSupport_clicked();
    void on_btnMinimize_clicked();
    void on_btnClose_clicked();
    void on_btnExport_clicked();
    void on_btnUpgrade_clicked();
    void on_btnInfo_clicked();
    void slot_ReturnMenu();
    void slot_SetLanguage(int nLanguageId);

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void changeEvent(QEvent *event) override;
    // Closing during an upgrade asks first: the device would stay in its
    // boot loader. Closed anyway, the transfer is cancelled on the line and
    // the window closes once that is done. Closing during another job (an
    // export) interrupts it without asking and closes once it has ended.
    void closeEvent(QCloseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    // Puts the "Support" entry beside the language entry's caption.
    void PlaceSupportEntry();
    // The menu buttons' names: their captions on one line.
    void NameMenuButtons();
    // Shows a page of the stack; true when the page it left had the focus.
    bool ShowPage(QWidget *pPage);
    // Closes the window once the coordinator has no job left.
    void CloseWhenIdle(QSerialUser *pUser);

    Ui::MainForm *ui;
    QPoint m_ptPress;
    QTranslator *m_pTranslator = nullptr;
    FocusRing *m_pFocusRing = nullptr;
    QPointer<QWidget> m_pMenuButton;   // the menu button that opened the page shown
    bool m_bClosingAfterCancel = false;
    QMetaObject::Connection m_closeWhenIdle;
};

#endif // MAINFORM_H
