#include "ui/pathchoice.h"

#include "app/settings.h"
#include "ui/focusring.h"
#include "ui/linkcaption.h"
#include "ui/pagekeys.h"
#include "ui/pressablelabel.h"

#include <QEvent>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

PathChoice::PathChoice(Kind eKind, QLabel *pLink, QLineEdit *pField, std::function<QString()> title, QWidget *pPage)
    : QObject(pPage), m_eKind(eKind), m_pLink(pLink), m_pField(pField), m_title(std::move(title)), m_pPage(pPage)
{
    // Reached by Tab like a button (its form gives it the focus), and
    // announced as one.
    PressableLabel::Mark(m_pLink);
    m_pLink->setProperty(FocusRing::kHugsCaption, int(m_pLink->alignment() & Qt::AlignHorizontal_Mask));
    m_pLink->installEventFilter(this);
}

void PathChoice::ShortenCaption()
{
    LinkCaption::Shorten(m_pLink);
}

bool PathChoice::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_pLink) {
        return QObject::eventFilter(watched, event);
    }
    if (event->type() == QEvent::KeyPress && PressableLabel::IsPressKey(static_cast<QKeyEvent *>(event))) {
        Choose();
        return true;
    }
    if (event->type() != QEvent::MouseButtonPress) {
        return QObject::eventFilter(watched, event);
    }
    // A cancelled dialog takes the press; a choice lets the label have it.
    return !Choose() || QObject::eventFilter(watched, event);
}

bool PathChoice::Choose()
{
    // The upgrade's setting holds the file itself, so the dialog opens on it.
    const QString sPath = m_eKind == Kind::ReportFolder
                              ? QFileDialog::getExistingDirectory(m_pPage, m_title(), Settings::ExportDir(),
                                                                  QFileDialog::ShowDirsOnly)
                              : QFileDialog::getOpenFileName(m_pPage, m_title(), Settings::UpgradeDir(),
                                                             QStringLiteral("(*.bin)"));
    // The keys work on in the window, on the link.
    PageKeys::ActivateWindowOf(m_pPage);
    if (sPath.isEmpty()) {
        return false;
    }
    m_pField->setText(sPath);
    if (m_eKind == Kind::ReportFolder) {
        Settings::SetExportDir(sPath);
    } else {
        Settings::SetUpgradeDir(sPath);
    }
    return true;
}
