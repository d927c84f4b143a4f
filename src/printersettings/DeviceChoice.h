#pragma once

#include <QComboBox>

namespace kavri {

/// The 장치 control of one printer slot: its text is the slot's [Ports] line,
/// typed (a network address) or picked from the devices found on this PC, which
/// the list gathers anew each time it opens.
class DeviceChoice : public QComboBox
{
    Q_OBJECT
public:
    explicit DeviceChoice(QWidget *parent);

    /// Enabled with its typing hint, or greyed without it (no port, or a locked deployment).
    void allowEditing(bool allowed);
    QString line() const;
    /// Shows `line` as the text, announcing nothing.
    void setLine(const QString &line);
    /// Lists the devices found now, each with its state; the text stays.
    void refreshDevices();
    void showPopup() override;

signals:
    /// Staff typed or picked a line.
    void lineEdited(const QString &line);
};

} // namespace kavri
