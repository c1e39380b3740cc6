#include "ui/supportentry.h"

#include "app/supportfile.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPointer>
#include <QScreen>
#include <QStandardPaths>

namespace {

// A line for each screen: name, size, scale and DPI, the primary marked.
QStringList ScreenLines()
{
    QStringList lines;
    const QList<QScreen *> screens = QGuiApplication::screens();
    for (const QScreen *pScreen : screens) {
        const QRect geometry = pScreen->geometry();
        lines << QStringLiteral("%1, %2x%3 at %4,%5, scale %6, %7 logical DPI%8")
                     .arg(pScreen->name().isEmpty() ? QStringLiteral("-") : pScreen->name())
                     .arg(geometry.width())
                     .arg(geometry.height())
                     .arg(geometry.x())
                     .arg(geometry.y())
                     .arg(pScreen->devicePixelRatio())
                     .arg(qRound(pScreen->logicalDotsPerInch()))
                     .arg(pScreen == QGuiApplication::primaryScreen() ? QStringLiteral(", primary") : QString());
    }
    return lines;
}

} // namespace

void SupportEntry::Run(QWidget *pWindow)
{
    const QString sDocuments = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    QFileDialog dialog(pWindow, tr("Save the support file"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(tr("Zip archives (*.zip)"));
    dialog.setDefaultSuffix(QStringLiteral("zip"));
    dialog.setDirectory(sDocuments);
    dialog.selectFile(SupportFile::DefaultName(QDateTime::currentDateTime()));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().value(0).isEmpty()) {
        return;
    }
    const QString sPath = dialog.selectedFiles().value(0);

    // The ports' in-use check keeps the window painting for up to a second;
    // the entry takes no second click meanwhile.
    // Disabled, the window lets its focus go: the entry has it again after.
    QPointer<QWidget> pFocus = pWindow->focusWidget();
    pWindow->setEnabled(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const SupportFile::Result result = SupportFile::Write(sPath, {QStringLiteral("kestrelpack"), true, ScreenLines()});
    QApplication::restoreOverrideCursor();
    pWindow->setEnabled(true);
    if (pFocus) {
        pFocus->setFocus(Qt::OtherFocusReason);
    }

    if (result.bWritten) {
        QMessageBox::information(pWindow, pWindow->windowTitle(),
                                 tr("The support file %1 has been written. Send it to support.")
                                     .arg(QFileInfo(result.sPath).fileName()));
    } else {
        QMessageBox::warning(pWindow, pWindow->windowTitle(),
                             tr("The support file could not be written: %1").arg(result.reason.sShown));
    }
}
