#pragma once

#include <QByteArray>
#include <QString>
#include <QStringView>

#include <array>
#include <cstdint>
#include <vector>

class QIODevice;

// The numbers of a recipient list in ascending text order, duplicates allowed. A list of a million
// numbers has to stay small and sort in milliseconds, so a digit string of up to 16 characters is held
// as one 64-bit key, four bits a digit (digit + 1, zero marks the end), whose integer order is the text
// order. Anything else (the list takes unchecked text from the address book) is kept as text aside and
// compared as text; a text that can be packed always is, so equal numbers have equal keys.
class NumberStore
{
public:
    qsizetype size() const { return static_cast<qsizetype>(m_keys.size() - m_front); }
    bool isEmpty() const { return size() == 0; }
    QString at(qsizetype i) const;

    // Adds a number without keeping the order; sort() (or merging into a list) puts it in place.
    void append(QStringView number);
    void sort();
    // Inserts a number at its place in a sorted store, after equal ones.
    void insertSorted(QStringView number);
    // Both stores sorted: takes every number of `other` into this one, in order.
    void merge(NumberStore &&other);
    // Appends every number of `other` after ours: the order holds when they all sort after ours (the
    // batches of a send come off a sorted list in order).
    void concat(NumberStore &&other);
    // Keeps one of each run of equal numbers of a sorted store; returns how many went.
    qsizetype removeDuplicates();
    // Removes the entries whose `remove` flag is set (one flag per entry).
    void removeFlagged(const std::vector<bool> &remove);
    // Takes up to `count` numbers off the front, in order.
    NumberStore takeFront(qsizetype count);
    void clear();

    // Carrier class (0..3, CarrierClass) of an entry, and which classes occur at all.
    int carrierClassAt(qsizetype i) const;
    std::array<bool, 4> carrierClasses() const;
    // The entry in the local code page, as it goes into requests and files.
    QByteArray localBytesAt(qsizetype i) const;
    qsizetype longestLocalLength() const;
    // Writes every entry followed by CR LF, in the local code page: the form of a send-list file.
    // False when the device refuses a write.
    bool writeLocalLines(QIODevice &out) const;
    // Entries [first, first + count) joined by `separator`.
    QString joined(qsizetype first, qsizetype count, QChar separator) const;

    // Bytes held, for the memory budget of big lists.
    qsizetype memoryBytes() const;

private:
    static constexpr quint64 kTextTag = quint64(0xF) << 60;

    quint64 keyAt(qsizetype i) const { return m_keys[m_front + static_cast<size_t>(i)]; }
    quint64 keyOf(QStringView number);
    bool less(quint64 a, quint64 b) const;
    bool equal(quint64 a, quint64 b) const;
    bool allPacked() const { return m_texts.empty(); }
    void dropFront();
    // Moves the other store's texts behind ours and renumbers its keys to match.
    void adoptTexts(NumberStore &other);

    std::vector<quint64> m_keys;
    // Entries before m_front were taken off; batches come off the front without moving the rest.
    size_t m_front = 0;
    std::vector<QString> m_texts;
};
