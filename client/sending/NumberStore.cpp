#include "NumberStore.h"

#include "CommonHelpers.h"
#include "LocalCodec.h"

#include <QIODevice>

#include <algorithm>

namespace {

bool pack(QStringView number, quint64 &key)
{
    if (number.size() > 16)
        return false;
    key = 0;
    int shift = 60;
    for (const QChar c : number) {
        const char16_t u = c.unicode();
        if (u < u'0' || u > u'9')
            return false;
        key |= quint64(u - u'0' + 1) << shift;
        shift -= 4;
    }
    return true;
}

int unpack(quint64 key, char16_t *out)
{
    int n = 0;
    for (int shift = 60; shift >= 0; shift -= 4) {
        const unsigned digit = unsigned(key >> shift) & 0xF;
        if (digit == 0)
            break;
        out[n++] = char16_t(u'0' + digit - 1);
    }
    return n;
}

// The carrier class depends on the first three characters only, which are the top twelve bits of a key.
const std::array<int8_t, 4096> &carrierClassByPrefix()
{
    static const std::array<int8_t, 4096> table = [] {
        std::array<int8_t, 4096> classes{};
        for (unsigned prefix = 0; prefix < 4096; ++prefix) {
            char16_t digits[16];
            const int n = unpack(quint64(prefix) << 52, digits);
            classes[prefix] =
                static_cast<int8_t>(CarrierClass(QString(reinterpret_cast<QChar *>(digits), n)));
        }
        return classes;
    }();
    return table;
}

// Least significant digit first, a byte at a time; passes whose byte is the same everywhere are skipped,
// which leaves six passes for eleven-digit numbers.
void radixSort(quint64 *keys, size_t count)
{
    std::vector<quint64> buffer(count);
    quint64 *from = keys;
    quint64 *to = buffer.data();
    for (int shift = 0; shift < 64; shift += 8) {
        std::array<size_t, 257> counts{};
        for (size_t i = 0; i < count; ++i)
            ++counts[((from[i] >> shift) & 0xFF) + 1];
        if (std::any_of(counts.begin() + 1, counts.end(), [count](size_t c) { return c == count; }))
            continue;
        for (size_t b = 1; b < counts.size(); ++b)
            counts[b] += counts[b - 1];
        for (size_t i = 0; i < count; ++i)
            to[counts[(from[i] >> shift) & 0xFF]++] = from[i];
        std::swap(from, to);
    }
    if (from != keys)
        std::copy(from, from + count, keys);
}

} // namespace

quint64 NumberStore::keyOf(QStringView number)
{
    quint64 key = 0;
    if (pack(number, key))
        return key;
    m_texts.emplace_back(number.toString());
    return kTextTag | quint64(m_texts.size() - 1);
}

bool NumberStore::less(quint64 a, quint64 b) const
{
    if (a < kTextTag && b < kTextTag)
        return a < b;
    char16_t bufferA[16];
    char16_t bufferB[16];
    const QStringView viewA =
        a < kTextTag ? QStringView(bufferA, unpack(a, bufferA)) : QStringView(m_texts[size_t(a & ~kTextTag)]);
    const QStringView viewB =
        b < kTextTag ? QStringView(bufferB, unpack(b, bufferB)) : QStringView(m_texts[size_t(b & ~kTextTag)]);
    return viewA.compare(viewB) < 0;
}

bool NumberStore::equal(quint64 a, quint64 b) const
{
    if (a < kTextTag || b < kTextTag)
        return a == b;
    return m_texts[size_t(a & ~kTextTag)] == m_texts[size_t(b & ~kTextTag)];
}

QString NumberStore::at(qsizetype i) const
{
    const quint64 key = keyAt(i);
    if (key >= kTextTag)
        return m_texts[size_t(key & ~kTextTag)];
    char16_t digits[16];
    const int n = unpack(key, digits);
    return QString(reinterpret_cast<const QChar *>(digits), n);
}

void NumberStore::append(QStringView number)
{
    m_keys.push_back(keyOf(number));
}

void NumberStore::sort()
{
    dropFront();
    if (allPacked())
        radixSort(m_keys.data(), m_keys.size());
    else
        std::sort(m_keys.begin(), m_keys.end(), [this](quint64 a, quint64 b) { return less(a, b); });
}

void NumberStore::insertSorted(QStringView number)
{
    const quint64 key = keyOf(number);
    const auto place = std::upper_bound(m_keys.begin() + qsizetype(m_front), m_keys.end(), key,
                                        [this](quint64 a, quint64 b) { return less(a, b); });
    m_keys.insert(place, key);
}

void NumberStore::adoptTexts(NumberStore &other)
{
    // Texts of the other store follow ours, so their indexes move up by our count.
    const quint64 base = m_texts.size();
    for (quint64 &key : other.m_keys)
        if (key >= kTextTag)
            key += base;
    m_texts.insert(m_texts.end(), std::make_move_iterator(other.m_texts.begin()),
                   std::make_move_iterator(other.m_texts.end()));
    other.m_texts.clear();
}

void NumberStore::merge(NumberStore &&other)
{
    other.dropFront();
    if (other.m_keys.empty())
        return;
    dropFront();
    if (m_keys.empty() && m_texts.empty()) {
        *this = std::move(other);
        return;
    }
    adoptTexts(other);

    std::vector<quint64> merged(m_keys.size() + other.m_keys.size());
    if (allPacked())
        std::merge(m_keys.begin(), m_keys.end(), other.m_keys.begin(), other.m_keys.end(), merged.begin());
    else
        std::merge(m_keys.begin(), m_keys.end(), other.m_keys.begin(), other.m_keys.end(), merged.begin(),
                   [this](quint64 a, quint64 b) { return less(a, b); });
    m_keys = std::move(merged);
    other.clear();
}

void NumberStore::concat(NumberStore &&other)
{
    other.dropFront();
    dropFront();
    if (m_keys.empty() && m_texts.empty()) {
        *this = std::move(other);
        return;
    }
    adoptTexts(other);
    m_keys.insert(m_keys.end(), other.m_keys.begin(), other.m_keys.end());
    other.clear();
}

qsizetype NumberStore::removeDuplicates()
{
    const auto begin = m_keys.begin() + qsizetype(m_front);
    const auto end =
        allPacked() ? std::unique(begin, m_keys.end())
                    : std::unique(begin, m_keys.end(), [this](quint64 a, quint64 b) { return equal(a, b); });
    const qsizetype removed = m_keys.end() - end;
    m_keys.erase(end, m_keys.end());
    return removed;
}

void NumberStore::removeFlagged(const std::vector<bool> &remove)
{
    size_t kept = m_front;
    for (size_t i = m_front; i < m_keys.size(); ++i)
        if (!remove[i - m_front])
            m_keys[kept++] = m_keys[i];
    m_keys.resize(kept);
}

NumberStore NumberStore::takeFront(qsizetype count)
{
    NumberStore taken;
    const size_t n = static_cast<size_t>(std::clamp<qsizetype>(count, 0, size()));
    taken.m_keys.reserve(n);
    for (size_t i = 0; i < n; ++i) {
        const quint64 key = m_keys[m_front + i];
        if (key >= kTextTag) {
            taken.m_texts.push_back(m_texts[size_t(key & ~kTextTag)]);
            taken.m_keys.push_back(kTextTag | quint64(taken.m_texts.size() - 1));
        } else {
            taken.m_keys.push_back(key);
        }
    }
    m_front += n;
    if (m_front == m_keys.size())
        clear();
    return taken;
}

void NumberStore::clear()
{
    m_keys = {};
    m_texts = {};
    m_front = 0;
}

void NumberStore::dropFront()
{
    if (m_front == 0)
        return;
    m_keys.erase(m_keys.begin(), m_keys.begin() + qsizetype(m_front));
    m_front = 0;
}

int NumberStore::carrierClassAt(qsizetype i) const
{
    const quint64 key = keyAt(i);
    if (key >= kTextTag)
        return CarrierClass(m_texts[size_t(key & ~kTextTag)]);
    return carrierClassByPrefix()[size_t(key >> 52)];
}

std::array<bool, 4> NumberStore::carrierClasses() const
{
    std::array<bool, 4> present{};
    if (allPacked()) {
        const auto &table = carrierClassByPrefix();
        for (size_t i = m_front; i < m_keys.size(); ++i)
            present[size_t(table[size_t(m_keys[i] >> 52)])] = true;
        return present;
    }
    for (qsizetype i = 0; i < size(); ++i)
        present[size_t(carrierClassAt(i))] = true;
    return present;
}

QByteArray NumberStore::localBytesAt(qsizetype i) const
{
    const quint64 key = keyAt(i);
    if (key >= kTextTag)
        return nelvo::encodeLocal(m_texts[size_t(key & ~kTextTag)]);
    char16_t digits[16];
    const int n = unpack(key, digits);
    QByteArray bytes(n, Qt::Uninitialized);
    for (int d = 0; d < n; ++d)
        bytes[d] = char(digits[d]);
    return bytes;
}

qsizetype NumberStore::longestLocalLength() const
{
    qsizetype longest = 0;
    for (qsizetype i = 0; i < size(); ++i) {
        const quint64 key = keyAt(i);
        if (key >= kTextTag) {
            longest = std::max(longest, localBytesAt(i).size());
        } else {
            char16_t digits[16];
            longest = std::max<qsizetype>(longest, unpack(key, digits));
        }
    }
    return longest;
}

bool NumberStore::writeLocalLines(QIODevice &out) const
{
    // Digits go straight into a small buffer that is written and reused: a big list is saved without
    // ever holding its whole text.
    constexpr qsizetype kBufferBytes = 1 << 18;
    QByteArray buffer(kBufferBytes + 64, Qt::Uninitialized);
    char *const begin = buffer.data();
    char *write = begin;
    auto flush = [&]() {
        const qint64 length = write - begin;
        write = begin;
        return out.write(begin, length) == length;
    };
    for (qsizetype i = 0; i < size(); ++i) {
        const quint64 key = keyAt(i);
        if (key >= kTextTag) {
            if (!flush())
                return false;
            const QByteArray bytes = nelvo::encodeLocal(m_texts[size_t(key & ~kTextTag)]) + "\r\n";
            if (out.write(bytes) != bytes.size())
                return false;
            continue;
        }
        for (int shift = 60; shift >= 0; shift -= 4) {
            const unsigned digit = unsigned(key >> shift) & 0xF;
            if (digit == 0)
                break;
            *write++ = char('0' + digit - 1);
        }
        *write++ = '\r';
        *write++ = '\n';
        if (write - begin >= kBufferBytes && !flush())
            return false;
    }
    return flush();
}

QString NumberStore::joined(qsizetype first, qsizetype count, QChar separator) const
{
    QString out;
    const qsizetype end = std::min(size(), first + count);
    for (qsizetype i = first; i < end; ++i) {
        if (i > first)
            out += separator;
        out += at(i);
    }
    return out;
}

qsizetype NumberStore::memoryBytes() const
{
    qsizetype bytes =
        qsizetype(sizeof(*this) + m_keys.capacity() * sizeof(quint64) + m_texts.capacity() * sizeof(QString));
    for (const QString &text : m_texts)
        bytes += text.capacity() * 2;
    return bytes;
}
