// Draws the program's own skin pictures: the login background (0001.gif) and
// the wait picture (0106.gif). Run at build time: kavri-skin <output folder>.
#include "GifWriter.h"
#include "startup/LoginLayout.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>

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
    const QString folder = QString::fromLocal8Bit(argv[1]);
    QDir().mkpath(folder);
    const bool ok = writeFile(folder + u"/0001.gif"_s, kavri::skin::encodeGif({background()})) &&
                    writeFile(folder + u"/0106.gif"_s, kavri::skin::encodeGif(waitFrames(), 12));
    return ok ? 0 : 1;
}
