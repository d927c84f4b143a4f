#include "printersettings/TableCellDelegate.h"

#include "platform/gui/Theme.h"
#include "printersettings/PrinterSettingsParts.h"

#include <QPainter>
#include <QTableView>

namespace kavri {

using namespace settingswindow;

TableCellDelegate::TableCellDelegate(QTableView *view) : QStyledItemDelegate(view), m_view(view) {}

void TableCellDelegate::paint(QPainter *painter, const QStyleOptionViewItem &option,
                              const QModelIndex &index) const
{
    painter->save();
    const bool current = m_view->currentIndex().isValid() && m_view->currentIndex().row() == index.row();
    painter->fillRect(option.rect, current ? theme::CurrentFill : theme::CellFill);
    if (index.column() == ColTicked) {
        paintCheck(painter, option, index);
    } else {
        painter->setPen(theme::CellInk);
        painter->setFont(option.font);
        const QRect room = option.rect.adjusted(4, 0, -4, 0);
        const QString text =
            option.fontMetrics.elidedText(index.data().toString(), Qt::ElideRight, room.width());
        painter->drawText(room, Qt::AlignCenter | Qt::TextSingleLine, text);
    }
    painter->restore();
}

void TableCellDelegate::paintCheck(QPainter *painter, const QStyleOptionViewItem &option,
                                   const QModelIndex &index) const
{
    QStyleOptionViewItem check(option);
    check.features |= QStyleOptionViewItem::HasCheckIndicator;
    const bool on = index.data(Qt::CheckStateRole).toInt() == Qt::Checked;
    check.state =
        (check.state & ~(QStyle::State_On | QStyle::State_Off)) | (on ? QStyle::State_On : QStyle::State_Off);
    QStyle *style = m_view->style();
    const int w = style->pixelMetric(QStyle::PM_IndicatorWidth, &check, m_view);
    const int h = style->pixelMetric(QStyle::PM_IndicatorHeight, &check, m_view);
    check.rect = QRect(option.rect.center().x() - w / 2, option.rect.center().y() - h / 2, w, h);
    style->drawPrimitive(QStyle::PE_IndicatorItemViewItemCheck, &check, painter, m_view);
}

} // namespace kavri
