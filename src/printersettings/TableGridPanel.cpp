#include "printersettings/TableGridPanel.h"

#include "platform/gui/Theme.h"
#include "printersettings/PanelControls.h"
#include "printersettings/PrinterSettingsParts.h"
#include "printersettings/TableCellDelegate.h"
#include "printersettings/TableGridModel.h"
#include "printing/PrinterSettings.h"
#include "printing/TableGrid.h"
#include "printing/TableList.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScrollBar>
#include <QSet>
#include <QTableView>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace kavri {

using namespace settingswindow;

namespace {

QRect tableAt(const QRect &window)
{
    return inPanel(TablePanel, window);
}

/// A page button's arrow, drawn here rather than taken from a picture file.
QIcon arrowIcon(bool up, const QColor &colour)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    QPolygonF triangle;
    if (up)
        triangle << QPointF(8, 3) << QPointF(14, 12) << QPointF(2, 12);
    else
        triangle << QPointF(2, 4) << QPointF(14, 4) << QPointF(8, 13);
    p.drawPolygon(triangle);
    return QIcon(pixmap);
}

} // namespace

TableGridPanel::TableGridPanel(QWidget *parent) : QWidget(parent)
{
    setGeometry(TablePanel);
    auto *caption = label(this, u"주문받을 테이블 선택"_s, tableAt({620, 96, 300, 24}), u"lblInfo2"_s);
    caption->setFont(theme::nanum(14, true));
    caption->setStyleSheet(theme::SettingsCaptionStyle);
    auto *only =
        label(this, u"선택된 테이블만 주문내역을 표시합니다."_s, tableAt({620, 120, 368, 20}), u"lblInfo9"_s);
    only->setFont(theme::nanum(12));
    only->setStyleSheet(theme::SettingsHintStyle);
    m_count = label(this, u"만들어진 테이블"_s, tableAt({620, 140, 368, 36}), u"lblInfo6"_s);
    m_count->setWordWrap(true);
    m_count->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    buildGrid();

    m_chk전체선택 = new QCheckBox(u"전체 선택"_s, this);
    m_chk전체선택->setObjectName(u"chk전체선택"_s);
    m_chk전체선택->setGeometry(tableAt({620, 640, 120, 26}));
    connect(m_chk전체선택, &QCheckBox::clicked, this, [this] { applySelectAll(); });
    buildPageButtons();
    setUpColumns();
}

void TableGridPanel::buildGrid()
{
    m_tables = new TableGridModel(this);
    m_spr = new QTableView(this);
    m_spr->setObjectName(u"SPR0"_s);
    m_spr->setModel(m_tables);
    m_spr->setItemDelegate(new TableCellDelegate(m_spr));
    m_spr->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_spr->setSelectionMode(QAbstractItemView::NoSelection);
    m_spr->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    m_spr->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_spr->setWordWrap(false);
    m_spr->setSortingEnabled(false);
    m_spr->setStyleSheet(theme::SettingsGridStyle);
    connect(m_spr, &QTableView::clicked, this,
            [this](const QModelIndex &index) { click(index.column() + 1, index.row() + 1); });
    connect(m_spr->horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int section) { headerClicked(section); });
    // A header click would make a cell of the top row current (the view selects the column), moving
    // the current row without a redraw of the rest of it. Headers sort or do nothing; rows stay put.
    disconnect(m_spr->horizontalHeader(), SIGNAL(sectionPressed(int)), m_spr, SLOT(selectColumn(int)));
    disconnect(m_spr->horizontalHeader(), SIGNAL(sectionEntered(int)), m_spr, SLOT(_q_selectColumn(int)));
    // The current row is drawn across the whole row, so any change of it repaints the rows.
    connect(m_spr->selectionModel(), &QItemSelectionModel::currentChanged, m_spr->viewport(),
            [this] { repaintRows(); });
}

void TableGridPanel::setUpColumns()
{
    m_tables->setHorizontalHeaderLabels({{}, u"선택"_s, u"그룹 이름"_s, u"테이블이름"_s, u"정렬"_s});
    QHeaderView *top = m_spr->horizontalHeader();
    top->setSectionResizeMode(QHeaderView::Fixed);
    top->setFixedHeight(RowHeight);
    top->setSectionsClickable(true);
    top->setHighlightSections(false);
    top->setDefaultAlignment(Qt::AlignCenter);
    QHeaderView *side = m_spr->verticalHeader();
    side->setSectionResizeMode(QHeaderView::Fixed);
    side->setDefaultSectionSize(RowHeight);
    side->setMinimumSectionSize(RowHeight);
    side->setFixedWidth(30);
    side->setDefaultAlignment(Qt::AlignCenter);
    m_spr->setColumnWidth(ColNumber, 35);
    m_spr->setColumnWidth(ColTicked, 50);
    m_spr->setColumnWidth(ColGroup, 90);
    m_spr->setColumnWidth(ColName, 135);
    m_spr->setColumnWidth(ColSortKey, 120);
    m_spr->setColumnHidden(ColNumber, true);
    m_spr->setColumnHidden(ColSortKey, true);
    // Exactly one page of rows fits: the header row, 15 rows and the frame.
    const int frame = 2 * m_spr->frameWidth();
    m_spr->setGeometry(
        tableAt({620, 180, 30 + 50 + 90 + 135 + frame + m_spr->verticalScrollBar()->sizeHint().width(),
                 RowHeight * (RowsPerPage + 1) + frame}));
}

void TableGridPanel::buildPageButtons()
{
    m_next = commandButton(this, 3, {}, tableAt({952, 594, 36, 36}), 16);
    m_previous = commandButton(this, 4, {}, tableAt({952, 208, 36, 36}), 16);
    // The arrows swap colours with the button while it is held down.
    for (QPushButton *b : {m_next, m_previous}) {
        const bool up = b == m_previous;
        b->setIcon(arrowIcon(up, theme::PageArrow));
        b->setToolTip(up ? u"이전 페이지"_s : u"다음 페이지"_s);
        connect(b, &QPushButton::pressed, this, [b, up] { b->setIcon(arrowIcon(up, theme::ButtonBlue)); });
        connect(b, &QPushButton::released, this, [b, up] { b->setIcon(arrowIcon(up, theme::PageArrow)); });
    }
}

void TableGridPanel::clearTables()
{
    m_spr->setUpdatesEnabled(false);
    m_tables->clearTables();
    m_listLoaded = false;
    m_listCut = false;
}

void TableGridPanel::fill(const web::TableList &list)
{
    for (const web::TableListEntry &entry : list.tables)
        m_tables->appendTable(entry);
    sortTables(Qt::AscendingOrder);
    m_listLoaded = list.anyRecord;
    m_listCut = list.cut;
    refreshCountLine();
    m_spr->setUpdatesEnabled(true);
    // Lay the rows out now, so the scroll bar and the page buttons know them at once.
    m_spr->doItemsLayout();
}

void TableGridPanel::loadSelection(const QString &selection)
{
    if (selection == u"전체"_s) {
        m_chk전체선택->setChecked(true);
        applySelectAll();
    } else {
        for (int row = 1; row <= tableRows(); ++row) {
            if (IsTableSelected(selection, tableName(row)))
                setTicked(row, true);
        }
    }
    refreshCountLine();
}

void TableGridPanel::refreshCountLine()
{
    if (!m_listLoaded) {
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
    m_count->setText(tableCountText(tableRows(), unlisted, m_listCut));
}

bool TableGridPanel::allSelected() const
{
    return m_chk전체선택->isChecked();
}

QStringList TableGridPanel::tickedNames() const
{
    QStringList names;
    for (int row = 1; row <= tableRows(); ++row) {
        if (isTicked(row))
            names.append(tableName(row));
    }
    return names;
}

void TableGridPanel::click(int column, int row)
{
    if (row < 1 || column < 1 || row > tableRows() || column > ColumnCount)
        return;
    m_spr->setCurrentIndex(m_tables->index(row - 1, column - 1));
    if (column - 1 == ColTicked)
        setTicked(row, !isTicked(row));
    repaintRows();
}

void TableGridPanel::applySelectAll()
{
    const bool all = m_chk전체선택->isChecked();
    for (int row = 1; row <= tableRows(); ++row)
        setTicked(row, all);
}

void TableGridPanel::nextPage()
{
    const int first = firstVisibleRow();
    if (first < 1)
        return;
    // The row the view really shows at the top, which near the end is less than asked.
    makeCurrent(showFirstRow(nextPageTop(first, tableRows(), RowsPerPage)));
}

void TableGridPanel::previousPage()
{
    const int first = firstVisibleRow();
    if (first < 1)
        return;
    makeCurrent(showFirstRow(previousPageTop(first, RowsPerPage)));
}

void TableGridPanel::makeCurrent(int row)
{
    m_spr->setCurrentIndex(m_tables->index(row - 1, ColNumber));
}

void TableGridPanel::repaintRows()
{
    m_spr->viewport()->update();
}

int TableGridPanel::showFirstRow(int row)
{
    // The scroll bar counts whole rows, so its value is the first visible row. The view holds one
    // page, so the last page starts where the last row sits at the bottom; asking for a later
    // row is clamped here rather than by a layout that may come after the current row was set.
    m_spr->doItemsLayout();
    row = std::clamp(row, 1, std::max(1, tableRows() - RowsPerPage + 1));
    m_spr->verticalScrollBar()->setValue(row - 1);
    return row;
}

void TableGridPanel::headerClicked(int section)
{
    if (section != ColName) {
        // Only the name column sorts; the indicator stays where the last sort put it.
        m_spr->horizontalHeader()->setSortIndicator(ColName, m_nameOrder);
        return;
    }
    sortTables(m_nameOrder == Qt::AscendingOrder ? Qt::DescendingOrder : Qt::AscendingOrder);
}

void TableGridPanel::sortTables(Qt::SortOrder order)
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

int TableGridPanel::tableRows() const
{
    return m_tables->tableRows();
}

QString TableGridPanel::tableName(int row) const
{
    return m_tables->tableName(row);
}

bool TableGridPanel::isTicked(int row) const
{
    return m_tables->isTicked(row);
}

void TableGridPanel::setTicked(int row, bool ticked)
{
    m_tables->setTicked(row, ticked);
}

int TableGridPanel::currentRow() const
{
    const QModelIndex current = m_spr->currentIndex();
    return current.isValid() ? current.row() + 1 : 0;
}

int TableGridPanel::firstVisibleRow() const
{
    if (tableRows() == 0)
        return 0;
    const int at = m_spr->rowAt(0);
    return at < 0 ? 1 : at + 1;
}

} // namespace kavri
