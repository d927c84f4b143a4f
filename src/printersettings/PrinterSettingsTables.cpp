// The settings window's table list: loading it, the selection, the count line, paging and sorting.
#include "printersettings/PrinterSettingsWindow.h"

#include "printersettings/PrinterSettingsParts.h"

#include "platform/Dialogs.h"
#include "platform/gui/ScreenPlacement.h"
#include "platform/gui/Theme.h"
#include "platform/gui/WaitPanel.h"
#include "printing/ColumnLayout.h"
#include "printing/PrinterSettingsForm.h"
#include "printing/TableGrid.h"
#include "printing/TableList.h"
#include "printing/TicketOutput.h"
#include "services/ErrorReport.h"
#include "services/EventLog.h"
#include "services/Housekeeping.h"
#include "services/ProcessValues.h"
#include "services/Settings.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSet>
#include <QStandardItemModel>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTextBlock>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace kavri {

using namespace settingswindow;

bool PrinterSettingsWindow::Load_테이블()
{
    ++m_busy;
    m_spr->setUpdatesEnabled(false);
    m_tables->clearTables();
    m_tableListLoaded = false;
    m_tableListCut = false;
    // Saving while the list is on its way would store the selection of an empty grid.
    m_cmd[0]->setEnabled(false);
    m_cmd[1]->setEnabled(false);
    showWait(true);

    const TableList list = fetchTableList(gLoginID, gLoginPW);
    showWait(false);
    for (const TableListEntry &entry : list.tables)
        m_tables->appendTable(entry);
    sortTables(Qt::AscendingOrder);
    m_tableListLoaded = list.anyRecord;
    m_tableListCut = list.cut;
    refreshCountLine();
    m_spr->setUpdatesEnabled(true);
    m_cmd[0]->setEnabled(true);
    m_cmd[1]->setEnabled(true);
    // Lay the rows out now, so the scroll bar and the page buttons know them at once.
    m_spr->doItemsLayout();
    showWait(false);
    --m_busy;
    return true;
}

bool PrinterSettingsWindow::Load_선택된테이블()
{
    const QString selection = gPrinterSettings.선택된테이블;
    if (selection == u"전체"_s) {
        m_chk전체선택->setChecked(true);
        chk전체선택_Click();
    } else {
        for (int row = 1; row <= tableRows(); ++row) {
            if (IsTableSelected(selection, tableName(row)))
                setTicked(row, true);
        }
    }
    refreshCountLine();
    return true;
}

void PrinterSettingsWindow::refreshCountLine()
{
    if (!m_tableListLoaded) {
        m_count->setText(tableListFailedText());
        return;
    }
    // Tables the stored selection names but the service no longer lists are dropped by the next save.
    QSet<QString> listed;
    for (int row = 1; row <= tableRows(); ++row)
        listed.insert(tableName(row));
    qsizetype unlisted = 0;
    for (const QString &name : selectedTableNames(gPrinterSettings.선택된테이블)) {
        if (!listed.contains(name))
            ++unlisted;
    }
    m_count->setText(tableCountText(tableRows(), unlisted, m_tableListCut));
}

int PrinterSettingsWindow::showFirstRow(int row)
{
    // The scroll bar counts whole rows, so its value is the first visible row. The view holds one
    // page, so the last page starts where the last row sits at the bottom; asking for a later
    // row is clamped here rather than by a layout that may come after the current row was set.
    m_spr->doItemsLayout();
    row = std::clamp(row, 1, std::max(1, tableRows() - RowsPerPage + 1));
    m_spr->verticalScrollBar()->setValue(row - 1);
    return row;
}

void PrinterSettingsWindow::SPR_Click(int column, int row)
{
    if (row < 1 || column < 1 || row > tableRows() || column > ColumnCount)
        return;
    m_spr->setCurrentIndex(m_tables->index(row - 1, column - 1));
    if (column - 1 == ColTicked)
        setTicked(row, !isTicked(row));
    m_spr->viewport()->update();
}

void PrinterSettingsWindow::chk전체선택_Click()
{
    const bool all = m_chk전체선택->isChecked();
    for (int row = 1; row <= tableRows(); ++row)
        setTicked(row, all);
}

void PrinterSettingsWindow::headerClicked(int section)
{
    if (section != ColName) {
        // Only the name column sorts; the indicator stays where the last sort put it.
        m_spr->horizontalHeader()->setSortIndicator(ColName, m_nameOrder);
        return;
    }
    sortTables(m_nameOrder == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder);
}

void PrinterSettingsWindow::sortTables(Qt::SortOrder order)
{
    // Names sort by their key, so 2 comes before 10.
    const bool updates = m_spr->updatesEnabled();
    m_spr->setUpdatesEnabled(false);
    m_tables->sortByName(order);
    m_nameOrder = order;
    m_spr->horizontalHeader()->setSortIndicatorShown(true);
    m_spr->horizontalHeader()->setSortIndicator(ColName, order);
    m_spr->setUpdatesEnabled(updates);
}

} // namespace kavri
