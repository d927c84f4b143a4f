#include "printersettings/PrinterSettingsWindow.h"

#include "printersettings/PrinterSettingsParts.h"

#include "platform/Dialogs.h"
#include "platform/gui/ScreenPlacement.h"
#include "platform/gui/Theme.h"
#include "platform/gui/WaitPanel.h"
#include "printing/ColumnLayout.h"
#include "printing/PrinterSettingsForm.h"
#include "printing/TableGrid.h"
#include "printing/TableList.h"
#include "printing/TicketOutput.h"
#include "services/ErrorReport.h"
#include "services/EventLog.h"
#include "services/Housekeeping.h"
#include "services/ProcessValues.h"
#include "services/Settings.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSet>
#include <QStandardItemModel>
#include <QStyledItemDelegate>
#include <QTableView>
#include <QTextBlock>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace kavri {

using namespace settingswindow;

namespace {

/// The footer box holds "\n" between lines; the settings and the printer use CR LF.
QString toCrLf(QString text)
{
    return text.replace(u"\r\n"_s, u"\n"_s).replace(u'\r', u'\n').replace(u"\n"_s, u"\r\n"_s);
}

QString fromCrLf(QString text)
{
    return text.replace(u"\r\n"_s, u"\n"_s);
}

} // namespace

PrinterSettingsWindow::PrinterSettingsWindow(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint)
{
    setWindowTitle(u"Kavri 디스플레이 - 프린터 설정"_s);
    setFont(theme::nanum(13));
    buildControls();
    Form_Load();
}

PrinterSettingsWindow::~PrinterSettingsWindow() = default;

void PrinterSettingsWindow::Form_Load()
{
    WriteLog(u"  ["_s + WindowName + u"→Form_Load] Enter"_s);
    setFixedSize(Width, Height);
    Func_ReadSkin();
    for (int n = 0; n < 3; ++n) {
        m_포트[n]->addItems(portItems());
        m_포트[n]->setMaxVisibleItems(kPortItems);
        m_포트[n]->setCurrentIndex(0);
        m_통신속도[n]->addItems(speedItems());
        m_통신속도[n]->setMaxVisibleItems(int(kLineSpeeds.size()));
        m_통신속도[n]->setCurrentIndex(0);
    }
    m_출력수->addItems(copiesItems());
    m_출력수->setCurrentIndex(0);
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
    m_spr->setGeometry(620, 180, 30 + 50 + 90 + 135 + frame + m_spr->verticalScrollBar()->sizeHint().width(),
                       RowHeight * (RowsPerPage + 1) + frame);
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
    PrinterForm f;
    for (int n = 0; n < 3; ++n) {
        f.이름[n] = m_이름[n]->text();
        f.포트[n] = qMax(0, m_포트[n]->currentIndex());
        f.통신속도[n] = qMax(0, m_통신속도[n]->currentIndex());
    }
    f.출력수 = m_출력수->currentIndex();
    f.꼬리말_출력 = m_꼬리말_출력->isChecked();
    f.꼬리말_글자크기 = qMax(0, m_꼬리말_글자크기->checkedId());
    f.꼬리말 = toCrLf(m_꼬리말->toPlainText());
    f.주문내역_글자크기 = qMax(0, m_주문내역_글자크기->checkedId());
    f.메뉴가격표시 = m_메뉴가격표시->isChecked();
    f.중간커팅금지 = m_중간커팅금지->isChecked();
    f.주문번호_글자크기 = qMax(0, m_주문번호_글자크기->checkedId());
    f.낱장출력 = m_낱장출력->isChecked();
    f.전체선택 = m_chk전체선택->isChecked();
    for (int row = 1; row <= tableRows(); ++row) {
        if (isTicked(row))
            f.선택된이름.append(tableName(row));
    }
    return f;
}

void PrinterSettingsWindow::applyForm(const PrinterForm &f)
{
    for (int n = 0; n < 3; ++n) {
        m_이름[n]->setText(f.이름[n]);
        m_포트[n]->setCurrentIndex(f.포트[n]);
        m_통신속도[n]->setCurrentIndex(f.통신속도[n]);
        refreshDeviceLine(n);
    }
    m_출력수->setCurrentIndex(f.출력수);
    m_꼬리말_출력->setChecked(f.꼬리말_출력);
    m_꼬리말_글자크기->button(f.꼬리말_글자크기)->setChecked(true);
    m_꼬리말->setPlainText(fromCrLf(f.꼬리말));
    m_주문내역_글자크기->button(f.주문내역_글자크기)->setChecked(true);
    m_메뉴가격표시->setChecked(f.메뉴가격표시);
    m_중간커팅금지->setChecked(f.중간커팅금지);
    m_주문번호_글자크기->button(f.주문번호_글자크기)->setChecked(true);
    m_낱장출력->setChecked(f.낱장출력);
}

bool PrinterSettingsWindow::Load_설정()
{
    // A port the list does not offer (typed into the file by hand) shows as "없음".
    applyForm(formFromSettings(gPrinterSettings));
    return true;
}

bool PrinterSettingsWindow::Save_설정()
{
    QList<QPair<QString, QString>> keys = storedPrinterKeys(formFromControls());
    // An empty grid from a list that never came would store an empty selection and stop every ticket.
    if (!m_tableListLoaded)
        keys.removeIf([](const QPair<QString, QString> &key) { return key.first == u"선택된테이블"_s; });
    // All keys go into the file in one replace: a failure leaves every stored setting as it was.
    if (CfgMain.writeValues(kPrinterSection, keys))
        return true;
    reportError(WindowName, u"Save_설정"_s, {1, 75, u"설정 파일에 쓸 수 없습니다: "_s + CfgMain.fileName()});
    return false;
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
    const QString text = toCrLf(m_꼬리말->toPlainText());
    if (text.isEmpty())
        return true;
    const int caret = m_꼬리말->textCursor().position();
    const int code = qMax(0, m_꼬리말_글자크기->checkedId());
    m_꼬리말->setPlainText(fromCrLf(WrapFooter(text, code)));
    QTextCursor c = m_꼬리말->textCursor();
    c.setPosition(qMin(caret, m_꼬리말->document()->characterCount() - 1));
    m_꼬리말->setTextCursor(c);
    refreshFooterIndicator();
    return true;
}

void PrinterSettingsWindow::refreshFooterIndicator()
{
    QStringList lines;
    for (const QString &line : m_꼬리말->toPlainText().split(u'\n'))
        lines.append(QString::number(TextWidth(line)) + u"/42"_s);
    m_꼬리말길이->setText(lines.join(u'\n'));
}

void PrinterSettingsWindow::refreshDeviceLine(int slot)
{
    const int port = qMax(0, m_포트[slot]->currentIndex());
    const PortDeviceLine line = portDeviceLine(loadDeployment(), port);
    QLabel *l = m_포트장치[slot];
    l->setText(line.text);
    l->setToolTip(line.text);
    l->setStyleSheet(line.usable ? u"QLabel { color: #2f7d32; background: transparent; }"_s
                                 : u"QLabel { color: #c0392b; background: transparent; }"_s);
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
    const auto reload = [this] {
        Load_프린터설정();
        Load_선택된테이블설정();
        Load_설정();
        refreshCountLine();
    };
    switch (index) {
    case 0:
        // The boxes do not wait: the board polls on behind this window.
        if (Save_설정()) {
            reload();
            platform::tellNotice(u"설정이 저장되었습니다."_s);
        } else {
            platform::tellError(u"설정 저장에 실패했습니다!"_s);
        }
        break;
    case 1:
        if (!Save_설정()) {
            platform::tellError(u"설정 저장에 실패했습니다!"_s);
            break;
        }
        reload();
        printTestTickets(gPrinterSettings, TestPrintGapMs);
        break;
    case 2:
        주문서_꼬리말_자동줄바꿈();
        m_꼬리말->repaint();
        m_꼬리말->setFocus();
        break;
    case 3: {
        const int first = firstVisibleRow();
        if (first < 1)
            break;
        const int top = nextPageTop(first, tableRows(), RowsPerPage);
        // The row the view really shows at the top, which near the end is less than asked.
        const int shown = showFirstRow(top);
        m_spr->setCurrentIndex(m_tables->index(shown - 1, ColNumber));
        break;
    }
    case 4: {
        const int first = firstVisibleRow();
        if (first < 1)
            break;
        const int shown = showFirstRow(previousPageTop(first, RowsPerPage));
        m_spr->setCurrentIndex(m_tables->index(shown - 1, ColNumber));
        break;
    }
    }
    m_spr->viewport()->update();
    --m_busy;
    button->setEnabled(true);
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

bool PrinterSettingsWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_꼬리말 && event->type() == QEvent::FocusOut)
        주문서_꼬리말_자동줄바꿈();
    return QWidget::eventFilter(watched, event);
}

void PrinterSettingsWindow::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect(), theme::Page);
    p.fillRect(QRect(0, 0, Width, 48), theme::Band);
    p.setPen(theme::PanelBorder);
    p.setBrush(Qt::white);
    for (const QRect &panel : {PrinterPanel, TicketPanel, TablePanel})
        p.drawRoundedRect(QRectF(panel).adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);
}

int PrinterSettingsWindow::tableRows() const
{
    return m_tables->tableRows();
}

QString PrinterSettingsWindow::tableName(int row) const
{
    return m_tables->tableName(row);
}

bool PrinterSettingsWindow::isTicked(int row) const
{
    return m_tables->isTicked(row);
}

void PrinterSettingsWindow::setTicked(int row, bool ticked)
{
    m_tables->setTicked(row, ticked);
}

int PrinterSettingsWindow::currentRow() const
{
    const QModelIndex current = m_spr->currentIndex();
    return current.isValid() ? current.row() + 1 : 0;
}

int PrinterSettingsWindow::firstVisibleRow() const
{
    if (tableRows() == 0)
        return 0;
    const int at = m_spr->rowAt(0);
    return at < 0 ? 1 : at + 1;
}

} // namespace kavri
