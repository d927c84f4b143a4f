#include "board/MainWindow.h"

#include "board/BannerView.h"
#include "board/BoardDesign.h"
#include "board/BoardFonts.h"
#include "board/BoardPictures.h"
#include "board/BoardView.h"
#include "board/CaptionPanel.h"
#include "board/HeaderView.h"
#include "board/IconView.h"
#include "board/OptionBar.h"
#include "board/WindowPlacement.h"
#include "platform/gui/ClickLabel.h"
#include "platform/gui/Theme.h"
#include "platform/gui/WaitPanel.h"

#include <QLabel>
#include <QLineEdit>

using namespace Qt::StringLiterals;

namespace kavri {

using namespace design;
using monitor::placeWindow;
using monitor::storedPosition;

// Created in stacking order: header, option bar, banner, board, wait mark.
void frmAlarm::createControls()
{
    createHeader();
    createOptionFrame();
    createBanner();

    m_rowMenu = new monitor::RowMenu(*this, *m_board,
                                     [this](const QObject *cell) { return m_boardView->rowOf(cell); });
    m_boardView = std::make_unique<monitor::BoardView>(*this, m_rowMenu, [this](int row) {
        if (monitor::ConfirmFlow *flow = confirmFlow())
            flow->rowClicked(row);
    });

    m_picWait = new platform::WaitPanel(this, u"잠시만 기다려 주세요"_s, theme::BoardWaitStyle);
    m_picWait->setFallbackSize(PicIconRect.size(), 4);
    m_picWait->setPictureBound({48, 48});
    m_picWait->picture()->setFont(monitor::uiFont(13, true));

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

    m_icon = new monitor::IconView(*this);

    m_header = new monitor::HeaderView(*this);
    connect(m_header, &monitor::HeaderView::healthClicked, this, &frmAlarm::lblHealth_Click);
    connect(m_header, &monitor::HeaderView::linesPlaced, this, [this] {
        if (!m_iconMode)
            m_screenFill.rescale(*this);
    });
    showHealth(u"확인 전"_s, false);
}

void frmAlarm::createBanner()
{
    m_banner = new monitor::BannerView(*this);
    connect(m_banner, &monitor::BannerView::clicked, this, &frmAlarm::bannerClicked);
    connect(m_banner, &monitor::BannerView::confirmClicked, this, [this] { CMD_Click(0); });
    // In icon mode the icon flashes for as long as the banner is highlighted.
    connect(m_banner, &monitor::BannerView::highlightChanged, m_icon, &monitor::IconView::setFlashing);

    m_openCount = new monitor::CaptionPanel(this);
    m_openCount->setObjectName(u"lblOpenCount"_s);
    m_openCount->setGeometry(OpenCountRect);
    m_openCount->setFont(monitor::boardDisplayFont(16));
    m_openCount->setColours(theme::OpenCountInk, theme::OpenCountBack);
    m_openCount->setFrame(8);
    m_openCount->setMargin(2);
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
