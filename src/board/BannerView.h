#pragma once

#include "monitor/BoardGeometry.h"

#include <QObject>
#include <QString>

#include <array>

class QLabel;
class QTimer;
class QWidget;

namespace kavri::monitor {

class CaptionPanel;
struct Banner;

/// The banner above the grid: the newest request in large letters
/// ("lblRequest") on its background pictures ("imgBack_n"), its table
/// ("lblTable") with the minutes it has waited, its payment type ("lbl결제방법")
/// and the confirm button ("CMD_0" under its frame "SHP_0"). Its widgets are
/// children of the window, placed in its coordinates like the board's cells.
/// It owns the highlight around the alert ("LoopBlinking", "LoopBlinkingHold").
class BannerView : public QObject
{
    Q_OBJECT
public:
    explicit BannerView(QWidget &window);

    /// The parts that follow the window width.
    void layOut(const BoardGeometry &g);
    /// The newest request, with the minutes it has waited ("" when unknown).
    void draw(const Banner &banner, const QString &waited);
    /// The confirm button's colours and outline, once the window is loaded.
    void prepareConfirmButton();
    /// Shows or hides the confirm button; `enabled` says whether a press shows its look.
    void showConfirm(bool visible, bool enabled);
    QWidget *confirmButton() const;

    /// Style 3 at once; a pending return to style 0 is cancelled, so the
    /// highlight lasts through the chime and the speech.
    void highlight();
    /// Switches `LoopBlinking` on: when it fires, the banner is highlighted for
    /// 10 seconds more and then returns to its normal style.
    void startBlinking();
    /// Stops both timers (the process is ending).
    void stop();
    QTimer *loopBlinking() const { return m_loopBlinking; }
    /// 3 while highlighted, 4 while the top request waits unanswered past its
    /// repeats (a steady red frame), 0 otherwise.
    int style() const { return m_style; }
    void setStale(bool stale);
    /// True from the highlight until its 10 seconds have passed.
    bool highlighted() const { return m_style == 3; }

    /// The widgets a press on which moves the window.
    bool isDragHandle(const QWidget *child) const;

signals:
    void clicked();
    void confirmClicked();
    /// The highlight began or ended.
    void highlightChanged(bool on);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void createTimers();
    void createPanels(QWidget &window);
    void setStyle(int style);

    QTimer *m_loopBlinking = nullptr;
    QTimer *m_highlightHold = nullptr;
    int m_style = 0;
    bool m_stale = false;
    bool m_confirmEnabled = true;

    std::array<QLabel *, 2> m_imgBack{};
    CaptionPanel *m_lblRequest = nullptr;
    CaptionPanel *m_lblTable = nullptr;
    CaptionPanel *m_lbl결제방법 = nullptr;
    CaptionPanel *m_cmd = nullptr;
    QWidget *m_shp = nullptr;
};

} // namespace kavri::monitor
