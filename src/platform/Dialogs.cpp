#include "platform/Dialogs.h"

#include <QCoreApplication>
#include <QLoggingCategory>

using namespace Qt::StringLiterals;

namespace kavri::platform {
namespace {

Q_LOGGING_CATEGORY(lcDialogs, "kavri.dialogs", QtWarningMsg)

HeadlessDialogs g_headlessDialogs;
Dialogs *g_dialogs = &g_headlessDialogs;

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

DialogAnswer HeadlessDialogs::show(DialogIcon icon, const QString &text, DialogButtons buttons)
{
    return showTitled(icon, text, buttons, appTitle());
}

DialogAnswer HeadlessDialogs::showTitled(DialogIcon icon, const QString &text, DialogButtons buttons,
                                         const QString &title)
{
    qCWarning(lcDialogs).noquote() << "no window for the box" << title << ":" << text;
    return buttons == DialogButtons::YesNo ? DialogAnswer::No : DialogAnswer::Ok;
}

Dialogs &dialogs()
{
    return *g_dialogs;
}

void setDialogs(Dialogs *dialogs)
{
    g_dialogs = dialogs ? dialogs : &g_headlessDialogs;
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

void tellError(const QString &text, std::function<void()> closed)
{
    dialogs().open(DialogIcon::Error, text, DialogButtons::Ok, [closed = std::move(closed)](DialogAnswer) {
        if (closed)
            closed();
    });
}

void tellNotice(const QString &text)
{
    dialogs().open(DialogIcon::None, text, DialogButtons::Ok, {});
}

void ask(const QString &text, std::function<void(bool yes)> answered)
{
    dialogs().open(DialogIcon::Question, text, DialogButtons::YesNo,
                   [answered = std::move(answered)](DialogAnswer answer) {
                       if (answered)
                           answered(answer == DialogAnswer::Yes);
                   });
}

} // namespace kavri::platform
