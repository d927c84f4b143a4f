#include "board/BoardView.h"

#include "board/BoardFonts.h"
#include "board/CaptionLayout.h"
#include "board/CaptionPanel.h"
#include "monitor/RequestBoard.h"
#include "platform/gui/LongPress.h"
#include "platform/gui/Theme.h"

#include <QStringList>

using namespace Qt::StringLiterals;

namespace kavri::monitor {
namespace {

const QStringList HeadingCaptions{u"NO"_s, u"테이블"_s, u"요청사항"_s, u"체크"_s};

QString indexed(const QString &name, int index)
{
    return name + u'_' + QString::number(index);
}

} // namespace

BoardView::BoardView(QWidget &window, QObject *filter, std::function<void(int row)> rowClicked)
{
    for (int h = 0; h < BoardGeometry::kHeadings; ++h) {
        auto *heading = new CaptionPanel(&window);
        heading->setObjectName(indexed(u"sspTitle"_s, h));
        heading->setColours(Qt::white, theme::HeadingBack);
        heading->setMargin(1);
        heading->hide();
        m_sspTitle[h] = heading;
    }
    auto *longPress = new platform::LongPress(&window);
    for (int r = 0; r < BoardGeometry::kRows; ++r) {
        m_sspNO[r] = new CaptionPanel(&window);
        m_sspNO[r]->setObjectName(indexed(u"sspNO"_s, r));
        m_sspNO[r]->setMargin(1);
        m_sspTable[r] = new CaptionPanel(&window);
        m_sspTable[r]->setObjectName(indexed(u"sspTable"_s, r));
        m_sspTable[r]->setWordWrap(true);
        m_sspTable[r]->setMargins(kTableCellMargins.horizontal, kTableCellMargins.vertical);
        m_sspTable[r]->setShrinkToFit(0.7);
        m_sspRequest[r] = new CaptionPanel(&window);
        m_sspRequest[r]->setObjectName(indexed(u"sspRequest"_s, r));
        m_sspRequest[r]->setWordWrap(true);
        m_sspRequest[r]->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        m_sspRequest[r]->setMargins(kRequestCellMargins.horizontal, kRequestCellMargins.vertical);
        m_sspRequest[r]->setShrinkToFit(0.7);
        m_sspCheck[r] = new CaptionPanel(&window);
        m_sspCheck[r]->setObjectName(indexed(u"sspCheck"_s, r));
        m_sspCheck[r]->setMargin(2);
        for (CaptionPanel *cell : {m_sspNO[r], m_sspTable[r], m_sspRequest[r], m_sspCheck[r]}) {
            cell->hide();
            if (filter)
                cell->installEventFilter(filter);
            // Held still, a cell opens the row's menu on a touch screen; it sees the release first.
            longPress->watch(cell);
            // A click on any of the four cells marks or unmarks the row.
            QObject::connect(cell, &CaptionPanel::clicked, &window, [rowClicked, r] {
                if (rowClicked)
                    rowClicked(r);
            });
        }
    }
}

void BoardView::layOut(const BoardGeometry &g)
{
    for (int h = 0; h < BoardGeometry::kHeadings; ++h) {
        m_sspTitle[h]->hide();
        m_sspTitle[h]->setCaption(HeadingCaptions.at(h % 4));
    }

    for (int r = 0; r < BoardGeometry::kRows; ++r) {
        m_sspNO[r]->setColours(Qt::black, theme::NoBack);
        m_sspTable[r]->setColours(Qt::black, Qt::white);
        m_sspRequest[r]->setColours(Qt::black, Qt::white);
        m_sspCheck[r]->setColours(theme::CheckInk, Qt::white);
        for (CaptionPanel *cell : {m_sspTable[r], m_sspRequest[r], m_sspCheck[r]}) {
            cell->setCaption({});
            cell->setTag({});
        }
        m_sspCheck[r]->setPicture({});
        for (CaptionPanel *cell : {m_sspNO[r], m_sspTable[r], m_sspRequest[r], m_sspCheck[r]})
            cell->hide();
    }

    for (int h = 0; h < g.headingCount; ++h) {
        m_sspTitle[h]->setGeometry(g.headings[h]);
        m_sspTitle[h]->setFont(boardDisplayFont(g.fonts.heading));
        m_sspTitle[h]->show();
    }
    for (int r = 0; r < g.rowCount; ++r) {
        const auto &cells = g.cells[r];
        m_sspNO[r]->setGeometry(cells[BoardGeometry::No]);
        m_sspTable[r]->setGeometry(cells[BoardGeometry::Table]);
        m_sspRequest[r]->setGeometry(cells[BoardGeometry::Request]);
        m_sspCheck[r]->setGeometry(cells[BoardGeometry::Check]);
        m_sspNO[r]->setFont(boardDisplayFont(g.fonts.no));
        m_sspTable[r]->setFont(boardDisplayFont(g.fonts.table));
        m_sspTable[r]->setShrinkToFit(0.7, captionFloorPoints(g.fonts.table));
        m_sspRequest[r]->setFont(boardRequestFont(g.fonts.request));
        // The width rules give long texts tiny sizes; the floor keeps them readable.
        m_sspRequest[r]->setShrinkToFit(0.7, captionFloorPoints(g.fonts.request));
        m_sspCheck[r]->setFont(boardDisplayFont(g.fonts.check));
        m_sspNO[r]->setCaption(QString::number(r + 1));
        for (CaptionPanel *cell : {m_sspNO[r], m_sspTable[r], m_sspRequest[r], m_sspCheck[r]})
            cell->show();
    }
}

void BoardView::draw(const RequestBoard &board, int requestPoints, const QPixmap &card, const QPixmap &cash,
                     const WaitClock &clock)
{
    const int rows = board.rowCount();
    for (int r = 0; r < BoardGeometry::kRows; ++r) {
        const BoardRow &row = board.row(r);
        m_sspNO[r]->setTag(row.numTag);
        m_sspTable[r]->setCaption(row.table);
        m_sspTable[r]->setTag(row.regDate);
        const QuantitySplit memo = splitQuantity(row.memo);
        m_sspRequest[r]->setCaption(memo.text, memo.quantity);
        m_sspRequest[r]->setTag(row.payType);
        if (r < rows) {
            const int size = row.memoPointSize > 0 ? row.memoPointSize : requestPoints;
            if (size > 0 && m_sspRequest[r]->font().pointSize() != size)
                m_sspRequest[r]->setFont(boardRequestFont(size));
        }
        QPixmap icon;
        if (row.icon == PayIcon::Card)
            icon = card;
        else if (row.icon == PayIcon::Cash)
            icon = cash;
        m_sspCheck[r]->setPicture(icon);
        m_sspCheck[r]->setCaption(row.marked ? u"v"_s : QString());
        const qint64 minutes = row.isEmpty() ? -1 : waitedMinutes(row.regDate, clock.now);
        m_sspNO[r]->setNote(waitedText(minutes));
        paintRowColours(r, row, waitLevel(minutes, clock.thresholds));
    }
}

void BoardView::paintRowColours(int r, const BoardRow &row, WaitLevel level)
{
    const bool marked = row.marked && !row.isEmpty();
    const QColor back = marked ? theme::MarkedRowBack : QColor(Qt::white);
    switch (level) {
    case WaitLevel::Red:
        m_sspNO[r]->setColours(theme::WaitRedInk, theme::WaitRedBack);
        break;
    case WaitLevel::Amber:
        m_sspNO[r]->setColours(theme::WaitAmberInk, theme::WaitAmberBack);
        break;
    case WaitLevel::Calm:
        m_sspNO[r]->setColours(Qt::black, marked ? theme::MarkedRowBack : theme::NoBack);
        break;
    }
    m_sspTable[r]->setColours(Qt::black, back);
    m_sspRequest[r]->setColours(Qt::black, back);
    m_sspCheck[r]->setColours(theme::CheckInk, back);
}

int BoardView::rowOf(const QObject *cell) const
{
    for (int r = 0; r < BoardGeometry::kRows; ++r) {
        if (cell == m_sspNO[r] || cell == m_sspTable[r] || cell == m_sspRequest[r] || cell == m_sspCheck[r])
            return r;
    }
    return -1;
}

} // namespace kavri::monitor
