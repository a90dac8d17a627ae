#pragma once

#include <QDialog>

#include <memory>

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QTreeWidget;

namespace nelvo {
class Workbook;
class Worksheet;
} // namespace nelvo

// The import wizard: opens a workbook, lets the user pick a sheet, say whether its first row holds titles,
// look at its first rows, and choose the column of the mobile numbers. It reads no data for the caller:
// after OK the chosen sheet is active in Workbook() and the caller reads the cells it needs.
class TfrmSelectFileName : public QDialog
{
    Q_OBJECT
public:
    explicit TfrmSelectFileName(QWidget *parent = nullptr);
    ~TfrmSelectFileName() override;

    // Opens the workbook; a file that cannot be read gives the box "打开文件失败！" and an empty wizard.
    bool OpenWorkbook(const QString &path);
    // The open workbook, or null when opening failed or the wizard was cancelled.
    nelvo::Workbook *Workbook() const { return m_book.get(); }
    // Closes the workbook (the wizard's cancel and the caller after reading).
    void CloseWorkbook();

    // What the caller reads after OK.
    int ChosenColumn() const;
    bool TitleRow() const;
    int LastUsedRow() const;

    QLabel *Label2;
    QLabel *Label1;
    QListWidget *ChkListBox_1;
    QCheckBox *chk_titleset;
    QTreeWidget *lv_1;
    QLabel *lbl_1;
    QComboBox *cbb_1;
    QPushButton *Button2;
    QPushButton *Button3;
    QPushButton *Button4;
    int Step = 0;

    void Button2Click();
    void Button3Click();
    void Button4Click();

private:
    void BuildPreview(int sheet);
    void FillColumnChoice();
    void ShowStep();
    void sheetClicked();
    void titleSetClicked();
    int selectedSheet() const;
    nelvo::Worksheet *activeSheet() const;

    std::unique_ptr<nelvo::Workbook> m_book;
};
