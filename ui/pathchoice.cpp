#include "ui/pathchoice.h"

#include "app/settings.h"
#include "ui/linkcaption.h"

#include <QEvent>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>

PathChoice::PathChoice(Kind eKind, QLabel *pLink, QLineEdit *pField, std::function<QString()> title, QWidget *pPage)
    : QObject(pPage), m_eKind(eKind), m_pLink(pLink), m_pField(pField), m_title(std::move(title)), m_pPage(pPage)
{
    m_pLink->installEventFilter(this);
}

void PathChoice::ShortenCaption()
{
    LinkCaption::Shorten(m_pLink);
}

bool PathChoice::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_pLink || event->type() != QEvent::MouseButtonPress) {
        return QObject::eventFilter(watched, event);
    }
    // The upgrade's setting holds the file itself, so the dialog opens on it.
    const QString sPath = m_eKind == Kind::ReportFolder
                              ? QFileDialog::getExistingDirectory(m_pPage, m_title(), Settings::ExportDir(),
                                                                  QFileDialog::ShowDirsOnly)
                              : QFileDialog::getOpenFileName(m_pPage, m_title(), Settings::UpgradeDir(),
                                                             QStringLiteral("(*.bin)"));
    if (sPath.isEmpty()) {
        return true;
    }
    m_pField->setText(sPath);
    if (m_eKind == Kind::ReportFolder) {
        Settings::SetExportDir(sPath);
    } else {
        Settings::SetUpgradeDir(sPath);
    }
    return QObject::eventFilter(watched, event);
}
