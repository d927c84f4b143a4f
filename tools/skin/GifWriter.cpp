#include "GifWriter.h"

#include <QHash>

#include <algorithm>
#include <unordered_map>

namespace kavri::skin {
namespace {

void putWord(QByteArray &out, int value)
{
    out.append(char(value & 0xff));
    out.append(char((value >> 8) & 0xff));
}

/// Packs variable-width codes, least significant bit first, into 255-byte sub-blocks.
class CodeWriter
{
public:
    explicit CodeWriter(QByteArray &out) : m_out(out) {}
    void write(int code, int bits)
    {
        m_acc |= quint32(code) << m_bitCount;
        m_bitCount += bits;
        while (m_bitCount >= 8) {
            pushByte(char(m_acc & 0xff));
            m_acc >>= 8;
            m_bitCount -= 8;
        }
    }
    void finish()
    {
        if (m_bitCount > 0)
            pushByte(char(m_acc & 0xff));
        m_acc = 0;
        m_bitCount = 0;
        flushBlock();
        m_out.append(char(0)); // end of the image data
    }

private:
    void pushByte(char byte)
    {
        m_block.append(byte);
        if (m_block.size() == 255)
            flushBlock();
    }
    void flushBlock()
    {
        if (m_block.isEmpty())
            return;
        m_out.append(char(m_block.size()));
        m_out.append(m_block);
        m_block.clear();
    }

    QByteArray &m_out;
    QByteArray m_block;
    quint32 m_acc = 0;
    int m_bitCount = 0;
};

void writeLzw(QByteArray &out, const QImage &indexed)
{
    constexpr int minCodeSize = 8;
    constexpr int clearCode = 1 << minCodeSize;
    constexpr int endCode = clearCode + 1;
    out.append(char(minCodeSize));
    CodeWriter writer(out);
    std::unordered_map<quint32, int> table;
    int codeSize = minCodeSize + 1;
    int maxCode = endCode;
    writer.write(clearCode, codeSize);

    int current = -1;
    for (int y = 0; y < indexed.height(); ++y) {
        const uchar *row = indexed.constScanLine(y);
        for (int x = 0; x < indexed.width(); ++x) {
            const int pixel = row[x];
            if (current < 0) {
                current = pixel;
                continue;
            }
            const quint32 key = (quint32(current) << 8) | quint32(pixel);
            const auto found = table.find(key);
            if (found != table.end()) {
                current = found->second;
                continue;
            }
            writer.write(current, codeSize);
            table.emplace(key, ++maxCode);
            if (maxCode >= (1 << codeSize))
                ++codeSize;
            if (maxCode == 4095) {
                writer.write(clearCode, codeSize);
                table.clear();
                codeSize = minCodeSize + 1;
                maxCode = endCode;
            }
            current = pixel;
        }
    }
    if (current >= 0)
        writer.write(current, codeSize);
    writer.write(endCode, codeSize);
    writer.finish();
}

} // namespace

QList<QRgb> popularPalette(const QList<QImage> &images)
{
    QHash<QRgb, qint64> counts;
    for (const QImage &image : images) {
        const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
        for (int y = 0; y < rgb.height(); ++y) {
            const auto *row = reinterpret_cast<const QRgb *>(rgb.constScanLine(y));
            for (int x = 0; x < rgb.width(); ++x)
                ++counts[row[x] | 0xff000000u];
        }
    }
    QList<QPair<qint64, QRgb>> byCount;
    for (auto it = counts.cbegin(); it != counts.cend(); ++it)
        byCount.append({it.value(), it.key()});
    std::sort(byCount.begin(), byCount.end(), [](const auto &a, const auto &b) {
        return a.first != b.first ? a.first > b.first : a.second < b.second;
    });
    QList<QRgb> palette;
    for (qsizetype i = 0; i < byCount.size() && i < 256; ++i)
        palette.append(byCount.at(i).second);
    if (palette.isEmpty())
        palette.append(qRgb(0, 0, 0));
    return palette;
}

QByteArray encodeGif(const QList<QImage> &frames, int delayCentiseconds)
{
    if (frames.isEmpty() || frames.first().isNull())
        return {};
    const QSize size = frames.first().size();
    QList<QRgb> palette = popularPalette(frames);
    while (palette.size() < 256)
        palette.append(qRgb(0, 0, 0));

    QByteArray out("GIF89a");
    putWord(out, size.width());
    putWord(out, size.height());
    out.append(char(0xF7)); // global colour table of 256 entries, 8 bits per primary
    out.append(char(0));    // background colour index
    out.append(char(0));    // no aspect ratio
    for (const QRgb c : palette) {
        out.append(char(qRed(c)));
        out.append(char(qGreen(c)));
        out.append(char(qBlue(c)));
    }
    if (frames.size() > 1) {
        out.append("\x21\xFF\x0B"
                   "NETSCAPE2.0"
                   "\x03\x01",
                   16);
        putWord(out, 0); // loop for ever
        out.append(char(0));
    }
    for (const QImage &frame : frames) {
        const QImage indexed = frame.scaled(size)
                                   .convertToFormat(QImage::Format_RGB32)
                                   .convertToFormat(QImage::Format_Indexed8, palette, Qt::ThresholdDither);
        if (frames.size() > 1) {
            out.append("\x21\xF9\x04", 3);
            out.append(char(0x04)); // leave the frame in place, no transparency
            putWord(out, delayCentiseconds);
            out.append(char(0));
            out.append(char(0));
        }
        out.append(char(0x2C));
        putWord(out, 0);
        putWord(out, 0);
        putWord(out, size.width());
        putWord(out, size.height());
        out.append(char(0)); // no local table, not interlaced
        writeLzw(out, indexed);
    }
    out.append(char(0x3B));
    return out;
}

} // namespace kavri::skin
