#pragma once

#include <QFrame>

class QComboBox;
class QLabel;
class QLineEdit;

namespace kavri::monitor {

/// The option bar of the main window ("picFrame"): on its first line the
/// display options (`cob크기`, `cob표시`), the expiry minutes (`삭제` with its
/// two `삭제변경` arrows) and the position (`PosX`, `PosY`, `Pos적용`); on its
/// second the commands, the statistics and the alert repeat. It shows what the
/// window gives it and tells through its signals what staff chose; the rules
/// are the window's.
class OptionBar : public QFrame
{
    Q_OBJECT
public:
    explicit OptionBar(QWidget *parent);

    /// The entries of `cob크기` and `cob표시`. `cob크기` offers each width as it
    /// is and scaled to fill the screen ("1024 맞춤", "1366 맞춤").
    void showLayout(int resolutionIdx, int displayIdx, bool fill = false);
    /// The layout width chosen (0 or 1), filled or not.
    int layoutWidthIndex() const;
    bool fillChosen() const;
    int rowCountIndex() const;
    /// `삭제`: the expiry minutes.
    void showExpiryMinutes(qint64 minutes);
    QString shownExpiryMinutes() const;
    /// `PosX` and `PosY`, as staff typed them.
    void showPosition(qint64 x, qint64 y);
    QString positionX() const;
    QString positionY() const;
    /// Selects the entry of `seconds` in `cobRepeat`. A value the box does not
    /// offer (a hand-written "AlertRepeat") gets an entry of its own in its place
    /// among the others, labelled as they are.
    void showRepeat(int seconds);
    /// The seconds of `cobRepeat`'s entry `index`; -1 when there is none.
    int repeatSeconds(int index) const;

signals:
    /// `cob크기` or `cob표시` changed (also while the window sets them).
    void layoutWidthChosen();
    void rowCountChosen();
    /// A click on `삭제변경`(`index`): 0 lowers the minutes, 1 raises them. A
    /// double click is two clicks here: the release that ends it clicks again.
    void expiryStepClicked(int index);
    /// `Pos적용` double-clicked.
    void positionApplied();
    void soundTestClicked();
    void settingsClicked();
    void minimizeClicked();
    void statsClicked();
    /// `cobRepeat` changed to an entry of `seconds` (0 off).
    void alertRepeatChosen(int seconds);
    void logoutClicked();
    void terminateClicked();

private:
    QComboBox *cob크기 = nullptr;
    QComboBox *cob표시 = nullptr;
    QLabel *삭제 = nullptr;
    QLineEdit *posX = nullptr;
    QLineEdit *posY = nullptr;
    /// The alert repeat: 끔, 30초, 60초, 120초 (AlertRepeat::Choices), each holding its seconds.
    QComboBox *cobRepeat = nullptr;
};

} // namespace kavri::monitor
