#include "Palette.h"

#include <QList>

#include <algorithm>
#include <array>
#include <map>
#include <vector>

namespace {

constexpr int kColours = 256;
// A colour keeps its exact entry when it covers at least this share of the picture.
constexpr qint64 kExactShare = 4000;
constexpr int kMostExact = 96;

struct Colour {
    QRgb rgb;
    qint64 count;
};

int channel(QRgb rgb, int c) {
    return c == 0 ? qRed(rgb) : c == 1 ? qGreen(rgb) : qBlue(rgb);
}

struct Box {
    std::vector<Colour> colours;

    int range(int c) const {
        const auto [lo, hi] = std::minmax_element(colours.begin(), colours.end(),
                                                  [c](const Colour& a, const Colour& b) {
                                                      return channel(a.rgb, c) < channel(b.rgb, c);
                                                  });
        return channel(hi->rgb, c) - channel(lo->rgb, c);
    }
    int widestChannel() const {
        int best = 0;
        for (int c = 1; c < 3; ++c)
            if (range(c) > range(best))
                best = c;
        return best;
    }
    QRgb mean() const {
        std::array<qint64, 3> sum{};
        qint64 n = 0;
        for (const Colour& col : colours) {
            for (int c = 0; c < 3; ++c)
                sum[static_cast<size_t>(c)] += channel(col.rgb, c) * col.count;
            n += col.count;
        }
        return qRgb(static_cast<int>((sum[0] + n / 2) / n), static_cast<int>((sum[1] + n / 2) / n),
                    static_cast<int>((sum[2] + n / 2) / n));
    }
};

// Splits the colours into at most boxCount boxes, always cutting the box with the widest
// spread at the median of its pixels along that spread.
std::vector<Box> medianCut(std::vector<Colour> colours, int boxCount) {
    std::vector<Box> boxes;
    if (colours.empty() || boxCount <= 0)
        return boxes;
    boxes.push_back({std::move(colours)});
    while (static_cast<int>(boxes.size()) < boxCount) {
        int pick = -1;
        int pickRange = 0;
        for (size_t i = 0; i < boxes.size(); ++i) {
            if (boxes[i].colours.size() < 2)
                continue;
            const int r = boxes[i].range(boxes[i].widestChannel());
            if (r > pickRange) {
                pick = static_cast<int>(i);
                pickRange = r;
            }
        }
        if (pick < 0)
            break;
        Box& box = boxes[static_cast<size_t>(pick)];
        const int c = box.widestChannel();
        std::sort(box.colours.begin(), box.colours.end(), [c](const Colour& a, const Colour& b) {
            return channel(a.rgb, c) != channel(b.rgb, c) ? channel(a.rgb, c) < channel(b.rgb, c)
                                                          : a.rgb < b.rgb;
        });
        qint64 total = 0;
        for (const Colour& col : box.colours)
            total += col.count;
        qint64 seen = 0;
        size_t cut = 1;
        for (; cut < box.colours.size() - 1; ++cut) {
            seen += box.colours[cut - 1].count;
            if (seen * 2 >= total)
                break;
        }
        Box upper{std::vector<Colour>(box.colours.begin() + static_cast<qsizetype>(cut),
                                      box.colours.end())};
        box.colours.resize(cut);
        boxes.push_back(std::move(upper));
    }
    return boxes;
}

} // namespace

QImage toIndexed8(const QImage& picture) {
    const QImage rgb = picture.convertToFormat(QImage::Format_RGB32);
    std::map<QRgb, qint64> counts;
    for (int y = 0; y < rgb.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(rgb.constScanLine(y));
        for (int x = 0; x < rgb.width(); ++x)
            ++counts[line[x] | 0xFF000000u];
    }

    std::vector<Colour> colours;
    colours.reserve(counts.size());
    for (const auto& [value, count] : counts)
        colours.push_back({value, count});

    QList<QRgb> table;
    if (colours.size() <= static_cast<size_t>(kColours)) {
        for (const Colour& c : colours)
            table << c.rgb;
    } else {
        std::stable_sort(colours.begin(), colours.end(),
                         [](const Colour& a, const Colour& b) { return a.count > b.count; });
        const qint64 pixels = static_cast<qint64>(rgb.width()) * rgb.height();
        size_t exact = 0;
        while (exact < colours.size() && exact < static_cast<size_t>(kMostExact) &&
               colours[exact].count * kExactShare >= pixels)
            ++exact;
        for (size_t i = 0; i < exact; ++i)
            table << colours[i].rgb;
        std::vector<Colour> rest(colours.begin() + static_cast<qsizetype>(exact), colours.end());
        for (const Box& box : medianCut(std::move(rest), kColours - static_cast<int>(exact)))
            table << box.mean();
    }
    return rgb.convertToFormat(QImage::Format_Indexed8, table, Qt::ThresholdDither);
}
