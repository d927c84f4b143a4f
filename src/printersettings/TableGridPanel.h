#pragma once

#include <QString>
#include <QStringList>
#include <QWidget>

class QCheckBox;
class QLabel;
class QPushButton;
class QTableView;

namespace kavri {

namespace web {
struct TableList;
}
class TableGridModel;

/// Step ③ of the printer settings window: the shop's tables in a grid of one
/// page, a tick for each whose requests are printed, the line that counts
/// them, "전체 선택" and the page buttons. Rows are counted from 1.
class TableGridPanel : public QWidget
{
public:
    explicit TableGridPanel(QWidget *parent);

    /// Empties the grid while the list is on its way; it has not come until fill().
    void clearTables();
    /// Shows the tables of `list` unticked, sorted by name, and lays the rows out.
    void fill(const web::TableList &list);
    /// Ticks the rows the stored selection names; "전체" ticks "전체 선택" and every row.
    void loadSelection(const QString &selection);
    /// The line above the grid: how many tables, or that the list did not come.
    void refreshCountLine();
    /// The last list held records; without them the grid says nothing about the selection.
    bool listLoaded() const { return m_listLoaded; }
    bool allSelected() const;
    /// The ticked table names in grid order.
    QStringList tickedNames() const;

    /// A click into the grid at `column` 1..5 and `row` 1..rows.
    void click(int column, int row);
    /// Ticks or clears every row as "전체 선택" says.
    void applySelectAll();
    void nextPage();
    void previousPage();
    void repaintRows();

    QPushButton *nextPageButton() const { return m_next; }
    QPushButton *previousPageButton() const { return m_previous; }

    int tableRows() const;
    QString tableName(int row) const;
    bool isTicked(int row) const;
    int currentRow() const;
    int firstVisibleRow() const;

private:
    void buildGrid();
    void setUpColumns();
    void buildPageButtons();
    void setTicked(int row, bool ticked);
    void sortTables(Qt::SortOrder order);
    void headerClicked(int section);
    /// Scrolls `row` to the top as far as the view can; the row that is at the top then.
    int showFirstRow(int row);
    void makeCurrent(int row);

    bool m_listLoaded = false;
    bool m_listCut = false;
    Qt::SortOrder m_nameOrder = Qt::AscendingOrder;
    QTableView *m_spr = nullptr;
    TableGridModel *m_tables = nullptr;
    QLabel *m_count = nullptr;
    QCheckBox *m_chk전체선택 = nullptr;
    QPushButton *m_next = nullptr;
    QPushButton *m_previous = nullptr;
};

} // namespace kavri
