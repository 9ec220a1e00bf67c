#pragma once
// A photo-like picture for the decode benchmarks: the entropy decoding of
// its JPEG costs what a real webcam picture costs.
#include <QImage>
#include <QRandomGenerator>
#include <algorithm>
#include <vector>

namespace lumetta {

// Smooth noise over several octaves, a colour per channel.
inline QImage PhotoLikePicture(QSize size)
{
    QRandomGenerator random(2026);
    const int grid = 257;
    std::vector<float> lattice(size_t(grid) * grid * 3);
    for (float &v : lattice)
        v = float(random.generateDouble());
    auto at = [&](int x, int y, int c) { return lattice[(size_t(y % grid) * grid + x % grid) * 3 + c]; };
    QImage image(size, QImage::Format_RGB32);
    for (int y = 0; y < size.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            float rgb[3] = {0, 0, 0};
            float amplitude = 0.5f;
            for (int octave = 0, cell = 256; octave < 8; ++octave, cell /= 2, amplitude *= 0.55f) {
                const float fx = float(x) / cell, fy = float(y) / cell;
                const int ix = int(fx), iy = int(fy);
                const float tx = fx - ix, ty = fy - iy;
                for (int c = 0; c < 3; ++c) {
                    const float top = at(ix, iy, c) * (1 - tx) + at(ix + 1, iy, c) * tx;
                    const float bottom = at(ix, iy + 1, c) * (1 - tx) + at(ix + 1, iy + 1, c) * tx;
                    rgb[c] += amplitude * (top * (1 - ty) + bottom * ty);
                }
            }
            // Sensor grain: what makes a real picture cost its bytes.
            const float grain = float(random.bounded(16)) - 8;
            auto channel = [&](float v) { return int(std::clamp(v * 255 + grain, 0.f, 255.f)); };
            line[x] = qRgb(channel(rgb[0]), channel(rgb[1]), channel(rgb[2]));
        }
    }
    return image;
}

} // namespace lumetta
