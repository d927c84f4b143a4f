#include "printersettings/TableGridModel.h"

namespace kavri {

TableGridModel::TableGridModel(QObject *parent) : QStandardItemModel(0, ColumnCount, parent) {}

void TableGridModel::clearTables()
{
    removeRows(0, rowCount());
}

void TableGridModel::appendTable(const web::TableListEntry &entry)
{
    QList<QStandardItem *> row;
    for (const QString &text :
         {entry.nums, QString(), entry.tableqroup, entry.tablenum, TableSortKey(entry.tablenum)}) {
        auto *item = new QStandardItem(text);
        item->setFlags(Qt::ItemIsEnabled);
        row.append(item);
    }
    row[ColTicked]->setData(Qt::Unchecked, Qt::CheckStateRole);
    appendRow(row);
}

void TableGridModel::sortByName(Qt::SortOrder order)
{
    sort(ColSortKey, order);
}

int TableGridModel::tableRows() const
{
    return rowCount();
}

QString TableGridModel::tableName(int row) const
{
    return data(index(row - 1, ColName)).toString();
}

bool TableGridModel::isTicked(int row) const
{
    return data(index(row - 1, ColTicked), Qt::CheckStateRole).toInt() == Qt::Checked;
}

void TableGridModel::setTicked(int row, bool ticked)
{
    setData(index(row - 1, ColTicked), ticked ? Qt::Checked : Qt::Unchecked, Qt::CheckStateRole);
}

} // namespace kavri
