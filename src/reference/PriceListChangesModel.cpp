#include "reference/PriceListChangesModel.h"

using namespace Qt::StringLiterals;

namespace {

const QStringList &headings()
{
    static const QStringList names { u"Line"_s, u"Type"_s, u"Code"_s, u"Action"_s,
        u"Description / changes"_s };
    return names;
}

} // namespace

PriceListChangesModel::PriceListChangesModel(const PriceListPlan &plan, QObject *parent)
    : QAbstractTableModel(parent)
{
    for (const PriceListPlan::Row &row : plan.rows) {
        if (row.action != PriceListPlan::Action::Same)
            m_rows << row;
    }
}

int PriceListChangesModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int PriceListChangesModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(headings().size());
}

QVariant PriceListChangesModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= m_rows.size())
        return {};
    const PriceListPlan::Row &row = m_rows.at(index.row());
    const bool adding = row.action == PriceListPlan::Action::Add;
    switch (index.column()) {
    case 0:
        return QString::number(row.line);
    case 1:
        return row.item.labour ? u"Labour"_s : u"Material"_s;
    case 2:
        return row.item.code;
    case 3:
        return adding ? u"Add"_s : u"Change"_s;
    case 4:
        return (adding
                ? QStringList { row.item.description } + PriceListExchange::numbersOf(row.item)
                : row.changes)
            .join(u"; "_s);
    default:
        return {};
    }
}

QVariant PriceListChangesModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0
        || section >= headings().size())
        return {};
    return headings().at(section);
}
