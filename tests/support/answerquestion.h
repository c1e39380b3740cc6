#ifndef ANSWERQUESTION_H
#define ANSWERQUESTION_H

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>

// Answers the next question box that opens (a modal QMessageBox) with the
// button captioned sAnswer, as a technician would; the box's text goes to
// *pQuestion. For widget tests only.
inline void AnswerNextQuestion(const QString &sAnswer, QString *pQuestion)
{
    auto *pTimer = new QTimer;
    QObject::connect(pTimer, &QTimer::timeout, pTimer, [pTimer, sAnswer, pQuestion]() {
        const QList<QWidget *> windows = QApplication::topLevelWidgets();
        for (QWidget *pWidget : windows) {
            auto *pBox = qobject_cast<QMessageBox *>(pWidget);
            if (!pBox || !pBox->isVisible()) {
                continue;
            }
            *pQuestion = pBox->text();
            const QList<QAbstractButton *> buttons = pBox->buttons();
            for (QAbstractButton *pButton : buttons) {
                if (pButton->text() == sAnswer) {
                    pButton->click();
                }
            }
            pTimer->deleteLater();
            return;
        }
    });
    pTimer->start(50);
}

#endif // ANSWERQUESTION_H
