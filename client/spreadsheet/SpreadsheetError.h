#pragma once

#include "NelvoError.h"

#include <QString>

#include <utility>

namespace nelvo {

// Raised by every workbook operation that fails; the text names the file and says what went wrong, so the
// window's error handler can show it as it stands.
class SpreadsheetError : public Error
{
public:
    using Error::Error;
};

// Why a file could not be read or written, without the file's name: the reader or writer that finds the
// fault raises it, and the workbook operation turns it into a SpreadsheetError naming the file.
class FileProblem
{
public:
    explicit FileProblem(QString reason) : m_reason(std::move(reason)) {}
    const QString &reason() const { return m_reason; }

private:
    QString m_reason;
};

} // namespace nelvo
