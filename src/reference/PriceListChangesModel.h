#pragma once

#include "data/PriceListExchange.h"

#include <QAbstractTableModel>

// The rows of an import plan that add or change an entry, one line of the file a row: its line,
// type, code, action and description with prices (an addition) or changes. A cell's text is made
// when it is shown, so a preview of tens of thousands of rows opens at once.
class PriceListChangesModel : public QAbstractTableModel
{
public:
    explicit PriceListChangesModel(const PriceListPlan &plan, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(
        int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    QList<PriceListPlan::Row> m_rows; // those that add or change
};
