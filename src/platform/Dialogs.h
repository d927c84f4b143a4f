#pragma once

#include <QList>
#include <QString>

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
};

/// Real message boxes, titled with the application title.
class QtDialogs final : public Dialogs
{
public:
    DialogAnswer show(DialogIcon icon, const QString &text, DialogButtons buttons) override;
    DialogAnswer showTitled(DialogIcon icon, const QString &text, DialogButtons buttons,
                            const QString &title) override;
};

/// Records every box and answers from a queue; a Yes/No box with nothing queued is answered No.
class RecordingDialogs final : public Dialogs
{
public:
    struct Shown
    {
        DialogIcon icon;
        QString text;
        DialogButtons buttons;
        QString title;
    };

    DialogAnswer show(DialogIcon icon, const QString &text, DialogButtons buttons) override;
    DialogAnswer showTitled(DialogIcon icon, const QString &text, DialogButtons buttons,
                            const QString &title) override;
    void queueAnswer(DialogAnswer answer) { m_answers.append(answer); }
    const QList<Shown> &shown() const { return m_shown; }
    QStringList texts() const;
    void clear()
    {
        m_shown.clear();
        m_answers.clear();
    }

private:
    QList<Shown> m_shown;
    QList<DialogAnswer> m_answers;
};

Dialogs &dialogs();
/// Installs `dialogs` (not owned); nullptr goes back to real message boxes.
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

} // namespace kavri::platform
