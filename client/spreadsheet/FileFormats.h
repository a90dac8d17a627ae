#pragma once

#include <QString>

namespace nelvo {

class Workbook;
class Worksheet;

// Each reader adds the file's sheets to an empty workbook; each writer replaces `path` only when the
// whole file could be written. Faults raise FileProblem.
void readXls(const QString &path, Workbook &workbook);
void readXlsx(const QString &path, Workbook &workbook);
void readCsv(const QString &path, Workbook &workbook);

void writeXls(const Workbook &workbook, const QString &path);
void writeXlsx(const Workbook &workbook, const QString &path);
void writeCsv(const Worksheet &sheet, const QString &path);

} // namespace nelvo
