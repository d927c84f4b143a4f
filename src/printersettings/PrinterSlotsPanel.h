#pragma once

#include "printing/PrinterSettings.h"

#include <QWidget>

#include <array>

class QComboBox;
class QLabel;
class QLineEdit;

namespace kavri {

struct PrinterForm;

/// Step ① of the printer settings window: name, port and speed of each
/// printer slot, and under each port list the line that says its device.
class PrinterSlotsPanel : public QWidget
{
public:
    explicit PrinterSlotsPanel(QWidget *parent);

    /// Fills the port and speed lists, the first item of each chosen.
    void fillLists();
    void readInto(PrinterForm &form) const;
    void load(const PrinterForm &form);

private:
    void refreshDeviceLine(int slot);

    static constexpr int Slots = PrinterSettings::SlotCount;
    std::array<QLineEdit *, Slots> m_이름{};
    std::array<QComboBox *, Slots> m_포트{};
    std::array<QComboBox *, Slots> m_통신속도{};
    std::array<QLabel *, Slots> m_포트장치{};
};

} // namespace kavri
