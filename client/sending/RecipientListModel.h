#pragma once

#include "NumberStore.h"

#include <QAbstractTableModel>
#include <QItemSelection>

class MessageComposer;

// The recipient list of a compose window: numbers in ascending text order at all times, duplicates kept
// until filtered. A view shows it in five columns, entries row by row (entry = row × 5 + column); cells
// past the last entry are empty and not selectable. The view reads the numbers where they are held, so a
// million of them cost no copy.
//
// While a send runs the list belongs to it: every editing call is ignored (and returns false) until the
// send ends, so nothing typed, imported or clicked meanwhile can slip into a running send.
class RecipientListModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    static constexpr int Columns = 5;

    // Adding numbers lowers `composer`'s one-message limit and clearing resets it.
    explicit RecipientListModel(MessageComposer &composer, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    qsizetype Count() const { return m_numbers.size(); }
    QString Number(qsizetype entry) const { return m_numbers.at(entry); }
    const NumberStore &Numbers() const { return m_numbers; }
    // Entry of a cell, -1 for an empty cell; and the cell of an entry.
    qsizetype EntryOf(const QModelIndex &index) const;
    QModelIndex IndexOf(qsizetype entry) const;
    std::array<bool, 4> CarrierClassesPresent() const { return m_numbers.carrierClasses(); }
    bool IsSending() const { return m_sending; }

    // Appends the text unchanged and unchecked and lowers the one-message limit to its carrier's.
    bool AddMobile(const QString &number);
    enum class Limit
    {
        Lower,
        Keep
    };
    // Many numbers at once, sorted and merged in one pass: the same list and limit as AddMobile for
    // each (Limit::Lower), or, for numbers taken back from the send history, the limit left alone.
    bool AddBulk(NumberStore numbers, Limit limit = Limit::Lower);
    // "过滤号码": one entry of each run of equal numbers stays. Returns how many went.
    qsizetype FilterDuplicates();
    // "删除号码": removes the selected entries; the limit stays until the next recalculation.
    bool DeleteEntries(const QItemSelection &selection);
    // "清空号码": empties the list and resets the limit.
    bool Clear();

Q_SIGNALS:
    // Every change of the number of entries (the count label beside the list).
    void countChanged(qsizetype count);

private:
    friend class BatchSender;

    // The send's own handling of the list: it is consumed batch by batch and rebuilt per part.
    void setSending(bool sending) { m_sending = sending; }
    qsizetype filter();
    NumberStore takeFront(qsizetype count);
    void replaceAll(NumberStore numbers);
    void changed();

    MessageComposer &m_composer;
    NumberStore m_numbers;
    bool m_sending = false;
};
