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

QStringList RecordingDialogs::texts() const
{
    QStringList out;
    for (const Shown &s : m_shown)
        out.append(s.text);
    return out;
}

} // namespace kavri::platform
