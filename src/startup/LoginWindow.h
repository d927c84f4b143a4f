#pragma once

#include "services/Deployment.h"
#include "startup/LoginLogic.h"

#include <QPixmap>
#include <QStringList>
#include <QWidget>

#include <array>
#include <functional>

class QCheckBox;
class QLabel;
class QLineEdit;

namespace kavri::platform {
class WaitPanel;
}

namespace kavri {

/// The login window: the shop's ID and password, the two remembered-login
/// toggles, the wait picture. The rules live in login::*; this class wires
/// them to the controls.
class frmLogin : public QWidget
{
    Q_OBJECT
public:
    explicit frmLogin(QWidget *parent = nullptr);
    ~frmLogin() override;

    /// Set by start-up before the window is shown: the first showing applies the
    /// remembered login (and may log in by itself), whether or not the window
    /// manager ever activates the window; cleared once that has run.
    bool m_FirstActivated = false;

    /// The base addresses of the service; read from Deploy.ini when the window is made.
    void setDeployment(const Deployment &deployment) { m_deployment = deployment; }
    /// How the process ends after the third failed login; by default it leaves the event loop with `code`.
    void setEndProcess(std::function<void(int code)> end) { m_endProcess = std::move(end); }
    /// What follows a successful login before the window closes.
    void setAfterSuccess(std::function<void()> next) { m_afterSuccess = std::move(next); }

    int loginFailCount() const { return m_attempts.failCount(); }
    bool loginRunning() const { return m_attempts.running(); }
    /// The record the window load found (always four fields).

public slots:
    /// Starts a login unless one is already running.
    void lblLogin_Click();

signals:
    /// A login has begun (the fields hold what will be sent).
    void loginStarted();

protected:
    bool event(QEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;

private:
    void Form_Load();
    void Form_Activate();
    void chkLoadValue_Click(int index);
    /// Enter: log in from the password field, else go to the next field. True when handled.
    bool handleEnter(QObject *from);
    void setFieldsEnabled(bool enabled);
    void showWait(bool visible);

    Deployment m_deployment;
    login::LoginAttempts m_attempts;
    QStringList m_record;
    std::function<void(int)> m_endProcess;
    std::function<void()> m_afterSuccess;

    QPixmap m_background;
    QLineEdit *m_id = nullptr;
    QLineEdit *m_pw = nullptr;
    QLabel *m_lblLogin = nullptr;
    std::array<QCheckBox *, 2> m_chkLoadValue{};
    platform::WaitPanel *m_picWait = nullptr;
    QLabel *m_lblAppName = nullptr;
};

} // namespace kavri
