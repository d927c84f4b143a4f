// Writes the program's own chime DDD.wav: two soft bell tones, high then low,
// 16-bit PCM mono. Run at build time: kavri-chime <output file>...
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QString>
#include <QtEndian>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

namespace {

constexpr int Rate = 22050;
constexpr double Seconds = 1.2;
constexpr double Peak = 0.6; // of full scale: loud enough, far from clipping

struct Tone
{
    double frequency; // Hz
    double start;     // seconds
};

// E5 then C5: a friendly "ding-dong" that reads as a call, not an alarm.
constexpr Tone Tones[] = {{659.25, 0.0}, {523.25, 0.32}};

double bell(double frequency, double t)
{
    if (t < 0)
        return 0;
    constexpr double attack = 0.008;
    const double rise = t < attack ? 0.5 - 0.5 * std::cos(M_PI * t / attack) : 1.0;
    const double w = 2 * M_PI * frequency * t;
    // A fundamental that rings on, with overtones that fade sooner: a soft bell.
    return rise * (std::sin(w) * std::exp(-t / 0.38) + 0.25 * std::sin(2 * w) * std::exp(-t / 0.2) +
                   0.08 * std::sin(3 * w) * std::exp(-t / 0.12));
}

std::vector<qint16> samples()
{
    const int count = int(Rate * Seconds);
    std::vector<double> wave(count);
    for (int i = 0; i < count; ++i) {
        const double t = double(i) / Rate;
        for (const Tone &tone : Tones)
            wave[i] += bell(tone.frequency, t - tone.start);
    }
    // A short fade to exact silence at the end, so the chime never clicks.
    const int fade = Rate * 60 / 1000;
    for (int i = 0; i < fade; ++i)
        wave[count - 1 - i] *= 0.5 - 0.5 * std::cos(M_PI * i / fade);
    double loudest = 0;
    for (double v : wave)
        loudest = std::max(loudest, std::abs(v));
    std::vector<qint16> out(count);
    for (int i = 0; i < count; ++i)
        out[i] = qint16(std::lround(wave[i] / loudest * Peak * 32767));
    return out;
}

void put32(QByteArray &out, quint32 v)
{
    char b[4];
    qToLittleEndian(v, b);
    out.append(b, 4);
}

void put16(QByteArray &out, quint16 v)
{
    char b[2];
    qToLittleEndian(v, b);
    out.append(b, 2);
}

QByteArray waveFile(const std::vector<qint16> &pcm)
{
    const quint32 dataBytes = quint32(pcm.size() * 2);
    QByteArray out;
    out.append("RIFF", 4);
    put32(out, 36 + dataBytes);
    out.append("WAVEfmt ", 8);
    put32(out, 16);       // format chunk size
    put16(out, 1);        // PCM
    put16(out, 1);        // mono
    put32(out, Rate);     // frames per second
    put32(out, Rate * 2); // bytes per second
    put16(out, 2);        // bytes per frame
    put16(out, 16);       // bits per sample
    out.append("data", 4);
    put32(out, dataBytes);
    for (qint16 s : pcm)
        put16(out, quint16(s));
    return out;
}

} // namespace

int main(int argc, char *argv[])
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: kavri-chime <output file>...\n");
        return 2;
    }
    const QByteArray bytes = waveFile(samples());
    for (int i = 1; i < argc; ++i) {
        const QString path = QString::fromLocal8Bit(argv[i]);
        QDir().mkpath(QFileInfo(path).absolutePath());
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
            std::fprintf(stderr, "kavri-chime: cannot write %s\n", argv[i]);
            return 1;
        }
    }
    return 0;
}
