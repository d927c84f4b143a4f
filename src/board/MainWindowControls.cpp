#include "board/MainWindow.h"

#include "board/BoardFonts.h"
#include "board/BoardPictures.h"
#include "board/BoardView.h"
#include "board/CaptionPanel.h"
#include "board/MainWindowParts.h"
#include "board/OptionBar.h"
#include "platform/gui/ClickLabel.h"
#include "platform/gui/Theme.h"
#include "platform/gui/WaitPanel.h"

#include <QLabel>
#include <QLineEdit>

using namespace Qt::StringLiterals;

namespace kavri {

using namespace mainwindow;

// Created in stacking order: header, option bar, banner, board, wait picture.
void frmAlarm::createControls()
{
    createHeader();
    createOptionFrame();
    createBanner();

    m_boardView = std::make_unique<monitor::BoardView>(*this, this, [this](int row) {
        if (monitor::ConfirmFlow *flow = confirmFlow())
            flow->rowClicked(row);
    });

    m_picWait = new platform::WaitPanel(this, u"잠시만 기다려 주세요"_s, theme::BoardWaitStyle);
    m_picWait->setFallbackSize({128, 128}, 4);

    // Takes the keyboard focus so that no visible control keeps it.
    m_anchorText = new QLineEdit(this);
    m_anchorText->setObjectName(u"AnchorText"_s);
    m_anchorText->setGeometry(-40, -40, 10, 10);
    // It only holds the focus; read-only, it runs no cursor blink timer.
    m_anchorText->setReadOnly(true);
}

void frmAlarm::createHeader()
{
    m_shpBack = new monitor::Shape(this, theme::GridLines);
    m_shpBack->setObjectName(u"shpBack"_s);

    m_picIcon = new QLabel(this);
    m_picIcon->setObjectName(u"picIcon"_s);
    m_picIcon->setAlignment(Qt::AlignCenter);

    m_상호 = new QLabel(this);
    m_상호->setObjectName(u"상호"_s);
    m_상호->setGeometry(StoreNameRect);
    m_상호->setFont(monitor::boardDisplayFont(20));
    m_상호->setStyleSheet(theme::StoreNameStyle);

    m_lbl버전 = new QLabel(this);
    m_lbl버전->setObjectName(u"lbl버전"_s);
    m_lbl버전->setGeometry(VersionRect);
    m_lbl버전->setFont(monitor::uiFont(11));
    m_lbl버전->setStyleSheet(theme::VersionStyle);

    auto *health = new platform::ClickLabel({}, this);
    connect(health, &platform::ClickLabel::clicked, this, &frmAlarm::lblHealth_Click);
    m_lblHealth = health;
    m_lblHealth->setObjectName(u"lblHealth"_s);
    m_lblHealth->setGeometry(HealthRect);
    m_lblHealth->setFont(monitor::uiFont(11, true));
    showHealth(u"확인 전"_s, false);
}

void frmAlarm::createBanner()
{
    for (int i = 0; i < 2; ++i) {
        m_imgBack[i] = new QLabel(this);
        m_imgBack[i]->setObjectName(indexed(u"imgBack"_s, i));
        m_imgBack[i]->setScaledContents(true);
    }

    m_lblRequest = new monitor::CaptionPanel(this);
    m_lblRequest->setObjectName(u"lblRequest"_s);
    m_lblRequest->setWordWrap(true);
    m_lblRequest->setMargins(monitor::kBannerMargins.horizontal, monitor::kBannerMargins.vertical);
    // The top request is shown whole where it can be, down to the floor.
    m_lblRequest->setShrinkToFit(0.1, monitor::bannerFloorPoints());
    m_lblRequest->setPlaceholder(u"새 요청을 기다리고 있습니다"_s);
    m_lblRequest->setFont(monitor::boardDisplayFont(40));
    setBannerStyle(0);
    connect(m_lblRequest, &monitor::CaptionPanel::clicked, this, &frmAlarm::bannerClicked);

    m_lblTable = new monitor::CaptionPanel(this);
    m_lblTable->setObjectName(u"lblTable"_s);
    m_lblTable->setGeometry(TableRect);
    m_lblTable->setColours(Qt::white, Qt::transparent);
    m_lblTable->setMargin(2);
    m_lblTable->setPlaceholder(u"테이블"_s);

    m_lbl결제방법 = new monitor::CaptionPanel(this);
    m_lbl결제방법->setObjectName(u"lbl결제방법"_s);
    m_lbl결제방법->setGeometry(PayTypeRect);
    m_lbl결제방법->setFont(monitor::boardDisplayFont(20));

    m_cmd = new monitor::CaptionPanel(this);
    m_cmd->setObjectName(indexed(u"CMD"_s, 0));
    m_cmd->setCaption(u"요 청  완 료"_s);
    m_cmd->setGeometry(ConfirmRect);
    m_cmd->setFont(monitor::boardDisplayFont(18));
    m_shp = new monitor::FrameShape(this, 3);
    m_shp->setObjectName(indexed(u"SHP"_s, 0));
    m_cmd->installEventFilter(this);
    connect(m_cmd, &monitor::CaptionPanel::clicked, this, [this] { CMD_Click(0); });
}

void frmAlarm::createOptionFrame()
{
    using monitor::OptionBar;
    m_picFrame = new OptionBar(this);
    connect(m_picFrame, &OptionBar::layoutWidthChosen, this, &frmAlarm::cob크기_Click);
    connect(m_picFrame, &OptionBar::rowCountChosen, this, &frmAlarm::cob표시_Click);
    connect(m_picFrame, &OptionBar::expiryStepClicked, this, &frmAlarm::삭제변경_Click);
    connect(m_picFrame, &OptionBar::positionApplied, this, &frmAlarm::Pos적용_DblClick);
    connect(m_picFrame, &OptionBar::soundTestClicked, this, &frmAlarm::soundTestRequested);
    connect(m_picFrame, &OptionBar::settingsClicked, this, &frmAlarm::lblConfig_Click);
    connect(m_picFrame, &OptionBar::minimizeClicked, this, &frmAlarm::lblMinimize_Click);
    connect(m_picFrame, &OptionBar::statsClicked, this, &frmAlarm::openStats);
    connect(m_picFrame, &OptionBar::alertRepeatChosen, this, [this](int seconds) {
        if (m_formLoading)
            return;
        m_options.alertRepeat = seconds;
        monitor::storeAlertRepeat(m_options.alertRepeat);
        emit alertRepeatChanged(m_options.alertRepeat);
    });
    connect(m_picFrame, &OptionBar::logoutClicked, this, &frmAlarm::lblLogout_Click);
    connect(m_picFrame, &OptionBar::terminateClicked, this, &frmAlarm::lblTerminate_Click);
}

} // namespace kavri
