#pragma once

#include <QColor>
#include <QPixmap>
#include <QWidget>

#include <initializer_list>

// The main window's drawn pieces that are not captions: the banner's background
// pictures, the frame over the confirm button and the board's plain background.
namespace kavri::monitor {

/// The largest of a few pixel sizes at which `text` fits `width` on one line.
int fittingPixelSize(const QString &text, int width, std::initializer_list<int> sizes);

/// The banner's background pictures: a blue band behind the request text (part 0)
/// and its bright end piece on the right (part 1).
QPixmap bannerBackPicture(const QSize &size, int part);

/// The white frame over a confirm button; clicks go through to the button.
class FrameShape final : public QWidget
{
public:
    FrameShape(QWidget *parent, int width);

protected:
    void paintEvent(QPaintEvent *) override;

private:
    int m_width;
};

/// A plain coloured area (the board background).
class Shape final : public QWidget
{
public:
    Shape(QWidget *parent, const QColor &colour) : QWidget(parent), m_colour(colour) {}

protected:
    void paintEvent(QPaintEvent *) override;

private:
    QColor m_colour;
};

} // namespace kavri::monitor
