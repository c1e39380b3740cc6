#ifndef LANGUAGEDIALOG_H
#define LANGUAGEDIALOG_H

#include <QDialog>

namespace Ui {
class LanguageDialog;
}

// Frameless pop-up list of the eight interface languages, each under its own
// name. A click on a row reports the language (signal_SetLanguage) and keeps
// the pop-up open; it closes, and deletes itself, as soon as it stops being
// the active window.
class LanguageDialog : public QDialog
{
    Q_OBJECT

public:
    explicit LanguageDialog(QWidget *parent = nullptr);
    ~LanguageDialog() override;

    // Fills the list and ticks nLanguageId. Call once, right after construction.
    void InitLanguageList(int nLanguageId);

signals:
    void signal_SetStatus();
    void signal_SetLanguage(int nLanguageId);

public slots:
    void slot_SetStatus();
    void slot_SetLanguage(int nLanguageId);

protected:
    bool event(QEvent *event) override;

private:
    Ui::LanguageDialog *ui;
};

#endif // LANGUAGEDIALOG_H
