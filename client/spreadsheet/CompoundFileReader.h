#pragma once

#include <QByteArray>
#include <QString>

namespace nelvo {

// Reads one stream out of a compound document (the container of .xls files). Every sector number and
// chain is checked against the file, so damaged or hostile files end in FileProblem, never in a read
// outside the data or an endless chain.
class CompoundFileReader
{
public:
    // `file` is the whole file; it is not copied, so it must outlive the reader.
    explicit CompoundFileReader(QByteArray file);

    bool hasStream(const QString &name) const;
    // The stream's bytes; FileProblem when it is missing or broken. The bytes may point into the file's
    // data, so the reader and the file must outlive them.
    QByteArray stream(const QString &name) const;

private:
    struct Entry
    {
        QString name;
        quint8 type;
        quint32 start;
        quint64 size;
    };

    QByteArray chain(quint32 start, quint64 size, bool mini) const;
    const Entry *find(const QString &name) const;

    QByteArray m_file;
    int m_sectorShift = 9;
    quint32 m_miniCutoff = 4096;
    std::vector<quint32> m_fat;
    std::vector<quint32> m_miniFat;
    QByteArray m_miniStream;
    std::vector<Entry> m_entries;
};

} // namespace nelvo
