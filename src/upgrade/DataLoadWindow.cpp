#include "upgrade/DataLoadWindow.h"

#include "platform/Dialogs.h"
#include "platform/gui/FormRound.h"
#include "platform/gui/ScreenPlacement.h"
#include "services/ErrorReport.h"
#include "services/EventLog.h"
#include "services/Housekeeping.h"
#include "services/ProcessValues.h"
#include "services/Settings.h"
#include "upgrade/Handover.h"
#include "upgrade/UpgradeValues.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include <limits>

using namespace Qt::StringLiterals;

namespace kavri {
namespace {

QString skinFile(const QString &name)
{
    return gSkinPath + u"/"_s + name;
}

} // namespace

frmDataLoad::frmDataLoad(QWidget *parent, DownloadLimits limits)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), m_download(*this, limits)
{
    setObjectName(UpgradeWindowName);
    setWindowTitle(u"프로그램 패치"_s);
    setModal(true);
    QFont base(u"NanumGothic"_s);
    base.setPixelSize(13);
    setFont(base);

    m_pMsgTitle = new QLabel(this);
    m_pMsgTitle->setObjectName(u"pMsgTitle"_s);
    m_pMsgTitle->setGeometry(16, 14, 338, 22);
    QFont titleFont = base;
    titleFont.setBold(true);
    m_pMsgTitle->setFont(titleFont);
    m_pMsgDetail = new QLabel(this);
    m_pMsgDetail->setObjectName(u"pMsgDetail"_s);
    m_pMsgDetail->setGeometry(16, 40, 338, 20);
    m_pMsgCount = new QLabel(this);
    m_pMsgCount->setObjectName(u"pMsgCount"_s);
    m_pMsgCount->setGeometry(16, 62, 200, 18);
    m_pBar = new QProgressBar(this);
    m_pBar->setObjectName(u"pBar"_s);
    m_pBar->setGeometry(16, 84, 338, 14);
    m_pBar->setTextVisible(false);
    m_cmdEnd = new QPushButton(u"종  료"_s, this);
    m_cmdEnd->setObjectName(u"cmdEnd"_s);
    m_cmdEnd->setGeometry(274, 104, 80, 26);
    connect(m_cmdEnd, &QPushButton::clicked, this, &frmDataLoad::cmdEnd_Click);

    Form_Load();
}

frmDataLoad::~frmDataLoad() = default;

void frmDataLoad::Form_Load()
{
    setFixedSize(370, 136);
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        const QString note =
            platform::placeOnScreen(*this, screen->availableGeometry().center() - rect().center());
        if (!note.isEmpty())
            WriteLog(note);
    }
    m_pMsgTitle->clear();
    m_pMsgDetail->clear();
    m_pMsgCount->clear();

    if (FileExists(skinFile(u"01001.jpg"_s)))
        m_background.load(skinFile(u"01001.jpg"_s));
    // Normal, hover and pressed faces of the button, each where its picture exists.
    QStringList faces;
    const QStringList states{u"QPushButton"_s, u"QPushButton:hover"_s, u"QPushButton:pressed"_s};
    for (int i = 0; i < 3; ++i) {
        const QString file = skinFile(u"btn"_s + QString::number(i) + u".jpg"_s);
        if (FileExists(file))
            faces.append(states[i] + u" { border-image: url(\""_s + file + u"\"); }"_s);
    }
    if (!faces.isEmpty())
        m_cmdEnd->setStyleSheet(faces.join(u' '));

    QString error;
    if (!platform::FormRound(this, 12, &error))
        reportError(UpgradeWindowName, u"Form_Load"_s, {4, 5, error});
    unsetCursor();
}

void frmDataLoad::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    // The download starts once the window is on screen and its event loop runs.
    QTimer::singleShot(0, this, &frmDataLoad::Form_Activate);
}

void frmDataLoad::Form_Activate()
{
    if (!m_FirstActivated) {
        WriteLog(u"  ["_s + UpgradeWindowName + LogArrow + u"Form_Activate] Quit"_s);
        return;
    }
    WriteLog(u"  ["_s + UpgradeWindowName + LogArrow + u"Form_Activate] Enter"_s);
    m_FirstActivated = false;
    m_running = true;
    m_ran = true;
    m_result = m_download.TNV_program_patch();
    m_running = false;
    close();
}

void frmDataLoad::cmdEnd_Click()
{
    if (m_DataLoadUpdateType != 0)
        return;
    if (!platform::askYesNoTitled(u"프로그램을 종료하시겠습니까?"_s, u"종료"_s))
        return;
    m_download.requestEnd();
    m_running = false;
    close();
    endUpgradeProcess(0);
}

void frmDataLoad::closeEvent(QCloseEvent *event)
{
    // While the download runs the window stays: it closes when the run ends or by the close button.
    if (m_running) {
        event->ignore();
        return;
    }
    QDialog::closeEvent(event);
}

void frmDataLoad::reject()
{
    if (!m_running)
        QDialog::reject();
}

void frmDataLoad::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    if (!m_background.isNull())
        painter.drawPixmap(rect(), m_background);
    else
        painter.fillRect(rect(), QColor(0xf3, 0xf6, 0xf9));
    QDialog::paintEvent(event);
}

void frmDataLoad::setTitle(const QString &text)
{
    m_pMsgTitle->setText(text);
    m_pMsgTitle->repaint();
}

void frmDataLoad::setDetail(const QString &text)
{
    m_pMsgDetail->setText(text);
    m_pMsgDetail->repaint();
}

void frmDataLoad::setCount(const QString &text)
{
    m_pMsgCount->setText(text);
    m_pMsgCount->repaint();
}

void frmDataLoad::setProgress(qint64 current, qint64 maximum)
{
    if (maximum < 0 || maximum > std::numeric_limits<int>::max())
        return;
    m_pBar->setMaximum(int(maximum));
    if (current >= 0 && current <= maximum)
        m_pBar->setValue(int(current));
}

} // namespace kavri
