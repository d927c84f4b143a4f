#include "support/RecordingAudio.h"

namespace kavri::platform {

void RecordingSpeaker::speak(const QString &text)
{
    if (!m_koreanVoice)
        return;
    m_spoken.append(text);
    if (m_whileSpeaking)
        m_whileSpeaking();
}

} // namespace kavri::platform
