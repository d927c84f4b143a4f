#include "printersettings/PrinterSlotsPanel.h"

#include "platform/gui/Theme.h"
#include "printersettings/PanelControls.h"
#include "printersettings/PrinterSettingsParts.h"
#include "printing/PrinterSettingsForm.h"
#include "services/Deployment.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

using namespace Qt::StringLiterals;

namespace kavri {

using namespace settingswindow;

PrinterSlotsPanel::PrinterSlotsPanel(QWidget *parent) : QWidget(parent)
{
    setGeometry(PrinterPanel);
    const auto at = [](const QRect &window) { return inPanel(PrinterPanel, window); };
    auto *caption = label(this, u"프린터 설정"_s, at({36, 96, 300, 24}), u"lblInfo0"_s);
    caption->setFont(theme::nanum(14, true));
    caption->setStyleSheet(theme::SettingsCaptionStyle);
    for (int n = 0; n < Slots; ++n) {
        const int y = 126 + n * 52;
        const QString digit = QString::number(n);
        label(this, u"이     름"_s, at({36, y, 56, 28}));
        m_이름[n] = new QLineEdit(this);
        m_이름[n]->setObjectName(u"프린터_이름"_s + digit);
        m_이름[n]->setGeometry(at({94, y, 140, 28}));
        m_이름[n]->setMaxLength(MaxNameChars);
        m_이름[n]->setPlaceholderText(u"프린터 "_s + QString::number(n + 1));
        label(this, u"포     트"_s, at({248, y, 56, 28}));
        m_포트[n] = new QComboBox(this);
        m_포트[n]->setObjectName(u"프린터_포트"_s + digit);
        m_포트[n]->setGeometry(at({306, y, 88, 28}));
        label(this, u"통신속도"_s, at({408, y, 58, 28}));
        m_통신속도[n] = new QComboBox(this);
        m_통신속도[n]->setObjectName(u"프린터_통신속도"_s + digit);
        m_통신속도[n]->setGeometry(at({468, y, 80, 28}));
        label(this, u"bps"_s, at({552, y, 28, 28}));
        m_포트장치[n] = label(this, {}, at({94, y + 29, 484, 18}), u"포트장치"_s + digit);
        m_포트장치[n]->setFont(theme::nanum(11));
        m_이름[n]->setStyleSheet(theme::SettingsFieldStyle);
        connect(m_포트[n], &QComboBox::currentIndexChanged, this, [this, n] { refreshDeviceLine(n); });
    }
}

void PrinterSlotsPanel::fillLists()
{
    for (int n = 0; n < Slots; ++n) {
        m_포트[n]->addItems(portItems());
        m_포트[n]->setMaxVisibleItems(kPortItems);
        m_포트[n]->setCurrentIndex(0);
        m_통신속도[n]->addItems(speedItems());
        m_통신속도[n]->setMaxVisibleItems(int(kLineSpeeds.size()));
        m_통신속도[n]->setCurrentIndex(0);
    }
}

void PrinterSlotsPanel::readInto(PrinterForm &form) const
{
    for (int n = 0; n < Slots; ++n) {
        form.이름[n] = m_이름[n]->text();
        form.포트[n] = qMax(0, m_포트[n]->currentIndex());
        form.통신속도[n] = qMax(0, m_통신속도[n]->currentIndex());
    }
}

void PrinterSlotsPanel::load(const PrinterForm &form)
{
    for (int n = 0; n < Slots; ++n) {
        m_이름[n]->setText(form.이름[n]);
        m_포트[n]->setCurrentIndex(form.포트[n]);
        m_통신속도[n]->setCurrentIndex(form.통신속도[n]);
        refreshDeviceLine(n);
    }
}

void PrinterSlotsPanel::refreshDeviceLine(int slot)
{
    const int port = qMax(0, m_포트[slot]->currentIndex());
    const PortDeviceLine line = portDeviceLine(loadDeployment(), port);
    QLabel *l = m_포트장치[slot];
    l->setText(line.text);
    l->setToolTip(line.text);
    l->setStyleSheet(line.usable ? theme::DeviceUsableStyle : theme::DeviceUnusableStyle);
}

} // namespace kavri
