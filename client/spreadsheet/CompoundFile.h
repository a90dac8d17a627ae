#pragma once

#include <QByteArray>
#include <QIODevice>

namespace nelvo {

// Writes a compound document (the container of .xls files) holding one stream named "Workbook".
void writeCompoundFile(QIODevice &out, QByteArray workbookStream);

} // namespace nelvo
