#pragma once

#include "printing/TableList.h"

#include <QStandardItemModel>

namespace kavri {

/// The table grid of the printer settings window: one row per listed table,
/// rows counted from 1 as the shop sees them, the tick in its own column and
/// the names sorted by their key (so 2 comes before 10).
class TableGridModel : public QStandardItemModel
{
public:
    enum Column { ColNumber = 0, ColTicked = 1, ColGroup = 2, ColName = 3, ColSortKey = 4, ColumnCount = 5 };

    explicit TableGridModel(QObject *parent = nullptr);

    void clearTables();
    /// Appends `entry` unticked.
    void appendTable(const web::TableListEntry &entry);
    void sortByName(Qt::SortOrder order);

    int tableRows() const;
    QString tableName(int row) const;
    bool isTicked(int row) const;
    void setTicked(int row, bool ticked);
};

} // namespace kavri
