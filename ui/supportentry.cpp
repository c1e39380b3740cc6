#include "ui/supportentry.h"

#include "app/supportfile.h"

#include <QApplication>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QStandardPaths>

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
    pWindow->setEnabled(false);
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const SupportFile::Result result = SupportFile::Write(sPath, QStringLiteral("kestrelpack"));
    QApplication::restoreOverrideCursor();
    pWindow->setEnabled(true);

    if (result.bWritten) {
        QMessageBox::information(pWindow, pWindow->windowTitle(),
                                 tr("The support file %1 has been written. Send it to support.")
                                     .arg(QFileInfo(result.sPath).fileName()));
    } else {
        QMessageBox::warning(pWindow, pWindow->windowTitle(),
                             tr("The support file could not be written: %1").arg(result.reason.sShown));
    }
}
