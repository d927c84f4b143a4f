#pragma once

#include "platform/Audio.h"

#include <QStringList>

#include <functional>

namespace kavri::platform {

/// A chime player for tests: records every path it was asked to play.
class RecordingChimePlayer final : public ChimePlayer
{
public:
    void play(const QString &path) override { m_played.append(path); }
    const QStringList &played() const { return m_played; }
    void clear() { m_played.clear(); }

private:
    QStringList m_played;
};

/// A speaker for tests: records what it said. Without a Korean voice it says
/// nothing. `whileSpeaking` runs in the middle of speak(), standing for the
/// events that run while a real engine speaks.
class RecordingSpeaker final : public Speaker
{
public:
    void speak(const QString &text) override;
    void stop() override { ++m_stops; }

    void setKoreanVoice(bool available) { m_koreanVoice = available; }
    void setWhileSpeaking(std::function<void()> action) { m_whileSpeaking = std::move(action); }
    const QStringList &spoken() const { return m_spoken; }
    int stops() const { return m_stops; }
    void clear()
    {
        m_spoken.clear();
        m_stops = 0;
    }

private:
    QStringList m_spoken;
    bool m_koreanVoice = true;
    int m_stops = 0;
    std::function<void()> m_whileSpeaking;
};

} // namespace kavri::platform
