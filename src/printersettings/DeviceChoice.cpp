#include "printersettings/DeviceChoice.h"

#include "platform/DeviceDiscovery.h"
#include "printing/PortAssignment.h"

#include <QLineEdit>
#include <QSignalBlocker>

using namespace Qt::StringLiterals;

namespace kavri {

DeviceChoice::DeviceChoice(QWidget *parent) : QComboBox(parent)
{
    setEditable(true);
    // The items carry their state in brackets: neither completion nor Enter may copy that into the line.
    setCompleter(nullptr);
    setInsertPolicy(QComboBox::NoInsert);
    lineEdit()->setMaxLength(255);
    connect(lineEdit(), &QLineEdit::textEdited, this, [this] { emit lineEdited(line()); });
    connect(this, &QComboBox::activated, this, [this](int index) {
        setLine(itemData(index).toString());
        emit lineEdited(line());
    });
}

void DeviceChoice::allowEditing(bool allowed)
{
    setEnabled(allowed);
    // The hint only where staff may act on it.
    lineEdit()->setPlaceholderText(allowed ? u"목록에서 고르거나 tcp://주소 입력"_s : QString());
}

QString DeviceChoice::line() const
{
    return currentText().trimmed();
}

void DeviceChoice::setLine(const QString &line)
{
    const QSignalBlocker quiet(this);
    const QSignalBlocker quietText(lineEdit());
    setCurrentIndex(-1);
    setEditText(line);
}

void DeviceChoice::refreshDevices()
{
    const QString kept = currentText();
    {
        const QSignalBlocker quiet(this);
        clear();
        for (const platform::FoundDevice &device : platform::findDevices())
            addItem(foundDeviceItem(device), device.path);
    }
    setLine(kept);
}

void DeviceChoice::showPopup()
{
    refreshDevices();
    QComboBox::showPopup();
}

} // namespace kavri
