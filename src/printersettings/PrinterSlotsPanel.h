#pragma once

#include "printing/PortAssignment.h"
#include "printing/PrinterSettings.h"
#include "services/Deployment.h"

#include <QMap>
#include <QSet>
#include <QWidget>

#include <array>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace kavri {

struct PrinterForm;
class DeviceChoice;

/// Step ① of the printer settings window: name, port and speed of each
/// printer slot; under each, the 장치 control that says and sets what the
/// port leads to, its 연결 확인 and the line that tells the device's state.
///
/// The device of a port is one assignment whichever slots use the port: an
/// edit shows at once in every slot on the same port.
class PrinterSlotsPanel : public QWidget
{
public:
    explicit PrinterSlotsPanel(QWidget *parent);

    /// Fills the port and speed lists, the first item of each chosen.
    void fillLists();
    void readInto(PrinterForm &form) const;
    /// Shows `form` and the devices Deploy.ini gives now; edits not saved are dropped.
    void load(const PrinterForm &form);
    /// Without a check the 연결 확인 buttons are hidden.
    void setConnectionCheck(ConnectionCheck check);

    /// The lines staff gave the 장치 controls, by port.
    QMap<int, QString> deviceEdits() const { return m_edits; }
    /// The ports the slots have chosen.
    QSet<int> usedPorts() const;

private:
    void buildSlot(int n);
    int portOf(int slot) const;
    void showPort(int slot);
    void deviceEdited(int slot, const QString &line);
    void refreshDeviceLine(int slot);
    void checkConnection(int slot);

    static constexpr int Slots = PrinterSettings::SlotCount;
    std::array<QLineEdit *, Slots> m_이름{};
    std::array<QComboBox *, Slots> m_포트{};
    std::array<QComboBox *, Slots> m_통신속도{};
    std::array<DeviceChoice *, Slots> m_장치{};
    std::array<QPushButton *, Slots> m_연결확인{};
    std::array<QLabel *, Slots> m_포트장치{};
    Deployment m_deployment;
    QMap<int, QString> m_edits;
    ConnectionCheck m_check;
};

} // namespace kavri
