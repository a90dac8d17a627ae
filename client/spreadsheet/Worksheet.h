#pragma once

#include "CellStore.h"

#include <QMap>
#include <QString>
#include <QVariant>

class QSqlQuery;

namespace nelvo {

// A cell position as the spreadsheet counts it: row 1, column 1 is A1.
struct CellRef
{
    int row = 1;
    int column = 1;
};

// One sheet of a Workbook. Rows and columns count from 1, as in the spreadsheet application.
class Worksheet
{
public:
    Worksheet(CellArena &arena, QString name) : m_cells(arena), m_name(std::move(name)) {}

    const QString &name() const { return m_name; }

    // The bottom-right corner of the cells that hold a value; A1 on an empty sheet.
    CellRef lastUsedCell() const;

    // The cell as a person sees it; empty for an empty cell or a position outside the sheet.
    QString text(int row, int column) const;

    // Empty text clears the cell. Positions outside 1..1048576 x 1..16384 raise SpreadsheetError.
    void setText(int row, int column, const QString &text);
    void setNumber(int row, int column, double value);
    // Numbers, dates, times, booleans and text as their own kinds; a null value clears the cell.
    // In a column with the text format "@", every value is stored as its text.
    void setValue(int row, int column, const QVariant &value);

    // `columns` like "C:C" or "B:D"; `format` a number format code, "@" for text, "General" to reset.
    void setColumnFormat(const QString &columns, const QString &format);
    QString columnFormat(int column) const;

    // Widths in characters; 0 leaves the application's default.
    void setColumnWidth(int column, double width);
    double columnWidth(int column) const;
    void autoFitColumns();

    // Column names in the top row at `topLeft`, one row per record below, widths fitted. Reads the query
    // from its first record to its end and leaves it there.
    void placeQueryResult(QSqlQuery &query, const QString &topLeft = QStringLiteral("A1"));

    // Rows repeated at the top of each continuation sheet when a sheet outgrows the .xls row limit.
    int titleRows() const { return m_titleRows; }
    void setTitleRows(int rows) { m_titleRows = rows; }

    // The cells themselves, for the readers and writers of this library.
    SheetCells &cells() { return m_cells; }
    const SheetCells &cells() const { return m_cells; }
    const QMap<int, QString> &columnFormats() const { return m_columnFormats; }

private:
    SheetCells m_cells;
    QString m_name;
    QMap<int, QString> m_columnFormats; // column from 1 -> format code
    QMap<int, double> m_columnWidths;   // column from 1 -> width in characters
    int m_titleRows = 0;
};

// Parses "A1" style references; false for anything else.
bool parseCellName(const QString &name, CellRef *ref);

} // namespace nelvo
