#include "RecipientListModel.h"
#include "ScriptedPrompts.h"
#include "TempProgramFolder.h"
#include "TgParams.h"
#include "USelectFileName.h"
#include "Workbook.h"
#include "uit_DataBase.h"
#include "uit_SendSMS.h"
#include "webService.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QtTest>

namespace {

// Three sheets; the first has 4 columns and 3 rows, its first row titles.
QString writeThreeSheets(const QString &folder)
{
    nelvo::Workbook book;
    nelvo::Worksheet &first = book.sheet(1);
    const QStringList titles{QStringLiteral("姓名"), QStringLiteral("手机"), QStringLiteral("公司"),
                             QStringLiteral("备注")};
    for (int c = 1; c <= 4; ++c)
        first.setText(1, c, titles.at(c - 1));
    first.setText(2, 1, QStringLiteral("张三"));
    first.setNumber(2, 2, 13800138000.0);
    first.setText(3, 1, QStringLiteral("李四"));
    first.setText(3, 2, QStringLiteral("13900139000"));
    book.addSheet(QStringLiteral("第二页")).setText(1, 1, QStringLiteral("x"));
    nelvo::Worksheet &third = book.addSheet(QStringLiteral("sheet3"));
    for (int r = 1; r <= 10; ++r)
        third.setText(r, 2, QStringLiteral("v%1").arg(r));
    const QString path = folder + QStringLiteral("/three.xlsx");
    book.saveAs(path);
    return path;
}

QStringList headers(const QTreeWidget *list)
{
    QStringList result;
    for (int c = 0; c < list->columnCount(); ++c)
        result << list->headerItem()->text(c);
    return result;
}

QStringList comboItems(const QComboBox *box)
{
    QStringList result;
    for (int i = 0; i < box->count(); ++i)
        result << box->itemText(i);
    return result;
}

} // namespace

class TestSelectFileName : public QObject
{
    Q_OBJECT
    ScriptedPrompts *m_prompts = nullptr;
    QTemporaryDir m_dir;

private Q_SLOTS:
    void init() { m_prompts = ScriptedPrompts::install(); }

    void listsTheSheetsAndPreviewsTheFirst()
    {
        TfrmSelectFileName wizard;
        QVERIFY(wizard.OpenWorkbook(writeThreeSheets(m_dir.path())));
        QCOMPARE(wizard.ChkListBox_1->count(), 3);
        QCOMPARE(wizard.ChkListBox_1->item(1)->text(), QStringLiteral("第二页"));
        QCOMPARE(wizard.ChkListBox_1->currentRow(), 0);
        QCOMPARE(headers(wizard.lv_1), (QStringList{"A1", "A2", "A3", "A4"}));
        QCOMPARE(wizard.lv_1->topLevelItemCount(), 3);
        QCOMPARE(wizard.lv_1->topLevelItem(1)->text(1), QStringLiteral("13800138000"));

        wizard.chk_titleset->click();
        QCOMPARE(headers(wizard.lv_1), (QStringList{"姓名", "手机", "公司", "备注"}));
        QCOMPARE(wizard.lv_1->topLevelItemCount(), 2);
        QCOMPARE(comboItems(wizard.cbb_1), (QStringList{"姓名", "手机", "公司", "备注"}));
        wizard.chk_titleset->click();
        QCOMPARE(comboItems(wizard.cbb_1), (QStringList{"A1", "A2", "A3", "A4"}));

        // A long sheet previews six rows at most.
        wizard.ChkListBox_1->setCurrentRow(2);
        Q_EMIT wizard.ChkListBox_1->itemClicked(wizard.ChkListBox_1->item(2));
        QCOMPARE(wizard.lv_1->topLevelItemCount(), 6);
        QCOMPARE(headers(wizard.lv_1), (QStringList{"A1", "A2"}));
    }

    void nextBackAndFinish()
    {
        TfrmSelectFileName wizard;
        wizard.show();
        QVERIFY(wizard.OpenWorkbook(writeThreeSheets(m_dir.path())));
        QVERIFY(!wizard.Button2->isEnabled());
        QCOMPARE(wizard.Button3->text(), QStringLiteral("下一步(&N)"));
        wizard.Button3->click();
        QCOMPARE(wizard.Step, 1);
        QCOMPARE(wizard.Button3->text(), QStringLiteral("完成(&F)"));
        QVERIFY(wizard.Button2->isEnabled());
        QVERIFY(!wizard.ChkListBox_1->isVisible());
        QVERIFY(wizard.cbb_1->isVisible());
        QCOMPARE(wizard.cbb_1->count(), 4);
        wizard.Button2->click();
        QCOMPARE(wizard.Step, 0);
        QVERIFY(wizard.ChkListBox_1->isVisible());
        QCOMPARE(wizard.Button3->text(), QStringLiteral("下一步(&N)"));
        // Another sheet, then next again: the choice follows that sheet.
        wizard.ChkListBox_1->setCurrentRow(2);
        Q_EMIT wizard.ChkListBox_1->itemClicked(wizard.ChkListBox_1->item(2));
        wizard.Button3->click();
        QCOMPARE(comboItems(wizard.cbb_1), (QStringList{"A1", "A2"}));
        wizard.cbb_1->setCurrentIndex(1);
        wizard.Button3->click();
        QCOMPARE(wizard.result(), int(QDialog::Accepted));
        QCOMPARE(wizard.Step, 0);
        QCOMPARE(wizard.ChosenColumn(), 2);
        QCOMPARE(wizard.LastUsedRow(), 10);
        QCOMPARE(wizard.Workbook()->activeSheet().text(10, 2), QStringLiteral("v10"));
    }

    void aFileThatDoesNotOpenLeavesOnlyCancel_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("not a workbook") << QByteArray("just some text\x01\x02 that is no spreadsheet");
        QTest::newRow("truncated xlsx") << QByteArray("PK\x03\x04\x14\x00\x00\x00", 8);
    }
    void aFileThatDoesNotOpenLeavesOnlyCancel()
    {
        QFETCH(QByteArray, content);
        const QString path = m_dir.path() + QStringLiteral("/broken.xlsx");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
        file.close();
        TfrmSelectFileName wizard;
        wizard.show();
        QVERIFY(!wizard.OpenWorkbook(path));
        QCOMPARE(m_prompts->last()->caption, QStringLiteral("错误"));
        QVERIFY(m_prompts->last()->text.startsWith(QStringLiteral("打开文件失败！")));
        QCOMPARE(m_prompts->last()->icon, nelvo::Prompts::Icon::Error);
        QCOMPARE(wizard.ChkListBox_1->count(), 0);
        wizard.Button3->click();
        QVERIFY(wizard.isVisible());
        QCOMPARE(wizard.Step, 0);
        wizard.Button4->click();
        QCOMPARE(wizard.result(), int(QDialog::Rejected));
    }

    void theComposeWindowImportsTheChosenColumn()
    {
        TempProgramFolder folder;
        gParams = TgParams{};
        gParams.ChannelLength = 70;
        gParams.SmsLengths = {70, 70, 70, 56};
        nelvo::Workbook book;
        nelvo::Worksheet &sheet = book.sheet(1);
        sheet.setText(1, 2, QStringLiteral("手机号码"));
        for (int r = 2; r <= 101; ++r)
            sheet.setNumber(r, 2, 13800000000.0 + r);
        sheet.setText(50, 2, QStringLiteral("not a number"));
        sheet.setText(51, 2, QStringLiteral("01012345678"));
        const QString path = m_dir.path() + QStringLiteral("/numbers.xls");
        book.saveAs(path);

        TwebInterFace web(TwebInterFace::StatusPanel(), folder.bin() + QStringLiteral("libnelvogate.so"));
        TdmData data;
        TfrmSendSMS window(web, data, nullptr);
        m_prompts->queueText(path);
        QTimer::singleShot(0, &window, [] {
            auto *wizard = qobject_cast<TfrmSelectFileName *>(QApplication::activeModalWidget());
            if (!wizard)
                return;
            wizard->chk_titleset->click();
            wizard->Button3->click();
            wizard->cbb_1->setCurrentIndex(1);
            wizard->Button3->click();
            // Should the workbook not open, Next does nothing: leave by cancel instead of hanging.
            if (wizard->isVisible())
                wizard->Button4->click();
        });
        window.btnExcelImport->click();
        QVERIFY(window.btnExcelImport->isEnabled());
        QCOMPARE(window.List().Count(), 99);
        QCOMPARE(window.lblMobileCount->text(), QStringLiteral("99"));
        QCOMPARE(window.List().Number(0), QStringLiteral("01012345678"));
        QCOMPARE(window.Composer().ContentLimit(), 56);
    }
};

QTEST_MAIN(TestSelectFileName)
#include "tst_selectfilename.moc"
