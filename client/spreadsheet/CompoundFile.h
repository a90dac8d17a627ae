#pragma once

#include <QIODevice>

#include <vector>

namespace nelvo {

// Writes a compound document (the container of .xls files) holding one stream named "Workbook", in one
// pass: the stream's size is given first, its bytes follow in any number of pieces, and finish() adds
// the directory and the allocation tables behind them. Faults raise FileProblem.
class CompoundFileWriter
{
public:
    CompoundFileWriter(QIODevice &out, quint64 streamSize);

    void write(const char *data, qint64 size);
    quint64 written() const { return m_written; }
    void finish();

private:
    void put(const char *data, qint64 size);

    QIODevice &m_out;
    quint64 m_streamSize;  // as declared: at least the mini stream cut-off
    quint64 m_contentSize; // as given by the caller
    quint64 m_written = 0;
    quint32 m_streamSectors = 0;
    quint32 m_fatCount = 0;
    quint32 m_difatCount = 0;
};

} // namespace nelvo
