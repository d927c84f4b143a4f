#include "support/RecordingDialogs.h"

namespace kavri::platform {

DialogAnswer RecordingDialogs::show(DialogIcon icon, const QString &text, DialogButtons buttons)
{
    return showTitled(icon, text, buttons, appTitle());
}

DialogAnswer RecordingDialogs::showTitled(DialogIcon icon, const QString &text, DialogButtons buttons,
                                          const QString &title)
{
    m_shown.append({icon, text, buttons, title});
    if (whileShown)
        whileShown(m_shown.last());
    if (!m_answers.isEmpty())
        return m_answers.takeFirst();
    return buttons == DialogButtons::YesNo ? DialogAnswer::No : DialogAnswer::Ok;
}

void RecordingDialogs::open(DialogIcon icon, const QString &text, DialogButtons buttons,
                            std::function<void(DialogAnswer)> answered)
{
    if (!m_hold) {
        const DialogAnswer answer = show(icon, text, buttons);
        if (answered)
            answered(answer);
        return;
    }
    m_shown.append({icon, text, buttons, appTitle()});
    m_held.append(std::move(answered));
}

bool RecordingDialogs::answerHeld(DialogAnswer answer)
{
    if (m_held.isEmpty())
        return false;
    const std::function<void(DialogAnswer)> answered = m_held.takeFirst();
    if (answered)
        answered(answer);
    return true;
}

QStringList RecordingDialogs::texts() const
{
    QStringList out;
    for (const Shown &s : m_shown)
        out.append(s.text);
    return out;
}

} // namespace kavri::platform
