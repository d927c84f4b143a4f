#pragma once

#include <QLabel>

class QMovie;

namespace kavri::platform {

/// The wait picture over a window while it waits for the network: a framed
/// panel ("picWait") holding the skin's turning picture ("imgWait"), or a
/// short text when there is no picture.
class WaitPanel : public QLabel
{
public:
    /// `frameStyle` is the panel's style sheet; `text` shows until a picture is set.
    WaitPanel(QWidget *parent, const QString &text, const QString &frameStyle);

    /// Sizes the panel: `fallback` without a picture, else the picture's size
    /// (at least `minimum`) with `padding` on every side.
    void setFallbackSize(const QSize &fallback, int padding = 0);
    /// Loads the picture at `path` once (later calls keep the first one) and
    /// sizes the panel after it; an unreadable file keeps the text.
    void setPicture(const QString &path, int padding = 0, const QSize &minimum = {});
    /// Draws the picture at most `size` large (a small mark instead of a panel).
    void setPictureBound(const QSize &size);
    /// Centres the panel in an area of `size` at the parent's top left.
    void centreIn(const QSize &size);

    /// Brings the panel to the front and starts the picture turning.
    void showWait();
    /// Stops the picture and hides the panel.
    void hideWait();

    QLabel *picture() const { return m_picture; }

private:
    void fit(const QSize &inner, int padding);

    QLabel *m_picture = nullptr;
    QMovie *m_movie = nullptr;
    QSize m_bound;
};

} // namespace kavri::platform
