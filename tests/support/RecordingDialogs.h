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
    void queueAnswer(DialogAnswer answer) { m_answers.append(answer); }
    const QList<Shown> &shown() const { return m_shown; }
    QStringList texts() const;
    void clear()
    {
        m_shown.clear();
        m_answers.clear();
    }
    /// Called with each box as it is shown, before it is answered: what the program
    /// had done by then, while a real box would hold it.
    std::function<void(const Shown &)> whileShown;

private:
    QList<Shown> m_shown;
    QList<DialogAnswer> m_answers;
};

} // namespace kavri::platform
