#include "app/languageitemwidget.h"
#include "ui_languageitemwidget.h"

#include "app/highdpi.h"

#include <QEvent>

namespace {

// Each look replaces the label's whole style sheet.
const char *const kSelectedLook = "font-size: 12px;\n"
                                  "font-family: PingFang SC, PingFang SC;\n"
                                  "font-weight: 500;\n"
                                  "color: #2E85FA;\n"
                                  "line-height: 14px;";
const char *const kNotSelectedLook = "font-size: 12px;\n"
                                     "font-family: PingFang SC, PingFang SC;\n"
                                     "font-weight: 500;\n"
                                     "color: #999999;\n"
                                     "line-height: 14px;";
// The last row hides the separator line under it.
const char *const kLastRowLook = "#itemWidget{\n"
                                 "background-color: #FFFFFF;\n"
                                 "border-bottom: 1px solid #FFFFFF;\n"
                                 "}";

} // namespace

LanguageItemWidget::LanguageItemWidget(QWidget *parent)
    : QWidget(parent)
    , ui(new Ui::LanguageItemWidget)
    , m_nLanguageId(1)
{
    ui->setupUi(this);
    ui->labelTick->setPixmap(HighDpi::Pixmap(QStringLiteral(":/MainForm/image/Slice 773.png")));
    ui->itemWidget->installEventFilter(this);
}

LanguageItemWidget::~LanguageItemWidget()
{
    delete ui;
}

void LanguageItemWidget::SetItemInfo(const QString &sName, int nLanguageId, bool bSelected, bool bShowBottomLine)
{
    ui->labelLanguaue->setText(sName);
    m_nLanguageId = nLanguageId;
    if (bSelected) {
        ShowSelected(true);
    } else {
        // The form's own style already shows the grey text.
        ui->labelTick->hide();
    }
    if (!bShowBottomLine) {
        ui->itemWidget->setStyleSheet(QLatin1String(kLastRowLook));
    }
}

bool LanguageItemWidget::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == ui->itemWidget && event->type() == QEvent::MouseButtonPress) {
        Choose();
    }
    // The press is not consumed.
    return QWidget::eventFilter(watched, event);
}

void LanguageItemWidget::Choose()
{
    // Clears every row, this one included, then marks this one.
    emit signal_SetStatus();
    ShowSelected(true);
    emit signal_SetLanguage(m_nLanguageId);
}

QWidget *LanguageItemWidget::RingTarget() const
{
    return ui->itemWidget;
}

void LanguageItemWidget::slot_SetStatus()
{
    ShowSelected(false);
}

void LanguageItemWidget::ShowSelected(bool bSelected)
{
    ui->labelLanguaue->setStyleSheet(QLatin1String(bSelected ? kSelectedLook : kNotSelectedLook));
    ui->labelTick->setVisible(bSelected);
}
