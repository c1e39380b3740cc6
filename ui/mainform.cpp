#include "ui/mainform.h"
#include "ui_mainform.h"

#include "app/highdpi.h"
#include "app/language.h"
#include "app/languagedialog.h"
#include "transfer/qserialuser.h"
#include "ui/exportwidget.h"
#include "ui/focusring.h"
#include "ui/pagekeys.h"
#include "ui/infowidget.h"
#include "ui/supportentry.h"
#include "ui/upgradewidget.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QEvent>
#include <QFontMetrics>
#include <QMessageBox>
#include <QGraphicsDropShadowEffect>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QShortcut>
#include <QtMath>

namespace {

// Between the language entry's caption and the support entry's, about the
// room between the logo and the language caption.
constexpr int kTitleEntryGapPx = 24;

} // namespace

MainForm::MainForm(QWidget *parent)
    : QMainWindow(parent)
    , ui(new Ui::MainForm)
{
    ui->setupUi(this);
    // The form's plain pixmap would be stretched on a scaled screen.
    ui->label_3->setPixmap(HighDpi::Pixmap(QStringLiteral(":/MainForm/image/Slice 469.png")));

    // Every button is drawn by its style sheet, but the platform style still
    // put its focus frame over the picture (the dotted frame of Windows on the
    // menu button that has the focus at start, and on the language button
    // after its pop-up). The buttons keep the keyboard focus; the window's
    // own ring shows it. Enter presses a button as Space does.
    const QList<QPushButton *> buttons = findChildren<QPushButton *>();
    for (QPushButton *pButton : buttons) {
        if (!pButton->styleSheet().isEmpty()) {
            pButton->setStyleSheet(pButton->styleSheet() + QStringLiteral("\nQPushButton:focus{outline: none;}"));
        }
        pButton->setAutoDefault(true);
        PageKeys::PressOnceWhenHeld(pButton);
    }
    for (QWidget *pOnBand : {static_cast<QWidget *>(ui->btnLanguage), static_cast<QWidget *>(ui->btnSupport),
                             static_cast<QWidget *>(ui->btnMinimize), static_cast<QWidget *>(ui->btnClose)}) {
        pOnBand->setProperty(FocusRing::kOnDark, true);
    }
    ui->btnLanguage->setProperty(FocusRing::kHugsCaption, int(Qt::AlignHCenter));
    ui->btnSupport->setProperty(FocusRing::kHugsCaption, int(Qt::AlignLeft));
    m_pFocusRing = new FocusRing(this, true);
    // The Tab order reads the title band first, but the keyboard starts on
    // the first job.
    ui->btnExport->setFocus(Qt::OtherFocusReason);
    // The keyboard's close asks during an upgrade as the close button does;
    // where a window manager or Windows already takes Alt+F4, it ends here too.
    auto *pClose = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_F4), this);
    connect(pClose, &QShortcut::activated, this, &MainForm::close);

    PlaceSupportEntry();
    NameMenuButtons();

    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);
    ui->stackedWidget->setCurrentWidget(ui->pageMenu);

    const struct
    {
        QFrame *pFrame;
        QWidget *pPage;
    } cards[] = {
        {ui->frameExport, ui->widgetExport},
        {ui->frameUpgrade, ui->widgetUpgrade},
        {ui->frameInfo, ui->widgetInfo},
    };
    for (const auto &card : cards) {
        auto *pShadow = new QGraphicsDropShadowEffect(this);
        pShadow->setOffset(0, 0);
        pShadow->setColor(QColor(38, 78, 119, 127));
        pShadow->setBlurRadius(16);
        card.pFrame->setGraphicsEffect(pShadow);
        connect(card.pPage, SIGNAL(signal_ReturnMenu()), this, SLOT(slot_ReturnMenu()));
    }

    qRegisterMetaType<YmodemFileTransmit::YmodemStatus>("YmodemFileTransmit::YmodemStatus");
    const QSharedPointer<QSerialUser> pUser = QSerialUser::instance();
    // A failure's kind comes just before its result, by the same kind of
    // connection, so that each page has it when the result arrives.
    connect(pUser.data(), &QSerialUser::signal_FailureKind, ui->widgetInfo, &InfoWidget::slot_FailureKind);
    connect(pUser.data(), &QSerialUser::signal_SendResult, ui->widgetInfo, &InfoWidget::slot_SendResult);
    // Queued: the export page always takes its reports from the event queue.
    connect(pUser.data(), &QSerialUser::signal_FailureKind, ui->widgetExport, &ExportWidget::slot_FailureKind,
            Qt::QueuedConnection);
    connect(pUser.data(), &QSerialUser::signal_SendResult, ui->widgetExport, &ExportWidget::slot_SendResult,
            Qt::QueuedConnection);
    connect(pUser.data(), &QSerialUser::signal_FailureKind, ui->widgetUpgrade, &UpgradeWidget::slot_FailureKind);
    connect(pUser.data(), &QSerialUser::signal_SendResult, ui->widgetUpgrade, &UpgradeWidget::slot_SendResult);
    connect(pUser.data(), &QSerialUser::signal_TransmitProgress, ui->widgetUpgrade,
            &UpgradeWidget::slot_TransmitProgress);
    connect(pUser.data(), &QSerialUser::signal_TransmitStatus, ui->widgetUpgrade,
            &UpgradeWidget::slot_TransmitStatus);
    connect(pUser.data(), &QSerialUser::signal_UpgradeVerified, ui->widgetUpgrade,
            &UpgradeWidget::slot_UpgradeVerified);
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
    pDialog->move(mapToGlobal(QPoint(148, 52)));
    pDialog->show();
    // Opened from the keyboard, the list takes it at once.
    pDialog->TakeKeyboard(m_pFocusRing->KeyboardMode());
}

void MainForm::on_btnSupport_clicked()
{
    SupportEntry::Run(this);
}

// The language button centres its caption, whose width changes with the
// language: the support entry (its caption on the left) follows that
// caption's end, so the two read as a pair in every language.
void MainForm::PlaceSupportEntry()
{
    ui->btnLanguage->ensurePolished();
    const QFontMetrics metrics(ui->btnLanguage->font());
    const QRect language = ui->btnLanguage->geometry();
    const int nCaptionEnd = language.center().x() + (metrics.horizontalAdvance(ui->btnLanguage->text()) + 1) / 2;
    ui->btnSupport->move(nCaptionEnd + kTitleEntryGapPx, ui->btnSupport->y());
}

// The menu's captions break into lines to fit (in English, "Device
// Information"; in other languages others): a screen reader reads them as one.
void MainForm::NameMenuButtons()
{
    for (QPushButton *pButton : {ui->btnExport, ui->btnUpgrade, ui->btnInfo}) {
        pButton->setAccessibleName(pButton->text().simplified());
    }
}

void MainForm::on_btnMinimize_clicked()
{
    showMinimized();
}

void MainForm::on_btnClose_clicked()
{
    close();
}

void MainForm::on_btnExport_clicked()
{
    const bool bFocus = ShowPage(ui->pageExport);
    ui->widgetExport->ShowPathPage();
    if (bFocus) {
        PageKeys::FocusFirstControl(ui->widgetExport);
    }
}

void MainForm::on_btnUpgrade_clicked()
{
    const bool bFocus = ShowPage(ui->pageUpgrade);
    ui->widgetUpgrade->ShowPathPage();
    if (bFocus) {
        PageKeys::FocusFirstControl(ui->widgetUpgrade);
    }
}

void MainForm::on_btnInfo_clicked()
{
    ShowPage(ui->pageInfo);
    ui->widgetInfo->ClearInfo();
    // With the focus on the menu, the page gives it to the values it reads.
    ui->widgetInfo->StartReadInfo();
}

void MainForm::slot_ReturnMenu()
{
    QWidget *pButton = m_pMenuButton;
    if (ShowPage(ui->pageMenu) && pButton) {
        pButton->setFocus(Qt::OtherFocusReason);
    }
}

// A hidden page would hand its focus to the next control in the window (a
// screen reader would name it on the way): the focus leaves before, and the
// caller puts it on the new page. The menu button that opened a page has the
// focus again on return.
bool MainForm::ShowPage(QWidget *pPage)
{
    QWidget *pFocus = focusWidget();
    QWidget *pShown = ui->stackedWidget->currentWidget();
    const bool bFocusOnPage = pFocus && pShown->isAncestorOf(pFocus);
    if (pShown == ui->pageMenu && bFocusOnPage) {
        m_pMenuButton = pFocus;
    }
    if (bFocusOnPage) {
        pFocus->clearFocus();
    }
    ui->stackedWidget->setCurrentWidget(pPage);
    return bFocusOnPage;
}


void MainForm::slot_SetLanguage(int nLanguageId)
{
    SwitchLanguage(m_pTranslator, nLanguageId);
}

// The window has no frame of its own: a press anywhere that no child takes
// (the title band, the background, the margin) drags it.
bool MainForm::event(QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        const auto *pMouse = static_cast<QMouseEvent *>(event);
        if (pMouse->button() == Qt::LeftButton) {
            m_ptPress = pMouse->pos();
        }
    } else if (event->type() == QEvent::MouseMove) {
        const auto *pMouse = static_cast<QMouseEvent *>(event);
        if (pMouse->buttons() == Qt::LeftButton) {
            // From the mouse's place on the screen: a move the system has not
            // carried out yet when the next mouse move comes (a loaded
            // machine, Wine) would otherwise count twice, and the window
            // would run ahead of the mouse.
            move(pMouse->globalPos() - m_ptPress);
        }
    }
    return QMainWindow::event(event);
}

// A white body with a 10-pixel transparent margin, and eight rings of a
// fading grey-blue in that margin as the window's shadow.
void MainForm::paintEvent(QPaintEvent *event)
{
    Q_UNUSED(event);
    QPainterPath body;
    body.setFillRule(Qt::WindingFill);
    body.addRect(10, 10, width() - 20, height() - 20);

    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.fillPath(body, QBrush(Qt::white));

    QColor shadow(115, 128, 156);
    for (int i = 0; i < 8; ++i) {
        QPainterPath ring;
        ring.setFillRule(Qt::WindingFill);
#if QT_DEPRECATED_SINCE(5, 13)
        QT_WARNING_PUSH
        QT_WARNING_DISABLE_DEPRECATED
        ring.addRoundRect(10 - i, 10 - i, width() - 20 + 2 * i, height() - 20 + 2 * i, 2);
        QT_WARNING_POP
#else
        ring.addRoundedRect(10 - i, 10 - i, width() - 20 + 2 * i, height() - 20 + 2 * i, 2, 2, Qt::RelativeSize);
#endif
        const int nAlpha = int(140 - 50 * qSqrt(i));
        if (nAlpha > 0) {
            shadow.setAlpha(nAlpha);
        }
        painter.setPen(shadow);
        painter.drawPath(ring);
    }
}

void MainForm::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange) {
        ui->retranslateUi(this);
        PlaceSupportEntry();
        NameMenuButtons();
    }
    QMainWindow::changeEvent(event);
}

void MainForm::keyPressEvent(QKeyEvent *event)
{
    // Escape on a page with the focus in the title band: the page decides.
    QWidget *pPage = ui->stackedWidget->currentWidget() == ui->pageExport    ? ui->widgetExport
                     : ui->stackedWidget->currentWidget() == ui->pageUpgrade ? static_cast<QWidget *>(ui->widgetUpgrade)
                     : ui->stackedWidget->currentWidget() == ui->pageInfo    ? ui->widgetInfo
                                                                             : nullptr;
    if (pPage && event->key() == Qt::Key_Escape) {
        QCoreApplication::sendEvent(pPage, event);
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void MainForm::closeEvent(QCloseEvent *event)
{
    const QSharedPointer<QSerialUser> pUser = QSerialUser::instance();
    if (m_bClosingAfterCancel) {
        QMainWindow::closeEvent(event);
        return;
    }
    if (!pUser->IsUpgrading()) {
        // Nothing here needs asking: an export stops through its normal end
        // (its report keeps what arrived), the wait for the device's answer
        // after a completed transfer just ends, an information request runs
        // out. The window goes once the job has ended, while the event loop
        // still runs: the job's "Job end:" line is written on this thread
        // when the worker's end arrives, and after the loop nothing would
        // write it.
        if (!pUser->Interrupt(QStringLiteral("window closed"))) {
            QMainWindow::closeEvent(event);
            return;
        }
        CloseWhenIdle(pUser.data());
        event->ignore();
        return;
    }
    QMessageBox box(QMessageBox::Warning, windowTitle(),
                    tr("The upgrade is running. Closing now leaves the device in its boot loader until the next "
                       "upgrade."),
                    QMessageBox::NoButton, this);
    QPushButton *pClose = box.addButton(tr("Close anyway"), QMessageBox::DestructiveRole);
    QPushButton *pKeep = box.addButton(tr("Keep upgrading"), QMessageBox::RejectRole);
    box.setDefaultButton(pKeep);
    box.setEscapeButton(pKeep);
    box.exec();
    if (box.clickedButton() != pClose) {
        event->ignore();
        return;
    }
    // The upgrade may have ended while the question was open.
    if (!pUser->Interrupt(QStringLiteral("window closed"))) {
        QMainWindow::closeEvent(event);
        return;
    }
    // The cancel has to reach the line before the program ends: close once
    // the transfer has delivered its final status.
    CloseWhenIdle(pUser.data());
    event->ignore();
}

void MainForm::CloseWhenIdle(QSerialUser *pUser)
{
    m_bClosingAfterCancel = true;
    // Once: a window shown again later must not close at the next job's end.
    QObject::disconnect(m_closeWhenIdle);
    m_closeWhenIdle = connect(
        pUser, &QSerialUser::signal_Idle, this,
        [this]() {
            QObject::disconnect(m_closeWhenIdle);
            close();
            m_bClosingAfterCancel = false;
        },
        Qt::QueuedConnection);
}
