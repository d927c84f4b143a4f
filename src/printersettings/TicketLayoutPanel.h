#pragma once

#include <QWidget>

class QButtonGroup;
class QCheckBox;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace kavri {

struct PrinterForm;

/// Step ② of the printer settings window: copies, the sizes of the order
/// number, the items and the footer, the footer itself with the width of each
/// of its lines, and the ticket options. The footer is wrapped to the ticket
/// when its size changes, when it loses the focus and on the rewrap button.
class TicketLayoutPanel : public QWidget
{
public:
    explicit TicketLayoutPanel(QWidget *parent);

    /// Fills the copies list, its first item chosen.
    void fillLists();
    void readInto(PrinterForm &form) const;
    void load(const PrinterForm &form);

    /// Wraps the footer to the ticket width of its size; the caret stays where it was.
    void wrapFooter();
    /// The button "확 인", which wraps the footer.
    QPushButton *rewrapButton() const { return m_rewrap; }
    /// Puts the caret back into the footer, drawn at once.
    void editFooter();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QButtonGroup *sizeGroup(const QString &name, const QRect &at);
    void buildFooter();
    void keepFooterWithinLimit();
    void refreshFooterIndicator();

    QComboBox *m_출력수 = nullptr;
    QButtonGroup *m_주문번호_글자크기 = nullptr;
    QButtonGroup *m_주문내역_글자크기 = nullptr;
    QButtonGroup *m_꼬리말_글자크기 = nullptr;
    QCheckBox *m_꼬리말_출력 = nullptr;
    QPlainTextEdit *m_꼬리말 = nullptr;
    QLabel *m_꼬리말길이 = nullptr;
    QCheckBox *m_낱장출력 = nullptr;
    QCheckBox *m_메뉴가격표시 = nullptr;
    QCheckBox *m_중간커팅금지 = nullptr;
    QPushButton *m_rewrap = nullptr;
};

} // namespace kavri
