#include "printersettings/TicketLayoutPanel.h"

#include "platform/gui/Theme.h"
#include "printersettings/PanelControls.h"
#include "printersettings/PrinterSettingsParts.h"
#include "printing/ColumnLayout.h"
#include "printing/PrinterSettingsForm.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextBlock>

#include <array>

using namespace Qt::StringLiterals;

namespace kavri {

using namespace settingswindow;

namespace {

QRect ticketAt(const QRect &window)
{
    return inPanel(TicketPanel, window);
}

/// The footer box holds "\n" between lines; the settings and the printer use CR LF.
QString toCrLf(QString text)
{
    return text.replace(u"\r\n"_s, u"\n"_s).replace(u'\r', u'\n').replace(u"\n"_s, u"\r\n"_s);
}

QString fromCrLf(QString text)
{
    return text.replace(u"\r\n"_s, u"\n"_s);
}

QCheckBox *ticketOption(QWidget *parent, const QString &text, const QString &name, const QRect &at)
{
    auto *box = new QCheckBox(text, parent);
    box->setObjectName(name);
    box->setGeometry(ticketAt(at));
    return box;
}

} // namespace

TicketLayoutPanel::TicketLayoutPanel(QWidget *parent) : QWidget(parent)
{
    setGeometry(TicketPanel);
    auto *caption = label(this, u"주문서 설정"_s, ticketAt({36, 392, 300, 24}), u"lblInfo1"_s);
    caption->setFont(theme::nanum(14, true));
    caption->setStyleSheet(theme::SettingsCaptionStyle);
    label(this, u"출력수"_s, ticketAt({36, 420, 64, 28}));
    m_출력수 = new QComboBox(this);
    m_출력수->setObjectName(u"주문서_출력수"_s);
    m_출력수->setGeometry(ticketAt({104, 420, 80, 28}));

    label(this, u"주문번호"_s, ticketAt({36, 450, 64, 28}));
    m_주문번호_글자크기 = sizeGroup(u"주문서_주문번호_글자크기"_s, {104, 450, 300, 28});
    label(this, u"주문내역"_s, ticketAt({36, 480, 64, 28}));
    m_주문내역_글자크기 = sizeGroup(u"주문서_주문내역_글자크기"_s, {104, 480, 300, 28});
    buildFooter();

    m_낱장출력 = ticketOption(this, u"주문상품 마다 낱장 출력"_s, u"주문서_낱장출력"_s, {36, 664, 400, 24});
    m_메뉴가격표시 =
        ticketOption(this, u"주문서에 메뉴가격 표시"_s, u"주문서_메뉴가격표시"_s, {36, 688, 400, 24});
    m_중간커팅금지 =
        ticketOption(this, u"주문서와 주문서 사이 커팅 안함"_s, u"주문서_중간커팅금지"_s, {36, 712, 400, 24});
}

QButtonGroup *TicketLayoutPanel::sizeGroup(const QString &name, const QRect &at)
{
    auto *group = new QButtonGroup(this);
    group->setObjectName(name);
    const QStringList options = sizeOptions();
    int x = at.x();
    const std::array<int, 3> widths{70, 92, 120};
    for (int i = 0; i < 3; ++i) {
        auto *button = new QRadioButton(options[i], this);
        button->setObjectName(name + QString::number(i));
        button->setGeometry(ticketAt({x, at.y(), widths[i], at.height()}));
        group->addButton(button, i);
        x += widths[i];
    }
    return group;
}

void TicketLayoutPanel::buildFooter()
{
    m_꼬리말_출력 = ticketOption(this, u"꼬리말 출력"_s, u"주문서_꼬리말_출력"_s, {36, 512, 110, 26});
    label(this, u"글자크기 >"_s, ticketAt({160, 512, 72, 26}));
    m_꼬리말_글자크기 = sizeGroup(u"주문서_꼬리말_글자크기"_s, {236, 512, 300, 26});
    connect(m_꼬리말_글자크기, &QButtonGroup::idClicked, this, [this] { wrapFooter(); });

    m_꼬리말 = new QPlainTextEdit(this);
    m_꼬리말->setObjectName(u"주문서_꼬리말"_s);
    m_꼬리말->setGeometry(ticketAt({36, 542, 340, 96}));
    m_꼬리말->setStyleSheet(theme::SettingsFieldStyle);
    m_꼬리말->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_꼬리말->installEventFilter(this);
    connect(m_꼬리말, &QPlainTextEdit::textChanged, this, [this] {
        keepFooterWithinLimit();
        refreshFooterIndicator();
    });
    // The widths stand beside the lines they count, in the box's own line spacing.
    m_꼬리말길이 = label(this, {}, ticketAt({382, 542, 60, 96}), u"주문서_꼬리말길이"_s);
    m_꼬리말길이->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_꼬리말길이->setFont(m_꼬리말->font());
    m_꼬리말길이->setContentsMargins(0, 5, 0, 0);
    m_꼬리말길이->setStyleSheet(theme::SettingsHintStyle);
    auto *hint = label(this, u"(줄 바꿈은 엔터를 입력하세요.)"_s, ticketAt({36, 640, 340, 18}));
    hint->setFont(theme::nanum(12));
    hint->setStyleSheet(theme::SettingsHintStyle);
    m_rewrap = commandButton(this, 2, u"확 인"_s, ticketAt({452, 604, 100, 34}), 14);
}

void TicketLayoutPanel::fillLists()
{
    m_출력수->addItems(copiesItems());
    m_출력수->setCurrentIndex(0);
}

void TicketLayoutPanel::readInto(PrinterForm &form) const
{
    form.출력수 = m_출력수->currentIndex();
    form.꼬리말_출력 = m_꼬리말_출력->isChecked();
    form.꼬리말_글자크기 = qMax(0, m_꼬리말_글자크기->checkedId());
    form.꼬리말 = toCrLf(m_꼬리말->toPlainText());
    form.주문내역_글자크기 = qMax(0, m_주문내역_글자크기->checkedId());
    form.메뉴가격표시 = m_메뉴가격표시->isChecked();
    form.중간커팅금지 = m_중간커팅금지->isChecked();
    form.주문번호_글자크기 = qMax(0, m_주문번호_글자크기->checkedId());
    form.낱장출력 = m_낱장출력->isChecked();
}

void TicketLayoutPanel::load(const PrinterForm &form)
{
    m_출력수->setCurrentIndex(form.출력수);
    m_꼬리말_출력->setChecked(form.꼬리말_출력);
    m_꼬리말_글자크기->button(form.꼬리말_글자크기)->setChecked(true);
    m_꼬리말->setPlainText(fromCrLf(form.꼬리말));
    m_주문내역_글자크기->button(form.주문내역_글자크기)->setChecked(true);
    m_메뉴가격표시->setChecked(form.메뉴가격표시);
    m_중간커팅금지->setChecked(form.중간커팅금지);
    m_주문번호_글자크기->button(form.주문번호_글자크기)->setChecked(true);
    m_낱장출력->setChecked(form.낱장출력);
}

void TicketLayoutPanel::wrapFooter()
{
    const QString text = toCrLf(m_꼬리말->toPlainText());
    if (text.isEmpty())
        return;
    const int caret = m_꼬리말->textCursor().position();
    const int code = qMax(0, m_꼬리말_글자크기->checkedId());
    m_꼬리말->setPlainText(fromCrLf(WrapFooter(text, code)));
    QTextCursor c = m_꼬리말->textCursor();
    c.setPosition(qMin(caret, m_꼬리말->document()->characterCount() - 1));
    m_꼬리말->setTextCursor(c);
    refreshFooterIndicator();
}

void TicketLayoutPanel::editFooter()
{
    m_꼬리말->repaint();
    m_꼬리말->setFocus();
}

void TicketLayoutPanel::keepFooterWithinLimit()
{
    // The box holds at most MaxFooterChars characters; typing beyond that is undone.
    if (m_꼬리말->document()->characterCount() - 1 <= MaxFooterChars)
        return;
    QTextCursor c = m_꼬리말->textCursor();
    const int at = c.position();
    const QSignalBlocker block(m_꼬리말);
    m_꼬리말->setPlainText(m_꼬리말->toPlainText().left(MaxFooterChars));
    c = m_꼬리말->textCursor();
    c.setPosition(qMin(at, MaxFooterChars));
    m_꼬리말->setTextCursor(c);
}

void TicketLayoutPanel::refreshFooterIndicator()
{
    m_꼬리말길이->setText(footerIndicator(m_꼬리말->toPlainText()));
}

bool TicketLayoutPanel::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_꼬리말 && event->type() == QEvent::FocusOut)
        wrapFooter();
    return QWidget::eventFilter(watched, event);
}

} // namespace kavri
