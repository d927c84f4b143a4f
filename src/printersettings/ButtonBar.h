#pragma once

#include <QWidget>

class QPushButton;

namespace kavri {

/// The printer settings window's two buttons at the foot of the table panel:
/// "저 장" (save) and "출력 테스트" (save and print a test ticket on every slot).
class ButtonBar : public QWidget
{
public:
    explicit ButtonBar(QWidget *parent);

    QPushButton *saveButton() const { return m_save; }
    QPushButton *testPrintButton() const { return m_testPrint; }

private:
    QPushButton *m_save = nullptr;
    QPushButton *m_testPrint = nullptr;
};

} // namespace kavri
