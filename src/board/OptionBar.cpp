#include "board/OptionBar.h"

#include "board/BoardFonts.h"
#include "monitor/AlertRepeat.h"
#include "platform/gui/ClickLabel.h"
#include "platform/gui/Theme.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

#include <array>

using namespace Qt::StringLiterals;

namespace kavri::monitor {
namespace {

const QSize BarSize(684, 56);

/// A static caption inside the bar.
QLabel *caption(const QString &text, QWidget *parent, const QRect &where)
{
    auto *label = new QLabel(text, parent);
    label->setGeometry(where);
    label->setFont(uiFont(13, true));
    label->setAlignment(Qt::AlignVCenter | Qt::AlignRight);
    label->setStyleSheet(theme::OptionCaptionStyle);
    return label;
}

platform::ClickLabel *button(const QString &name, const QString &text, QWidget *parent, const QRect &where)
{
    auto *button = new platform::ClickLabel(text, parent);
    button->setObjectName(name);
    button->setGeometry(where);
    button->setFont(uiFont(13, true));
    button->setAlignment(Qt::AlignCenter);
    button->setStyleSheet(theme::OptionButtonStyle);
    return button;
}

QString repeatLabel(int seconds)
{
    return seconds == 0 ? u"끔"_s : QString::number(seconds) + u"초"_s;
}

} // namespace

OptionBar::OptionBar(QWidget *parent) : QFrame(parent)
{
    setObjectName(u"picFrame"_s);
    resize(BarSize);
    setStyleSheet(theme::OptionBarStyle);

    // First line: the display options.
    caption(u"화면"_s, this, {4, 4, 34, 22});
    cob크기 = new QComboBox(this);
    cob크기->setObjectName(u"cob크기"_s);
    cob크기->addItems({u"1024"_s, u"1366"_s, u"1024 맞춤"_s, u"1366 맞춤"_s});
    // The list shows the longer entries whole; the box stays in its place.
    cob크기->view()->setMinimumWidth(110);
    cob크기->setGeometry(42, 4, 70, 22);
    caption(u"표시"_s, this, {114, 4, 34, 22});
    cob표시 = new QComboBox(this);
    cob표시->setObjectName(u"cob표시"_s);
    cob표시->addItems({u"10개"_s, u"16개"_s, u"30개"_s});
    cob표시->setGeometry(152, 4, 70, 22);

    caption(u"자동삭제"_s, this, {224, 4, 60, 22});
    std::array<platform::ClickLabel *, 2> 삭제변경{};
    삭제변경[0] = button(u"삭제변경_0"_s, u"◀"_s, this, {290, 4, 22, 22});
    삭제 = new QLabel(this);
    삭제->setObjectName(u"삭제"_s);
    삭제->setGeometry(314, 4, 36, 22);
    삭제->setAlignment(Qt::AlignCenter);
    삭제->setFont(uiFont(14, true));
    삭제->setStyleSheet(theme::OptionValueStyle);
    삭제변경[1] = button(u"삭제변경_1"_s, u"▶"_s, this, {352, 4, 22, 22});
    auto *minutes = caption(u"분"_s, this, {376, 4, 16, 22});
    minutes->setAlignment(Qt::AlignVCenter | Qt::AlignLeft);

    caption(u"위치"_s, this, {396, 4, 34, 22});
    posX = new QLineEdit(this);
    posX->setObjectName(u"PosX"_s);
    posX->setGeometry(434, 4, 58, 22);
    posY = new QLineEdit(this);
    posY->setObjectName(u"PosY"_s);
    posY->setGeometry(496, 4, 58, 22);
    auto *pos적용 = button(u"Pos적용"_s, u"적용"_s, this, {558, 4, 50, 22});
    pos적용->setToolTip(u"두 번 눌러 적용"_s);

    // Second line: the commands.
    auto *lblSound = button(u"lblSound"_s, u"소리 테스트"_s, this, {4, 30, 96, 22});
    auto *lblConfig = button(u"lblConfig"_s, u"프린터 설정"_s, this, {106, 30, 96, 22});
    auto *lblMinimize = button(u"lblMinimize"_s, u"아이콘"_s, this, {208, 30, 80, 22});
    auto *lblStats = button(u"lblStats"_s, u"통계"_s, this, {294, 30, 50, 22});
    caption(u"반복"_s, this, {348, 30, 32, 22});
    cobRepeat = new QComboBox(this);
    cobRepeat->setObjectName(u"cobRepeat"_s);
    for (int seconds : AlertRepeat::Choices)
        cobRepeat->addItem(repeatLabel(seconds), seconds);
    cobRepeat->setGeometry(382, 30, 90, 22);
    cobRepeat->setToolTip(u"아무도 확인하지 않은 맨 위 요청을 다시 알립니다 (최대 5번)"_s);
    auto *lblLogout = button(u"lblLogout"_s, u"로그아웃"_s, this, {478, 30, 96, 22});
    auto *lblTerminate = button(u"lblTerminate"_s, u"종료"_s, this, {580, 30, 96, 22});
    lblTerminate->setStyleSheet(theme::OptionStopButtonStyle);

    using platform::ClickLabel;
    connect(cob크기, &QComboBox::currentIndexChanged, this, &OptionBar::layoutWidthChosen);
    connect(cob표시, &QComboBox::currentIndexChanged, this, &OptionBar::rowCountChosen);
    for (int i = 0; i < 2; ++i)
        connect(삭제변경[i], &ClickLabel::clicked, this, [this, i] { emit expiryStepClicked(i); });
    connect(pos적용, &ClickLabel::doubleClicked, this, &OptionBar::positionApplied);
    connect(lblSound, &ClickLabel::clicked, this, &OptionBar::soundTestClicked);
    connect(lblConfig, &ClickLabel::clicked, this, &OptionBar::settingsClicked);
    connect(lblMinimize, &ClickLabel::clicked, this, &OptionBar::minimizeClicked);
    connect(lblStats, &ClickLabel::clicked, this, &OptionBar::statsClicked);
    connect(cobRepeat, &QComboBox::currentIndexChanged, this, [this](int index) {
        if (const int seconds = repeatSeconds(index); seconds >= 0)
            emit alertRepeatChosen(seconds);
    });
    connect(lblLogout, &ClickLabel::clicked, this, &OptionBar::logoutClicked);
    connect(lblTerminate, &ClickLabel::clicked, this, &OptionBar::terminateClicked);
}

void OptionBar::showLayout(int resolutionIdx, int displayIdx, bool fill)
{
    cob크기->setCurrentIndex(resolutionIdx + (fill ? 2 : 0));
    cob표시->setCurrentIndex(displayIdx);
}

int OptionBar::layoutWidthIndex() const
{
    const int index = cob크기->currentIndex();
    return index < 0 ? index : index % 2;
}

bool OptionBar::fillChosen() const
{
    return cob크기->currentIndex() >= 2;
}

int OptionBar::rowCountIndex() const
{
    return cob표시->currentIndex();
}

void OptionBar::showExpiryMinutes(qint64 minutes)
{
    삭제->setText(QString::number(minutes));
}

QString OptionBar::shownExpiryMinutes() const
{
    return 삭제->text();
}

void OptionBar::showPosition(qint64 x, qint64 y)
{
    posX->setText(QString::number(x));
    posY->setText(QString::number(y));
}

QString OptionBar::positionX() const
{
    return posX->text();
}

QString OptionBar::positionY() const
{
    return posY->text();
}

void OptionBar::showRepeat(int seconds)
{
    // One entry of its own at most: one left from an earlier showing goes.
    for (int i = cobRepeat->count() - 1; i >= 0; --i) {
        if (AlertRepeat::choiceIndex(repeatSeconds(i)) < 0)
            cobRepeat->removeItem(i);
    }
    int at = cobRepeat->findData(seconds);
    if (at < 0) {
        at = 0;
        while (at < cobRepeat->count() && repeatSeconds(at) < seconds)
            ++at;
        cobRepeat->insertItem(at, repeatLabel(seconds), seconds);
    }
    cobRepeat->setCurrentIndex(at);
}

int OptionBar::repeatSeconds(int index) const
{
    const QVariant seconds = cobRepeat->itemData(index);
    return seconds.isValid() ? seconds.toInt() : -1;
}

} // namespace kavri::monitor
