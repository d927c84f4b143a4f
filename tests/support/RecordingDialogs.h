#pragma once

#include "platform/Dialogs.h"

#include <QStringList>

#include <functional>

namespace kavri::platform {

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
    /// Recorded as shown; answered at once, or held open with holdOpenBoxes().
    void open(DialogIcon icon, const QString &text, DialogButtons buttons,
              std::function<void(DialogAnswer)> answered) override;
    /// Boxes opened without waiting stay open until answerHeld(), as for a person who walked away.
    void holdOpenBoxes(bool hold) { m_hold = hold; }
    /// Answers the oldest box held open; false when none is.
    bool answerHeld(DialogAnswer answer);
    qsizetype heldCount() const { return m_held.size(); }
    void queueAnswer(DialogAnswer answer) { m_answers.append(answer); }
    const QList<Shown> &shown() const { return m_shown; }
    QStringList texts() const;
    void clear()
    {
        m_shown.clear();
        m_answers.clear();
        m_held.clear();
        m_hold = false;
    }
    /// Called with each box as it is shown, before it is answered: what the program
    /// had done by then, while a real box would hold it.
    std::function<void(const Shown &)> whileShown;

private:
    QList<std::function<void(DialogAnswer)>> m_held;
    bool m_hold = false;
    QList<Shown> m_shown;
    QList<DialogAnswer> m_answers;
};

} // namespace kavri::platform
