#ifndef MAINFORM_H
#define MAINFORM_H

#include <QMainWindow>

class QTranslator;

namespace Ui {
class MainForm;
}

// The application's main window.
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
    void slot_SetLanguage(int nLanguageId);

protected:
    void changeEvent(QEvent *event) override;

private:
    Ui::MainForm *ui;
    QTranslator *m_pTranslator = nullptr;
};

#endif // MAINFORM_H
