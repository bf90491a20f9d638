// Six short start-up chimes: bell-like partials with a soft attack and an
// exponential decay, each a different pentatonic figure.
#include "tools/media/media.h"

#include <QDir>
#include <QFile>
#include <QtEndian>
#include <QtMath>

#include <vector>

namespace media {
namespace {

constexpr int kRate = 22050;

struct Note {
    double start;   // seconds
    double freq;    // Hz
    double length;  // seconds
};

void AddBell(std::vector<double>& buf, const Note& n) {
    const int first = int(n.start * kRate);
    const int count = int(n.length * kRate);
    static const double partials[][2] = {{1.0, 1.0}, {2.0, 0.35}, {3.01, 0.12}, {4.2, 0.05}};
    for (int i = 0; i < count && first + i < int(buf.size()); ++i) {
        const double t = double(i) / kRate;
        const double attack = std::min(1.0, t / 0.008);
        const double decay = std::exp(-t * 3.2);
        double v = 0;
        for (const auto& pa : partials)
            v += pa[1] * std::sin(2 * M_PI * n.freq * pa[0] * t) * std::exp(-t * pa[0] * 0.8);
        buf[first + i] += 0.22 * attack * decay * v;
    }
}

QByteArray Wave(const std::vector<double>& samples) {
    QByteArray data;
    data.reserve(int(samples.size()) * 2);
    for (double s : samples) {
        const qint16 v = qint16(std::clamp(s, -1.0, 1.0) * 32000);
        char le[2];
        qToLittleEndian(v, le);
        data.append(le, 2);
    }
    QByteArray out;
    auto u32 = [&out](quint32 v) {
        char b[4];
        qToLittleEndian(v, b);
        out.append(b, 4);
    };
    auto u16 = [&out](quint16 v) {
        char b[2];
        qToLittleEndian(v, b);
        out.append(b, 2);
    };
    out.append("RIFF");
    u32(36 + data.size());
    out.append("WAVEfmt ");
    u32(16);
    u16(1);  // PCM
    u16(1);  // mono
    u32(kRate);
    u32(kRate * 2);
    u16(2);
    u16(16);
    out.append("data");
    u32(data.size());
    out.append(data);
    return out;
}

double Pitch(int semitonesFromA4) { return 440.0 * std::pow(2.0, semitonesFromA4 / 12.0); }

}  // namespace

bool WriteChimes(const QString& folder) {
    // Semitones from A4 on a major pentatonic scale around C5.
    const std::vector<std::vector<int>> figures = {
        {3, 7, 10, 15},          // rising
        {15, 10, 7, 3},          // falling
        {3, 10, 7, 15, 10},      // turning
        {5, 8, 12, 17},          // from F
        {7, 10, 15, 19, 22},     // bright
        {-2, 3, 7, 10, 15, 19},  // long rise
    };
    for (size_t k = 0; k < figures.size(); ++k) {
        const auto& fig = figures[k];
        const double step = 0.16;
        const double total = step * fig.size() + 1.2;
        std::vector<double> buf(size_t(total * kRate), 0.0);
        for (size_t i = 0; i < fig.size(); ++i) AddBell(buf, {i * step, Pitch(fig[i]), 1.2});
        // last note doubled an octave below for a round close
        AddBell(buf, {(fig.size() - 1) * step, Pitch(fig.back() - 12), 1.2});
        // fade the tail so the file ends in silence
        const size_t fade = kRate / 10;
        for (size_t i = 0; i < fade; ++i) buf[buf.size() - fade + i] *= 1.0 - double(i) / fade;
        QFile f(QDir(folder).filePath(QStringLiteral("sound%1.wav").arg(k + 1)));
        if (!f.open(QIODevice::WriteOnly) || f.write(Wave(buf)) < 0) return false;
    }
    return true;
}

}  // namespace media
