#pragma once

#include <QString>
#include <QStringList>

namespace nelvo {

// Sheet names as both workbook formats accept them: at most 31 characters, none of []:*?/\, not empty,
// unique in the workbook. `taken` holds names already used, compared without regard to case.
QString acceptableSheetName(const QString &wanted, const QStringList &taken);

// The names of the continuation sheets of a sheet too long for one .xls sheet: "sheet1" goes on in
// "sheet2", "sheet3", ...
QString continuationSheetName(const QString &first, int part, const QStringList &taken);

} // namespace nelvo
