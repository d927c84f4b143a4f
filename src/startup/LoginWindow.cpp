#include "startup/LoginWindow.h"

#include "platform/Dialogs.h"
#include "platform/gui/ClickLabel.h"
#include "platform/gui/FormRound.h"
#include "platform/gui/Theme.h"
#include "platform/gui/WaitPanel.h"
#include "services/Conversions.h"
#include "services/ErrorReport.h"
#include "services/EventLog.h"
#include "services/Housekeeping.h"
#include "services/ProcessValues.h"
#include "startup/LoginFollowUp.h"
#include "startup/LoginLayout.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QScreen>
#include <QTimer>

#include <exception>

using namespace Qt::StringLiterals;

namespace kavri {
namespace {

const QString WindowName = u"frmLogin"_s;

QRect rectOf(const login::layout::Box &box)
{
    return {box.x, box.y, box.w, box.h};
}

} // namespace

frmLogin::frmLogin(QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::FramelessWindowHint), m_deployment(loadDeployment())
{
    m_endProcess = [this](int code) {
        hide();
        QCoreApplication::exit(code);
    };
    m_afterSuccess = [] { continueAfterLogin(); };

    setWindowTitle(u"LOGIN"_s);
    QFont base(u"NanumGothic"_s);
    base.setPixelSize(14);
    setFont(base);

    using namespace login::layout;
    m_id = new QLineEdit(this);
    m_id->setObjectName(u"ID"_s);
    m_id->setGeometry(rectOf(IdField));
    m_id->setPlaceholderText(u"아이디"_s);
    m_pw = new QLineEdit(this);
    m_pw->setObjectName(u"PW"_s);
    m_pw->setGeometry(rectOf(PwField));
    m_pw->setEchoMode(QLineEdit::Password);
    m_pw->setPlaceholderText(u"비밀번호"_s);
    for (QLineEdit *field : {m_id, m_pw}) {
        QFont f = base;
        f.setPixelSize(17);
        field->setFont(f);
        field->setStyleSheet(theme::LoginFieldStyle);
    }

    const std::array<QString, 2> toggleNames{u"아이디/비밀번호 저장"_s, u"자동 로그인"_s};
    const std::array<Box, 2> toggleBoxes{RememberToggle, AutoToggle};
    for (int i = 0; i < 2; ++i) {
        auto *toggle = new QCheckBox(this);
        toggle->setObjectName(u"chkLoadValue_"_s + QString::number(i));
        toggle->setGeometry(rectOf(toggleBoxes[i]));
        toggle->setToolTip(toggleNames[i]);
        connect(toggle, &QCheckBox::clicked, this, [this, i] { chkLoadValue_Click(i); });
        m_chkLoadValue[i] = toggle;
    }

    auto *loginButton = new platform::ClickLabel(u"로그인"_s, this);
    connect(loginButton, &platform::ClickLabel::clicked, this, &frmLogin::lblLogin_Click);
    m_lblLogin = loginButton;
    m_lblLogin->setObjectName(u"lblLogin"_s);
    m_lblLogin->setGeometry(rectOf(LoginButton));
    m_lblLogin->setAlignment(Qt::AlignCenter);
    QFont buttonFont = base;
    buttonFont.setPixelSize(19);
    buttonFont.setBold(true);
    m_lblLogin->setFont(buttonFont);
    m_lblLogin->setStyleSheet(theme::LoginButtonStyle);

    m_lblAppName = new QLabel(u"Kavri 디스플레이"_s, this);
    m_lblAppName->setObjectName(u"lbl앱이름"_s);
    m_lblAppName->setGeometry(rectOf(AppName));
    m_lblAppName->setAlignment(Qt::AlignCenter);
    m_lblAppName->setStyleSheet(theme::LoginAppNameStyle);

    m_picWait = new platform::WaitPanel(this, u"잠시만 기다려 주세요"_s, theme::DialogWaitStyle);

    setTabOrder(m_id, m_pw);
    setTabOrder(m_pw, m_chkLoadValue[0]);
    setTabOrder(m_chkLoadValue[0], m_chkLoadValue[1]);
    // The window sees every key before its controls.
    for (QWidget *w :
         std::initializer_list<QWidget *>{m_id, m_pw, m_chkLoadValue[0], m_chkLoadValue[1], m_lblLogin})
        w->installEventFilter(this);

    Form_Load();
}

frmLogin::~frmLogin() = default;

void frmLogin::Form_Load()
{
    using namespace login::layout;
    resize(Width, Height);
    if (const QScreen *screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - QPoint(Width / 2, Height / 2));
    const QString background = gSkinPath + u"/0001.gif"_s;
    if (FileExists(background))
        m_background.load(background);
    const QString wait = gSkinPath + u"/0106.gif"_s;
    m_picWait->setFallbackSize(QSize(Wait.w, Wait.h));
    if (FileExists(wait))
        m_picWait->setPicture(wait);
    m_picWait->centreIn({Width, Height});
    m_picWait->hide();
    QString error;
    if (!platform::FormRound(this, Corner, &error))
        WriteLog(compactErrorReport(u"lib_Form"_s, u"FormRound"_s, {1, 5, error}));

    m_lblLogin->setEnabled(false);
    m_id->clear();
    m_pw->clear();
    m_chkLoadValue[0]->setChecked(false);
    m_chkLoadValue[1]->setChecked(false);

    m_record = login::rememberedRecord();

    m_chkLoadValue[0]->setChecked(ToBool(m_record.at(0)));
    m_chkLoadValue[1]->setChecked(ToBool(m_record.at(1)));
}

void frmLogin::Form_Activate()
{
    const QString trace = u"  ["_s + WindowName + u"→Form_Activate] "_s;
    if (!m_FirstActivated) {
        WriteLog(trace + u"Quit"_s);
        return;
    }
    WriteLog(trace + u"Enter"_s);
    m_FirstActivated = false;

    if (m_record.size() != 4)
        return;
    if (ToBool(m_record.at(0))) {
        m_id->setText(m_record.at(2));
        m_pw->setText(m_record.at(3));
    }
    if (ToBool(m_record.at(1))) {
        m_id->setEnabled(false);
        m_pw->setEnabled(false);
        Delay(100);
        lblLogin_Click();
    } else {
        m_lblLogin->setEnabled(true);
    }
}

void frmLogin::chkLoadValue_Click(int index)
{
    // Logging in by itself needs the remembered ID and password.
    if (index == 1)
        m_chkLoadValue[0]->setChecked(true);
}

void frmLogin::setFieldsEnabled(bool enabled)
{
    m_id->setEnabled(enabled);
    m_pw->setEnabled(enabled);
    m_lblLogin->setEnabled(enabled);
}

void frmLogin::showWait(bool visible)
{
    if (visible) {
        m_picWait->showWait();
        repaint();
    } else {
        m_picWait->hideWait();
    }
}

void frmLogin::lblLogin_Click()
{
    // Events keep running while the service answers: a second click or Enter must not start another login.
    if (!m_attempts.begin())
        return;
    // What is sent is what a success establishes, even if a field changed meanwhile.
    const QString id = m_id->text();
    const QString password = m_pw->text();
    emit loginStarted();

    setFieldsEnabled(false);
    showWait(true);
    const QString answer = login::loginExchange(id, password, m_deployment);
    showWait(false);

    switch (m_attempts.judge(answer)) {
    case login::LoginAttempts::Verdict::FinalFailure:
        // The login stays marked as running: nothing may start while the process ends.
        platform::showError(u"로그인에 3번 실패하여 종료합니다."_s);
        m_endProcess(1);
        return;
    case login::LoginAttempts::Verdict::Failure:
        platform::showNotice(u"로그인에 실패했습니다."_s);
        setFieldsEnabled(true);
        m_attempts.end();
        return;
    case login::LoginAttempts::Verdict::Success:
        break;
    }

    login::applySuccess(answer, m_chkLoadValue[0]->isChecked(), m_chkLoadValue[1]->isChecked(), id, password);
    WriteLog(u"로그인 성공: "_s + id + u" ("_s + gStoreName + u")"_s);
    m_afterSuccess();
    m_attempts.end();
    close();
}

bool frmLogin::handleEnter(QObject *from)
{
    if (from == m_pw) {
        if (m_lblLogin->isEnabled())
            lblLogin_Click();
        return true;
    }
    focusNextChild();
    return true;
}

bool frmLogin::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            return handleEnter(watched);
        }
    }
    return QWidget::eventFilter(watched, event);
}

void frmLogin::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        handleEnter(focusWidget());
        return;
    }
    QWidget::keyPressEvent(event);
}

bool frmLogin::event(QEvent *event)
{
    if (event->type() == QEvent::WindowActivate) {
        const bool handled = QWidget::event(event);
        Form_Activate();
        return handled;
    }
    return QWidget::event(event);
}

void frmLogin::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // A frameless window is not always given the focus: ask for it, but apply the
    // remembered login right after the showing all the same, so an autostarted
    // board never waits at this window for an activation that may not come.
    QTimer::singleShot(0, this, [this] {
        if (!isVisible())
            return;
        if (!isActiveWindow())
            activateWindow();
        if (m_FirstActivated)
            Form_Activate();
    });
}

void frmLogin::closeEvent(QCloseEvent *event)
{
    // Closing while the service answers would leave the login half done.
    if (m_attempts.running()) {
        event->ignore();
        return;
    }
    QWidget::closeEvent(event);
}

void frmLogin::paintEvent(QPaintEvent *event)
{
    QPainter painter(this);
    if (!m_background.isNull())
        painter.drawPixmap(0, 0, m_background);
    else
        painter.fillRect(rect(), QColor(0xf4, 0xf7, 0xfa));
}

} // namespace kavri
