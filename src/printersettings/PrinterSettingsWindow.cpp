#include "printersettings/PrinterSettingsWindow.h"

#include "platform/Dialogs.h"
#include "platform/gui/ClickLabel.h"
#include "platform/gui/ScreenPlacement.h"
#include "platform/gui/Theme.h"
#include "platform/gui/WaitPanel.h"
#include "printersettings/ButtonBar.h"
#include "printersettings/PanelControls.h"
#include "printersettings/PrinterSettingsParts.h"
#include "printersettings/PrinterSlotsPanel.h"
#include "printersettings/TableGridPanel.h"
#include "printersettings/TicketLayoutPanel.h"
#include "printing/PrinterSettingsForm.h"
#include "printing/TableList.h"
#include "services/AppFolder.h"
#include "services/DeploymentPorts.h"
#include "services/ErrorReport.h"
#include "services/EventLog.h"
#include "services/Housekeeping.h"
#include "services/ProcessValues.h"
#include "services/Settings.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>

#include <array>

using namespace Qt::StringLiterals;

namespace kavri {

using namespace settingswindow;

namespace {

const QString SaveFailed = u"설정 저장에 실패했습니다!"_s;

} // namespace

PrinterSettingsWindow::PrinterSettingsWindow(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
{
    setWindowTitle(u"Kavri 디스플레이 - 프린터 설정"_s);
    setFont(theme::nanum(13));
    buildBand();
    buildHeadings();
    m_slots = new PrinterSlotsPanel(this);
    m_ticket = new TicketLayoutPanel(this);
    m_grid = new TableGridPanel(this);
    m_buttons = new ButtonBar(this);
    m_cmd = {m_buttons->saveButton(), m_buttons->testPrintButton(), m_ticket->rewrapButton(),
             m_grid->nextPageButton(), m_grid->previousPageButton()};
    for (int i = 0; i < int(m_cmd.size()); ++i)
        connect(m_cmd[i], &QPushButton::clicked, this, [this, i] { CMD_Click(i); });
    // The wait panel of the table list exchange, above every panel.
    m_picWait = new platform::WaitPanel(this, u"테이블 목록을 불러오는 중입니다"_s, theme::DialogWaitStyle);
    Form_Load();
}

PrinterSettingsWindow::~PrinterSettingsWindow() = default;

void PrinterSettingsWindow::buildBand()
{
    // The band across the top: the program's name and the way back to the board.
    auto *title = label(this, u"Kavri 디스플레이"_s, {24, 0, 400, 48}, u"lbl제목"_s);
    title->setFont(theme::nanum(18, true));
    title->setStyleSheet(theme::SettingsTitleStyle);
    auto *close = new platform::ClickLabel(u"닫  기"_s, this);
    connect(close, &platform::ClickLabel::clicked, this, [this] { lblTerminate_Click(); });
    m_lblTerminate = close;
    m_lblTerminate->setObjectName(u"lblTerminate"_s);
    m_lblTerminate->setGeometry(904, 9, 96, 30);
    m_lblTerminate->setAlignment(Qt::AlignCenter);
    m_lblTerminate->setFont(theme::nanum(14, true));
    m_lblTerminate->setStyleSheet(theme::SettingsCloseStyle);
}

void PrinterSettingsWindow::buildHeadings()
{
    const std::array<QString, 3> headings{u"① 프린터설정 - 연결된 프린터를 등록해 주세요."_s,
                                          u"② 주문서설정 - 출력할 주문서의 양식을 선택해 주세요."_s,
                                          u"③ 테이블선택 - 주문받을 테이블을 선택해 주세요."_s};
    const std::array<QRect, 3> headingAt{QRect(24, 58, 440, 26), QRect(24, 356, 560, 26),
                                         QRect(608, 58, 392, 26)};
    const std::array<int, 3> headingIndex{27, 7, 8};
    for (int i = 0; i < 3; ++i) {
        auto *h = label(this, headings[i], headingAt[i], u"lblLabel"_s + QString::number(headingIndex[i]));
        h->setFont(theme::nanum(i == 2 ? 14 : 15, true));
        h->setStyleSheet(theme::SettingsHeadingStyle);
    }
    auto *how = label(this, u"◀ 설정 방법"_s, {464, 58, 120, 26}, u"lblInfo10"_s);
    how->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    how->setStyleSheet(theme::SettingsHintStyle);
}

void PrinterSettingsWindow::Form_Load()
{
    WriteLog(u"  ["_s + WindowName + u"→Form_Load] Enter"_s);
    setFixedSize(Width, Height);
    Func_ReadSkin();
    m_slots->fillLists();
    m_ticket->fillLists();
}

void PrinterSettingsWindow::Func_ReadSkin()
{
    // The project's wait picture turns in the wait panel while the table list comes.
    const QString wait = gSkinPath + u"/0106.gif"_s;
    m_picWait->setFallbackSize({260, 130});
    if (FileExists(wait))
        m_picWait->setPicture(wait, 0, {120, 120});
    m_picWait->centreIn({Width, Height});
    m_picWait->hide();
}

void PrinterSettingsWindow::openAt(const QPoint &topLeft)
{
    m_FirstActivated = true;
    const QString note = platform::placeOnScreen(*this, topLeft);
    if (!note.isEmpty())
        WriteLog(note);
    show();
    activateWindow();
}

bool PrinterSettingsWindow::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate) {
        const bool handled = QWidget::event(event);
        Form_Activate();
        return handled;
    }
    return QWidget::event(event);
}

void PrinterSettingsWindow::Form_Activate()
{
    const QString trace = u"  ["_s + WindowName + u"→Form_Activate] "_s;
    if (!m_FirstActivated) {
        WriteLog(trace + u"Quit"_s);
        return;
    }
    m_FirstActivated = false;
    ++m_busy;
    WriteLog(trace + u"Enter"_s);
    Load_설정();
    Load_테이블();
    Load_선택된테이블();
    주문서_꼬리말_자동줄바꿈();
    --m_busy;
}

PrinterForm PrinterSettingsWindow::formFromControls() const
{
    PrinterForm form;
    m_slots->readInto(form);
    m_ticket->readInto(form);
    form.전체선택 = m_grid->allSelected();
    form.선택된이름 = m_grid->tickedNames();
    return form;
}

void PrinterSettingsWindow::applyForm(const PrinterForm &form)
{
    m_slots->load(form);
    m_ticket->load(form);
}

bool PrinterSettingsWindow::Load_설정()
{
    // A port the list does not offer (typed into the file by hand) shows as "없음".
    applyForm(formFromSettings(gPrinterSettings));
    return true;
}

bool PrinterSettingsWindow::Save_설정()
{
    return save().isEmpty();
}

QString PrinterSettingsWindow::save()
{
    // Devices first: slots stored onto ports whose devices never reached Deploy.ini would print elsewhere.
    const PortLines ports = portLinesToWrite(loadDeployment(), m_slots->deviceEdits(), m_slots->usedPorts());
    if (!ports.refusal.isEmpty())
        return SaveFailed + u'\n' + ports.refusal;
    const PortsWrite written = writePortLines(appFilePath(u"Deploy.ini"_s), ports.lines);
    if (!written.written) {
        reportError(WindowName, u"Save_설정"_s, {1, 75, written.failure});
        return SaveFailed + u'\n' + written.failure;
    }
    QList<QPair<QString, QString>> keys = storedPrinterKeys(formFromControls());
    // An empty grid from a list that never came would store an empty selection and stop every ticket.
    if (!m_grid->listLoaded())
        keys.removeIf([](const QPair<QString, QString> &key) { return key.first == u"선택된테이블"_s; });
    // All keys go into the file in one replace: a failure leaves every stored setting as it was.
    if (CfgMain.writeValues(kPrinterSection, keys))
        return {};
    reportError(WindowName, u"Save_설정"_s, {1, 75, u"설정 파일에 쓸 수 없습니다: "_s + CfgMain.fileName()});
    return SaveFailed;
}

bool PrinterSettingsWindow::Load_테이블()
{
    ++m_busy;
    m_grid->clearTables();
    // Saving while the list is on its way would store the selection of an empty grid.
    m_cmd[0]->setEnabled(false);
    m_cmd[1]->setEnabled(false);
    showWait(true);
    const web::TableList list = fetchTableList(gLoginID, gLoginPW);
    showWait(false);
    m_grid->fill(list);
    m_cmd[0]->setEnabled(true);
    m_cmd[1]->setEnabled(true);
    showWait(false);
    --m_busy;
    return true;
}

bool PrinterSettingsWindow::Load_선택된테이블()
{
    m_grid->loadSelection(gPrinterSettings.선택된테이블);
    return true;
}

void PrinterSettingsWindow::showWait(bool visible)
{
    if (visible) {
        m_picWait->showWait();
        repaint();
    } else {
        m_picWait->hideWait();
    }
}

bool PrinterSettingsWindow::주문서_꼬리말_자동줄바꿈()
{
    m_ticket->wrapFooter();
    return true;
}

QString PrinterSettingsWindow::saveAndReload()
{
    const QString failure = save();
    if (!failure.isEmpty())
        return failure;
    Load_프린터설정();
    Load_선택된테이블설정();
    Load_설정();
    m_grid->refreshCountLine();
    return {};
}

void PrinterSettingsWindow::setConnectionCheck(ConnectionCheck check)
{
    m_slots->setConnectionCheck(std::move(check));
}

void PrinterSettingsWindow::CMD_Click(int index)
{
    if (index < 0 || index >= int(m_cmd.size()))
        return;
    QPushButton *button = m_cmd[index];
    WriteLog(u"CMD_Click Start CMD("_s + QString::number(index) + u").Enabled := "_s +
             (button->isEnabled() ? u"True"_s : u"False"_s));
    if (!button->isEnabled())
        return;
    button->setEnabled(false);
    WriteLog(u"CMD_Click NextStep"_s);
    ++m_busy;
    switch (index) {
    case 0:
    case 1: {
        // The boxes do not wait: the board polls on behind this window.
        const QString failure = saveAndReload();
        if (!failure.isEmpty())
            platform::tellError(failure);
        else if (index == 0)
            platform::tellNotice(u"설정이 저장되었습니다."_s);
        else
            printTestTickets(gPrinterSettings, TestPrintGapMs);
        break;
    }
    case 2:
        m_ticket->wrapFooter();
        m_ticket->editFooter();
        break;
    case 3:
        m_grid->nextPage();
        break;
    case 4:
        m_grid->previousPage();
        break;
    }
    m_grid->repaintRows();
    --m_busy;
    button->setEnabled(true);
}

void PrinterSettingsWindow::SPR_Click(int column, int row)
{
    m_grid->click(column, row);
}

void PrinterSettingsWindow::chk전체선택_Click()
{
    m_grid->applySelectAll();
}

void PrinterSettingsWindow::lblTerminate_Click()
{
    close();
}

void PrinterSettingsWindow::closeEvent(QCloseEvent *event)
{
    // Closing in the middle of a save, a test print or the table list would hand the board back half done.
    if (busy()) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
    emit closed();
}

void PrinterSettingsWindow::paintEvent(QPaintEvent *)
{
    // The panels are drawn here, behind the panel widgets, which paint nothing of their own.
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), theme::Page);
    p.fillRect(QRect(0, 0, Width, 48), theme::Band);
    p.setPen(theme::PanelBorder);
    p.setBrush(theme::PanelBack);
    for (const QRect &panel : {PrinterPanel, TicketPanel, TablePanel})
        p.drawRoundedRect(QRectF(panel).adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);
}

int PrinterSettingsWindow::tableRows() const
{
    return m_grid->tableRows();
}

QString PrinterSettingsWindow::tableName(int row) const
{
    return m_grid->tableName(row);
}

bool PrinterSettingsWindow::isTicked(int row) const
{
    return m_grid->isTicked(row);
}

int PrinterSettingsWindow::currentRow() const
{
    return m_grid->currentRow();
}

int PrinterSettingsWindow::firstVisibleRow() const
{
    return m_grid->firstVisibleRow();
}

} // namespace kavri
