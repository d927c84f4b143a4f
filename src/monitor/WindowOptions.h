#pragma once

#include <QString>

// The options the main window loads with, from section "Set" of Zarazo.cfg.
namespace kavri::monitor {

struct WindowOptions
{
    qint64 displayPosX = 0;
    qint64 displayPosY = 0;
    int alramsound = 100;
    int resolutionIdx = 0; ///< 0 or 1
    int displayIdx = 0;    ///< 0, 1 or 2
    qint64 displayDelete = 0;
    int alertRepeat = 0; ///< "AlertRepeat": seconds between repeats of an unanswered alert, 0 off
};

/// A stored list index: its ToLong when it names one of the `count` entries, else 0.
int optionIndex(const QString &stored, int count);

/// The loudness kept in "alramsound": a whole number from 0 to 100. A number
/// outside is clamped, a fraction rounded; an empty or unreadable text is 100.
int alramsoundFrom(const QString &stored);

/// The layout the board shows on a screen `availableWidth` pixels wide: the wide
/// layout does not fit a narrower screen, which gets the 1024 layout instead (the
/// stored choice stays). An unknown width (0 or less) keeps the choice.
int layoutForScreen(int resolutionIdx, int availableWidth);

/// Zarazo.cfg, the file CfgMain is bound to.
QString settingsFilePath();

/// Reads the window's options. Writes "alramsound" back when it was not
/// already its whole-number value, and "DisplayDelete" as "0" when it is empty.
WindowOptions readWindowOptions();

/// Writes "AlertRepeat" (whole seconds, 0 off).
void storeAlertRepeat(int seconds);

} // namespace kavri::monitor
