#pragma once

#include <QJsonObject>
#include <QString>

// Reads a workbook with python3-xlrd (.xls) or python3-openpyxl (.xlsx) through read_back.py.
// Empty when Debian's python3 is not installed; a failing read fails the calling test.
QString independentPython();
QJsonObject readWithIndependentReader(const QString &path);
