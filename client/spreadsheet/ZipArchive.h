#pragma once

#include <QIODevice>
#include <QString>

#include <memory>

namespace nelvo {

// Read access to the members of a zip file through minizip, with every member's inflated size capped so
// a zip bomb ends in an error instead of exhausting memory or time.
class ZipArchive
{
public:
    static constexpr qint64 maxMemberBytes = 1024LL * 1024 * 1024;
    // All members together: a workbook naming one part many times must not be inflated many times.
    static constexpr qint64 maxArchiveBytes = 2 * maxMemberBytes;

    explicit ZipArchive(const QString &path);
    ~ZipArchive();
    ZipArchive(const ZipArchive &) = delete;
    ZipArchive &operator=(const ZipArchive &) = delete;

    bool contains(const QString &member) const;
    // A sequential device over the member's inflated bytes; only one may be open at a time.
    // Faults in the member (bad data, CRC mismatch, too large) raise FileProblem from the read calls'
    // caller through `checkHealth`.
    std::unique_ptr<QIODevice> openMember(const QString &member);
    // Raises FileProblem when the last opened member turned out damaged or oversized.
    void checkHealth() const;

private:
    friend class ZipMemberDevice;
    void *m_zip = nullptr;
    QString m_fault;
    qint64 m_inflated = 0;
};

} // namespace nelvo
