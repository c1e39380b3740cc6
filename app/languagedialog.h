#ifndef LANGUAGEDIALOG_H
#define LANGUAGEDIALOG_H

#include <QDialog>

class FocusRing;

namespace Ui {
class LanguageDialog;
}

// Frameless pop-up list of the eight interface languages, each under its own
// name. A click on a row, or Enter or Space on the row the arrow keys reach,
// reports the language (signal_SetLanguage) and keeps the pop-up open; it
// closes, and deletes itself, as soon as it stops being the active window, or
// on Escape.
class LanguageDialog : public QDialog
{
    Q_OBJECT

public:
    explicit LanguageDialog(QWidget *parent = nullptr);
    ~LanguageDialog() override;

    // Fills the list and ticks nLanguageId. Call once, right after construction.
    void InitLanguageList(int nLanguageId);
    // After show: the pop-up becomes the active window with the focus on the
    // ticked row; bShowRing: the keyboard opened it, so the ring shows at once.
    void TakeKeyboard(bool bShowRing);

signals:
    void signal_SetStatus();
    void signal_SetLanguage(int nLanguageId);

public slots:
    void slot_SetStatus();
    void slot_SetLanguage(int nLanguageId);

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    Ui::LanguageDialog *ui;
    FocusRing *m_pRing = nullptr;
};

#endif // LANGUAGEDIALOG_H
