#include "ZipArchive.h"

#include "SpreadsheetError.h"

#include <QFile>

#include <minizip/unzip.h>

#include <algorithm>

namespace nelvo {

class ZipMemberDevice : public QIODevice
{
public:
    ZipMemberDevice(ZipArchive &archive, qint64 declaredSize) : m_archive(archive), m_declared(declaredSize)
    {
        QIODevice::open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }
    ~ZipMemberDevice() override
    {
        const int rc = unzCloseCurrentFile(m_archive.m_zip);
        if (rc == UNZ_CRCERROR && m_archive.m_fault.isEmpty() && m_atEnd)
            m_archive.m_fault = QStringLiteral("压缩内容校验错误，文件已损坏");
    }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        if (m_atEnd || !m_archive.m_fault.isEmpty())
            return -1;
        const unsigned chunk = static_cast<unsigned>(std::min<qint64>(maxSize, 1 << 20));
        const int n = unzReadCurrentFile(m_archive.m_zip, data, chunk);
        if (n < 0) {
            m_archive.m_fault = n == UNZ_CRCERROR ? QStringLiteral("压缩内容校验错误，文件已损坏")
                                                  : QStringLiteral("压缩内容已损坏（错误 %1）").arg(n);
            return -1;
        }
        if (n == 0) {
            m_atEnd = true;
            return -1;
        }
        m_total += n;
        m_archive.m_inflated += n;
        if (m_total > ZipArchive::maxMemberBytes || m_archive.m_inflated > ZipArchive::maxArchiveBytes ||
            (m_declared >= 0 && m_total > m_declared + (1 << 20))) {
            m_archive.m_fault = QStringLiteral("压缩内容解压后过大，文件可能已损坏或是恶意构造的");
            return -1;
        }
        return n;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    ZipArchive &m_archive;
    qint64 m_declared;
    qint64 m_total = 0;
    bool m_atEnd = false;
};

ZipArchive::ZipArchive(const QString &path)
{
    m_zip = unzOpen64(QFile::encodeName(path).constData());
    if (!m_zip)
        throw FileProblem(QStringLiteral("文件已损坏或不是 .xlsx 文件（无法读取压缩目录）"));
}

ZipArchive::~ZipArchive()
{
    unzClose(m_zip);
}

bool ZipArchive::contains(const QString &member) const
{
    return unzLocateFile(m_zip, member.toUtf8().constData(), 2) == UNZ_OK;
}

std::unique_ptr<QIODevice> ZipArchive::openMember(const QString &member)
{
    m_fault.clear();
    if (unzLocateFile(m_zip, member.toUtf8().constData(), 2) != UNZ_OK)
        throw FileProblem(QStringLiteral("文件已损坏：缺少 %1").arg(member));
    unz_file_info64 info;
    if (unzGetCurrentFileInfo64(m_zip, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK)
        throw FileProblem(QStringLiteral("文件已损坏：无法读取 %1").arg(member));
    if (info.flag & 1)
        throw FileProblem(QStringLiteral("文件设有密码保护，请先在 Excel 中取消密码"));
    if (info.compression_method != 0 && info.compression_method != Z_DEFLATED)
        throw FileProblem(QStringLiteral("文件使用了不支持的压缩方式"));
    // Spreadsheet XML packs ten to a hundred times; a thousandfold member is built to exhaust the reader.
    const bool implausibleRatio = info.uncompressed_size > (64u << 20) &&
                                  info.uncompressed_size / std::max<ZPOS64_T>(info.compressed_size, 1) > 500;
    if (info.uncompressed_size > static_cast<ZPOS64_T>(maxMemberBytes) || implausibleRatio)
        throw FileProblem(QStringLiteral("压缩内容解压后过大，文件可能已损坏或是恶意构造的"));
    if (unzOpenCurrentFile(m_zip) != UNZ_OK)
        throw FileProblem(QStringLiteral("文件已损坏：无法解压 %1").arg(member));
    return std::make_unique<ZipMemberDevice>(*this, static_cast<qint64>(info.uncompressed_size));
}

void ZipArchive::checkHealth() const
{
    if (!m_fault.isEmpty())
        throw FileProblem(m_fault);
}

} // namespace nelvo
