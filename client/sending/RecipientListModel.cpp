#include "RecipientListModel.h"

#include "MessageComposer.h"

#include <algorithm>

RecipientListModel::RecipientListModel(MessageComposer &composer, QObject *parent)
    : QAbstractTableModel(parent), m_composer(composer)
{
}

int RecipientListModel::rowCount(const QModelIndex &parent) const
{
    if (parent.isValid())
        return 0;
    return static_cast<int>((m_numbers.size() + Columns - 1) / Columns);
}

int RecipientListModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : Columns;
}

qsizetype RecipientListModel::EntryOf(const QModelIndex &index) const
{
    if (!index.isValid() || index.model() != this)
        return -1;
    const qsizetype entry = qsizetype(index.row()) * Columns + index.column();
    return entry < m_numbers.size() ? entry : -1;
}

QModelIndex RecipientListModel::IndexOf(qsizetype entry) const
{
    if (entry < 0 || entry >= m_numbers.size())
        return {};
    return index(static_cast<int>(entry / Columns), static_cast<int>(entry % Columns));
}

QVariant RecipientListModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole && role != Qt::ToolTipRole)
        return {};
    const qsizetype entry = EntryOf(index);
    if (entry < 0)
        return {};
    return m_numbers.at(entry);
}

Qt::ItemFlags RecipientListModel::flags(const QModelIndex &index) const
{
    return EntryOf(index) < 0 ? Qt::NoItemFlags : Qt::ItemIsEnabled | Qt::ItemIsSelectable;
}

void RecipientListModel::changed()
{
    endResetModel();
    Q_EMIT countChanged(m_numbers.size());
}

bool RecipientListModel::AddMobile(const QString &number)
{
    if (m_sending)
        return false;
    m_composer.LowerLimit(m_composer.CarrierLimit(number));
    beginResetModel();
    m_numbers.insertSorted(number);
    changed();
    return true;
}

bool RecipientListModel::AddBulk(NumberStore numbers, Limit limit)
{
    if (m_sending)
        return false;
    if (numbers.isEmpty())
        return true;
    if (limit == Limit::Lower) {
        const std::array<bool, 4> present = numbers.carrierClasses();
        for (int carrier = 0; carrier < 4; ++carrier)
            if (present[size_t(carrier)])
                m_composer.LowerLimit(m_composer.CarrierLimitOfClass(carrier));
    }
    numbers.sort();
    beginResetModel();
    m_numbers.merge(std::move(numbers));
    changed();
    return true;
}

qsizetype RecipientListModel::FilterDuplicates()
{
    return m_sending ? 0 : filter();
}

qsizetype RecipientListModel::filter()
{
    beginResetModel();
    const qsizetype removed = m_numbers.removeDuplicates();
    changed();
    return removed;
}

bool RecipientListModel::DeleteEntries(const QItemSelection &selection)
{
    if (m_sending)
        return false;
    std::vector<bool> remove(static_cast<size_t>(m_numbers.size()), false);
    bool any = false;
    for (const QItemSelectionRange &range : selection) {
        if (range.model() != this)
            continue;
        for (int row = range.top(); row <= range.bottom(); ++row)
            for (int column = range.left(); column <= range.right(); ++column) {
                const qsizetype entry = qsizetype(row) * Columns + column;
                if (entry < m_numbers.size()) {
                    remove[size_t(entry)] = true;
                    any = true;
                }
            }
    }
    if (!any)
        return true;
    beginResetModel();
    m_numbers.removeFlagged(remove);
    changed();
    return true;
}

bool RecipientListModel::Clear()
{
    if (m_sending)
        return false;
    beginResetModel();
    m_numbers.clear();
    m_composer.ResetLimit();
    changed();
    return true;
}

NumberStore RecipientListModel::takeFront(qsizetype count)
{
    beginResetModel();
    NumberStore taken = m_numbers.takeFront(count);
    changed();
    return taken;
}

void RecipientListModel::replaceAll(NumberStore numbers)
{
    beginResetModel();
    m_numbers = std::move(numbers);
    changed();
}
