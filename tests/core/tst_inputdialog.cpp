#include "Prompts.h"
#include "QtPrompts.h"
#include "WidgetHelpers.h"
#include "uit_Input.h"

#include <QClipboard>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QtTest>

namespace {
// QTest::keyClicks knows only ASCII; a typed Chinese character arrives as a key event carrying its text.
void typeText(QWidget *widget, const QString &text)
{
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
}
} // namespace

class TestInputDialog : public QObject
{
    Q_OBJECT

    // Runs `drive` on the dialog once it is shown modally, then returns what InputText returned.
    static QString askWhile(const QString &initial, int maxLen, const std::function<void(TfrmInput *)> &drive)
    {
        QTimer::singleShot(0, [drive] {
            TfrmInput *dialog = TfrmInput::Current();
            QVERIFY(dialog && dialog->isVisible());
            drive(dialog);
        });
        return InputText(QStringLiteral("新增短语"), QStringLiteral("请输入短语"), initial, maxLen);
    }

private Q_SLOTS:
    void initTestCase() { nelvo::installPrompts(std::make_unique<QtPrompts>()); }

    void typingStopsAtTheLimitButEditingGoesOn()
    {
        const QString full(70, QLatin1Char('x'));
        const QString result = askWhile(full, 70, [](TfrmInput *dialog) {
            dialog->memInput->setFocus();
            dialog->memInput->moveCursor(QTextCursor::End);
            QTest::keyClicks(dialog->memInput, QStringLiteral("yz"));
            QCOMPARE(dialog->memInput->toPlainText().size(), 70);
            QCOMPARE(dialog->lblLength->text(), QStringLiteral("已经输入70字"));
            QTest::keyClick(dialog->memInput, Qt::Key_Backspace);
            typeText(dialog->memInput, QStringLiteral("中文"));
            QCOMPARE(dialog->lblLength->text(), QStringLiteral("已经输入70字"));
            dialog->btnOk->click();
        });
        QCOMPARE(result, QString(69, QLatin1Char('x')) + QStringLiteral("中"));
    }

    void pasteBelowTheLimitMayPassIt()
    {
        QGuiApplication::clipboard()->setText(QStringLiteral("12345"));
        const QString result = askWhile(QString(68, QLatin1Char('x')), 70, [](TfrmInput *dialog) {
            dialog->memInput->moveCursor(QTextCursor::End);
            QTest::keyClick(dialog->memInput, Qt::Key_V, Qt::ControlModifier);
            QCOMPARE(dialog->memInput->toPlainText().size(), 73);
            QTest::keyClick(dialog->memInput, Qt::Key_V, Qt::ControlModifier);
            QTest::keyClicks(dialog->memInput, QStringLiteral("a"));
            QCOMPARE(dialog->memInput->toPlainText().size(), 73);
            dialog->btnOk->click();
        });
        QCOMPARE(result.size(), 73);
    }

    void cancelAndCloseBoxGiveEmptyText_data()
    {
        QTest::addColumn<bool>("viaCloseBox");
        QTest::newRow("cancel") << false;
        QTest::newRow("close box") << true;
    }
    void cancelAndCloseBoxGiveEmptyText()
    {
        QFETCH(bool, viaCloseBox);
        const QString result = askWhile(QStringLiteral("默认"), 160, [viaCloseBox](TfrmInput *dialog) {
            QCOMPARE(dialog->windowTitle(), QStringLiteral("新增短语"));
            QCOMPARE(dialog->lblHint->text(), QStringLiteral("请输入短语"));
            if (viaCloseBox)
                dialog->close();
            else
                dialog->btnCancel->click();
        });
        QCOMPARE(result, QString());
    }

    void uniqueNodeTextLooksAtEveryLevel()
    {
        QTreeWidget tree;
        QVERIFY(IsUniqueNodeText(&tree, QStringLiteral("同事")));
        auto *top = new QTreeWidgetItem(&tree, {QStringLiteral("全部")});
        new QTreeWidgetItem(top, {QStringLiteral("同事")});
        QVERIFY(!IsUniqueNodeText(&tree, QStringLiteral("全部")));
        QVERIFY(!IsUniqueNodeText(&tree, QStringLiteral("同事")));
        QVERIFY(IsUniqueNodeText(&tree, QStringLiteral("同学")));
    }
};

QTEST_MAIN(TestInputDialog)
#include "tst_inputdialog.moc"
