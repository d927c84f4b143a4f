#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QRgb>

// Qt reads GIF but cannot write it; the skin pictures are GIF files, so the
// project writes them itself.
namespace kavri::skin {

/// The 256 (or fewer) most frequent colours of the images, in order of frequency.
QList<QRgb> popularPalette(const QList<QImage> &images);

/// A GIF89a file of the frames (all of the first frame's size), every pixel
/// mapped to the nearest colour of one palette shared by all frames. More than
/// one frame makes a looping animation with `delayCentiseconds` per frame.
QByteArray encodeGif(const QList<QImage> &frames, int delayCentiseconds = 10);

} // namespace kavri::skin
