#include "GifWriter.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImageReader>
#include <QRandomGenerator>
#include <QSet>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

QList<QImage> readAll(QByteArray bytes)
{
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "gif");
    QList<QImage> frames;
    QImage frame;
    while (reader.read(&frame))
        frames.append(frame.convertToFormat(QImage::Format_RGB32));
    return frames;
}

/// An image of `colours` distinct colours in noisy runs, which exercises long and short codes.
QImage noise(QSize size, int colours, quint32 seed)
{
    QRandomGenerator random(seed);
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        for (int x = 0; x < size.width(); ++x) {
            const int c = (random.bounded(4) == 0) ? random.bounded(colours) : (x / 7 + y / 5) % colours;
            image.setPixel(x, y, qRgb(c * 37 % 256, c * 11 % 256, c));
        }
    }
    return image;
}

} // namespace

class TstLoginSkin : public QObject
{
    Q_OBJECT
private slots:
    void encodedPicturesReadBackExactly_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("colours");
        QTest::newRow("one pixel") << QSize(1, 1) << 1;
        QTest::newRow("two colours") << QSize(17, 3) << 2;
        QTest::newRow("code table resets") << QSize(450, 515) << 256;
        QTest::newRow("odd size") << QSize(123, 77) << 40;
    }
    void encodedPicturesReadBackExactly()
    {
        QFETCH(QSize, size);
        QFETCH(int, colours);
        const QImage image = noise(size, colours, 7);
        const QList<QImage> back = readAll(kavri::skin::encodeGif({image}));
        QCOMPARE(back.size(), 1);
        QCOMPARE(back.first(), image);
    }

    void animationKeepsEveryFrame()
    {
        const QList<QImage> frames{noise({40, 30}, 20, 1), noise({40, 30}, 20, 2), noise({40, 30}, 20, 3)};
        const QList<QImage> back = readAll(kavri::skin::encodeGif(frames, 12));
        QCOMPARE(back.size(), 3);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(back.at(i), frames.at(i));
    }

    void manyColoursMapToTheNearest()
    {
        // 256 frequent colours keep their places; 44 rare ones close to them take the nearest.
        QImage image(256, 3, QImage::Format_RGB32);
        for (int x = 0; x < 256; ++x) {
            image.setPixel(x, 0, qRgb(x, 0, 0));
            image.setPixel(x, 1, qRgb(x, 0, 0));
            image.setPixel(x, 2, x < 44 ? qRgb(x * 5, 3, 0) : qRgb(x, 0, 0));
        }
        const QList<QImage> back = readAll(kavri::skin::encodeGif({image}));
        QCOMPARE(back.size(), 1);
        for (int x = 0; x < 256; ++x) {
            QCOMPARE(back.first().pixelColor(x, 0), image.pixelColor(x, 0));
            const QColor want = image.pixelColor(x, 2), got = back.first().pixelColor(x, 2);
            QVERIFY2(std::abs(want.red() - got.red()) + std::abs(want.green() - got.green()) <= 3,
                     qPrintable(u"%1: %2 -> %3"_s.arg(x).arg(want.name(), got.name())));
        }
    }

    void builtPicturesAreThere()
    {
        const QString folder = QStringLiteral(KAVRI_BINARY_DIR) + u"/src/skin/"_s;
        QImageReader background(folder + u"0001.gif"_s);
        QCOMPARE(background.size(), QSize(450, 515));
        QImageReader wait(folder + u"0106.gif"_s);
        QVERIFY(wait.imageCount() > 1);
        QVERIFY(!wait.read().isNull());
    }

    void mainWindowPicturesAreThere_data()
    {
        // picIcon's logo and icon-mode icon, and the payment icons of the check cells.
        QTest::addColumn<QString>("name");
        QTest::addColumn<QSize>("size");
        QTest::newRow("logo") << u"0601.gif"_s << QSize(110, 65);
        QTest::newRow("icon") << u"0602.gif"_s << QSize(85, 81);
        QTest::newRow("card") << u"0603.gif"_s << QSize(36, 28);
        QTest::newRow("cash") << u"0604.gif"_s << QSize(36, 28);
    }
    void mainWindowPicturesAreThere()
    {
        QFETCH(QString, name);
        QFETCH(QSize, size);
        QImageReader reader(QStringLiteral(KAVRI_BINARY_DIR) + u"/src/skin/"_s + name);
        const QImage image = reader.read();
        QCOMPARE(image.size(), size);
        // Drawn, not blank: a handful of colours at least.
        QSet<QRgb> colours;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                colours.insert(image.pixel(x, y));
        QVERIFY2(colours.size() >= 4, qPrintable(QString::number(colours.size())));
    }
};

QTEST_MAIN(TstLoginSkin)
#include "tst_loginskin.moc"
