// Draws the program's own skin pictures: the login background (0001.gif), the
// wait picture (0106.gif), and the main window's logo (0601.gif), icon-mode
// icon (0602.gif) and payment icons, card (0603.gif) and cash (0604.gif).
// Run at build time: kavri-skin <output folder>; kavri-skin --icons <folder>
// draws the desktop icon into <folder>/hicolor/<N>x<N>/apps/kavri-display.png.
#include "GifWriter.h"
#include "startup/LoginLayout.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>
#include <cstdio>

using namespace Qt::StringLiterals;
using namespace kavri::login::layout;

namespace {

const QColor Page(0xf4, 0xf7, 0xfa);
const QColor HeaderColour(0x1f, 0x6f, 0x8b);
const QColor HeaderLight(0xcf, 0xe6, 0xee);
const QColor Ink(0x1b, 0x2a, 0x3a);
const QColor Caption(0x4a, 0x5b, 0x6c);
const QColor Border(0x9f, 0xb3, 0xc8);
const QColor Alert(0xda, 0x21, 0x24);
const QColor CardColour(0x2f, 0x6f, 0xd0);
const QColor CashColour(0x3c, 0xa5, 0x5c);

// picIcon is 110 by 65 in normal mode and 85 by 81 in icon mode; the payment
// icons sit in check cells as small as 40 by 42.
constexpr QSize LogoSize(110, 65);
constexpr QSize IconSize(85, 81);
constexpr QSize PaymentIconSize(36, 28);

QRect rectOf(const Box &b)
{
    return {b.x, b.y, b.w, b.h};
}

QFont nanum(int pixels, bool bold = false)
{
    QFont f(u"NanumGothic"_s);
    f.setPixelSize(pixels);
    f.setBold(bold);
    return f;
}

QImage background()
{
    QImage image(Width, Height, QImage::Format_RGB32);
    image.fill(Page);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    // Header band with the product name and a bell: requests that call for staff.
    p.fillRect(rectOf(Header), HeaderColour);
    p.setPen(Qt::NoPen);
    p.setBrush(HeaderLight);
    QPainterPath bell;
    bell.moveTo(225 - 16, 58);
    bell.cubicTo(225 - 16, 30, 225 + 16, 30, 225 + 16, 58);
    bell.lineTo(225 + 22, 66);
    bell.lineTo(225 - 22, 66);
    bell.closeSubpath();
    p.drawPath(bell);
    p.drawEllipse(QPointF(225, 71), 5, 5);
    p.setPen(Qt::white);
    p.setFont(nanum(30, true));
    p.drawText(QRect(0, 80, Width, 40), Qt::AlignCenter, u"Kavri 디스플레이"_s);
    p.setPen(HeaderLight);
    p.setFont(nanum(14));
    p.drawText(QRect(0, 118, Width, 22), Qt::AlignCenter, u"매장 로그인"_s);

    // Field captions and frames behind the text boxes.
    p.setFont(nanum(15, true));
    p.setPen(Ink);
    p.drawText(rectOf(IdCaption), Qt::AlignLeft | Qt::AlignVCenter, u"아이디"_s);
    p.drawText(rectOf(PwCaption), Qt::AlignLeft | Qt::AlignVCenter, u"비밀번호"_s);
    p.setPen(QPen(Border, 1));
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(rectOf(IdField)).adjusted(-0.5, -0.5, 0.5, 0.5), 6, 6);
    p.drawRoundedRect(QRectF(rectOf(PwField)).adjusted(-0.5, -0.5, 0.5, 0.5), 6, 6);

    // The meaning of the two toggles, beside where they sit.
    p.setFont(nanum(14));
    p.setPen(Caption);
    p.drawText(rectOf(RememberCaption), Qt::AlignLeft | Qt::AlignVCenter, u"아이디/비밀번호 저장"_s);
    p.drawText(rectOf(AutoCaption), Qt::AlignLeft | Qt::AlignVCenter, u"자동 로그인"_s);

    // The login button's place.
    p.setPen(Qt::NoPen);
    p.setBrush(HeaderColour);
    p.drawRoundedRect(rectOf(LoginButton), 8, 8);
    return image;
}

QList<QImage> waitFrames()
{
    constexpr int frames = 8;
    QList<QImage> out;
    for (int f = 0; f < frames; ++f) {
        QImage image(Wait.w, Wait.h, QImage::Format_RGB32);
        image.fill(Qt::white);
        QPainter p(&image);
        p.setRenderHint(QPainter::Antialiasing);
        const QPointF centre(Wait.w / 2.0, Wait.h / 2.0 - 10);
        for (int dot = 0; dot < frames; ++dot) {
            const double angle = 2 * M_PI * dot / frames - M_PI / 2;
            const int age = (f - dot + frames) % frames; // 0: the leading dot
            QColor c = HeaderColour;
            c = QColor::fromRgbF(1 - (1 - c.redF()) * (1 - age / double(frames)),
                                 1 - (1 - c.greenF()) * (1 - age / double(frames)),
                                 1 - (1 - c.blueF()) * (1 - age / double(frames)));
            p.setPen(Qt::NoPen);
            p.setBrush(c);
            p.drawEllipse(centre + QPointF(std::cos(angle) * 30, std::sin(angle) * 30), 6, 6);
        }
        p.setPen(Caption);
        p.setFont(nanum(12));
        p.drawText(QRect(0, Wait.h - 30, Wait.w, 20), Qt::AlignCenter, u"잠시만 기다려 주세요"_s);
        out.append(image);
    }
    return out;
}

/// A bell, the product's mark: requests that call for staff. `size` is its height.
void drawBell(QPainter &p, QPointF top, double size, const QColor &colour)
{
    const double s = size / 40.0; // drawn on a 40-unit grid
    const double x = top.x(), y = top.y();
    QPainterPath bell;
    bell.moveTo(x - 16 * s, y + 28 * s);
    bell.cubicTo(x - 16 * s, y, x + 16 * s, y, x + 16 * s, y + 28 * s);
    bell.lineTo(x + 22 * s, y + 35 * s);
    bell.lineTo(x - 22 * s, y + 35 * s);
    bell.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPath(bell);
    p.drawEllipse(QPointF(x, y + 38 * s), 3.5 * s, 3.5 * s);
}

/// The logo at the main window's top left corner (picIcon in normal mode).
QImage logo()
{
    QImage image(LogoSize, QImage::Format_RGB32);
    image.fill(HeaderColour);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    drawBell(p, QPointF(24, 13), 36, HeaderLight);
    p.setPen(Qt::white);
    p.setFont(nanum(22, true));
    p.drawText(QRect(44, 8, 64, 30), Qt::AlignLeft | Qt::AlignVCenter, u"Kavri"_s);
    p.setPen(HeaderLight);
    p.setFont(nanum(12, true));
    p.drawText(QRect(44, 36, 64, 18), Qt::AlignLeft | Qt::AlignVCenter, u"디스플레이"_s);
    return image;
}

/// The whole window in icon mode: a bell with a waiting dot, and the name.
QImage icon()
{
    QImage image(IconSize, QImage::Format_RGB32);
    image.fill(HeaderColour);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const double cx = IconSize.width() / 2.0;
    drawBell(p, QPointF(cx, 10), 44, Qt::white);
    p.setBrush(Alert);
    p.setPen(QPen(HeaderColour, 2));
    p.drawEllipse(QPointF(cx + 17, 15), 7, 7);
    p.setPen(HeaderLight);
    p.setFont(nanum(15, true));
    p.drawText(QRect(0, 56, IconSize.width(), 22), Qt::AlignCenter, u"Kavri"_s);
    return image;
}

/// The payment icon of a card-paid request, on the white check cell.
QImage cardIcon()
{
    QImage image(PaymentIconSize, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF card(2.5, 4.5, PaymentIconSize.width() - 5, PaymentIconSize.height() - 9);
    p.setPen(QPen(CardColour.darker(130), 1));
    p.setBrush(CardColour);
    p.drawRoundedRect(card, 3, 3);
    p.setPen(Qt::NoPen);
    p.setBrush(CardColour.darker(170));
    p.drawRect(QRectF(card.left() + 0.5, card.top() + 4, card.width() - 1, 4));
    p.setBrush(QColor(0xf2, 0xc1, 0x4e)); // the chip
    p.drawRoundedRect(QRectF(card.left() + 4, card.top() + 10, 7, 5), 1, 1);
    return image;
}

/// The payment icon of a cash-paid request: a banknote with the won sign.
QImage cashIcon()
{
    QImage image(PaymentIconSize, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QRectF note(1.5, 5.5, PaymentIconSize.width() - 3, PaymentIconSize.height() - 11);
    p.setPen(QPen(CashColour.darker(140), 1));
    p.setBrush(CashColour);
    p.drawRect(note);
    p.setBrush(CashColour.lighter(135));
    p.setPen(Qt::NoPen);
    p.drawEllipse(note.center(), 7, 7);
    p.setPen(CashColour.darker(170));
    p.setFont(nanum(11, true));
    p.drawText(note, Qt::AlignCenter, QString(QChar(0x20A9))); // ₩
    return image;
}

/// The desktop icon (menu, task bar, autostart): the bell with a waiting dot on
/// a rounded tile, drawn for each size rather than scaled from one.
QImage appIcon(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    const double margin = size <= 24 ? 0.5 : size / 16.0;
    const QRectF tile(margin, margin, size - 2 * margin, size - 2 * margin);
    p.setPen(Qt::NoPen);
    p.setBrush(HeaderColour);
    p.drawRoundedRect(tile, tile.width() * 0.2, tile.width() * 0.2);
    const double bell = tile.height() * 0.62;
    drawBell(p, QPointF(size / 2.0, tile.top() + tile.height() * 0.16), bell, Qt::white);
    p.setBrush(Alert);
    p.setPen(QPen(HeaderColour, std::max(1.0, size / 32.0)));
    p.drawEllipse(QPointF(size / 2.0 + bell * 0.42, tile.top() + tile.height() * 0.25), bell * 0.17,
                  bell * 0.17);
    return image;
}

bool writeIcons(const QString &folder)
{
    for (const int size : {16, 22, 24, 32, 48, 64, 128, 256}) {
        const QString dir = u"%1/hicolor/%2x%2/apps"_s.arg(folder).arg(size);
        if (!QDir().mkpath(dir) || !appIcon(size).save(dir + u"/kavri-display.png"_s)) {
            std::fprintf(stderr, "kavri-skin: cannot write the icon in %s\n", qPrintable(dir));
            return false;
        }
    }
    return true;
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
        std::fprintf(stderr, "kavri-skin: cannot write %s\n", qPrintable(path));
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: kavri-skin <output folder>\n");
        return 2;
    }
    if (argc == 3 && qstrcmp(argv[1], "--icons") == 0)
        return writeIcons(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);
    const bool ok = writeFile(folder + u"/0001.gif"_s, kavri::skin::encodeGif({background()})) &&
                    writeFile(folder + u"/0106.gif"_s, kavri::skin::encodeGif(waitFrames(), 12)) &&
                    writeFile(folder + u"/0601.gif"_s, kavri::skin::encodeGif({logo()})) &&
                    writeFile(folder + u"/0602.gif"_s, kavri::skin::encodeGif({icon()})) &&
                    writeFile(folder + u"/0603.gif"_s, kavri::skin::encodeGif({cardIcon()})) &&
                    writeFile(folder + u"/0604.gif"_s, kavri::skin::encodeGif({cashIcon()}));
    return ok ? 0 : 1;
}
