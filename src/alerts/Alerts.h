#pragma once

#include <QString>
#include <QtGlobal>

#include <functional>

class QObject;

// The sound part of a new request's alert and the sound test. The main window
// keeps the banner highlight and LoopBlinking; it calls announce() between them:
//
//     lblRequest highlighted;
//     if (!kavri::alerts::announce(table, request, mSilent, this))
//         return;          // the window is gone: touch nothing of it
//     LoopBlinking on;
//
// Both sequences let window events run while they wait (about two seconds,
// plus the speech, which is bounded). When `owner` is destroyed meanwhile the
// speech in progress is cut, the remaining steps are skipped and false comes
// back; the caller must then return at once without using its members. When
// `cancelled` (optional) turns true, the pause ends at once, nothing more is
// played or said, and false comes back too; cutting a speech already under
// way is then the caller's (platform::speaker().stop()).
namespace kavri::alerts {

/// The chime's file name, in the sound folder for alerts and in the
/// application folder for the sound test.
inline constexpr char16_t ChimeFileName[] = u"DDD.wav";
/// The pause between the chime and the speech.
inline constexpr quint32 ChimeToSpeechMs = 2000;
/// The sound test's phrase.
QString testPhrase();

/// The spoken text of a new request: the table with every "-" replaced by two
/// spaces, then " ! ! ", then the request ("B-7" + "물 주세요" gives "B  7 ! ! 물 주세요").
QString spokenText(const QString &table, const QString &request);

/// The new request's chime and speech. With `silent` nothing is played or
/// said. Otherwise: gSoundPath + "/DDD.wav" starts, pending events run, a
/// 2000 ms Delay, pending events run, spokenText(table, request) is spoken. A
/// failing step is skipped silently. Returns false when `owner` (optional) was
/// destroyed or `cancelled` turned true during the sequence, true otherwise.
bool announce(const QString &table, const QString &request, bool silent, QObject *owner = nullptr,
              std::function<bool()> cancelled = {});

/// The sound test of lblSound: "DDD.wav" of the application folder starts,
/// pending events run, a 2000 ms Delay, pending events run, the test
/// phrase is spoken. Returns false when `owner` was destroyed or `cancelled`
/// turned true meanwhile.
bool soundTest(QObject *owner = nullptr, std::function<bool()> cancelled = {});

} // namespace kavri::alerts
