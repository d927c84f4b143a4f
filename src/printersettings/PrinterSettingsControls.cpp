#include "printersettings/PrinterSettingsWindow.h"

#include "platform/gui/ClickLabel.h"
#include "platform/gui/Theme.h"
#include "platform/gui/WaitPanel.h"
#include "printersettings/PrinterSettingsParts.h"
#include "printing/PrinterSettingsForm.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPainter>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QStandardItemModel>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTextBlock>

#include <array>

using namespace Qt::StringLiterals;

// The printer settings window's controls, placed by hand as the shop knows them.
namespace kavri {

using namespace settingswindow;

namespace {

QLabel *label(QWidget *parent, const QString &text, const QRect &at, const QString &name = {})
{
    auto *l = new QLabel(text, parent);
    l->setGeometry(at);
    if (!name.isEmpty())
        l->setObjectName(name);
    return l;
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

/// The grid's cells: the light blue fill, black centred text on one line, the
/// current row a shade darker, and the style's check mark centred in 선택.
class CellDelegate final : public QStyledItemDelegate
{
public:
    explicit CellDelegate(QTableView *view) : QStyledItemDelegate(view), m_view(view) {}

    void paint(QPainter *painter, const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        painter->save();
        const bool current = m_view->currentIndex().isValid() && m_view->currentIndex().row() == index.row();
        painter->fillRect(option.rect, current ? theme::CurrentFill : theme::CellFill);
        if (index.column() == ColTicked) {
            QStyleOptionViewItem check(option);
            check.features |= QStyleOptionViewItem::HasCheckIndicator;
            const bool on = index.data(Qt::CheckStateRole).toInt() == Qt::Checked;
            check.state = (check.state & ~(QStyle::State_On | QStyle::State_Off)) |
                          (on ? QStyle::State_On : QStyle::State_Off);
            QStyle *style = m_view->style();
            const int w = style->pixelMetric(QStyle::PM_IndicatorWidth, &check, m_view);
            const int h = style->pixelMetric(QStyle::PM_IndicatorHeight, &check, m_view);
            check.rect = QRect(option.rect.center().x() - w / 2, option.rect.center().y() - h / 2, w, h);
            style->drawPrimitive(QStyle::PE_IndicatorItemViewItemCheck, &check, painter, m_view);
        } else {
            painter->setPen(Qt::black);
            painter->setFont(option.font);
            const QRect room = option.rect.adjusted(4, 0, -4, 0);
            const QString text =
                option.fontMetrics.elidedText(index.data().toString(), Qt::ElideRight, room.width());
            painter->drawText(room, Qt::AlignCenter | Qt::TextSingleLine, text);
        }
        painter->restore();
    }

private:
    QTableView *m_view;
};

} // namespace

void PrinterSettingsWindow::buildControls()
{
    const QString headingStyle = u"QLabel { color: #1b2a3a; background: transparent; }"_s;
    const QString captionStyle = u"QLabel { color: rgb(0, 141, 238); background: transparent; }"_s;
    const QString hintStyle = u"QLabel { color: #5a6b7c; background: transparent; }"_s;

    // The band across the top: the program's name and the way back to the board.
    auto *title = label(this, u"Kavri 디스플레이"_s, {24, 0, 400, 48}, u"lbl제목"_s);
    title->setFont(theme::nanum(18, true));
    title->setStyleSheet(u"QLabel { color: white; background: transparent; }"_s);
    auto *close = new platform::ClickLabel(u"닫  기"_s, this);
    connect(close, &platform::ClickLabel::clicked, this, [this] { lblTerminate_Click(); });
    m_lblTerminate = close;
    m_lblTerminate->setObjectName(u"lblTerminate"_s);
    m_lblTerminate->setGeometry(904, 9, 96, 30);
    m_lblTerminate->setAlignment(Qt::AlignCenter);
    m_lblTerminate->setFont(theme::nanum(14, true));
    m_lblTerminate->setStyleSheet(
        u"QLabel { color: white; border: 1px solid white; border-radius: 6px; background: transparent; }"_s);

    // The three step headings.
    const std::array<QString, 3> headings{u"① 프린터설정 - 연결된 프린터를 등록해 주세요."_s,
                                          u"② 주문서설정 - 출력할 주문서의 양식을 선택해 주세요."_s,
                                          u"③ 테이블선택 - 주문받을 테이블을 선택해 주세요."_s};
    const std::array<QRect, 3> headingAt{QRect(24, 58, 440, 26), QRect(24, 298, 560, 26),
                                         QRect(608, 58, 392, 26)};
    const std::array<int, 3> headingIndex{27, 7, 8};
    for (int i = 0; i < 3; ++i) {
        auto *h = label(this, headings[i], headingAt[i], u"lblLabel"_s + QString::number(headingIndex[i]));
        h->setFont(theme::nanum(i == 2 ? 14 : 15, true));
        h->setStyleSheet(headingStyle);
    }
    auto *how = label(this, u"◀ 설정 방법"_s, {464, 58, 120, 26}, u"lblInfo10"_s);
    how->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    how->setStyleSheet(hintStyle);

    // The lists keep the style's own look, drop-down arrow included.
    const QString fieldStyle = u"QLineEdit, QPlainTextEdit { border: 1px solid #9fb3c8; border-radius: 4px;"
                               " background: white; color: #1b2a3a; padding: 0 6px; }"_s;

    // ① Printers.
    auto *cap0 = label(this, u"프린터 설정"_s, {36, 96, 300, 24}, u"lblInfo0"_s);
    cap0->setFont(theme::nanum(14, true));
    cap0->setStyleSheet(captionStyle);
    for (int n = 0; n < 3; ++n) {
        const int y = 126 + n * 52;
        const QString digit = QString::number(n);
        label(this, u"이     름"_s, {36, y, 56, 28});
        m_이름[n] = new QLineEdit(this);
        m_이름[n]->setObjectName(u"프린터_이름"_s + digit);
        m_이름[n]->setGeometry(94, y, 140, 28);
        m_이름[n]->setMaxLength(MaxNameChars);
        m_이름[n]->setPlaceholderText(u"프린터 "_s + QString::number(n + 1));
        label(this, u"포     트"_s, {248, y, 56, 28});
        m_포트[n] = new QComboBox(this);
        m_포트[n]->setObjectName(u"프린터_포트"_s + digit);
        m_포트[n]->setGeometry(306, y, 88, 28);
        label(this, u"통신속도"_s, {408, y, 58, 28});
        m_통신속도[n] = new QComboBox(this);
        m_통신속도[n]->setObjectName(u"프린터_통신속도"_s + digit);
        m_통신속도[n]->setGeometry(468, y, 80, 28);
        label(this, u"bps"_s, {552, y, 28, 28});
        m_포트장치[n] = label(this, {}, {94, y + 29, 484, 18}, u"포트장치"_s + digit);
        m_포트장치[n]->setFont(theme::nanum(11));
        m_이름[n]->setStyleSheet(fieldStyle);
        connect(m_포트[n], &QComboBox::currentIndexChanged, this, [this, n] { refreshDeviceLine(n); });
    }

    // ② Ticket layout.
    auto *cap1 = label(this, u"주문서 설정"_s, {36, 336, 300, 24}, u"lblInfo1"_s);
    cap1->setFont(theme::nanum(14, true));
    cap1->setStyleSheet(captionStyle);
    label(this, u"출력수"_s, {36, 366, 64, 28});
    m_출력수 = new QComboBox(this);
    m_출력수->setObjectName(u"주문서_출력수"_s);
    m_출력수->setGeometry(104, 366, 80, 28);

    const auto optionGroup = [this](const QString &name, const QRect &at) {
        auto *group = new QButtonGroup(this);
        group->setObjectName(name);
        const QStringList options = sizeOptions();
        int x = at.x();
        const std::array<int, 3> widths{70, 92, 120};
        for (int i = 0; i < 3; ++i) {
            auto *option = new QRadioButton(options[i], this);
            option->setObjectName(name + QString::number(i));
            option->setGeometry(x, at.y(), widths[i], at.height());
            group->addButton(option, i);
            x += widths[i];
        }
        return group;
    };
    label(this, u"주문번호"_s, {36, 400, 64, 28});
    m_주문번호_글자크기 = optionGroup(u"주문서_주문번호_글자크기"_s, {104, 400, 300, 28});
    label(this, u"주문내역"_s, {36, 432, 64, 28});
    m_주문내역_글자크기 = optionGroup(u"주문서_주문내역_글자크기"_s, {104, 432, 300, 28});

    m_꼬리말_출력 = new QCheckBox(u"꼬리말 출력"_s, this);
    m_꼬리말_출력->setObjectName(u"주문서_꼬리말_출력"_s);
    m_꼬리말_출력->setGeometry(36, 472, 110, 26);
    label(this, u"글자크기 >"_s, {160, 472, 72, 26});
    m_꼬리말_글자크기 = optionGroup(u"주문서_꼬리말_글자크기"_s, {236, 472, 300, 26});
    connect(m_꼬리말_글자크기, &QButtonGroup::idClicked, this, [this] { 주문서_꼬리말_자동줄바꿈(); });

    m_꼬리말 = new QPlainTextEdit(this);
    m_꼬리말->setObjectName(u"주문서_꼬리말"_s);
    m_꼬리말->setGeometry(36, 504, 340, 130);
    m_꼬리말->setStyleSheet(fieldStyle);
    m_꼬리말->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_꼬리말->installEventFilter(this);
    connect(m_꼬리말, &QPlainTextEdit::textChanged, this, [this] {
        // The box holds at most MaxFooterChars characters; typing beyond that is undone.
        if (m_꼬리말->document()->characterCount() - 1 > MaxFooterChars) {
            QTextCursor c = m_꼬리말->textCursor();
            const int at = c.position();
            const QSignalBlocker block(m_꼬리말);
            m_꼬리말->setPlainText(m_꼬리말->toPlainText().left(MaxFooterChars));
            c = m_꼬리말->textCursor();
            c.setPosition(qMin(at, MaxFooterChars));
            m_꼬리말->setTextCursor(c);
        }
        refreshFooterIndicator();
    });
    // The widths stand beside the lines they count, in the box's own line spacing.
    m_꼬리말길이 = label(this, {}, {382, 504, 60, 130}, u"주문서_꼬리말길이"_s);
    m_꼬리말길이->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_꼬리말길이->setFont(m_꼬리말->font());
    m_꼬리말길이->setContentsMargins(0, 5, 0, 0);
    m_꼬리말길이->setStyleSheet(hintStyle);
    auto *hint = label(this, u"(줄 바꿈은 엔터를 입력하세요.)"_s, {36, 636, 340, 20});
    hint->setFont(theme::nanum(12));
    hint->setStyleSheet(hintStyle);

    m_낱장출력 = new QCheckBox(u"주문상품 마다 낱장 출력"_s, this);
    m_낱장출력->setObjectName(u"주문서_낱장출력"_s);
    m_낱장출력->setGeometry(36, 664, 400, 24);
    m_메뉴가격표시 = new QCheckBox(u"주문서에 메뉴가격 표시"_s, this);
    m_메뉴가격표시->setObjectName(u"주문서_메뉴가격표시"_s);
    m_메뉴가격표시->setGeometry(36, 688, 400, 24);
    m_중간커팅금지 = new QCheckBox(u"주문서와 주문서 사이 커팅 안함"_s, this);
    m_중간커팅금지->setObjectName(u"주문서_중간커팅금지"_s);
    m_중간커팅금지->setGeometry(36, 712, 400, 24);

    // ③ Tables.
    auto *cap2 = label(this, u"주문받을 테이블 선택"_s, {620, 96, 300, 24}, u"lblInfo2"_s);
    cap2->setFont(theme::nanum(14, true));
    cap2->setStyleSheet(captionStyle);
    auto *only = label(this, u"선택된 테이블만 주문내역을 표시합니다."_s, {620, 120, 368, 20}, u"lblInfo9"_s);
    only->setFont(theme::nanum(12));
    only->setStyleSheet(hintStyle);
    m_count = label(this, u"만들어진 테이블"_s, {620, 140, 368, 36}, u"lblInfo6"_s);
    m_count->setWordWrap(true);
    m_count->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    m_tables = new TableGridModel(this);
    m_spr = new QTableView(this);
    m_spr->setObjectName(u"SPR0"_s);
    m_spr->setModel(m_tables);
    m_spr->setItemDelegate(new CellDelegate(m_spr));
    m_spr->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_spr->setSelectionMode(QAbstractItemView::NoSelection);
    m_spr->setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    m_spr->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_spr->setWordWrap(false);
    m_spr->setSortingEnabled(false);
    m_spr->setStyleSheet(u"QTableView { gridline-color: #b9cfe0; background: white; }"
                         " QHeaderView::section { background: #e3ebf2; color: #1b2a3a; border: none;"
                         " border-right: 1px solid #b9cfe0; border-bottom: 1px solid #b9cfe0; }"_s);
    connect(m_spr, &QTableView::clicked, this,
            [this](const QModelIndex &index) { SPR_Click(index.column() + 1, index.row() + 1); });
    connect(m_spr->horizontalHeader(), &QHeaderView::sectionClicked, this,
            [this](int section) { headerClicked(section); });
    // A header click would make a cell of the top row current (the view selects the column), moving
    // the current row without a redraw of the rest of it. Headers sort or do nothing; rows stay put.
    disconnect(m_spr->horizontalHeader(), SIGNAL(sectionPressed(int)), m_spr, SLOT(selectColumn(int)));
    disconnect(m_spr->horizontalHeader(), SIGNAL(sectionEntered(int)), m_spr, SLOT(_q_selectColumn(int)));
    // The current row is drawn across the whole row, so any change of it repaints the rows.
    connect(m_spr->selectionModel(), &QItemSelectionModel::currentChanged, m_spr->viewport(),
            [this] { m_spr->viewport()->update(); });

    m_chk전체선택 = new QCheckBox(u"전체 선택"_s, this);
    m_chk전체선택->setObjectName(u"chk전체선택"_s);
    m_chk전체선택->setGeometry(620, 640, 120, 26);
    connect(m_chk전체선택, &QCheckBox::clicked, this, [this] { chk전체선택_Click(); });

    // The buttons.
    const std::array<QString, 5> captions{u"저 장"_s, u"출력 테스트"_s, u"확 인"_s, {}, {}};
    const std::array<QRect, 5> buttonAt{QRect(736, 690, 120, 44), QRect(868, 690, 120, 44),
                                        QRect(452, 600, 100, 34), QRect(952, 594, 36, 36),
                                        QRect(952, 208, 36, 36)};
    const QString buttonStyle = u"QPushButton { background: rgb(0, 141, 238); color: white;"
                                " border: 1px solid rgb(0, 141, 238); border-radius: 5px; }"
                                " QPushButton:pressed { background: white; color: rgb(0, 141, 238); }"
                                " QPushButton:disabled { background: #9ccbee; border-color: #9ccbee;"
                                " color: #eef6fd; }"_s;
    for (int i = 0; i < 5; ++i) {
        auto *b = new QPushButton(captions[i], this);
        b->setObjectName(u"CMD"_s + QString::number(i));
        b->setGeometry(buttonAt[i]);
        b->setFont(theme::nanum(i == 2 ? 14 : 16, true));
        b->setStyleSheet(buttonStyle);
        b->setFocusPolicy(Qt::NoFocus);
        connect(b, &QPushButton::clicked, this, [this, i] { CMD_Click(i); });
        m_cmd[i] = b;
    }
    // The page buttons' arrows swap colours with the button while it is held down.
    for (int i : {3, 4}) {
        const bool up = i == 4;
        QPushButton *b = m_cmd[i];
        b->setIcon(arrowIcon(up, Qt::white));
        b->setToolTip(up ? u"이전 페이지"_s : u"다음 페이지"_s);
        connect(b, &QPushButton::pressed, this, [b, up] { b->setIcon(arrowIcon(up, theme::ButtonBlue)); });
        connect(b, &QPushButton::released, this, [b, up] { b->setIcon(arrowIcon(up, Qt::white)); });
    }

    // The wait panel of the table list exchange.
    m_picWait = new platform::WaitPanel(this, u"테이블 목록을 불러오는 중입니다"_s, theme::DialogWaitStyle);
}

} // namespace kavri
