// Median-cut palettes for the shadow strips.
//
// Colours are gathered into bins of 6 bits a channel: a palette entry holds no more, and the
// game's 16-bit cells keep fewer for red and blue. The bins are cut into boxes, always the
// box with the largest squared error, along its widest channel at the weighted median; each
// box's mean is an entry. Two rounds of moving every entry to the mean of the bins nearest
// it then lower the error further. Everything is ordered by bin number, so the same strip
// always gives the same bytes.
#include "tools/forge/quantize.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

namespace {

enum { LEVELS = 64, BIN_COUNT = LEVELS * LEVELS * LEVELS, ENTRIES = 256, REFINE_ROUNDS = 2 };

struct Bin {
    int key;
    long count;
    double mean[3];  // 8 bits a channel
};

struct Box {
    int begin, end;  // bins[begin..end)
    double error;    // sum of squared distances of its colours to its mean
    int axis;        // the channel along which the colours spread most
};

// The strip's colours, gathered. `count` and `sum` are indexed by bin and kept zero between
// strips; `touched` lists the bins in use.
struct Gathered {
    std::vector<long> count = std::vector<long>(BIN_COUNT);
    std::vector<long> sum = std::vector<long>(3 * BIN_COUNT);
    std::vector<unsigned char> entry = std::vector<unsigned char>(BIN_COUNT);  // each bin's entry
    std::vector<int> touched;
};

inline int bin_of(int r, int g, int b)
{
    return (r >> 2) << 12 | (g >> 2) << 6 | (b >> 2);
}

void read_pixel(BITMAP *bmp, int depth, int x, int y, int &r, int &g, int &b)
{
    int c = depth == 32 ? (int)((uint32_t *)bmp->line[y])[x] : getpixel(bmp, x, y);
    r = getr_depth(depth, c);
    g = getg_depth(depth, c);
    b = getb_depth(depth, c);
}

void measure_box(const std::vector<Bin> &bins, Box &box)
{
    double n = 0, s[3] = {0, 0, 0}, q[3] = {0, 0, 0};
    for (int i = box.begin; i < box.end; i++)
        for (int k = 0; k < 3; k++) {
            double v = bins[i].mean[k];
            s[k] += bins[i].count * v;
            q[k] += bins[i].count * v * v;
            if (k == 0)
                n += bins[i].count;
        }
    box.error = 0;
    box.axis = 0;
    double widest = -1;
    for (int k = 0; k < 3; k++) {
        double e = q[k] - s[k] * s[k] / n;
        box.error += e;
        if (e > widest) {
            widest = e;
            box.axis = k;
        }
    }
    if (box.end - box.begin < 2)
        box.error = 0;  // one bin: nothing to cut
}

// Cuts the bins into at most `wanted` boxes and returns each box's mean.
std::vector<std::array<double, 3>> median_cut(std::vector<Bin> &bins, int wanted)
{
    if (bins.empty())
        return {};  // all black
    std::vector<Box> boxes;
    Box all = {0, (int)bins.size(), 0, 0};
    measure_box(bins, all);
    boxes.push_back(all);
    while ((int)boxes.size() < wanted) {
        int pick = -1;
        for (int i = 0; i < (int)boxes.size(); i++)
            if (boxes[i].error > 0 && (pick < 0 || boxes[i].error > boxes[pick].error))
                pick = i;
        if (pick < 0)
            break;
        Box box = boxes[pick];
        int axis = box.axis;
        std::sort(bins.begin() + box.begin, bins.begin() + box.end, [axis](const Bin &a, const Bin &b) {
            return a.mean[axis] != b.mean[axis] ? a.mean[axis] < b.mean[axis] : a.key < b.key;
        });
        long total = 0, half = 0;
        for (int i = box.begin; i < box.end; i++)
            total += bins[i].count;
        int cut = box.begin + 1;
        for (int i = box.begin; i < box.end - 1; i++) {
            half += bins[i].count;
            cut = i + 1;
            if (2 * half >= total)
                break;
        }
        Box low = {box.begin, cut, 0, 0}, high = {cut, box.end, 0, 0};
        measure_box(bins, low);
        measure_box(bins, high);
        boxes[pick] = low;
        boxes.push_back(high);
    }
    std::vector<std::array<double, 3>> means;
    for (const Box &box : boxes) {
        double n = 0, s[3] = {0, 0, 0};
        for (int i = box.begin; i < box.end; i++) {
            n += bins[i].count;
            for (int k = 0; k < 3; k++)
                s[k] += bins[i].count * bins[i].mean[k];
        }
        means.push_back({s[0] / n, s[1] / n, s[2] / n});
    }
    return means;
}

// A palette entry for an 8-bit colour, never one that reads back as the mask colour at
// 15, 16 or 32 bits (it would punch a hole in the floor).
RGB entry_for(const std::array<double, 3> &c)
{
    int v[3];
    for (int k = 0; k < 3; k++)
        v[k] = std::max(0, std::min(63, (int)(c[k] * 63 / 255 + 0.5)));
    if (_rgb_scale_6[v[0]] >> 3 == 31 && _rgb_scale_6[v[2]] >> 3 == 31 && v[1] < 2)
        v[1] = 2;
    RGB e = {(unsigned char)v[0], (unsigned char)v[1], (unsigned char)v[2], 0};
    return e;
}

// Nearest-entry search over a palette sorted by green: the walk away from the query's green
// stops once the green difference alone exceeds the best distance found.
struct Nearest {
    int count = 0;
    int rgb[ENTRIES][3];
    int index[ENTRIES];

    void set(const RGB *pal, int n)
    {
        count = n;
        for (int i = 0; i < n; i++)
            index[i] = i;
        std::sort(index, index + n, [pal](int a, int b) { return pal[a].g != pal[b].g ? pal[a].g < pal[b].g : a < b; });
        for (int i = 0; i < n; i++)
            palette_colour(pal[index[i]], rgb[i][0], rgb[i][1], rgb[i][2]);
    }

    int find(const double *c) const
    {
        int lo = 0, hi = count;
        while (lo < hi) {
            int mid = (lo + hi) / 2;
            if (rgb[mid][1] < c[1])
                lo = mid + 1;
            else
                hi = mid;
        }
        double best = 1e30;
        int found = 0;
        auto consider = [&](int i) {
            double dr = rgb[i][0] - c[0], dg = rgb[i][1] - c[1], db = rgb[i][2] - c[2];
            double d = dr * dr + dg * dg + db * db;
            if (d < best || (d == best && index[i] < index[found])) {
                best = d;
                found = i;
            }
            return dg * dg;
        };
        for (int i = lo, j = lo - 1; i < count || j >= 0;) {
            if (i < count && consider(i++) > best)
                i = count;
            if (j >= 0 && consider(j--) > best)
                j = -1;
        }
        return index[found];
    }
};

}  // namespace

void palette_colour(const RGB &c, int &r, int &g, int &b)
{
    r = _rgb_scale_6[c.r & 63];
    g = _rgb_scale_6[c.g & 63];
    b = _rgb_scale_6[c.b & 63];
}

BITMAP *reduce_strip(BITMAP *strip, RGB *pal)
{
    static Gathered gathered;
    std::vector<long> &count = gathered.count, &sum = gathered.sum;
    std::vector<int> &touched = gathered.touched;
    int depth = bitmap_color_depth(strip);
    BITMAP *out = create_bitmap_ex(8, strip->w, strip->h);
    if (!out)
        return nullptr;

    std::vector<int> keys((size_t)strip->w * strip->h);
    for (int y = 0; y < strip->h; y++)
        for (int x = 0; x < strip->w; x++) {
            int r, g, b;
            read_pixel(strip, depth, x, y, r, g, b);
            int key = bin_of(r, g, b);
            keys[(size_t)y * strip->w + x] = key;
            if (count[key]++ == 0)
                touched.push_back(key);
            sum[3 * key] += r;
            sum[3 * key + 1] += g;
            sum[3 * key + 2] += b;
        }
    std::sort(touched.begin(), touched.end());

    // Black, the colour of empty cells, has entry 0 to itself; the rest share the others.
    std::vector<Bin> bins;
    for (int key : touched)
        if (key != 0) {
            Bin bin = {key, count[key], {0, 0, 0}};
            for (int k = 0; k < 3; k++)
                bin.mean[k] = (double)sum[3 * key + k] / count[key];
            bins.push_back(bin);
        }
    std::vector<std::array<double, 3>> means = median_cut(bins, ENTRIES - 1);
    memset(pal, 0, sizeof(RGB) * ENTRIES);
    int used = 1 + (int)means.size();
    for (size_t i = 0; i < means.size(); i++)
        pal[i + 1] = entry_for(means[i]);

    Nearest nearest;
    for (int round = 0; round < REFINE_ROUNDS && !bins.empty(); round++) {
        nearest.set(pal, used);
        std::vector<std::array<double, 4>> acc(used, {0, 0, 0, 0});
        for (const Bin &bin : bins) {
            int e = nearest.find(bin.mean);
            for (int k = 0; k < 3; k++)
                acc[e][k] += bin.count * bin.mean[k];
            acc[e][3] += bin.count;
        }
        for (int e = 1; e < used; e++)
            if (acc[e][3] > 0)
                pal[e] = entry_for({acc[e][0] / acc[e][3], acc[e][1] / acc[e][3], acc[e][2] / acc[e][3]});
    }

    // Each bin's entry, then every pixel's.
    nearest.set(pal, used);
    for (const Bin &bin : bins)
        gathered.entry[bin.key] = (unsigned char)nearest.find(bin.mean);
    for (int y = 0; y < strip->h; y++)
        for (int x = 0; x < strip->w; x++) {
            int key = keys[(size_t)y * strip->w + x];
            out->line[y][x] = key == 0 ? 0 : gathered.entry[key];
        }

    for (int key : touched) {
        count[key] = 0;
        sum[3 * key] = sum[3 * key + 1] = sum[3 * key + 2] = 0;
    }
    touched.clear();
    return out;
}
