#include "app/fonts.h"
#include "app/language.h"
#include "app/languagedialog.h"
#include "app/languageitemwidget.h"
#include "app/settings.h"
#include "ui/mainform.h"

#include "apptesthelpers.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontInfo>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QtTest>

namespace {

const QColor kBlue(0x2E, 0x85, 0xFA);
const QColor kGrey(0x99, 0x99, 0x99);

struct Row
{
    LanguageItemWidget *pWidget = nullptr;
    QWidget *pItem = nullptr;
    QLabel *pName = nullptr;
    QLabel *pTick = nullptr;
};

QList<Row> Rows(LanguageDialog *pDialog)
{
    QList<Row> rows;
    auto *pList = pDialog->findChild<QListWidget *>(QStringLiteral("listWidget"));
    if (!pList) {
        return rows;
    }
    for (int i = 0; i < pList->count(); ++i) {
        Row row;
        row.pWidget = qobject_cast<LanguageItemWidget *>(pList->itemWidget(pList->item(i)));
        if (row.pWidget) {
            row.pItem = row.pWidget->findChild<QWidget *>(QStringLiteral("itemWidget"));
            row.pName = row.pWidget->findChild<QLabel *>(QStringLiteral("labelLanguaue"));
            row.pTick = row.pWidget->findChild<QLabel *>(QStringLiteral("labelTick"));
        }
        rows.append(row);
    }
    return rows;
}

QColor TextColour(QLabel *pLabel)
{
    pLabel->ensurePolished();
    return pLabel->palette().color(pLabel->foregroundRole());
}

// The colour of the row's bottom line, as drawn.
QColor BottomLine(QWidget *pItem)
{
    const QImage image = pItem->grab().toImage();
    return image.pixelColor(image.width() / 2, image.height() - 1);
}

// The list's own colour behind a row: white, whether the row is current,
// selected or neither (the tick and the text colour mark the language).
QColor ItemBackground(LanguageDialog *pDialog, int nRow)
{
    auto *pList = pDialog->findChild<QListWidget *>(QStringLiteral("listWidget"));
    // As in use: the pop-up is the active window and its list has the focus.
    QApplication::setActiveWindow(pDialog);
    pList->setFocus();
    const QRect rect = pList->visualItemRect(pList->item(nRow));
    return pList->viewport()->grab().toImage().pixelColor(rect.right() - 4, rect.top() + 4);
}

// Only this row shows the tick and the blue text.
void VerifyOnlyTicked(const QList<Row> &rows, int nTicked)
{
    for (int i = 0; i < rows.size(); ++i) {
        const bool bTicked = i == nTicked;
        QVERIFY2(rows[i].pTick->isVisibleTo(rows[i].pWidget) == bTicked, qPrintable(QString::number(i)));
        QVERIFY2(TextColour(rows[i].pName) == (bTicked ? kBlue : kGrey), qPrintable(QString::number(i)));
    }
}

LanguageDialog *OpenDialog(MainForm &window)
{
    QPushButton *pButton = window.findChild<QPushButton *>(QStringLiteral("btnLanguage"));
    if (!pButton) {
        return nullptr;
    }
    QTest::mouseClick(pButton, Qt::LeftButton);
    const QList<LanguageDialog *> dialogs = window.findChildren<LanguageDialog *>();
    return dialogs.size() == 1 ? dialogs.first() : nullptr;
}

} // namespace

// The language pop-up, opened from the main window, and the interface font.
class LanguageDialogTest : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase()
    {
        InitFont();
        QVERIFY(m_settings.IsValid());
    }
    void init()
    {
        SwitchLanguage(&g_translator, 3);
        QCOMPARE(g_nLanguageId, 3);
    }

    void styleSheetFamilyResolvesToEmbeddedFaces()
    {
        // The three faces are one family; the style sheets' name maps onto it.
        // (Family names compare without case: the substitution table keeps
        // them lower-case.)
        const QStringList families = Fonts::RegisterEmbeddedFaces();
        QCOMPARE(families.size(), 3);
        QVERIFY2(!families[0].isEmpty(), "the regular face did not register");
        QCOMPARE(families[1], families[0]);
        QCOMPARE(families[2], families[0]);
        QCOMPARE(QFont::substitute(QStringLiteral("PingFang SC")).toLower(), families[0].toLower());
        QFont font(QStringLiteral("PingFang SC"));
        font.setPixelSize(12);
        QCOMPARE(QFontInfo(font).family().toLower(), families[0].toLower());
    }

    void opensWithTheCurrentLanguageTicked()
    {
        MainForm window;
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        LanguageDialog *pDialog = OpenDialog(window);
        QVERIFY(pDialog);
        QCOMPARE(pDialog->pos(), window.mapToGlobal(QPoint(0, 0)) + QPoint(148, 52));
        QVERIFY(pDialog->isVisible());
        QCOMPARE(int(pDialog->windowFlags()), int(Qt::Window | Qt::FramelessWindowHint));
        QVERIFY(pDialog->testAttribute(Qt::WA_DeleteOnClose));

        const QList<Row> rows = Rows(pDialog);
        QCOMPARE(rows.size(), 8);
        const QStringList names = {QStringLiteral("简体中文"), QStringLiteral("English"), QStringLiteral("Français"),
                                   QStringLiteral("Deutsch"),  QStringLiteral("español"), QStringLiteral("Italiano"),
                                   QStringLiteral("Русский"),  QStringLiteral("Polski")};
        for (int i = 0; i < rows.size(); ++i) {
            QVERIFY(rows[i].pWidget && rows[i].pItem && rows[i].pName && rows[i].pTick);
            QCOMPARE(rows[i].pName->text(), names[i]);
            // A grey separator under every row but the last.
            QCOMPARE(BottomLine(rows[i].pItem), i == 7 ? QColor(Qt::white) : QColor(0xF3, 0xF3, 0xF3));
        }
        VerifyOnlyTicked(rows, 3);
        QCOMPARE(ItemBackground(pDialog, 0), QColor(Qt::white)); // the current item
        const QPixmap tick = rows[3].pTick->pixmap(Qt::ReturnByValue);
        QVERIFY(!tick.isNull());
        QCOMPARE(tick.size(), QSize(20, 20));
    }

    void clickTicksTheRowAndSwitchesTheLanguage()
    {
        MainForm window;
        window.SetTranslator(&g_translator);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        auto *pButton = window.findChild<QPushButton *>(QStringLiteral("btnLanguage"));
        const QString sGerman = pButton->text();

        LanguageDialog *pDialog = OpenDialog(window);
        QVERIFY(pDialog);
        QPointer<LanguageDialog> guard(pDialog);
        QSignalSpy chosen(pDialog, &LanguageDialog::signal_SetLanguage);
        const QList<Row> rows = Rows(pDialog);
        QCOMPARE(rows.size(), 8);

        // A press on the name label reaches the row through the label.
        QTest::mouseClick(rows[7].pName, Qt::LeftButton, {}, QPoint(5, 5));
        QCOMPARE(chosen.count(), 1);
        QCOMPARE(chosen.takeFirst().at(0).toInt(), 7);
        VerifyOnlyTicked(rows, 7);
        QCOMPARE(ItemBackground(pDialog, 7), QColor(Qt::white)); // now selected
        QCOMPARE(g_nLanguageId, 7);
        QCOMPARE(Settings::LanguageValue(), 7);
        const QString sPolish = AppTest::TranslatedBy(QStringLiteral("Language_pl"), "MainForm", "Language");
        QVERIFY(sPolish != sGerman);
        QTRY_COMPARE(pButton->text(), sPolish);
        QCOMPARE(window.windowTitle(), QStringLiteral("Kestrelpack"));

        // The pop-up stays and keeps its native names; any button counts.
        QVERIFY(guard);
        QCOMPARE(rows[3].pName->text(), QStringLiteral("Deutsch"));
        QTest::mouseClick(rows[1].pItem, Qt::RightButton, {}, QPoint(60, 20));
        QCOMPARE(chosen.count(), 1);
        QCOMPARE(chosen.takeFirst().at(0).toInt(), 1);
        VerifyOnlyTicked(rows, 1);
        // The ticked row again: sent again, stored again.
        Settings::SetLanguageValue(4);
        QTest::mouseClick(rows[1].pItem, Qt::LeftButton, {}, QPoint(60, 20));
        QCOMPARE(chosen.count(), 1);
        VerifyOnlyTicked(rows, 1);
        QCOMPARE(Settings::LanguageValue(), 1);
        QTRY_COMPARE(pButton->text(), QStringLiteral("Language"));
    }

    void closesAndDeletesItselfWhenDeactivated()
    {
        MainForm window;
        window.SetTranslator(&g_translator);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QApplication::setActiveWindow(&window);

        QPointer<LanguageDialog> first = OpenDialog(window);
        QVERIFY(first);
        QApplication::setActiveWindow(first);
        QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget *>(first.data()));
        QTest::mouseClick(Rows(first)[5].pItem, Qt::LeftButton, {}, QPoint(60, 20));
        QVERIFY(first && first->isVisible()); // a choice does not close it

        // Back to the main window: the pop-up goes, and a new click opens a fresh one.
        QApplication::setActiveWindow(&window);
        QTRY_VERIFY(first.isNull());
        QPointer<LanguageDialog> second = OpenDialog(window);
        QVERIFY(second);
        const QList<Row> rows = Rows(second);
        VerifyOnlyTicked(rows, 5);
        QCOMPARE(window.findChildren<LanguageDialog *>().size(), 1);
        QApplication::setActiveWindow(second);
        QTRY_COMPARE(QApplication::activeWindow(), static_cast<QWidget *>(second.data()));
        QApplication::setActiveWindow(&window);
        QTRY_VERIFY(second.isNull());
    }

private:
    AppTest::TemporarySettings m_settings;
};

QTEST_MAIN(LanguageDialogTest)
#include "tst_languagedialog.moc"
