#pragma once

#include <QList>
#include <QString>

#include <functional>

namespace kavri::platform {

/// The title of every message box of the program.
QString appTitle();

/// Names the application at start; sets no display name, so window titles stay as given.
void nameApplication();

enum class DialogIcon { None, Information, Error, Question };
enum class DialogButtons { Ok, YesNo };
enum class DialogAnswer { Ok, Yes, No };

/// Every modal message box goes through here, so a test can answer and read it.
class Dialogs
{
public:
    virtual ~Dialogs() = default;
    virtual DialogAnswer show(DialogIcon icon, const QString &text, DialogButtons buttons) = 0;
    /// The same with a title of its own instead of the application title.
    virtual DialogAnswer showTitled(DialogIcon icon, const QString &text, DialogButtons buttons,
                                    const QString &title)
    {
        return show(icon, text, buttons);
    }
    /// A box that runs no event loop of its own: the caller goes on at once, and polls,
    /// alerts and timers go on while it is open. `answered` (may be empty) runs once
    /// with the answer when the box is closed. This one answers at once.
    virtual void open(DialogIcon icon, const QString &text, DialogButtons buttons,
                      std::function<void(DialogAnswer)> answered)
    {
        const DialogAnswer answer = show(icon, text, buttons);
        if (answered)
            answered(answer);
    }
};

/// Answers without a window: every box is logged (category kavri.dialogs) and
/// answered OK, a Yes/No box No. In use until start-up installs the real boxes,
/// so code run without a GUI never blocks on a window and never says Yes.
class HeadlessDialogs final : public Dialogs
{
public:
    DialogAnswer show(DialogIcon icon, const QString &text, DialogButtons buttons) override;
    DialogAnswer showTitled(DialogIcon icon, const QString &text, DialogButtons buttons,
                            const QString &title) override;
};

Dialogs &dialogs();
/// Installs `dialogs` (not owned); nullptr goes back to HeadlessDialogs.
void setDialogs(Dialogs *dialogs);

/// A box with the error icon and an OK button.
void showError(const QString &text);
/// A box with only an OK button.
void showNotice(const QString &text);
/// A question with Yes and No; true only for Yes.
bool askYesNo(const QString &text);
/// The same two with a title of their own.
void showErrorTitled(const QString &text, const QString &title);
bool askYesNoTitled(const QString &text, const QString &title);

/// The boxes of a running board, which must never hold its poll loop (Dialogs::open):
/// an error box; `closed` (may be empty) runs when it is closed.
void tellError(const QString &text, std::function<void()> closed = {});
/// A box with only an OK button.
void tellNotice(const QString &text);
/// A question with Yes and No; `answered` gets true only for Yes.
void ask(const QString &text, std::function<void(bool yes)> answered);

} // namespace kavri::platform
