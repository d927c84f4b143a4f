#include "platform/Dialogs.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>

using namespace Qt::StringLiterals;

namespace kavri::platform {
namespace {

QtDialogs g_qtDialogs;
Dialogs *g_dialogs = &g_qtDialogs;

} // namespace

QString appTitle()
{
    return u"Kavri 디스플레이"_s;
}

void nameApplication()
{
    // No display name: Qt would append it to every window title ("패치 확인 — Kavri 디스플레이"),
    // and each window and box of the program carries its whole title itself.
    QCoreApplication::setApplicationName(u"kavri-display"_s);
}

DialogAnswer QtDialogs::show(DialogIcon icon, const QString &text, DialogButtons buttons)
{
    return showTitled(icon, text, buttons, appTitle());
}

DialogAnswer QtDialogs::showTitled(DialogIcon icon, const QString &text, DialogButtons buttons,
                                   const QString &title)
{
    if (!qobject_cast<QApplication *>(QCoreApplication::instance()))
        return buttons == DialogButtons::YesNo ? DialogAnswer::No : DialogAnswer::Ok;
    QMessageBox box;
    box.setWindowTitle(title);
    box.setText(text);
    switch (icon) {
    case DialogIcon::None:
        box.setIcon(QMessageBox::NoIcon);
        break;
    case DialogIcon::Information:
        box.setIcon(QMessageBox::Information);
        break;
    case DialogIcon::Error:
        box.setIcon(QMessageBox::Critical);
        break;
    case DialogIcon::Question:
        box.setIcon(QMessageBox::Question);
        break;
    }
    // Qt's own button texts are English unless a translation is installed.
    if (buttons == DialogButtons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.button(QMessageBox::Yes)->setText(u"예"_s);
        box.button(QMessageBox::No)->setText(u"아니요"_s);
        box.setDefaultButton(QMessageBox::No);
        return box.exec() == QMessageBox::Yes ? DialogAnswer::Yes : DialogAnswer::No;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.button(QMessageBox::Ok)->setText(u"확인"_s);
    box.exec();
    return DialogAnswer::Ok;
}

DialogAnswer RecordingDialogs::show(DialogIcon icon, const QString &text, DialogButtons buttons)
{
    return showTitled(icon, text, buttons, appTitle());
}

DialogAnswer RecordingDialogs::showTitled(DialogIcon icon, const QString &text, DialogButtons buttons,
                                          const QString &title)
{
    m_shown.append({icon, text, buttons, title});
    if (!m_answers.isEmpty())
        return m_answers.takeFirst();
    return buttons == DialogButtons::YesNo ? DialogAnswer::No : DialogAnswer::Ok;
}

QStringList RecordingDialogs::texts() const
{
    QStringList out;
    for (const Shown &s : m_shown)
        out.append(s.text);
    return out;
}

Dialogs &dialogs()
{
    return *g_dialogs;
}

void setDialogs(Dialogs *dialogs)
{
    g_dialogs = dialogs ? dialogs : &g_qtDialogs;
}

void showError(const QString &text)
{
    dialogs().show(DialogIcon::Error, text, DialogButtons::Ok);
}

void showNotice(const QString &text)
{
    dialogs().show(DialogIcon::None, text, DialogButtons::Ok);
}

bool askYesNo(const QString &text)
{
    return dialogs().show(DialogIcon::Question, text, DialogButtons::YesNo) == DialogAnswer::Yes;
}

void showErrorTitled(const QString &text, const QString &title)
{
    dialogs().showTitled(DialogIcon::Error, text, DialogButtons::Ok, title);
}

bool askYesNoTitled(const QString &text, const QString &title)
{
    return dialogs().showTitled(DialogIcon::Question, text, DialogButtons::YesNo, title) == DialogAnswer::Yes;
}

} // namespace kavri::platform
