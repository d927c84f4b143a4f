#include "printersettings/PrinterSlotsPanel.h"

#include "platform/gui/Theme.h"
#include "printersettings/DeviceChoice.h"
#include "printersettings/PanelControls.h"
#include "printersettings/PrinterSettingsParts.h"
#include "printing/PrinterSettingsForm.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace kavri {

using namespace settingswindow;

namespace {

QRect at(const QRect &window)
{
    return inPanel(PrinterPanel, window);
}

const QString LockedNote = u" · Deploy.ini [Ports] Locked=1: 설치 때 정한 장치라 여기서 바꿀 수 없습니다"_s;

} // namespace

PrinterSlotsPanel::PrinterSlotsPanel(QWidget *parent) : QWidget(parent)
{
    setGeometry(PrinterPanel);
    auto *caption = label(this, u"프린터 설정"_s, at({36, 96, 300, 24}), u"lblInfo0"_s);
    caption->setFont(theme::nanum(14, true));
    caption->setStyleSheet(theme::SettingsCaptionStyle);
    for (int n = 0; n < Slots; ++n)
        buildSlot(n);
}

void PrinterSlotsPanel::buildSlot(int n)
{
    const int y = SlotTop + n * SlotPitch;
    const QString digit = QString::number(n);
    label(this, u"이     름"_s, at({36, y, 56, 28}));
    m_이름[n] = new QLineEdit(this);
    m_이름[n]->setObjectName(u"프린터_이름"_s + digit);
    m_이름[n]->setGeometry(at({94, y, 140, 28}));
    m_이름[n]->setMaxLength(MaxNameChars);
    m_이름[n]->setPlaceholderText(u"프린터 "_s + QString::number(n + 1));
    m_이름[n]->setStyleSheet(theme::SettingsFieldStyle);
    label(this, u"포     트"_s, at({248, y, 56, 28}));
    m_포트[n] = new QComboBox(this);
    m_포트[n]->setObjectName(u"프린터_포트"_s + digit);
    m_포트[n]->setGeometry(at({306, y, 88, 28}));
    label(this, u"통신속도"_s, at({408, y, 58, 28}));
    m_통신속도[n] = new QComboBox(this);
    m_통신속도[n]->setObjectName(u"프린터_통신속도"_s + digit);
    m_통신속도[n]->setGeometry(at({468, y, 80, 28}));
    label(this, u"bps"_s, at({552, y, 28, 28}));

    label(this, u"장     치"_s, at({36, y + 30, 56, 24}));
    m_장치[n] = new DeviceChoice(this);
    m_장치[n]->setObjectName(u"프린터_장치"_s + digit);
    m_장치[n]->setGeometry(at({94, y + 30, 380, 24}));
    m_장치[n]->setFont(theme::nanum(12));
    m_연결확인[n] = new QPushButton(u"연결 확인"_s, this);
    m_연결확인[n]->setObjectName(u"연결확인"_s + digit);
    m_연결확인[n]->setGeometry(at({480, y + 30, 98, 24}));
    m_연결확인[n]->setFont(theme::nanum(12, true));
    m_연결확인[n]->setStyleSheet(theme::SettingsButtonStyle);
    m_연결확인[n]->hide();
    m_포트장치[n] = label(this, {}, at({94, y + 56, 484, 16}), u"포트장치"_s + digit);
    m_포트장치[n]->setFont(theme::nanum(11));
    // Typed text is shown as typed, never read as markup.
    m_포트장치[n]->setTextFormat(Qt::PlainText);

    connect(m_포트[n], &QComboBox::currentIndexChanged, this, [this, n] { showPort(n); });
    connect(m_장치[n], &DeviceChoice::lineEdited, this,
            [this, n](const QString &line) { deviceEdited(n, line); });
    connect(m_연결확인[n], &QPushButton::clicked, this, [this, n] { checkConnection(n); });
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
        form.포트[n] = portOf(n);
        form.통신속도[n] = qMax(0, m_통신속도[n]->currentIndex());
    }
}

void PrinterSlotsPanel::load(const PrinterForm &form)
{
    m_deployment = loadDeployment();
    m_edits.clear();
    for (int n = 0; n < Slots; ++n) {
        m_이름[n]->setText(form.이름[n]);
        m_포트[n]->setCurrentIndex(form.포트[n]);
        m_통신속도[n]->setCurrentIndex(form.통신속도[n]);
        m_장치[n]->refreshDevices();
        showPort(n);
    }
}

void PrinterSlotsPanel::setConnectionCheck(ConnectionCheck check)
{
    m_check = std::move(check);
    for (QPushButton *button : m_연결확인)
        button->setVisible(bool(m_check));
}

QSet<int> PrinterSlotsPanel::usedPorts() const
{
    QSet<int> ports;
    for (int n = 0; n < Slots; ++n)
        ports.insert(portOf(n));
    return ports;
}

int PrinterSlotsPanel::portOf(int slot) const
{
    return qMax(0, m_포트[slot]->currentIndex());
}

void PrinterSlotsPanel::showPort(int slot)
{
    const int port = portOf(slot);
    DeviceChoice *choice = m_장치[slot];
    choice->setLine(m_edits.value(port, assignedLine(m_deployment, port)));
    choice->allowEditing(port > 0 && !m_deployment.portsLocked);
    choice->setToolTip(m_deployment.portsLocked ? LockedNote.mid(3) : QString());
    m_연결확인[slot]->setEnabled(port > 0);
    refreshDeviceLine(slot);
}

void PrinterSlotsPanel::deviceEdited(int slot, const QString &line)
{
    const int port = portOf(slot);
    if (port < 1 || m_deployment.portsLocked)
        return;
    m_edits.insert(port, line);
    for (int n = 0; n < Slots; ++n) {
        if (n != slot && portOf(n) == port)
            m_장치[n]->setLine(line);
        if (portOf(n) == port)
            refreshDeviceLine(n);
    }
}

void PrinterSlotsPanel::refreshDeviceLine(int slot)
{
    const int port = portOf(slot);
    // What the port leads to today, or what staff made of it and have not saved yet.
    const auto edit = m_edits.constFind(port);
    PortDeviceLine line = edit != m_edits.cend() ? deviceLineOf(*edit) : portDeviceLine(m_deployment, port);
    if (port > 0 && m_deployment.portsLocked)
        line.text += LockedNote;
    QLabel *l = m_포트장치[slot];
    l->setText(line.text);
    l->setToolTip(line.text);
    l->setStyleSheet(line.usable ? theme::DeviceUsableStyle : theme::DeviceUnusableStyle);
    // The speed goes only to a serial line; the list stays as stored for when the slot goes back to one.
    m_통신속도[slot]->setEnabled(line.speedUsed);
    m_통신속도[slot]->setToolTip(line.speedUsed ? QString() : u"이 장치에는 통신속도가 쓰이지 않습니다"_s);
}

void PrinterSlotsPanel::checkConnection(int slot)
{
    if (!m_check || portOf(slot) < 1)
        return;
    const qint32 speed =
        kLineSpeeds[size_t(qBound(0, m_통신속도[slot]->currentIndex(), int(kLineSpeeds.size()) - 1))];
    QLabel *l = m_포트장치[slot];
    QPushButton *button = m_연결확인[slot];
    // A printer that does not answer can hold the check for seconds: say so, and take no second click.
    button->setEnabled(false);
    l->setText(u"연결 확인 중…"_s);
    l->repaint();
    const QString answer = connectionCheckLine(m_장치[slot]->line(), speed, m_check);
    button->setEnabled(portOf(slot) > 0);
    l->setText(u"연결 확인: "_s + answer);
    l->setToolTip(l->text());
    l->setStyleSheet(theme::SettingsHintStyle);
}

} // namespace kavri
