#pragma once

#include <QStyledItemDelegate>

class QTableView;

namespace kavri {

/// The table grid's cells: the light blue fill, black centred text on one line,
/// the current row a shade darker, and the style's check mark centred in 선택.
class TableCellDelegate final : public QStyledItemDelegate
{
public:
    explicit TableCellDelegate(QTableView *view);

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override;

private:
    void paintCheck(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const;

    QTableView *m_view;
};

} // namespace kavri
