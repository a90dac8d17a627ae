#pragma once

#include "Worksheet.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace nelvo {

// A workbook in memory, read from or written to .xls, .xlsx or .csv. It takes the place of a spreadsheet
// application driven by automation: creating the object starts the work, destroying it ends it, and
// nothing is ever written to a file except by saveAs. Sheets count from 1. Failures raise
// SpreadsheetError with a message that names the file.
class Workbook
{
public:
    // A new workbook with one empty sheet named "sheet1".
    Workbook();
    ~Workbook();
    Workbook(Workbook &&) noexcept;
    Workbook &operator=(Workbook &&) noexcept;

    // Reads a workbook; the format is found from the file's content (.xls and .xlsx) or its name (.csv).
    static Workbook open(const QString &path);
    // A new, unnamed workbook holding the sheets of the file; saving it never touches that file.
    static Workbook basedOn(const QString &path);

    const QString &fileName() const { return m_fileName; }

    int sheetCount() const { return static_cast<int>(m_sheets.size()); }
    QStringList sheetNames() const;
    Worksheet &sheet(int index);
    const Worksheet &sheet(int index) const;
    Worksheet &addSheet(const QString &name);

    Worksheet &activeSheet() { return sheet(m_active); }
    int activeSheetIndex() const { return m_active; }
    void activate(int index);

    // The format follows the extension: .xlsx, .csv, anything else the classic .xls. A .csv holds the
    // active sheet only. The file is replaced only once the new one is complete.
    void saveAs(const QString &path);

    // Where the cells' text lives, for the readers of this library.
    CellArena &arena() { return *m_arena; }

    // Drops the contents; the object is an empty new workbook afterwards.
    void close();

private:
    static Workbook read(const QString &path);

    std::unique_ptr<CellArena> m_arena;
    std::vector<std::unique_ptr<Worksheet>> m_sheets;
    int m_active = 1;
    QString m_fileName;
};

} // namespace nelvo
