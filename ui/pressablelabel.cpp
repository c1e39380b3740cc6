#include "ui/pressablelabel.h"

#include <QAccessibleWidget>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QTextDocumentFragment>

namespace {

constexpr char kPressable[] = "kpPressable";

class PressableAccessible : public QAccessibleWidget
{
public:
    explicit PressableAccessible(QLabel *pLabel) : QAccessibleWidget(pLabel, QAccessible::Button) {}

    QString text(QAccessible::Text t) const override
    {
        const QString sText = QAccessibleWidget::text(t);
        if (t != QAccessible::Name || !sText.isEmpty()) {
            return sText;
        }
        return QTextDocumentFragment::fromHtml(static_cast<QLabel *>(widget())->text()).toPlainText();
    }
    QStringList actionNames() const override
    {
        return QStringList(pressAction()) + QAccessibleWidget::actionNames();
    }
    void doAction(const QString &sAction) override
    {
        if (sAction != pressAction()) {
            QAccessibleWidget::doAction(sAction);
            return;
        }
        // Later: the action comes from the bridge, and the press opens a
        // dialog with its own event loop.
        QCoreApplication::postEvent(widget(), new QKeyEvent(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier));
    }
};

QAccessibleInterface *Factory(const QString &, QObject *pObject)
{
    auto *pLabel = qobject_cast<QLabel *>(pObject);
    if (pLabel && pLabel->property(kPressable).toBool()) {
        return new PressableAccessible(pLabel);
    }
    return nullptr;
}

} // namespace

namespace PressableLabel {

void Mark(QLabel *pLabel)
{
    static const bool bInstalled = (QAccessible::installFactory(Factory), true);
    Q_UNUSED(bInstalled);
    pLabel->setProperty(kPressable, true);
    // The form's texts have already made the label's plain interface (a text
    // change is announced): it goes, and the next query builds this one.
    QAccessibleInterface *pOld = QAccessible::queryAccessibleInterface(pLabel);
    if (pOld && !dynamic_cast<PressableAccessible *>(pOld)) {
        QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(pOld));
    }
}

bool IsPressKey(const QKeyEvent *pEvent)
{
    const Qt::KeyboardModifiers modifiers = pEvent->modifiers() & ~Qt::KeypadModifier;
    return modifiers == Qt::NoModifier && !pEvent->isAutoRepeat()
           && (pEvent->key() == Qt::Key_Return || pEvent->key() == Qt::Key_Enter || pEvent->key() == Qt::Key_Space);
}

} // namespace PressableLabel
