#pragma once

#include <QByteArray>
#include <QString>
#include <QtEndian>

namespace nelvo {

// Builds the records of a BIFF8 workbook stream: a 2-byte type, a 2-byte length, then the data.
class Biff8Stream
{
public:
    static constexpr int maxRecordData = 8224;

    explicit Biff8Stream(qsizetype reserve = 0) { m_bytes.reserve(reserve); }

    qsizetype size() const { return m_bytes.size(); }
    QByteArray &bytes() { return m_bytes; }

    // Starts a record whose length is patched by endRecord().
    void beginRecord(quint16 type)
    {
        m_recordStart = m_bytes.size();
        u16(type);
        u16(0);
    }
    qsizetype recordLength() const { return m_bytes.size() - m_recordStart - 4; }
    qsizetype recordStart() const { return m_recordStart; }
    void endRecord() { patch16(m_recordStart + 2, static_cast<quint16>(recordLength())); }

    // A record of known length, written in one go.
    void header(quint16 type, quint16 length)
    {
        u16(type);
        u16(length);
    }

    void u8(quint8 v) { m_bytes.append(static_cast<char>(v)); }
    void u16(quint16 v)
    {
        char b[2];
        qToLittleEndian(v, b);
        m_bytes.append(b, 2);
    }
    void u32(quint32 v)
    {
        char b[4];
        qToLittleEndian(v, b);
        m_bytes.append(b, 4);
    }
    void f64(double v)
    {
        char b[8];
        qToLittleEndian(v, b);
        m_bytes.append(b, 8);
    }
    void raw(const char *data, qsizetype n) { m_bytes.append(data, n); }
    void patch16(qsizetype at, quint16 v) { qToLittleEndian(v, m_bytes.data() + at); }
    void patch32(qsizetype at, quint32 v) { qToLittleEndian(v, m_bytes.data() + at); }

    // Characters of a string: one byte each when all fit in Latin-1 ("compressed"), else UTF-16LE.
    static bool fitsLatin1(const QString &s)
    {
        for (const QChar c : s)
            if (c.unicode() > 0xFF)
                return false;
        return true;
    }
    void chars(const QString &s, qsizetype from, qsizetype count, bool latin1)
    {
        char *out = grow(latin1 ? count : 2 * count);
        const ushort *in = s.utf16() + from;
        for (qsizetype i = 0; i < count; ++i) {
            if (latin1)
                out[i] = static_cast<char>(in[i]);
            else
                qToLittleEndian(static_cast<quint16>(in[i]), out + 2 * i);
        }
    }

    // Room for `n` more bytes, to be filled through the pointer.
    char *grow(qsizetype n)
    {
        const qsizetype at = m_bytes.size();
        m_bytes.resize(at + n);
        return m_bytes.data() + at;
    }

    // The records of one cell: row, column, cell format, then the value.
    char *cell(quint16 type, quint16 length, quint16 row, quint16 column, quint16 xf)
    {
        char *p = grow(4 + length);
        qToLittleEndian(type, p);
        qToLittleEndian(length, p + 2);
        qToLittleEndian(row, p + 4);
        qToLittleEndian(column, p + 6);
        qToLittleEndian(xf, p + 8);
        return p + 10;
    }

private:
    QByteArray m_bytes;
    qsizetype m_recordStart = 0;
};

} // namespace nelvo
