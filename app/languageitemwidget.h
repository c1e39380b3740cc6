#ifndef LANGUAGEITEMWIDGET_H
#define LANGUAGEITEMWIDGET_H

#include <QWidget>

namespace Ui {
class LanguageItemWidget;
}

// One row of the language list: the language's own name and, on the current
// language, a blue tick and blue text. A press anywhere on the row marks it
// and reports its id.
class LanguageItemWidget : public QWidget
{
    Q_OBJECT

public:
    explicit LanguageItemWidget(QWidget *parent = nullptr);
    ~LanguageItemWidget() override;

    // bShowBottomLine false gives the last row: no separator under it.
    void SetItemInfo(const QString &sName, int nLanguageId, bool bSelected, bool bShowBottomLine);

    bool eventFilter(QObject *watched, QEvent *event) override;

    // What a click on the row does: marks it alone and reports its language.
    void Choose();
    // The part of the row that the keyboard's ring goes around.
    QWidget *RingTarget() const;

signals:
    // Asks every row of the list to show itself as not selected.
    void signal_SetStatus();
    void signal_SetLanguage(int nLanguageId);

public slots:
    void slot_SetStatus();

private:
    void ShowSelected(bool bSelected);

    Ui::LanguageItemWidget *ui;
    int m_nLanguageId;
};

#endif // LANGUAGEITEMWIDGET_H
