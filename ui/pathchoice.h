#ifndef PATHCHOICE_H
#define PATHCHOICE_H

#include <QObject>
#include <QString>

#include <functional>

class QLabel;
class QLineEdit;
class QWidget;

// The "Select path" link of the export and upgrade pages: a click on it (or
// Enter or Space while it has the focus) opens
// the folder dialog (reports) or the firmware file dialog at the place chosen
// last; the choice goes into the page's path field and is remembered for the
// next time. The dialog's title comes from the page, in its language.
class PathChoice : public QObject
{
public:
    enum class Kind
    {
        ReportFolder,
        FirmwareFile,
    };

    PathChoice(Kind eKind, QLabel *pLink, QLineEdit *pField, std::function<QString()> title, QWidget *pPage);

    // After a language change: the link's caption shortened to fit.
    void ShortenCaption();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The dialog; false when it was cancelled.
    bool Choose();

    Kind m_eKind;
    QLabel *m_pLink;
    QLineEdit *m_pField;
    std::function<QString()> m_title;
    QWidget *m_pPage;
};

#endif // PATHCHOICE_H
