#pragma once

#include "printing/PortAssignment.h"

#include <QPoint>
#include <QString>
#include <QWidget>

#include <array>

class QLabel;
class QPushButton;

namespace kavri::platform {
class WaitPanel;
}

namespace kavri {

struct PrinterForm;
class ButtonBar;
class PrinterSlotsPanel;
class TableGridPanel;
class TicketLayoutPanel;

/// The printer settings window (frmQ설정): three printer slots, the ticket
/// layout, the shop's tables whose requests are printed, save and test print.
/// The rules live in PrinterSettingsForm.h and TableList.h; the panels hold
/// the controls, and this class runs the shop's procedures over them.
///
/// The main window opens it with openAt() at its own top left corner and hides
/// itself; when this window closes it emits closed(), on which the main window
/// shows itself again. The window is not deleted on close; its owner decides.
class PrinterSettingsWindow : public QWidget
{
    Q_OBJECT
public:
    static constexpr int Width = 1024;
    static constexpr int Height = 768;

    explicit PrinterSettingsWindow(QWidget *parent = nullptr);
    ~PrinterSettingsWindow() override;

    /// Places the window's top left corner at `topLeft`, shows and activates it.
    /// Its first activation loads the settings and the shop's table list.
    void openAt(const QPoint &topLeft);

    /// The 연결 확인 of the 장치 controls; without one (the default) the buttons are hidden.
    void setConnectionCheck(ConnectionCheck check);

    /// True until the first activation has run; openAt() sets it.
    bool m_FirstActivated = false;
    /// True while a button action or the table list exchange runs; the window
    /// does not close meanwhile.
    bool busy() const { return m_busy > 0; }

    // The window's procedures, as the buttons and the first activation run them.
    bool Load_설정();
    bool Save_설정();
    bool Load_테이블();
    bool Load_선택된테이블();
    bool 주문서_꼬리말_자동줄바꿈();
    /// A button: 0 save, 1 save and test print, 2 rewrap the footer, 3 next page, 4 previous page.
    void CMD_Click(int index);
    /// A click into the grid at `column` 1..5 and `row` 1..rows.
    void SPR_Click(int column, int row);
    void chk전체선택_Click();
    /// Closes the window unless an action is still running.
    void lblTerminate_Click();

    // The grid as the shop sees it, rows counted from 1.
    int tableRows() const;
    QString tableName(int row) const;
    bool isTicked(int row) const;
    int currentRow() const;
    int firstVisibleRow() const;

signals:
    /// The window has closed; the main window shows itself again.
    void closed();

protected:
    bool event(QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void buildBand();
    void buildHeadings();
    void Form_Load();
    void Form_Activate();
    void Func_ReadSkin();
    void showWait(bool visible);
    /// Writes the devices to Deploy.ini, then section "프린터" to Zarazo.cfg; on a failure
    /// the text of the box that says so, else empty.
    QString save();
    /// Saves, reloads the record from the file and shows what it holds; as save() on a failure.
    QString saveAndReload();
    PrinterForm formFromControls() const;
    void applyForm(const PrinterForm &form);

    int m_busy = 0;
    PrinterSlotsPanel *m_slots = nullptr;
    TicketLayoutPanel *m_ticket = nullptr;
    TableGridPanel *m_grid = nullptr;
    ButtonBar *m_buttons = nullptr;
    /// The buttons by the numbers CMD_Click() takes.
    std::array<QPushButton *, 5> m_cmd{};
    QLabel *m_lblTerminate = nullptr;
    platform::WaitPanel *m_picWait = nullptr;
};

/// The window under the name the rest of the program knows it by.
using frmQ설정 = PrinterSettingsWindow;

} // namespace kavri
