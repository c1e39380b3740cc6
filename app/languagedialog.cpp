#include "app/languagedialog.h"
#include "ui_languagedialog.h"

#include "app/languageitemwidget.h"

#include <QApplication>
#include <QColor>
#include <QEvent>
#include <QGraphicsDropShadowEffect>
#include <QListWidgetItem>
#include <QMap>

LanguageDialog::LanguageDialog(QWidget *parent)
    : QDialog(parent)
    , ui(new Ui::LanguageDialog)
{
    ui->setupUi(this);

    // A translucent frameless window around a white rounded frame with an
    // 8-pixel margin: a rounded card with a soft blue shadow.
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_DeleteOnClose);

    auto *pShadow = new QGraphicsDropShadowEffect(this);
    pShadow->setOffset(0, 0);
    pShadow->setColor(QColor(38, 78, 119, 127));
    pShadow->setBlurRadius(8);
    ui->languageFrame->setGraphicsEffect(pShadow);
}

LanguageDialog::~LanguageDialog()
{
    delete ui;
}

void LanguageDialog::InitLanguageList(int nLanguageId)
{
    // Every translation gives each language its own native name, so the list
    // reads the same whatever language is shown.
    QMap<int, QString> names;
    names.insert(0, tr("Chinese"));
    names.insert(1, tr("English"));
    names.insert(2, tr("French"));
    names.insert(3, tr("German"));
    names.insert(4, tr("Spanish"));
    names.insert(5, tr("Italian"));
    names.insert(6, tr("Russian"));
    names.insert(7, tr("Polish"));

    const int nLastId = names.lastKey();
    for (auto it = names.cbegin(); it != names.cend(); ++it) {
        auto *pItem = new QListWidgetItem(ui->listWidget);
        auto *pRow = new LanguageItemWidget(ui->listWidget);
        pRow->SetItemInfo(it.value(), it.key(), it.key() == nLanguageId, it.key() != nLastId);
        ui->listWidget->setItemWidget(pItem, pRow);

        connect(pRow, &LanguageItemWidget::signal_SetLanguage, this, &LanguageDialog::slot_SetLanguage);
        connect(pRow, &LanguageItemWidget::signal_SetStatus, this, &LanguageDialog::slot_SetStatus);
        connect(this, &LanguageDialog::signal_SetStatus, pRow, &LanguageItemWidget::slot_SetStatus);
    }
}

void LanguageDialog::slot_SetStatus()
{
    emit signal_SetStatus();
}

void LanguageDialog::slot_SetLanguage(int nLanguageId)
{
    emit signal_SetLanguage(nLanguageId);
}

bool LanguageDialog::event(QEvent *event)
{
    // Clicking anywhere else (the main window) deactivates the pop-up: close
    // it, which deletes it.
    if (event->type() == QEvent::ActivationChange && QApplication::activeWindow() != this) {
        close();
    }
    return QWidget::event(event);
}
