#include "app/languagedialog.h"
#include "ui_languagedialog.h"

#include "app/languageitemwidget.h"
#include "ui/focusring.h"
#include "ui/pagekeys.h"
#include "ui/pressablelabel.h"

#include <QApplication>
#include <QColor>
#include <QEvent>
#include <QGraphicsDropShadowEffect>
#include <QKeyEvent>
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

    // The list keeps the keyboard focus; the ring goes around its current row.
    ui->listWidget->setAccessibleName(QCoreApplication::translate("MainForm", "Language"));
    ui->listWidget->installEventFilter(this);
    m_pRing = new FocusRing(this, false);
    connect(ui->listWidget, &QListWidget::currentItemChanged, this, [this](QListWidgetItem *pItem) {
        auto *pRow = pItem ? qobject_cast<LanguageItemWidget *>(ui->listWidget->itemWidget(pItem)) : nullptr;
        m_pRing->Follow(pRow ? pRow->RingTarget() : nullptr);
    });
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
        pRow->RingTarget()->setProperty(FocusRing::kInside, true);
        // The row's picture is its widget; assistive technology reads the item.
        pItem->setData(Qt::AccessibleTextRole, it.value());
        ui->listWidget->setItemWidget(pItem, pRow);
        if (it.key() == nLanguageId) {
            ui->listWidget->setCurrentItem(pItem);
        }

        connect(pRow, &LanguageItemWidget::signal_SetLanguage, this, &LanguageDialog::slot_SetLanguage);
        connect(pRow, &LanguageItemWidget::signal_SetStatus, this, &LanguageDialog::slot_SetStatus);
        connect(this, &LanguageDialog::signal_SetStatus, pRow, &LanguageItemWidget::slot_SetStatus);
    }
}

void LanguageDialog::TakeKeyboard(bool bShowRing)
{
    activateWindow();
    ui->listWidget->setFocus(Qt::ActiveWindowFocusReason);
    m_pRing->SetKeyboardMode(bShowRing);
}

bool LanguageDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != ui->listWidget || event->type() != QEvent::KeyPress) {
        return QDialog::eventFilter(watched, event);
    }
    const auto *pKey = static_cast<QKeyEvent *>(event);
    if (pKey->key() == Qt::Key_Escape) {
        // Back to the window, on its language button.
        if (parentWidget()) {
            PageKeys::ActivateWindowOf(parentWidget());
        }
        close();
        return true;
    }
    if (PressableLabel::IsPressKey(pKey)) {
        QListWidgetItem *pItem = ui->listWidget->currentItem();
        if (auto *pRow = pItem ? qobject_cast<LanguageItemWidget *>(ui->listWidget->itemWidget(pItem)) : nullptr) {
            pRow->Choose();
        }
        return true;
    }
    return QDialog::eventFilter(watched, event);
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
