#include "ui/mainform.h"
#include "ui_mainform.h"

#include "app/language.h"
#include "app/languagedialog.h"

#include <QEvent>

MainForm::MainForm(QWidget *parent)
    : QMainWindow(parent)
    , ui(new Ui::MainForm)
{
    ui->setupUi(this);
}

MainForm::~MainForm()
{
    delete ui;
}

void MainForm::SetTranslator(QTranslator *pTranslator)
{
    m_pTranslator = pTranslator;
}

void MainForm::on_btnLanguage_clicked()
{
    // A new pop-up on every click: the click into this window has already
    // deactivated, closed and deleted any earlier one.
    auto *pDialog = new LanguageDialog(this);
    pDialog->InitLanguageList(g_nLanguageId);
    connect(pDialog, &LanguageDialog::signal_SetLanguage, this, &MainForm::slot_SetLanguage);
    pDialog->move(mapToGlobal(QPoint(0, 0)) + QPoint(148, 52));
    pDialog->show();
}

void MainForm::slot_SetLanguage(int nLanguageId)
{
    SwitchLanguage(m_pTranslator, nLanguageId);
}

void MainForm::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
    }
    QMainWindow::changeEvent(event);
}
