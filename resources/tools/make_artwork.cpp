// make_artwork: draws every picture the diary uses (skins, mode tabs, mood and
// zodiac pictures, button glyphs, cursors, the program icon) and writes the
// welcome template, into the resources folder named on the command line.
// Everything is drawn here with QPainter and generated noise; every random
// choice comes from a fixed seed, so a rerun reproduces the committed files.

#include <QByteArray>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QImage>
#include <QImageWriter>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QString>
#include <QStringList>
#include <QTextStream>
#include <QTransform>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

#ifdef DIARY_HAVE_LIBJPEG
#include <cstdio>
#include <jpeglib.h>
#endif

namespace {

constexpr double kPi = 3.14159265358979323846;

// ---------------------------------------------------------------------------
// Output bookkeeping

QString gRoot;

struct Written {
    QString file;
    QString size;
    QString role;
};
std::vector<Written> gWritten;

[[noreturn]] void fail(const QString& message)
{
    QTextStream(stderr) << "make_artwork: " << message << '\n';
    std::exit(1);
}

void writeBytes(const QString& relative, const QByteArray& data)
{
    const QString path = gRoot + u'/' + relative;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(data) != data.size())
        fail(QStringLiteral("cannot write ") + path);
}

void record(const QString& relative, const QString& size, const QString& role)
{
    gWritten.push_back({ relative, size, role });
}

QString sizeText(int w, int h)
{
    return QString::number(w) + QStringLiteral(" x ") + QString::number(h);
}

// ---------------------------------------------------------------------------
// Deterministic randomness (splitmix64: the same numbers on every platform)

class Rng {
public:
    explicit Rng(quint64 seed)
        : state(seed)
    {
    }
    quint64 next()
    {
        quint64 z = (state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    double uniform() { return double(next() >> 11) * (1.0 / 9007199254740992.0); }
    double range(double a, double b) { return a + (b - a) * uniform(); }
    int below(int n) { return int(next() % quint64(n)); }

private:
    quint64 state;
};

// Classic gradient noise, seeded; values roughly in -1..1.
class Noise {
public:
    explicit Noise(quint64 seed)
    {
        Rng rng(seed);
        for (int i = 0; i < 256; ++i)
            perm[i] = i;
        for (int i = 255; i > 0; --i)
            std::swap(perm[i], perm[rng.below(i + 1)]);
        for (int i = 0; i < 256; ++i) {
            const double a = rng.range(0, 2 * kPi);
            gx[i] = std::cos(a);
            gy[i] = std::sin(a);
        }
    }
    double at(double x, double y) const
    {
        const double fx = std::floor(x), fy = std::floor(y);
        const int xi = int(fx) & 255, yi = int(fy) & 255;
        const double dx = x - fx, dy = y - fy;
        auto grad = [&](int ix, int iy, double ox, double oy) {
            const int h = perm[(perm[ix & 255] + iy) & 255];
            return gx[h] * ox + gy[h] * oy;
        };
        const double u = fade(dx), v = fade(dy);
        const double n00 = grad(xi, yi, dx, dy), n10 = grad(xi + 1, yi, dx - 1, dy);
        const double n01 = grad(xi, yi + 1, dx, dy - 1), n11 = grad(xi + 1, yi + 1, dx - 1, dy - 1);
        const double a = n00 + u * (n10 - n00), b = n01 + u * (n11 - n01);
        return 1.4 * (a + v * (b - a));
    }
    double fbm(double x, double y, int octaves, double gain = 0.5) const
    {
        double sum = 0, amp = 1, norm = 0;
        for (int i = 0; i < octaves; ++i) {
            sum += amp * at(x, y);
            norm += amp;
            amp *= gain;
            x = x * 2.03 + 17.1;
            y = y * 2.03 + 5.7;
        }
        return sum / norm;
    }

private:
    static double fade(double t) { return t * t * t * (t * (t * 6 - 15) + 10); }
    std::array<int, 256> perm {};
    std::array<double, 256> gx {}, gy {};
};

double clamp01(double v)
{
    return std::clamp(v, 0.0, 1.0);
}
double smoothstep(double e0, double e1, double x)
{
    const double t = clamp01((x - e0) / (e1 - e0));
    return t * t * (3 - 2 * t);
}

// ---------------------------------------------------------------------------
// File formats

void put16(QByteArray& b, quint32 v)
{
    b.append(char(v & 0xFF));
    b.append(char((v >> 8) & 0xFF));
}
void put32(QByteArray& b, quint32 v)
{
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}

// A Windows BMP with a BITMAPINFOHEADER, rows bottom-up. Palettes are always
// full (2^bits entries), as the class library's bitmaps are.
QByteArray bmpFile(int w, int h, int bits, const QByteArray& rows, const std::vector<QRgb>& palette)
{
    const int entries = bits <= 8 ? (1 << bits) : 0;
    const quint32 offset = 14 + 40 + 4 * entries;
    QByteArray b;
    b.append('B');
    b.append('M');
    put32(b, offset + quint32(rows.size()));
    put32(b, 0);
    put32(b, offset);
    put32(b, 40);
    put32(b, quint32(w));
    put32(b, quint32(h));
    put16(b, 1);
    put16(b, quint32(bits));
    put32(b, 0); // uncompressed
    put32(b, quint32(rows.size()));
    put32(b, 3780); // 96 dots per inch
    put32(b, 3780);
    put32(b, 0);
    put32(b, 0);
    for (int i = 0; i < entries; ++i) {
        const QRgb c = i < int(palette.size()) ? palette[size_t(i)] : 0;
        b.append(char(qBlue(c)));
        b.append(char(qGreen(c)));
        b.append(char(qRed(c)));
        b.append(char(0));
    }
    b.append(rows);
    return b;
}

QByteArray bmp24(const QImage& source)
{
    const QImage img = source.convertToFormat(QImage::Format_RGB32);
    QByteArray rows;
    const int stride = (img.width() * 3 + 3) & ~3;
    for (int y = img.height() - 1; y >= 0; --y) {
        const auto* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        QByteArray row;
        for (int x = 0; x < img.width(); ++x) {
            row.append(char(qBlue(line[x])));
            row.append(char(qGreen(line[x])));
            row.append(char(qRed(line[x])));
        }
        row.append(QByteArray(stride - row.size(), '\0'));
        rows.append(row);
    }
    return bmpFile(img.width(), img.height(), 24, rows, {});
}

// An indexed BMP (4 or 8 bits) whose palette holds exactly the picture's
// colours; used where the size of the file or its colour depth is fixed.
QByteArray bmpIndexed(const QImage& source, int bits, const std::vector<QRgb>& fixedPalette = {})
{
    const QImage img = source.convertToFormat(QImage::Format_RGB32);
    std::vector<QRgb> palette = fixedPalette;
    std::map<QRgb, int> index;
    for (size_t i = 0; i < palette.size(); ++i)
        index.emplace(palette[i] | 0xFF000000u, int(i));
    auto lookup = [&](QRgb c) {
        c |= 0xFF000000u;
        auto it = index.find(c);
        if (it != index.end())
            return it->second;
        if (!fixedPalette.empty())
            fail(QStringLiteral("colour outside the fixed palette"));
        if (palette.size() >= size_t(1) << bits)
            fail(QStringLiteral("too many colours for an indexed bitmap"));
        palette.push_back(c);
        index.emplace(c, int(palette.size() - 1));
        return int(palette.size() - 1);
    };
    const int stride = ((img.width() * bits + 31) / 32) * 4;
    QByteArray rows;
    for (int y = img.height() - 1; y >= 0; --y) {
        const auto* line = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        QByteArray row(stride, '\0');
        for (int x = 0; x < img.width(); ++x) {
            const int i = lookup(line[x]);
            if (bits == 8)
                row[x] = char(i);
            else
                row[x / 2] = char(uchar(row[x / 2]) | (x % 2 ? i : i << 4));
        }
        rows.append(row);
    }
    return bmpFile(img.width(), img.height(), bits, rows, palette);
}

void writeBmp(const QString& relative, const QByteArray& file, int w, int h, const QString& role)
{
    writeBytes(relative, file);
    record(relative, sizeText(w, h), role);
}

void writePng(const QString& relative, const QImage& img, const QString& role)
{
    const QString path = gRoot + u'/' + relative;
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (!img.save(path, "PNG"))
        fail(QStringLiteral("cannot write ") + path);
    record(relative, sizeText(img.width(), img.height()), role);
}

#ifdef DIARY_HAVE_LIBJPEG
QByteArray jpegThroughLibjpeg(const QImage& source, int quality)
{
    const QImage img = source.convertToFormat(QImage::Format_RGB888);
    jpeg_compress_struct info {};
    jpeg_error_mgr error {};
    info.err = jpeg_std_error(&error);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long length = 0;
    jpeg_mem_dest(&info, &buffer, &length);
    info.image_width = JDIMENSION(img.width());
    info.image_height = JDIMENSION(img.height());
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(img.constScanLine(int(info.next_scanline)));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    QByteArray out(reinterpret_cast<const char*>(buffer), qsizetype(length));
    std::free(buffer);
    return out;
}
#endif

void writeJpeg(const QString& relative, const QImage& img, int quality, const QString& role)
{
    const QString path = gRoot + u'/' + relative;
    QDir().mkpath(QFileInfo(path).absolutePath());
    if (QImageWriter::supportedImageFormats().contains("jpeg")) {
        QImageWriter writer(path, "jpeg");
        writer.setQuality(quality);
        if (!writer.write(img))
            fail(QStringLiteral("cannot write ") + path + QStringLiteral(": ") + writer.errorString());
    } else {
#ifdef DIARY_HAVE_LIBJPEG
        writeBytes(relative, jpegThroughLibjpeg(img, quality));
#else
        fail(QStringLiteral("neither Qt's JPEG plugin nor libjpeg is available"));
#endif
    }
    record(relative, sizeText(img.width(), img.height()), role);
}

// ---------------------------------------------------------------------------
// Skins: painted in floating point, dithered once at the end so the long
// gradients show no bands.

struct Rgb {
    double r = 0, g = 0, b = 0;
};
Rgb operator+(Rgb a, Rgb b)
{
    return { a.r + b.r, a.g + b.g, a.b + b.b };
}
Rgb operator*(Rgb a, double s)
{
    return { a.r * s, a.g * s, a.b * s };
}
Rgb mix(Rgb a, Rgb b, double t)
{
    return { a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t };
}
Rgb hex(quint32 v)
{
    return { ((v >> 16) & 255) / 255.0, ((v >> 8) & 255) / 255.0, (v & 255) / 255.0 };
}

// Piecewise gradient with eased joins.
class Stops {
public:
    Stops(std::initializer_list<std::pair<double, quint32>> list)
    {
        for (const auto& s : list)
            stops.push_back({ s.first, hex(s.second) });
    }
    Rgb at(double t) const
    {
        if (t <= stops.front().first)
            return stops.front().second;
        for (size_t i = 1; i < stops.size(); ++i)
            if (t <= stops[i].first) {
                const double u = (t - stops[i - 1].first) / (stops[i].first - stops[i - 1].first);
                return mix(stops[i - 1].second, stops[i].second, u * u * (3 - 2 * u));
            }
        return stops.back().second;
    }

private:
    std::vector<std::pair<double, Rgb>> stops;
};

constexpr int kSkinW = 1920;
constexpr int kSkinH = 1200;

class Picture {
public:
    Picture(int w, int h)
        : w(w)
        , h(h)
        , px(size_t(w) * size_t(h))
    {
    }
    Rgb& at(int x, int y) { return px[size_t(y) * size_t(w) + size_t(x)]; }

    template <class F> void paint(F colourAt)
    {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                at(x, y) = colourAt(x, y, at(x, y));
    }
    // Soft additive light with a Gaussian falloff.
    void glow(double cx, double cy, double radius, Rgb colour, double strength)
    {
        const int x0 = std::max(0, int(cx - 3 * radius)), x1 = std::min(w - 1, int(cx + 3 * radius));
        const int y0 = std::max(0, int(cy - 3 * radius)), y1 = std::min(h - 1, int(cy + 3 * radius));
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) {
                const double d2 = ((x - cx) * (x - cx) + (y - cy) * (y - cy)) / (radius * radius);
                at(x, y) = at(x, y) + colour * (strength * std::exp(-d2));
            }
    }
    void star(double cx, double cy, double brightness, double sigma, Rgb tint)
    {
        const int reach = int(std::ceil(3 * sigma));
        for (int y = int(cy) - reach; y <= int(cy) + reach; ++y)
            for (int x = int(cx) - reach; x <= int(cx) + reach; ++x) {
                if (x < 0 || y < 0 || x >= w || y >= h)
                    continue;
                const double d2 = (x + 0.5 - cx) * (x + 0.5 - cx) + (y + 0.5 - cy) * (y + 0.5 - cy);
                at(x, y) = at(x, y) + tint * (brightness * std::exp(-d2 / (2 * sigma * sigma)));
            }
    }
    // Darkens the corners a little, which keeps the eye in the middle.
    void vignette(double strength)
    {
        paint([&](int x, int y, Rgb c) {
            const double dx = (x - w / 2.0) / (w / 2.0), dy = (y - h / 2.0) / (h / 2.0);
            return c * (1 - strength * std::min(1.0, 0.5 * (dx * dx + dy * dy)));
        });
    }
    QImage toImage(quint64 seed) const
    {
        QImage img(w, h, QImage::Format_RGB32);
        Rng rng(seed);
        for (int y = 0; y < h; ++y) {
            auto* line = reinterpret_cast<QRgb*>(img.scanLine(y));
            for (int x = 0; x < w; ++x) {
                const Rgb& c = px[size_t(y) * size_t(w) + size_t(x)];
                // Triangular dither shared by the three channels: no bands, no colour speckle.
                const double d = rng.uniform() + rng.uniform() - 1.0;
                auto channel = [&](double v) { return std::clamp(int(std::lround(v * 255.0 + d)), 0, 255); };
                line[x] = qRgb(channel(c.r), channel(c.g), channel(c.b));
            }
        }
        return img;
    }

    int w, h;

private:
    std::vector<Rgb> px;
};

// Coverage (0..1) of a filled path, antialiased.
std::vector<float> coverage(const QPainterPath& path, int w, int h)
{
    QImage mask(w, h, QImage::Format_Alpha8);
    mask.fill(0);
    {
        QPainter p(&mask);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0, 0, 0, 255));
        p.drawPath(path);
    }
    std::vector<float> out(size_t(w) * size_t(h));
    for (int y = 0; y < h; ++y) {
        const uchar* line = mask.constScanLine(y);
        for (int x = 0; x < w; ++x)
            out[size_t(y) * size_t(w) + size_t(x)] = line[x] / 255.0f;
    }
    return out;
}

// The ground under a skyline y = top(x), as a closed path.
QPainterPath groundPath(const std::function<double(double)>& top, int w, int h)
{
    QPainterPath path;
    path.moveTo(-2, h + 2);
    for (int x = -2; x <= w + 2; x += 2)
        path.lineTo(x, top(x));
    path.lineTo(w + 2, h + 2);
    path.closeSubpath();
    return path;
}

// Lays a layer of colour over the picture where the mask covers it.
void layer(Picture& pic, const std::vector<float>& mask, const std::function<Rgb(int, int, Rgb)>& colourAt)
{
    pic.paint([&](int x, int y, Rgb c) {
        const double a = mask[size_t(y) * size_t(pic.w) + size_t(x)];
        return a > 0 ? mix(c, colourAt(x, y, c), a) : c;
    });
}

// Fixed stars of the picture itself, mostly faint; weight(x, y) thins them
// out where the sky is bright or covered.
void sprinkleStars(Picture& pic, Rng& rng, int count, const std::function<double(double, double)>& weight)
{
    const Rgb cool = hex(0xCFDDFF), warm = hex(0xFFEBD0);
    for (int i = 0; i < count; ++i) {
        const double x = rng.range(0, pic.w), y = rng.range(0, pic.h);
        const double m = rng.uniform(), tint = rng.uniform(), keep = rng.uniform();
        const double wgt = weight(x, y);
        if (keep > wgt)
            continue;
        const double brightness = (0.10 + 0.80 * std::pow(m, 6.0)) * std::sqrt(wgt);
        const double sigma = 0.45 + 0.55 * std::pow(m, 4.0);
        const Rgb colour = mix(cool, warm, tint);
        pic.star(x, y, brightness * 2.2, sigma, colour);
        if (m > 0.93)
            pic.glow(x, y, 5.0, colour, 0.05 * wgt);
    }
}

QPainterPath pine(double x, double base, double height, Rng& rng)
{
    // A fir: a zig-zag outline of drooping branch tiers and a short trunk.
    const int tiers = 6 + rng.below(4);
    const double half = height * rng.range(0.17, 0.23);
    const double top = base - height;
    QPolygonF right, left;
    right << QPointF(x, top);
    for (int k = 1; k <= tiers; ++k) {
        const double t = double(k) / tiers;
        const double y = top + height * 0.93 * t;
        const double reach = half * (0.25 + 0.75 * t) * rng.range(0.85, 1.15);
        right << QPointF(x + reach, y + height * 0.02) << QPointF(x + reach * 0.45, y - height * 0.015);
        left << QPointF(x - reach * rng.range(0.9, 1.1), y + height * 0.02)
             << QPointF(x - reach * 0.45, y - height * 0.015);
    }
    right << QPointF(x + height * 0.025, base - height * 0.04) << QPointF(x + height * 0.025, base + 4);
    left << QPointF(x - height * 0.025, base - height * 0.04) << QPointF(x - height * 0.025, base + 4);
    QPolygonF outline = right;
    for (auto it = left.rbegin(); it != left.rend(); ++it)
        outline << *it;
    QPainterPath path;
    path.addPolygon(outline);
    path.closeSubpath();
    return path;
}

// Moon disk with soft limb and faint markings; a shadow disk turns it into a crescent.
void moon(Picture& pic, double cx, double cy, double r, Rgb colour, const Noise& marks, double shadowDx = 0,
    double shadowDy = 0)
{
    for (int y = int(cy - r - 2); y <= int(cy + r + 2); ++y)
        for (int x = int(cx - r - 2); x <= int(cx + r + 2); ++x) {
            const double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
            double a = clamp01(r - d + 0.5);
            if (shadowDx != 0 || shadowDy != 0)
                a *= clamp01(std::hypot(x + 0.5 - cx - shadowDx, y + 0.5 - cy - shadowDy) - r * 0.96 + 0.5);
            if (a <= 0)
                continue;
            const double limb = 0.82 + 0.18 * std::sqrt(clamp01(1 - (d / r) * (d / r)));
            const double mark = 1 - 0.12 * smoothstep(0.0, 0.5, marks.fbm((x - cx) / r * 1.6, (y - cy) / r * 1.6, 4));
            pic.at(x, y) = mix(pic.at(x, y), colour * (limb * mark), a);
        }
}

// 1: night sky with a soft nebula across it.
QImage skinNebula()
{
    Picture pic(kSkinW, kSkinH);
    const Stops sky { { 0.0, 0x04060E }, { 0.5, 0x070C1C }, { 1.0, 0x0B1428 } };
    const Noise warp(101), cloud(102), hue(103), dust(104);
    const Rgb purple = hex(0x5A3490), teal = hex(0x1E6478);
    auto band = [&](double u, double v) {
        // Distance to the axis of the band, a line from lower left to upper right.
        const double X = u * 1.6, Y = v;
        const double ax = 0.10, ay = 0.95, bx = 1.50, by = 0.05;
        const double len = std::hypot(bx - ax, by - ay);
        double d = std::abs((bx - ax) * (ay - Y) - (ax - X) * (by - ay)) / len;
        d += 0.07 * warp.fbm(X * 1.4, Y * 1.4, 3);
        return std::exp(-(d / 0.22) * (d / 0.22));
    };
    pic.paint([&](int x, int y, Rgb) {
        const double u = double(x) / kSkinW, v = double(y) / kSkinH, X = u * 1.6;
        Rgb c = sky.at(v);
        const double b = band(u, v);
        const double density = b * smoothstep(-0.25, 0.7, cloud.fbm(X * 2.2, v * 2.2, 6));
        const Rgb tint = mix(purple, teal, smoothstep(-0.3, 0.3, hue.fbm(X * 1.3, v * 1.3, 4)));
        c = c + tint * (density * 0.85);
        const double lanes = smoothstep(0.1, 0.6, dust.fbm(X * 4.0, v * 4.0, 5)) * b;
        return c * (1 - 0.45 * lanes);
    });
    pic.glow(0.58 * kSkinW, 0.45 * kSkinH, 0.15 * kSkinW, hex(0x7A4276), 0.14);
    Rng rng(1001);
    sprinkleStars(pic, rng, 2600, [&](double x, double y) { return 0.55 + 0.45 * band(x / kSkinW, y / kSkinH); });
    pic.vignette(0.35);
    return pic.toImage(11);
}

// 2: dusk over layered hills, a crescent moon high up.
QImage skinDusk()
{
    Picture pic(kSkinW, kSkinH);
    const Stops sky { { 0.0, 0x070B22 }, { 0.30, 0x141842 }, { 0.50, 0x2A2452 }, { 0.62, 0x553A62 }, { 0.70, 0x8E5A6C },
        { 0.76, 0xB87A66 } };
    const Noise clouds(201), marks(202);
    pic.paint([&](int x, int y, Rgb) {
        const double u = double(x) / kSkinW, v = double(y) / kSkinH;
        Rgb c = sky.at(v);
        const double env = smoothstep(0.30, 0.45, v) * smoothstep(0.68, 0.55, v);
        const double d = env * smoothstep(0.15, 0.7, clouds.fbm(u * 2.5 * 1.6, v * 12, 5));
        const Rgb tint = mix(hex(0x2E2650), hex(0xA06478), smoothstep(0.45, 0.68, v));
        return mix(c, tint, d * 0.5);
    });
    Rng rng(2001);
    sprinkleStars(pic, rng, 2000, [](double, double y) { return smoothstep(0.62, 0.15, y / kSkinH); });
    const double mx = 0.80 * kSkinW, my = 0.17 * kSkinH;
    pic.glow(mx, my, 170, hex(0x8088B0), 0.10);
    moon(pic, mx, my, 36, hex(0xF3EAD0), marks, -13, -7);

    const double bases[] = { 0.68, 0.74, 0.82, 0.92 };
    const double amps[] = { 0.08, 0.10, 0.11, 0.09 };
    const double freqs[] = { 3.0, 2.4, 1.8, 1.3 };
    const quint32 tops[] = { 0x3A2E56, 0x262042, 0x14122A, 0x07070E };
    for (int i = 0; i < 4; ++i) {
        const Noise ridge(210 + quint64(i));
        auto top = [&](double x) {
            const double u = x / kSkinW;
            const double roll = 0.6 * std::sin(u * freqs[i] * kPi + 1.7 * i) + 0.6 * ridge.fbm(u * freqs[i], 0.5, 4);
            return kSkinH * (bases[i] - amps[i] * (0.5 + 0.5 * roll));
        };
        QPainterPath ground = groundPath(top, kSkinW, kSkinH);
        if (i == 3) {
            // A lone round tree on the nearest hill: a trunk and a crown of overlapping blobs.
            const double tx = 0.17 * kSkinW, ty = top(tx) + 6;
            QPolygonF trunk;
            trunk << QPointF(tx - 9, ty) << QPointF(tx - 4, ty - 60) << QPointF(tx - 14, ty - 92)
                  << QPointF(tx - 8, ty - 94) << QPointF(tx + 1, ty - 70) << QPointF(tx + 12, ty - 96)
                  << QPointF(tx + 17, ty - 92) << QPointF(tx + 5, ty - 60) << QPointF(tx + 10, ty);
            ground.addPolygon(trunk);
            Rng leaves(2101);
            for (int k = 0; k < 22; ++k) {
                const double a = leaves.range(0, 2 * kPi), r = std::sqrt(leaves.uniform());
                ground.addEllipse(QPointF(tx + 70 * r * std::cos(a), ty - 128 + 44 * r * std::sin(a)),
                    leaves.range(20, 30), leaves.range(17, 26));
            }
            ground.setFillRule(Qt::WindingFill);
        }
        const Rgb colour = hex(tops[i]);
        layer(pic, coverage(ground, kSkinW, kSkinH), [&](int x, int y, Rgb) {
            const double depth = clamp01((y - top(x)) / (0.25 * kSkinH));
            return colour * (1 - 0.45 * depth);
        });
    }
    pic.vignette(0.30);
    return pic.toImage(12);
}

// 3: deep ocean, light falling from the surface, kelp in the dark below.
QImage skinOcean()
{
    Picture pic(kSkinW, kSkinH);
    const Stops water { { 0.0, 0x1A5474 }, { 0.2, 0x0F3A5A }, { 0.5, 0x08253E }, { 0.8, 0x041528 }, { 1.0, 0x020A14 } };
    const Noise caustic(301), rays(302);
    const double sx = 0.38 * kSkinW, sy = -0.35 * kSkinH;
    pic.paint([&](int x, int y, Rgb) {
        const double u = double(x) / kSkinW, v = double(y) / kSkinH;
        Rgb c = water.at(v);
        const double ridged = std::pow(1 - std::abs(caustic.fbm(u * 9.6, v * 6 + 0.3 * u, 3)), 8.0);
        c = c + hex(0x8FD8E8) * (ridged * 0.13 * (1 - smoothstep(0.0, 0.22, v)));
        const double angle = std::atan2(x - sx, y - sy);
        const double shaft = smoothstep(0.35, 0.9, 0.5 + 0.5 * rays.fbm(angle * 9, 0.5, 3));
        return c + hex(0x5FAACC) * (shaft * 0.17 * std::exp(-v * 2.6));
    });
    Rng rng(3001);
    // Drifting specks that catch the light.
    for (int i = 0; i < 1400; ++i) {
        const double x = rng.range(0, kSkinW), y = rng.range(0, kSkinH), m = rng.uniform();
        pic.star(x, y, (0.05 + 0.35 * std::pow(m, 5.0)) * (1 - 0.6 * y / kSkinH), 0.5 + 0.4 * m, hex(0xA8DCE8));
    }
    // A few columns of rising bubbles.
    const double columns[] = { 0.83, 0.87, 0.11 };
    for (double cx : columns)
        for (int k = 0; k < 9; ++k) {
            const double by = kSkinH * (0.80 - k * 0.075 + rng.range(-0.02, 0.02));
            const double bx = cx * kSkinW + 14 * std::sin(k * 1.3 + cx * 10);
            const double r = rng.range(3, 9) * (1 - k * 0.05);
            for (int y = int(by - r - 2); y <= int(by + r + 2); ++y)
                for (int x = int(bx - r - 2); x <= int(bx + r + 2); ++x) {
                    const double d = std::hypot(x + 0.5 - bx, y + 0.5 - by);
                    const double ring = std::exp(-((d - r) * (d - r)) / 0.8);
                    pic.at(x, y) = pic.at(x, y) + hex(0x9ED4E4) * (0.22 * ring);
                }
            pic.star(bx - r * 0.35, by - r * 0.35, 0.25, 0.7, hex(0xE0F4FA));
        }
    // Sea floor and kelp.
    const Noise floorNoise(303);
    auto top = [&](double x) { return kSkinH * (0.91 - 0.07 * (0.5 + 0.5 * floorNoise.fbm(x / kSkinW * 4, 0.2, 5))); };
    QPainterPath ground = groundPath(top, kSkinW, kSkinH);
    for (int k = 0; k < 14; ++k) {
        const double baseX = (k < 7 ? rng.range(0.0, 0.22) : rng.range(0.74, 1.0)) * kSkinW;
        const double height = rng.range(0.22, 0.50) * kSkinH, width = rng.range(10, 18), phase = rng.range(0, 6);
        QPolygonF leftEdge, rightEdge;
        for (int s = 0; s <= 40; ++s) {
            const double t = s / 40.0;
            const double y = kSkinH - t * height;
            const double x = baseX + 34 * t * std::sin(t * 5 + phase);
            const double half = width * (1 - 0.85 * t) * (0.75 + 0.25 * std::sin(t * 23 + phase));
            leftEdge << QPointF(x - half, y);
            rightEdge << QPointF(x + half, y);
        }
        QPolygonF outline = leftEdge;
        for (auto it = rightEdge.rbegin(); it != rightEdge.rend(); ++it)
            outline << *it;
        QPainterPath strand;
        strand.addPolygon(outline);
        ground.addPath(strand);
    }
    ground.setFillRule(Qt::WindingFill);
    layer(pic, coverage(ground, kSkinW, kSkinH), [](int, int, Rgb) { return hex(0x020A12); });
    pic.vignette(0.35);
    return pic.toImage(13);
}

// 4: violet aurora over dark mountains and a still lake.
QImage skinAurora()
{
    Picture pic(kSkinW, kSkinH);
    const Stops sky { { 0.0, 0x040310 }, { 0.55, 0x0C0A24 }, { 0.78, 0x181436 } };
    const Noise wave(401), streaks(402), wave2(403);
    const Rgb green = hex(0x3ED6A0), violet = hex(0x9A58E8);
    auto curtain = [&](double u, double v, double base, double strength) {
        const double hgt = base - v;
        if (hgt < -0.08)
            return Rgb {};
        const double vertical = hgt >= 0 ? 0.7 * std::exp(-hgt / 0.08) + 0.4 * std::exp(-hgt / 0.30)
                                         : 1.1 * std::exp(-(hgt / 0.022) * (hgt / 0.022));
        const double streak
            = 0.3 + 0.7 * smoothstep(-0.2, 0.6, streaks.fbm(u * 38 + 0.8 * std::sin(v * 3), v * 1.2, 4));
        const Rgb colour
            = mix(mix(green, violet, smoothstep(0.0, 0.12, hgt)), hex(0xB05AB0), smoothstep(0.15, 0.45, hgt));
        return colour * (strength * vertical * streak);
    };
    auto aurora = [&](double u, double v) {
        // Folds of the curtain ripple its lower edge.
        const double base1 = 0.40 + 0.06 * std::sin(u * 2 * kPi * 0.9 + 0.7) + 0.05 * wave.fbm(u * 5.0, 3.3, 4)
            + 0.012 * std::sin(u * 2 * kPi * 9 + 4 * wave.fbm(u * 3, 8.1, 2));
        const double base2 = 0.27 + 0.05 * std::sin(u * 2 * kPi * 1.3 + 2.0) + 0.03 * wave2.fbm(u * 3.0, 1.1, 3);
        return curtain(u, v, base1, 0.50) + curtain(u, v, base2, 0.40 * smoothstep(0.35, 0.7, u));
    };
    pic.paint([&](int x, int y, Rgb) {
        const double u = double(x) / kSkinW, v = double(y) / kSkinH;
        return sky.at(v) + aurora(u, v);
    });
    Rng rng(4001);
    sprinkleStars(pic, rng, 2400, [&](double x, double y) {
        const Rgb a = aurora(x / kSkinW, y / kSkinH);
        return clamp01(1 - 3 * (a.r + a.g + a.b) / 3) * smoothstep(0.8, 0.6, y / kSkinH);
    });

    const Noise ridge(404);
    auto peaks = [&](double x) {
        double sum = 0, amp = 0.5, f = x / kSkinW * 3.2;
        for (int o = 0; o < 5; ++o) {
            const double n = 1 - std::abs(ridge.at(f, 7.7 + o));
            sum += amp * n * n;
            amp *= 0.5;
            f *= 2.1;
        }
        return sum;
    };
    const double lakeTop = 0.84 * kSkinH;
    auto top = [&](double x) { return std::min(lakeTop, kSkinH * (0.87 - 0.32 * peaks(x))); };
    layer(pic, coverage(groundPath(top, kSkinW, kSkinH), kSkinW, kSkinH), [&](int x, int y, Rgb) {
        const double below = y - top(x);
        return mix(hex(0x2C2250), hex(0x09081A), smoothstep(0.0, 6.0, below));
    });
    // The lake mirrors what lies above its shore, dimmed and rippled.
    for (int y = int(lakeTop) + 1; y < kSkinH; ++y)
        for (int x = 0; x < kSkinW; ++x) {
            const int my = int(2 * lakeTop - y - 6);
            const int mx = std::clamp(int(x + 3 * std::sin(y * 0.9)), 0, kSkinW - 1);
            const Rgb mirrored = pic.at(mx, std::clamp(my, 0, kSkinH - 1));
            const double depth = (y - lakeTop) / (kSkinH - lakeTop);
            const double sheen
                = 0.035 * smoothstep(0.3, 0.8, wave.fbm(x / double(kSkinW) * 6, y * 0.35, 3)) * (1 - depth);
            pic.at(x, y) = mix(mirrored * 0.6, hex(0x05060F), 0.25 + 0.45 * depth) + hex(0x8A7AC8) * sheen;
        }
    pic.vignette(0.35);
    return pic.toImage(14);
}

// 5: a pine forest at night under a full moon, with mist between the rows.
QImage skinForest()
{
    Picture pic(kSkinW, kSkinH);
    const Stops sky { { 0.0, 0x03080C }, { 0.40, 0x08171E }, { 0.62, 0x10282E }, { 0.75, 0x1A3A40 } };
    const Noise cloud(501), marks(502), fog(503);
    pic.paint([&](int, int y, Rgb) { return sky.at(double(y) / kSkinH); });
    const double mx = 0.28 * kSkinW, my = 0.20 * kSkinH;
    Rng rng(5001);
    sprinkleStars(pic, rng, 1500, [&](double x, double y) {
        return smoothstep(0.65, 0.25, y / kSkinH) * smoothstep(80, 420, std::hypot(x - mx, y - my));
    });
    pic.glow(mx, my, 330, hex(0x9DB8C0), 0.12);
    pic.glow(mx, my, 90, hex(0xC0D4D8), 0.20);
    moon(pic, mx, my, 44, hex(0xEEF0E2), marks);
    pic.paint([&](int x, int y, Rgb c) {
        const double u = double(x) / kSkinW, v = double(y) / kSkinH;
        const double env = smoothstep(0.08, 0.16, v) * smoothstep(0.42, 0.30, v);
        return mix(c, hex(0x223840), env * 0.4 * smoothstep(0.3, 0.8, cloud.fbm(u * 3.2, v * 14, 5)));
    });

    const double bases[] = { 0.70, 0.79, 0.90 };
    const double minH[] = { 0.09, 0.15, 0.24 }, maxH[] = { 0.15, 0.25, 0.42 };
    const double gapMin[] = { 14, 26, 55 }, gapMax[] = { 34, 64, 120 };
    const quint32 colours[] = { 0x0F2529, 0x071417, 0x020607 };
    for (int i = 0; i < 3; ++i) {
        const double base = bases[i] * kSkinH;
        QPainterPath trees;
        trees.addRect(-2, base - 2, kSkinW + 4, kSkinH - base + 4);
        for (double x = rng.range(-20, 10); x < kSkinW + 40; x += rng.range(gapMin[i], gapMax[i]))
            trees.addPath(pine(x, base + rng.range(-6, 10), rng.range(minH[i], maxH[i]) * kSkinH, rng));
        trees.setFillRule(Qt::WindingFill);
        const Rgb colour = hex(colours[i]);
        layer(pic, coverage(trees, kSkinW, kSkinH), [&](int, int, Rgb) { return colour; });
        if (i < 2)
            pic.paint([&](int x, int y, Rgb c) {
                const double v = double(y) / kSkinH, t = (v - bases[i]) / 0.035;
                if (std::abs(t) > 4)
                    return c;
                const double f = std::exp(-t * t) * (0.6 + 0.4 * fog.fbm(x / double(kSkinW) * 4.8, v * 8 + i, 4));
                return c + hex(0x2A4A50) * (0.30 * f);
            });
    }
    // Fireflies among the nearer trees.
    for (int k = 0; k < 18; ++k) {
        const double x = rng.range(0.05, 0.95) * kSkinW, y = rng.range(0.78, 0.96) * kSkinH;
        pic.star(x, y, 0.8, 0.9, hex(0xF0E08A));
        pic.glow(x, y, 7, hex(0xE8D070), 0.10);
    }
    pic.vignette(0.30);
    return pic.toImage(15);
}

// 6: a warm sunset over the sea, fading to night above.
QImage skinSunset()
{
    Picture pic(kSkinW, kSkinH);
    const double hz = 0.66;
    const Stops sky { { 0.0, 0x060818 }, { 0.30, 0x121838 }, { 0.50, 0x2A2450 }, { 0.68, 0x663A58 }, { 0.85, 0xB86450 },
        { 1.0, 0xE8985A } };
    const Noise clouds(601), glints(602), coast(603);
    const double sunX = 0.62 * kSkinW, sunY = hz * kSkinH + 16;
    pic.paint([&](int x, int y, Rgb) {
        const double u = double(x) / kSkinW, v = double(y) / kSkinH;
        Rgb c = sky.at(v / hz);
        const double env = smoothstep(0.36, 0.46, v) * smoothstep(0.64, 0.56, v);
        const double d = env * smoothstep(0.2, 0.75, clouds.fbm(u * 1.6 * 1.6, v * 16, 5));
        const double lit = smoothstep(0.45, 0.64, v) * (1 - 0.6 * std::abs(u - 0.62));
        return mix(c, mix(hex(0x2A2040), hex(0xE08A6A), lit), d * 0.6);
    });
    Rng rng(6001);
    sprinkleStars(pic, rng, 1800, [](double, double y) { return smoothstep(0.42, 0.08, y / kSkinH); });
    pic.glow(sunX, sunY, 0.30 * kSkinW, hex(0xF08A50), 0.16);
    pic.glow(sunX, sunY, 110, hex(0xFFC080), 0.40);
    for (int y = int(sunY - 60); y <= int(hz * kSkinH); ++y)
        for (int x = int(sunX - 60); x <= int(sunX + 60); ++x) {
            const double a = clamp01(52 - std::hypot(x + 0.5 - sunX, y + 0.5 - sunY) + 0.5);
            pic.at(x, y) = mix(pic.at(x, y), hex(0xFFE2A8), a);
        }
    const Rgb horizonSky = sky.at(1.0);
    for (int y = int(hz * kSkinH); y < kSkinH; ++y)
        for (int x = 0; x < kSkinW; ++x) {
            const double u = double(x) / kSkinW, t = (double(y) / kSkinH - hz) / (1 - hz);
            Rgb c = mix(hex(0x2A2446), hex(0x04050E), std::sqrt(t));
            c = c + horizonSky * (0.30 * std::exp(-t * 9));
            const double streak = smoothstep(0.15, 0.7, glints.fbm(u * 8 * 1.6, t * 48, 3));
            const double column = std::exp(-std::pow((u - 0.62) / (0.05 + 0.22 * t), 2.0));
            pic.at(x, y) = c + hex(0xF0A060) * (1.0 * column * streak * std::pow(1 - t, 1.5));
        }
    // A dark headland on the left.
    auto top = [&](double x) {
        const double u = x / kSkinW;
        const double bump = smoothstep(0.36, 0.0, u) * (0.05 + 0.015 * coast.fbm(u * 8, 0.3, 4)) - 0.004;
        return kSkinH * (hz - bump);
    };
    QPainterPath land = groundPath(top, kSkinW, kSkinH);
    land = land.intersected([&] {
        QPainterPath r;
        r.addRect(-4, 0, 0.5 * kSkinW, kSkinH * hz + 1);
        return r;
    }());
    layer(pic, coverage(land, kSkinW, kSkinH), [](int, int, Rgb) { return hex(0x0A0A16); });
    pic.vignette(0.30);
    return pic.toImage(16);
}

// 7: dunes under a starry desert sky and the band of the galaxy.
QImage skinDesert()
{
    Picture pic(kSkinW, kSkinH);
    const Stops sky { { 0.0, 0x020309 }, { 0.50, 0x080A1C }, { 0.70, 0x15142E }, { 0.80, 0x2A2034 } };
    const Noise warp(701), glow(702), dust(703), sand(704);
    auto band = [&](double u, double v) {
        const double X = u * 1.6, Y = v;
        const double ax = 0.25, ay = 1.0, bx = 1.25, by = 0.0;
        const double len = std::hypot(bx - ax, by - ay);
        double d = std::abs((bx - ax) * (ay - Y) - (ax - X) * (by - ay)) / len;
        d += 0.04 * warp.fbm(X * 2, Y * 2, 3);
        return d;
    };
    pic.paint([&](int x, int y, Rgb) {
        const double u = double(x) / kSkinW, v = double(y) / kSkinH;
        Rgb c = sky.at(v);
        const double d = band(u, v);
        const double b = std::exp(-(d / 0.13) * (d / 0.13));
        c = c + hex(0xB8B0D0) * (b * 0.24 * (0.5 + 0.5 * glow.fbm(u * 6, v * 4, 5)));
        const double lane = smoothstep(0.0, 0.5, dust.fbm(u * 8, v * 5, 5)) * std::exp(-(d / 0.05) * (d / 0.05));
        return c * (1 - 0.5 * lane);
    });
    Rng rng(7001);
    sprinkleStars(pic, rng, 3400, [&](double x, double y) {
        const double d = band(x / kSkinW, y / kSkinH);
        return (0.45 + 0.55 * std::exp(-(d / 0.13) * (d / 0.13))) * smoothstep(0.80, 0.55, y / kSkinH);
    });
    pic.glow(0.30 * kSkinW, 0.78 * kSkinH, 0.28 * kSkinW, hex(0x6A4A50), 0.10);

    const double bases[] = { 0.74, 0.83, 0.93 };
    const double amps[] = { 0.05, 0.06, 0.07 };
    const quint32 lit[] = { 0x3A2C40, 0x2C2030, 0x1C141E }, shade[] = { 0x1A1424, 0x110D17, 0x09070C };
    for (int i = 0; i < 3; ++i) {
        const double f1 = 2.0 + i, f2 = 5.3 + 1.7 * i, p1 = 1.3 * i + 0.4, p2 = 0.7 * i + 2.1;
        auto top = [&](double x) {
            const double u = x / kSkinW;
            const double s
                = 0.6 * std::sin(u * f1 * kPi + p1) + 0.4 * std::sin(u * f2 * kPi + p2) + 0.2 * sand.fbm(u * 4, i, 3);
            return kSkinH * (bases[i] - amps[i] * (0.5 + 0.5 * s));
        };
        layer(pic, coverage(groundPath(top, kSkinW, kSkinH), kSkinW, kSkinH), [&](int x, int y, Rgb) {
            // The side of a dune that faces the upper left catches the sky's light.
            const double slope = (top(x + 3) - top(x - 3)) / 6.0;
            const double light = smoothstep(0.25, -0.25, slope);
            const double depth = clamp01((y - top(x)) / (0.10 * kSkinH));
            return mix(hex(shade[i]), hex(lit[i]), light * (1 - 0.6 * depth));
        });
    }
    pic.vignette(0.30);
    return pic.toImage(17);
}

// ---------------------------------------------------------------------------
// The mode tab: 18 x 146 pixels, 256 colours (3998 bytes), the two pages of the
// main window stacked; the page shown is the light one. Shapes are drawn
// without antialiasing so no blended pixel borders the transparent colour.

const QColor kKey(0xFF, 0x00, 0xFF); // transparent colour of the class library's glyphs

QFont pixelFont(const QString& family, int pixels, bool bold = false, bool italic = false)
{
    QFont font(family);
    font.setPixelSize(pixels);
    font.setBold(bold);
    font.setItalic(italic);
    font.setHintingPreference(QFont::PreferFullHinting);
    return font;
}

QImage modeTab(bool diaryShown)
{
    QImage img(18, 146, QImage::Format_RGB32);
    img.fill(kKey);
    QPainter p(&img);
    auto segment = [&](int top, int bottom, bool shown, const QString& caption) {
        const int right = shown ? 17 : 14;
        const QColor fill = shown ? QColor(0xFF, 0xFF, 0xF2) : QColor(0x26, 0x2F, 0x56);
        const QColor edge = shown ? QColor(0x9C, 0x94, 0x78) : QColor(0x10, 0x16, 0x34);
        const QColor light = shown ? QColor(0xFF, 0xFF, 0xFF) : QColor(0x3E, 0x4A, 0x7A);
        p.fillRect(QRect(QPoint(0, top), QPoint(right, bottom)), edge);
        p.fillRect(QRect(QPoint(0, top + 1), QPoint(right - 1, bottom - 1)), fill);
        // Rounded outer corners: knock out the corner pixels.
        for (const QPoint corner : { QPoint(right, top), QPoint(right, bottom) })
            img.setPixelColor(corner, kKey);
        img.setPixelColor(right - 1, top + 1, edge);
        img.setPixelColor(right - 1, bottom - 1, edge);
        p.fillRect(QRect(QPoint(0, top + 1), QPoint(right - 2, top + 1)), light);
        p.save();
        p.setRenderHint(QPainter::TextAntialiasing);
        p.setFont(pixelFont(QStringLiteral("Liberation Sans"), 11, true));
        p.setPen(shown ? QColor(0x1E, 0x2A, 0x5A) : QColor(0xC8, 0xD0, 0xE8));
        p.translate((right + 1) / 2.0 - 0.5, (top + bottom) / 2.0);
        p.rotate(90);
        p.drawText(QRectF(-40, -8, 80, 16), Qt::AlignCenter, caption);
        p.restore();
    };
    segment(2, 71, diaryShown, QStringLiteral("Diary"));
    segment(74, 143, !diaryShown, QStringLiteral("Info"));
    return img;
}

// ---------------------------------------------------------------------------
// The welcome text of a new diary.

QByteArray welcomeTemplate()
{
    const char* rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}}\r\n"
                      "{\\colortbl ;\\red31\\green58\\blue122;\\red128\\green0\\blue0;\\red0\\green128\\blue0;"
                      "\\red128\\green0\\blue128;}\r\n"
                      "\\viewkind4\\uc1\\pard\\f0\\cf1\\b\\fs32 Welcome to your Diary\\b0\\fs20\\cf0\\par\r\n"
                      "\\par\r\n"
                      "This is the first page of your new diary, a quiet and private place for your days. "
                      "Here is what it can do for you:\\par\r\n"
                      "\\par\r\n"
                      "\\cf1\\b A simple interface.\\b0\\cf0  Pick a day in the calendar, click into its page and "
                      "write. Every day has a page of its own.\\par\r\n"
                      "\\cf1\\b Starry backgrounds.\\b0\\cf0  Press the \\i Skin\\i0  button to move through "
                      "several calm night skies.\\par\r\n"
                      "\\cf1\\b A title and a mood.\\b0\\cf0  Give each day a title and a mood picture that "
                      "tells how it felt.\\par\r\n"
                      "\\cf1\\b Rich text.\\b0\\cf0  Make words \\b bold\\b0 , \\i italic\\i0  or \\ul underlined"
                      "\\ulnone , \\fs28 larger\\fs20  or \\fs16 smaller\\fs20 , and give them "
                      "\\cf2 colours\\cf0  \\cf3 of\\cf0  \\cf4 their own\\cf0 .\\par\r\n"
                      "\\cf1\\b Finding your days.\\b0\\cf0  Days you wrote about are coloured in the calendar, "
                      "and the \\i Browse\\i0  button lists and searches all your entries.\\par\r\n"
                      "\\par\r\n"
                      "\\i You can delete this text and write your first entry. Enjoy!\\i0\\par\r\n"
                      "}\r\n";
    return QByteArray(rtf);
}

// ---------------------------------------------------------------------------
// Mood pictures: 64 x 64 faces in one style, on a transparent ground that the
// program lays on white.

const QColor kFeature(0x4A, 0x2C, 0x14);

struct FaceColours {
    QColor light, mid, edge, rim;
};
const FaceColours kSunny { QColor(0xFF, 0xF4, 0xB0), QColor(0xFF, 0xD4, 0x4A), QColor(0xF2, 0xA8, 0x2E),
    QColor(0xB4, 0x76, 0x22) };

QImage canvas(int w, int h)
{
    QImage img(w, h, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::transparent);
    return img;
}

void faceBase(QPainter& p, const FaceColours& c)
{
    p.setPen(Qt::NoPen);
    QRadialGradient shadow(QPointF(32, 60.5), 22);
    shadow.setColorAt(0, QColor(0, 0, 0, 50));
    shadow.setColorAt(1, QColor(0, 0, 0, 0));
    p.setBrush(shadow);
    p.drawEllipse(QRectF(10, 57.5, 44, 6));
    QRadialGradient g(QPointF(26, 22), 38, QPointF(23, 17));
    g.setColorAt(0, c.light);
    g.setColorAt(0.55, c.mid);
    g.setColorAt(1, c.edge);
    p.setBrush(g);
    p.setPen(QPen(c.rim, 1.6));
    p.drawEllipse(QPointF(32, 31), 27.2, 27.2);
    QLinearGradient gloss(0, 6, 0, 19);
    gloss.setColorAt(0, QColor(255, 255, 255, 160));
    gloss.setColorAt(1, QColor(255, 255, 255, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(gloss);
    p.drawEllipse(QRectF(18, 6.5, 24, 12));
}

void eye(QPainter& p, double x, double y, double rx = 3.2, double ry = 4.4, double lookX = 0, double lookY = 0)
{
    p.setPen(Qt::NoPen);
    p.setBrush(kFeature);
    p.drawEllipse(QPointF(x, y), rx, ry);
    p.setBrush(QColor(255, 255, 255, 230));
    p.drawEllipse(QPointF(x - rx * 0.3 + lookX, y - ry * 0.38 + lookY), rx * 0.36, rx * 0.36);
}

void line(QPainter& p, const QPainterPath& path, double width = 2.6, const QColor& colour = kFeature)
{
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
}

QPainterPath curve(QPointF a, QPointF control, QPointF b)
{
    QPainterPath path(a);
    path.quadTo(control, b);
    return path;
}

void blush(QPainter& p, double alpha = 90)
{
    p.setPen(Qt::NoPen);
    for (double x : { 17.0, 47.0 }) {
        QRadialGradient g(QPointF(x, 38), 6);
        g.setColorAt(0, QColor(255, 110, 110, int(alpha)));
        g.setColorAt(1, QColor(255, 110, 110, 0));
        p.setBrush(g);
        p.drawEllipse(QPointF(x, 38), 6.5, 4.5);
    }
}

// An open mouth between left and right whose lower lip sags by depth; the
// tongue shows in its lower half.
void openMouth(QPainter& p, double left, double right, double top, double depth, bool tongue = true)
{
    const double mid = (left + right) / 2;
    QPainterPath mouth(QPointF(left, top));
    mouth.quadTo(QPointF(mid, top + 2), QPointF(right, top));
    mouth.cubicTo(QPointF(right - 1, top + depth * 1.25), QPointF(left + 1, top + depth * 1.25), QPointF(left, top));
    p.setPen(QPen(kFeature, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(QColor(0x6A, 0x22, 0x1A));
    p.drawPath(mouth);
    if (tongue) {
        p.save();
        p.setClipPath(mouth);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xE8, 0x6A, 0x7A));
        p.drawEllipse(QPointF(mid, top + depth * 1.05), (right - left) * 0.3, depth * 0.45);
        p.restore();
    }
}

QPainterPath heartPath(QPointF c, double s)
{
    QPainterPath path(QPointF(c.x(), c.y() + s * 0.95));
    path.cubicTo(QPointF(c.x() - s * 1.35, c.y() + s * 0.05), QPointF(c.x() - s * 0.95, c.y() - s * 1.15),
        QPointF(c.x(), c.y() - s * 0.4));
    path.cubicTo(QPointF(c.x() + s * 0.95, c.y() - s * 1.15), QPointF(c.x() + s * 1.35, c.y() + s * 0.05),
        QPointF(c.x(), c.y() + s * 0.95));
    return path;
}

QPainterPath starPath(QPointF c, double outer, double inner, int points = 5, double turn = -90)
{
    QPolygonF poly;
    for (int i = 0; i < points * 2; ++i) {
        const double a = (turn + i * 180.0 / points) * kPi / 180;
        const double r = i % 2 ? inner : outer;
        poly << QPointF(c.x() + r * std::cos(a), c.y() + r * std::sin(a));
    }
    QPainterPath path;
    path.addPolygon(poly);
    path.closeSubpath();
    return path;
}

void drop(QPainter& p, QPointF tip, double size, const QColor& colour)
{
    QPainterPath d(tip);
    d.cubicTo(QPointF(tip.x() + size * 0.2, tip.y() + size * 0.5), QPointF(tip.x() + size * 0.65, tip.y() + size * 0.9),
        QPointF(tip.x(), tip.y() + size * 1.35));
    d.cubicTo(
        QPointF(tip.x() - size * 0.65, tip.y() + size * 0.9), QPointF(tip.x() - size * 0.2, tip.y() + size * 0.5), tip);
    p.setPen(QPen(colour.darker(140), 1.0));
    p.setBrush(colour);
    p.drawPath(d);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 170));
    p.drawEllipse(QPointF(tip.x() - size * 0.15, tip.y() + size * 0.85), size * 0.13, size * 0.2);
}

// The moods in the order of the picture list; index 0 is shown for a day
// without an entry, so it is the calm one.
const char* const kMoodNames[] = { "content", "happy", "laughing", "in love", "excited", "cool", "peaceful",
    "thoughtful", "surprised", "sleepy", "sad", "crying", "angry", "worried", "unwell", "playful", "bored" };

QImage mood(int index)
{
    QImage img = canvas(64, 64);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    FaceColours colours = kSunny;
    if (index == 12)
        colours = { QColor(0xFF, 0xC4, 0x9E), QColor(0xF5, 0x7E, 0x56), QColor(0xD2, 0x48, 0x30),
            QColor(0x8E, 0x2A, 0x1A) };
    if (index == 14)
        colours = { QColor(0xEE, 0xF8, 0xC4), QColor(0xC4, 0xDE, 0x7E), QColor(0x94, 0xBA, 0x58),
            QColor(0x5E, 0x7C, 0x32) };
    faceBase(p, colours);
    const double lx = 23, rx = 41, ey = 27;
    switch (index) {
    case 0: // content
        eye(p, lx, ey);
        eye(p, rx, ey);
        line(p, curve({ 23, 40 }, { 32, 46.5 }, { 41, 40 }));
        break;
    case 1: // happy
        eye(p, lx, ey);
        eye(p, rx, ey);
        blush(p, 60);
        openMouth(p, 19.5, 44.5, 37.5, 9);
        break;
    case 2: // laughing
        line(p, curve({ 18.5, 29 }, { 23, 21.5 }, { 27.5, 29 }), 2.8);
        line(p, curve({ 36.5, 29 }, { 41, 21.5 }, { 45.5, 29 }), 2.8);
        blush(p);
        openMouth(p, 17.5, 46.5, 35.5, 12);
        break;
    case 3: { // in love
        p.setPen(QPen(QColor(0xA8, 0x1E, 0x34), 1.0));
        p.setBrush(QColor(0xEC, 0x40, 0x5A));
        p.drawPath(heartPath({ lx, ey }, 6.2));
        p.drawPath(heartPath({ rx, ey }, 6.2));
        blush(p);
        line(p, curve({ 22, 40 }, { 32, 48 }, { 42, 40 }));
        break;
    }
    case 4: // excited
        p.setPen(QPen(QColor(0xB8, 0x5A, 0x10), 1.0));
        p.setBrush(QColor(0xFF, 0x9A, 0x2E));
        p.drawPath(starPath({ lx, ey }, 7.2, 3.1));
        p.drawPath(starPath({ rx, ey }, 7.2, 3.1));
        openMouth(p, 21, 43, 38, 8.5);
        break;
    case 5: { // cool
        QPainterPath glasses;
        glasses.addRoundedRect(QRectF(14, 21.5, 16, 11), 4, 4);
        glasses.addRoundedRect(QRectF(34, 21.5, 16, 11), 4, 4);
        p.setPen(QPen(QColor(0x1A, 0x1A, 0x22), 1.2));
        QLinearGradient lens(0, 21, 0, 33);
        lens.setColorAt(0, QColor(0x4A, 0x50, 0x64));
        lens.setColorAt(1, QColor(0x14, 0x16, 0x20));
        p.setBrush(lens);
        p.drawPath(glasses);
        line(p, curve({ 29.5, 24 }, { 32, 22.5 }, { 34.5, 24 }), 2.0, QColor(0x1A, 0x1A, 0x22));
        line(p, curve({ 14.5, 24 }, { 9, 22 }, { 6.5, 23 }), 2.0, QColor(0x1A, 0x1A, 0x22));
        line(p, curve({ 49.5, 24 }, { 55, 22 }, { 57.5, 23 }), 2.0, QColor(0x1A, 0x1A, 0x22));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(255, 255, 255, 120));
        p.drawRoundedRect(QRectF(17, 23.5, 5, 2.5), 1, 1);
        p.drawRoundedRect(QRectF(37, 23.5, 5, 2.5), 1, 1);
        line(p, curve({ 23, 42 }, { 34, 46 }, { 42, 38.5 }));
        break;
    }
    case 6: // peaceful
        line(p, curve({ 18.5, 27 }, { 23, 31.5 }, { 27.5, 27 }), 2.6);
        line(p, curve({ 36.5, 27 }, { 41, 31.5 }, { 45.5, 27 }), 2.6);
        blush(p);
        line(p, curve({ 25, 41 }, { 32, 45.5 }, { 39, 41 }));
        break;
    case 7: // thoughtful
        eye(p, lx, ey, 3.2, 4.4, 1.6, -1.2);
        eye(p, rx, ey, 3.2, 4.4, 1.6, -1.2);
        line(p, curve({ 35.5, 18.5 }, { 41, 14 }, { 46.5, 17.5 }), 2.2);
        line(p, curve({ 18, 19.5 }, { 23, 18 }, { 28, 19.5 }), 2.2);
        line(p, curve({ 26, 43 }, { 32, 41 }, { 39, 40 }), 2.4);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x7A, 0x9A, 0xD8));
        p.drawEllipse(QPointF(52, 11), 2.2, 2.2);
        p.drawEllipse(QPointF(57.5, 6), 3, 3);
        break;
    case 8: // surprised
        eye(p, lx, ey + 1, 3.6, 4.8);
        eye(p, rx, ey + 1, 3.6, 4.8);
        line(p, curve({ 18, 18 }, { 23, 14 }, { 28, 17.5 }), 2.2);
        line(p, curve({ 36, 17.5 }, { 41, 14 }, { 46, 18 }), 2.2);
        p.setPen(QPen(kFeature, 1.6));
        p.setBrush(QColor(0x6A, 0x22, 0x1A));
        p.drawEllipse(QPointF(32, 44), 4.6, 6);
        break;
    case 9: { // sleepy
        line(p, curve({ 18.5, 28 }, { 23, 31 }, { 27.5, 28 }), 2.4);
        line(p, curve({ 36.5, 28 }, { 41, 31 }, { 45.5, 28 }), 2.4);
        p.setPen(QPen(kFeature, 1.4));
        p.setBrush(QColor(0x6A, 0x22, 0x1A));
        p.drawEllipse(QPointF(32, 43), 3, 3.4);
        p.setPen(QColor(0x4A, 0x6E, 0xC8));
        p.setFont(pixelFont(QStringLiteral("Liberation Sans"), 13, true));
        p.drawText(QPointF(46, 14), QStringLiteral("z"));
        p.setFont(pixelFont(QStringLiteral("Liberation Sans"), 10, true));
        p.drawText(QPointF(54, 7.5), QStringLiteral("z"));
        break;
    }
    case 10: // sad
        eye(p, lx, ey + 1);
        eye(p, rx, ey + 1);
        line(p, curve({ 17.5, 21 }, { 22, 19 }, { 27, 17.5 }), 2.2);
        line(p, curve({ 37, 17.5 }, { 42, 19 }, { 46.5, 21 }), 2.2);
        line(p, curve({ 23, 45 }, { 32, 38.5 }, { 41, 45 }));
        break;
    case 11: // crying
        line(p, curve({ 18.5, 26 }, { 23, 22.5 }, { 27.5, 26 }), 2.6);
        line(p, curve({ 36.5, 26 }, { 41, 22.5 }, { 45.5, 26 }), 2.6);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x7C, 0xC4, 0xF4, 200));
        p.drawRoundedRect(QRectF(19.5, 27, 5, 20), 2.5, 2.5);
        p.drawRoundedRect(QRectF(39.5, 27, 5, 20), 2.5, 2.5);
        {
            QPainterPath mouth(QPointF(25, 46));
            mouth.quadTo(QPointF(32, 35), QPointF(39, 46));
            mouth.quadTo(QPointF(32, 43.5), QPointF(25, 46));
            p.setPen(QPen(kFeature, 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.setBrush(QColor(0x6A, 0x22, 0x1A));
            p.drawPath(mouth);
        }
        break;
    case 12: // angry
        eye(p, lx, ey + 2, 3.2, 3.8);
        eye(p, rx, ey + 2, 3.2, 3.8);
        line(p, curve({ 16.5, 18 }, { 22, 19.5 }, { 28.5, 23 }), 3.0, QColor(0x5A, 0x18, 0x0E));
        line(p, curve({ 35.5, 23 }, { 42, 19.5 }, { 47.5, 18 }), 3.0, QColor(0x5A, 0x18, 0x0E));
        line(p, curve({ 24, 45 }, { 32, 39.5 }, { 40, 45 }), 2.8, QColor(0x5A, 0x18, 0x0E));
        break;
    case 13: // worried
        eye(p, lx, ey + 1);
        eye(p, rx, ey + 1);
        line(p, curve({ 17.5, 20.5 }, { 23, 16.5 }, { 27.5, 18.5 }), 2.2);
        line(p, curve({ 36.5, 18.5 }, { 41, 16.5 }, { 46.5, 20.5 }), 2.2);
        {
            QPainterPath wave(QPointF(23, 43));
            wave.cubicTo(QPointF(26, 39.5), QPointF(28.5, 39.5), QPointF(32, 42.5));
            wave.cubicTo(QPointF(35.5, 45.5), QPointF(38, 45.5), QPointF(41, 42));
            line(p, wave, 2.4);
        }
        drop(p, QPointF(50, 13), 7, QColor(0x86, 0xC8, 0xF4));
        break;
    case 14: { // unwell
        line(p, curve({ 19, 27 }, { 23, 25.5 }, { 27.5, 27 }), 2.4, QColor(0x3A, 0x44, 0x1E));
        line(p, curve({ 36.5, 27 }, { 41, 25.5 }, { 45, 27 }), 2.4, QColor(0x3A, 0x44, 0x1E));
        QPainterPath wave(QPointF(22, 43));
        wave.cubicTo(QPointF(25, 40), QPointF(27.5, 40), QPointF(30, 43));
        wave.cubicTo(QPointF(32.5, 46), QPointF(35, 46), QPointF(38, 43));
        line(p, wave, 2.4, QColor(0x3A, 0x44, 0x1E));
        // A thermometer from the corner of the mouth.
        p.save();
        p.translate(38, 43);
        p.rotate(-28);
        p.setPen(QPen(QColor(0x70, 0x78, 0x88), 1.0));
        p.setBrush(QColor(0xF4, 0xF6, 0xFA));
        p.drawRoundedRect(QRectF(0, -2, 19, 4), 2, 2);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xE0, 0x40, 0x40));
        p.drawRect(QRectF(13, -0.8, 5, 1.6));
        p.setPen(QPen(QColor(0x90, 0x20, 0x20), 0.8));
        p.drawEllipse(QPointF(18.5, 0), 2.6, 2.6);
        p.restore();
        break;
    }
    case 15: // playful
        line(p, curve({ 18.5, 27.5 }, { 23, 23 }, { 27.5, 27.5 }), 2.8);
        eye(p, rx, ey);
        blush(p, 70);
        {
            QPainterPath tongue(QPointF(29, 43));
            tongue.cubicTo(QPointF(28.5, 53), QPointF(38.5, 53), QPointF(38, 43));
            p.setPen(QPen(QColor(0xA8, 0x34, 0x48), 1.2));
            p.setBrush(QColor(0xEE, 0x72, 0x84));
            p.drawPath(tongue);
            line(p, curve({ 33.5, 44 }, { 33.5, 47 }, { 33.5, 48.5 }), 1.0, QColor(0xA8, 0x34, 0x48));
        }
        line(p, curve({ 21, 41 }, { 32, 46.5 }, { 43, 40 }));
        break;
    case 16: { // bored
        for (double x : { lx, rx }) {
            p.save();
            QPainterPath lower;
            lower.addRect(QRectF(x - 5, ey, 10, 8));
            p.setClipPath(lower);
            eye(p, x, ey, 3.4, 4.4);
            p.restore();
            line(p, curve({ x - 4.5, ey }, { x, ey - 0.6 }, { x + 4.5, ey }), 2.2);
        }
        line(p, curve({ 25, 43 }, { 32, 42.2 }, { 39, 43 }), 2.6);
        break;
    }
    }
    return img;
}

// ---------------------------------------------------------------------------
// Zodiac pictures: 38 x 35 on white; the dialog shows only the left 35
// columns, so the badge is centred on them. Element colours group the signs.

struct SignStyle {
    char32_t glyph;
    QColor light, dark;
};

QImage zodiac(int imageIndex)
{
    const QColor fireL(0xFF, 0xA8, 0x78), fireD(0xD8, 0x52, 0x38);
    const QColor earthL(0xB4, 0xD8, 0x8A), earthD(0x58, 0x8C, 0x44);
    const QColor airL(0x9E, 0xD2, 0xF4), airD(0x3E, 0x84, 0xC6);
    const QColor waterL(0xA8, 0xA4, 0xF0), waterD(0x50, 0x4C, 0xB0);
    // In picture order: Capricorn first, then through the year.
    const SignStyle signs[] = {
        { U'\u2651', earthL, earthD },
        { U'\u2652', airL, airD },
        { U'\u2653', waterL, waterD },
        { U'\u2648', fireL, fireD },
        { U'\u2649', earthL, earthD },
        { U'\u264A', airL, airD },
        { U'\u264B', waterL, waterD },
        { U'\u264C', fireL, fireD },
        { U'\u264D', earthL, earthD },
        { U'\u264E', airL, airD },
        { U'\u264F', waterL, waterD },
        { U'\u2650', fireL, fireD },
    };
    const SignStyle& s = signs[imageIndex];
    QImage img(38, 35, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::white);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF c(17.5, 17.5);
    QRadialGradient g(QPointF(13, 11), 22);
    g.setColorAt(0, s.light.lighter(112));
    g.setColorAt(0.5, s.light);
    g.setColorAt(1, s.dark);
    p.setPen(QPen(s.dark.darker(125), 1.0));
    p.setBrush(g);
    p.drawEllipse(c, 15.5, 15.5);
    p.setPen(Qt::NoPen);
    QLinearGradient gloss(0, 3, 0, 14);
    gloss.setColorAt(0, QColor(255, 255, 255, 120));
    gloss.setColorAt(1, QColor(255, 255, 255, 0));
    p.setBrush(gloss);
    p.drawEllipse(QRectF(8, 3, 19, 10));

    QPainterPath glyph;
    glyph.addText(0, 0, pixelFont(QStringLiteral("DejaVu Sans"), 22), QString::fromUcs4(&s.glyph, 1));
    const QRectF box = glyph.boundingRect();
    glyph.translate(c - box.center());
    p.setBrush(QColor(0, 0, 0, 60));
    p.drawPath(glyph.translated(0.6, 0.9));
    p.setBrush(Qt::white);
    p.setPen(QPen(Qt::white, 0.7));
    p.drawPath(glyph);
    return img;
}

// ---------------------------------------------------------------------------
// Button glyphs: 24-bit bitmaps whose bottom-left pixel colour (magenta) the
// buttons treat as transparent, and whose pure black pixels make the embossed
// disabled look; so outlines are pure black.

// Lays the antialiased drawing over black and keys the faint pixels: edges
// darken into the outline instead of turning pink against the key colour.
QImage keyed(const QImage& drawing)
{
    const QImage src = drawing.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QImage out(src.size(), QImage::Format_RGB32);
    for (int y = 0; y < src.height(); ++y) {
        const auto* in = reinterpret_cast<const QRgb*>(src.constScanLine(y));
        auto* line = reinterpret_cast<QRgb*>(out.scanLine(y));
        for (int x = 0; x < src.width(); ++x)
            line[x] = qAlpha(in[x]) < 100 ? kKey.rgb() : qRgb(qRed(in[x]), qGreen(in[x]), qBlue(in[x]));
    }
    return out;
}

QImage drawn(int w, int h, const std::function<void(QPainter&)>& draw)
{
    QImage img = canvas(w, h);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    draw(p);
    return img;
}

const QPen kOutline(Qt::black, 1.0, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);

QLinearGradient vertical(double y0, double y1, const QColor& top, const QColor& bottom)
{
    QLinearGradient g(0, y0, 0, y1);
    g.setColorAt(0, top);
    g.setColorAt(1, bottom);
    return g;
}

void shape(QPainter& p, const QPainterPath& path, const QBrush& fill, const QPen& pen = kOutline)
{
    p.setPen(pen);
    p.setBrush(fill);
    p.drawPath(path);
}

QPainterPath rect(double x0, double y0, double x1, double y1, double radius = 0)
{
    QPainterPath path;
    if (radius > 0)
        path.addRoundedRect(QRectF(QPointF(x0, y0), QPointF(x1, y1)), radius, radius);
    else
        path.addRect(QRectF(QPointF(x0, y0), QPointF(x1, y1)));
    return path;
}

QPainterPath polygon(std::initializer_list<QPointF> points)
{
    QPainterPath path;
    path.addPolygon(QPolygonF(QList<QPointF>(points)));
    path.closeSubpath();
    return path;
}

QPainterPath circle(double cx, double cy, double r)
{
    QPainterPath path;
    path.addEllipse(QPointF(cx, cy), r, r);
    return path;
}

void textGlyph(QPainter& p, const QString& text, const QFont& font, QPointF centre, const QColor& colour = Qt::black)
{
    QPainterPath path;
    path.addText(0, 0, font, text);
    const QRectF box = path.boundingRect();
    path.translate(QPointF(std::round(centre.x() - box.center().x()), std::round(centre.y() - box.center().y())));
    p.setPen(Qt::NoPen);
    p.setBrush(colour);
    p.drawPath(path);
}

// Pieces shared by several glyphs.
void page(QPainter& p, double x0, double y0, double x1, double y1, int lines)
{
    shape(p, rect(x0, y0, x1, y1), vertical(y0, y1, QColor(0xFF, 0xFF, 0xFF), QColor(0xE4, 0xEA, 0xF4)));
    p.setPen(QPen(QColor(0x84, 0x94, 0xB4), 1.0));
    const double step = (y1 - y0 - 2) / (lines + 1);
    for (int i = 1; i <= lines; ++i) {
        const double y = std::floor(y0 + 1 + i * step) + 0.5;
        p.drawLine(QPointF(x0 + 2.5, y), QPointF(x1 - 2.5, y));
    }
}

void magnifier(QPainter& p, double cx, double cy, double r, double handle)
{
    const double d = r * 0.7071;
    p.setPen(QPen(Qt::black, 4.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(cx + d, cy + d), QPointF(cx + d + handle, cy + d + handle));
    p.setPen(QPen(QColor(0x9A, 0x60, 0x2A), 2.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(cx + d + 0.8, cy + d + 0.8), QPointF(cx + d + handle, cy + d + handle));
    QRadialGradient lens(QPointF(cx - r * 0.4, cy - r * 0.4), r * 1.6);
    lens.setColorAt(0, QColor(0xFF, 0xFF, 0xFF));
    lens.setColorAt(1, QColor(0x9C, 0xD0, 0xF4));
    shape(p, circle(cx, cy, r), lens, QPen(Qt::black, 1.4));
}

void cake(QPainter& p, double s)
{
    // Drawn on a 24-unit square; s scales it.
    p.save();
    p.scale(s, s);
    const QPen pen(Qt::black, 1.0 / s);
    shape(
        p, rect(3.5, 12.5, 20.5, 21.5, 1.5), vertical(12, 22, QColor(0xFB, 0xE6, 0xC0), QColor(0xE0, 0xB0, 0x70)), pen);
    QPainterPath icing(QPointF(3.5, 12.5));
    icing.lineTo(20.5, 12.5);
    icing.lineTo(20.5, 15.5);
    for (double x = 20.5; x > 4; x -= 4.25)
        icing.quadTo(QPointF(x - 2.1, 19.5), QPointF(x - 4.25, 15.5));
    icing.closeSubpath();
    shape(p, icing, QColor(0xF6, 0x9C, 0xC0), pen);
    shape(p, rect(10.5, 5.5, 13.5, 12.5), vertical(5, 12, QColor(0x9C, 0xC8, 0xFF), QColor(0x4A, 0x84, 0xE0)), pen);
    QPainterPath flame(QPointF(12, 0.8));
    flame.cubicTo(QPointF(14.6, 3.4), QPointF(13.8, 5.2), QPointF(12, 5.2));
    flame.cubicTo(QPointF(10.2, 5.2), QPointF(9.4, 3.4), QPointF(12, 0.8));
    QRadialGradient fire(QPointF(12, 4), 3);
    fire.setColorAt(0, QColor(0xFF, 0xF4, 0x90));
    fire.setColorAt(1, QColor(0xFF, 0x8A, 0x1E));
    shape(p, flame, fire, QPen(QColor(0xA0, 0x40, 0x00), 0.8 / s));
    p.restore();
}

void calendarSheet(QPainter& p, double x0, double y0, double x1, double y1, bool highlight)
{
    shape(p, rect(x0, y0, x1, y1), vertical(y0, y1, Qt::white, QColor(0xE8, 0xEC, 0xF4)));
    shape(p, rect(x0, y0, x1, y0 + 4), vertical(y0, y0 + 4, QColor(0xF4, 0x80, 0x6E), QColor(0xD0, 0x44, 0x38)));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xA4, 0xAC, 0xC0));
    for (double y = y0 + 6; y + 2 <= y1 - 1; y += 3.5)
        for (double x = x0 + 2; x + 2 <= x1 - 1; x += 3.5)
            p.drawRect(QRectF(x, y, 2, 2));
    if (highlight) {
        const double cx = std::floor((x0 + x1) / 2), cy = std::floor((y0 + 4 + y1) / 2) + 1;
        const double half = y1 - y0 > 14 ? 3.5 : 2;
        shape(p, rect(cx - half, cy - half, cx + half, cy + half, 1), QColor(0x3A, 0x7A, 0xD8));
    }
}

QPainterPath gearPath(double cx, double cy, double outer, double inner, double hole, int teeth)
{
    QPolygonF poly;
    for (int i = 0; i < teeth; ++i) {
        const double a = 2 * kPi * i / teeth;
        const double span = 2 * kPi / teeth;
        auto at = [&](double angle, double r) { return QPointF(cx + r * std::cos(angle), cy + r * std::sin(angle)); };
        poly << at(a - span * 0.30, inner) << at(a - span * 0.18, outer) << at(a + span * 0.18, outer)
             << at(a + span * 0.30, inner);
    }
    QPainterPath path;
    path.addPolygon(poly);
    path.closeSubpath();
    path.addEllipse(QPointF(cx, cy), hole, hole);
    path.setFillRule(Qt::OddEvenFill);
    return path;
}

void arrowRight(QPainter& p, double x0, double y0, double x1, double y1, const QColor& light, const QColor& dark)
{
    // A fat arrow filling the box, pointing right.
    const double cy = (y0 + y1) / 2, head = x1 - (y1 - y0) / 2;
    const double shaft = (y1 - y0) * 0.2;
    shape(p,
        polygon({ { x0, cy - shaft }, { head, cy - shaft }, { head, y0 }, { x1, cy }, { head, y1 },
            { head, cy + shaft }, { x0, cy + shaft } }),
        vertical(y0, y1, light, dark));
}

void book(QPainter& p, double s, const QColor& cover, const QColor& coverDark)
{
    // A small closed book on a 16-unit square.
    p.save();
    p.scale(s, s);
    const QPen pen(Qt::black, 1.0 / s);
    shape(p, rect(4.5, 2.5, 13.5, 14.5, 0.5), QColor(0xF6, 0xF0, 0xDE), pen);
    shape(p, rect(2.5, 1.5, 12.5, 13.5, 1), vertical(1, 14, cover, coverDark), pen);
    p.setPen(QPen(coverDark.darker(150), 1.0 / s));
    p.drawLine(QPointF(4.5, 2), QPointF(4.5, 13));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0xFF, 0xD8, 0x50));
    p.drawPath(starPath({ 8.5, 7 }, 2.8, 1.2));
    p.restore();
}

struct GlyphDrawing {
    const char* name;
    int w, h;
    const char* role;
    std::function<void(QPainter&)> draw;
};

// Glyphs of the main window's buttons on the skin (24 x 24).
std::vector<GlyphDrawing> mainWindowGlyphs()
{
    std::vector<GlyphDrawing> g;
    g.push_back({ "EDIT", 24, 24, "btnNew \"Edit\": unlock the day for writing", [](QPainter& p) {
                     page(p, 3.5, 2.5, 16.5, 21.5, 4);
                     p.translate(8.5, 20.5);
                     p.rotate(-45);
                     shape(p, polygon({ { 0, 0 }, { 4.5, -2.5 }, { 4.5, 2.5 } }), QColor(0xF2, 0xCC, 0x94));
                     shape(p, polygon({ { 0, 0 }, { 1.6, -0.9 }, { 1.6, 0.9 } }), Qt::black);
                     shape(p, rect(4.5, -2.5, 13.5, 2.5),
                         vertical(-2.5, 2.5, QColor(0xFF, 0xE0, 0x70), QColor(0xE8, 0xA0, 0x18)));
                     shape(p, rect(13.5, -2.5, 15.5, 2.5),
                         vertical(-2.5, 2.5, QColor(0xF0, 0xF0, 0xF4), QColor(0x9A, 0xA0, 0xAC)));
                     shape(p, rect(15.5, -2.5, 18, 2.5, 0.8),
                         vertical(-2.5, 2.5, QColor(0xFF, 0xB4, 0xC0), QColor(0xE0, 0x70, 0x84)));
                 } });
    g.push_back(
        { "DELETE", 24, 24, "btnDelete \"Delete\": delete the day's entry", [](QPainter& p) {
             shape(p, polygon({ { 5.5, 7.5 }, { 18.5, 7.5 }, { 17.5, 21.5 }, { 6.5, 21.5 } }),
                 vertical(7, 22, QColor(0xDC, 0xE4, 0xF0), QColor(0x8A, 0x9A, 0xB4)));
             p.setPen(QPen(QColor(0x4A, 0x5A, 0x74), 1.0));
             for (double x : { 9.5, 12.0, 14.5 })
                 p.drawLine(QPointF(x, 10), QPointF(x, 19));
             shape(p, rect(9.5, 2.5, 14.5, 5.5, 1), QColor(0xB8, 0xC4, 0xD8));
             shape(p, rect(3.5, 4.5, 20.5, 7.5, 1), vertical(4, 8, QColor(0xEC, 0xF0, 0xF6), QColor(0xA8, 0xB4, 0xC8)));
         } });
    g.push_back({ "TOOLS", 24, 24, "btnOptions \"Tools\": more tools and options", [](QPainter& p) {
                     QRadialGradient metal(QPointF(9, 8), 14);
                     metal.setColorAt(0, QColor(0xF4, 0xF6, 0xFA));
                     metal.setColorAt(1, QColor(0x80, 0x8C, 0xA4));
                     shape(p, gearPath(12, 12, 10.2, 7.4, 3.2, 8), metal);
                 } });
    g.push_back({ "ABOUT", 24, 24, "btnAbout \"About\": about this program", [](QPainter& p) {
                     QRadialGradient blue(QPointF(9, 8), 14);
                     blue.setColorAt(0, QColor(0xA4, 0xD4, 0xFF));
                     blue.setColorAt(1, QColor(0x2A, 0x6A, 0xC8));
                     shape(p, circle(12, 12, 9.5), blue);
                     p.setPen(Qt::NoPen);
                     p.setBrush(Qt::white);
                     p.drawEllipse(QPointF(12, 7.5), 1.7, 1.7);
                     p.drawRoundedRect(QRectF(10.6, 10.2, 2.8, 7.8), 0.8, 0.8);
                 } });
    g.push_back({ "EXIT", 24, 24, "btnExit \"Exit\": save and exit", [](QPainter& p) {
                     shape(p, rect(3.5, 2.5, 14.5, 21.5), QColor(0x5A, 0x3C, 0x22));
                     shape(p, polygon({ { 3.5, 2.5 }, { 10.5, 4.5 }, { 10.5, 22.5 }, { 3.5, 21.5 } }),
                         vertical(2, 22, QColor(0xE8, 0xB0, 0x70), QColor(0xA8, 0x6A, 0x34)));
                     p.setPen(Qt::NoPen);
                     p.setBrush(QColor(0xFF, 0xD8, 0x40));
                     p.drawEllipse(QPointF(8.8, 12.5), 1.1, 1.1);
                     arrowRight(p, 11.5, 6.5, 22.5, 17.5, QColor(0x9A, 0xEC, 0x8A), QColor(0x2E, 0xA0, 0x40));
                 } });
    g.push_back({ "BROWSE", 24, 24, "btnBrowse \"Browse\": list or search through entries", [](QPainter& p) {
                     page(p, 2.5, 2.5, 15.5, 20.5, 5);
                     magnifier(p, 14, 13, 5, 5);
                 } });
    g.push_back(
        { "SKIN", 24, 24, "btnSkin \"Skin\": change the background picture", [](QPainter& p) {
             shape(
                 p, rect(1.5, 3.5, 22.5, 20.5, 1), vertical(3, 21, QColor(0xF4, 0xD0, 0x84), QColor(0xB8, 0x82, 0x3A)));
             shape(p, rect(4.5, 6.5, 19.5, 17.5), vertical(6, 18, QColor(0x14, 0x1E, 0x4C), QColor(0x4A, 0x5A, 0x9C)));
             p.setPen(Qt::NoPen);
             p.setBrush(QColor(0x1E, 0x3A, 0x2C));
             p.drawPath(
                 polygon({ { 5, 17 }, { 5, 14 }, { 9, 11.5 }, { 13, 14 }, { 16, 12.5 }, { 19, 14.5 }, { 19, 17 } }));
             p.setBrush(QColor(0xFF, 0xF0, 0xB8));
             p.drawEllipse(QPointF(15.5, 9.5), 1.8, 1.8);
             p.setBrush(Qt::white);
             p.drawRect(QRectF(7, 8, 1, 1));
             p.drawRect(QRectF(10, 10, 1, 1));
             p.drawRect(QRectF(12, 7, 1, 1));
         } });
    g.push_back({ "PRINT", 24, 24, "btnPrint \"Print\": print entries", [](QPainter& p) {
                     shape(p, rect(6.5, 2.5, 17.5, 10.5), Qt::white);
                     shape(p, rect(2.5, 9.5, 21.5, 17.5, 1.5),
                         vertical(9, 18, QColor(0xEC, 0xEE, 0xF4), QColor(0x8C, 0x96, 0xA8)));
                     page(p, 5.5, 14.5, 18.5, 21.5, 1);
                     p.setPen(Qt::NoPen);
                     p.setBrush(QColor(0x4A, 0xD0, 0x6A));
                     p.drawEllipse(QPointF(18.5, 12), 1.1, 1.1);
                 } });
    g.push_back({ "TODAY", 24, 24, "BtnToDay2 \"Today\": jump to today's date", [](QPainter& p) {
                     calendarSheet(p, 2.5, 3.5, 21.5, 21.5, true);
                     for (double x : { 7.5, 16.5 })
                         shape(p, rect(x - 1, 1.5, x + 1, 5.5, 0.8), QColor(0x70, 0x78, 0x88));
                 } });
    g.push_back({ "BIRTHDAYS", 24, 24, "BtnBirthdays \"Birthdays\": manage birthdays and anniversaries",
        [](QPainter& p) { cake(p, 1.0); } });
    g.push_back({ "SPELLCHECK", 24, 24, "btnSpellCheck: check the spelling of the entry", [](QPainter& p) {
                     shape(p, rect(1.5, 1.5, 19.5, 12.5, 1.5), vertical(1, 13, Qt::white, QColor(0xE4, 0xEA, 0xF4)));
                     textGlyph(p, QStringLiteral("abc"), pixelFont(QStringLiteral("Liberation Sans"), 10, true),
                         { 10.5, 7 }, QColor(0x1E, 0x2A, 0x5A));
                     QPainterPath tick(QPointF(6.5, 15.5));
                     tick.lineTo(10.5, 19.5);
                     tick.lineTo(20.5, 9.5);
                     p.setBrush(Qt::NoBrush);
                     p.setPen(QPen(Qt::black, 4.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
                     p.drawPath(tick);
                     p.setPen(QPen(QColor(0x52, 0xC8, 0x5A), 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
                     p.drawPath(tick);
                 } });
    auto entryArrow = [](QPainter& p) {
        page(p, 9.5, 3.5, 20.5, 20.5, 4);
        shape(p, polygon({ { 2.5, 12 }, { 11.5, 4.5 }, { 11.5, 19.5 } }),
            vertical(4, 20, QColor(0x9C, 0xC8, 0xFF), QColor(0x2E, 0x6A, 0xCC)));
    };
    g.push_back({ "ENTRYPREV", 24, 24, "btnPrevEntry2: go to the previous written entry (PgUp)", entryArrow });
    g.push_back({ "ENTRYNEXT", 24, 24, "btnNextEntry2: go to the next written entry (PgDn)", [entryArrow](QPainter& p) {
                     p.translate(24, 0);
                     p.scale(-1, 1);
                     entryArrow(p);
                 } });
    return g;
}

// Glyphs of the entry editor's formatting bar (16 x 16, flat buttons).
std::vector<GlyphDrawing> formattingGlyphs()
{
    std::vector<GlyphDrawing> g;
    const QString serif = QStringLiteral("Liberation Serif"), sans = QStringLiteral("Liberation Sans");
    g.push_back({ "BOLD", 16, 16, "btnBold: bold (Ctrl+B)", [serif](QPainter& p) {
                     textGlyph(p, QStringLiteral("B"), pixelFont(serif, 15, true), { 8, 8 });
                 } });
    g.push_back({ "ITALIC", 16, 16, "btnItalic: italics (Ctrl+H)", [serif](QPainter& p) {
                     textGlyph(p, QStringLiteral("I"), pixelFont(serif, 15, true, true), { 8, 8 });
                 } });
    g.push_back({ "UNDERLINE", 16, 16, "btnUnderline: underlined (Ctrl+U)", [serif](QPainter& p) {
                     textGlyph(p, QStringLiteral("U"), pixelFont(serif, 13, true), { 8, 6.5 });
                     p.fillRect(QRectF(3, 13, 10, 1.5), Qt::black);
                 } });
    g.push_back({ "FONTUP", 16, 16, "btnUpFont: larger text", [sans](QPainter& p) {
                     textGlyph(p, QStringLiteral("A"), pixelFont(sans, 13, true), { 6, 8.5 });
                     shape(p, polygon({ { 10, 7.5 }, { 13, 2.5 }, { 16, 7.5 } }), QColor(0x2E, 0xA8, 0x40), Qt::NoPen);
                 } });
    g.push_back({ "FONTDOWN", 16, 16, "btnDownFont: smaller text", [sans](QPainter& p) {
                     textGlyph(p, QStringLiteral("A"), pixelFont(sans, 10, true), { 6, 9.5 });
                     shape(p, polygon({ { 10, 2.5 }, { 16, 2.5 }, { 13, 7.5 } }), QColor(0xD8, 0x4A, 0x3A), Qt::NoPen);
                 } });
    auto lines = [](bool centre, bool right) {
        return [centre, right](QPainter& p) {
            const int widths[] = { 12, 8, 12, 6, 10 };
            for (int i = 0; i < 5; ++i) {
                const int w = widths[i];
                const int x = centre ? (16 - w) / 2 : right ? 14 - w : 2;
                p.fillRect(QRect(x, 2 + i * 3, w, 1), Qt::black);
            }
        };
    };
    g.push_back({ "ALIGNLEFT", 16, 16, "btnLeft: align left (Ctrl+L)", lines(false, false) });
    g.push_back({ "ALIGNCENTER", 16, 16, "btnCenter: align centre (Ctrl+E)", lines(true, false) });
    g.push_back({ "ALIGNRIGHT", 16, 16, "btnRight: align right (Ctrl+R)", lines(false, true) });
    g.push_back(
        { "COLOR", 16, 16, "btnColor: change the typing colour (opens the colour menu)", [](QPainter& p) {
             QPainterPath palette;
             palette.addEllipse(QRectF(1.5, 2.5, 13, 11));
             QPainterPath thumb;
             thumb.addEllipse(QPointF(10.5, 10.5), 1.8, 1.8);
             shape(p, palette.subtracted(thumb), vertical(2, 14, QColor(0xFA, 0xE8, 0xC4), QColor(0xD8, 0xB0, 0x70)));
             const QColor dots[] = { QColor(0xE0, 0x30, 0x30), QColor(0x30, 0x60, 0xE0), QColor(0x30, 0xB0, 0x40),
                 QColor(0xF0, 0xC0, 0x20) };
             const QPointF at[] = { { 5, 6 }, { 8.5, 5 }, { 12, 6.5 }, { 4.8, 9.8 } };
             for (int i = 0; i < 4; ++i)
                 shape(p, circle(at[i].x(), at[i].y(), 1.5), dots[i], Qt::NoPen);
         } });
    g.push_back({ "PRINTPAGE", 16, 16, "btnPrint2: print the current page", [](QPainter& p) {
                     shape(p, rect(4.5, 1.5, 11.5, 6.5), Qt::white);
                     shape(p, rect(1.5, 6.5, 14.5, 12.5, 1),
                         vertical(6, 13, QColor(0xEC, 0xEE, 0xF4), QColor(0x8C, 0x96, 0xA8)));
                     shape(p, rect(3.5, 10.5, 12.5, 14.5), Qt::white);
                     p.fillRect(QRectF(12, 8, 1, 1), QColor(0x4A, 0xD0, 0x6A));
                 } });
    return g;
}

// Arrows of the calendar's navigation panel, the keeper's month buttons and
// the mood picture's buttons (12 x 12).
std::vector<GlyphDrawing> navigationGlyphs()
{
    std::vector<GlyphDrawing> g;
    const QColor navy(0x22, 0x30, 0x6A), gold(0xF0, 0xC0, 0x48);
    auto left = [](const QColor& c) {
        return [c](QPainter& p) { shape(p, polygon({ { 8.5, 1.5 }, { 2.5, 6 }, { 8.5, 10.5 } }), c, Qt::NoPen); };
    };
    auto flip = [](std::function<void(QPainter&)> f, int w) {
        return [f, w](QPainter& p) {
            p.translate(w, 0);
            p.scale(-1, 1);
            f(p);
        };
    };
    auto doubleLeft = [navy](QPainter& p) {
        shape(p, polygon({ { 6, 1.5 }, { 0.5, 6 }, { 6, 10.5 } }), navy, Qt::NoPen);
        shape(p, polygon({ { 11.5, 1.5 }, { 6, 6 }, { 11.5, 10.5 } }), navy, Qt::NoPen);
    };
    auto barLeft = [navy](QPainter& p) {
        p.fillRect(QRectF(1, 1.5, 2, 9), navy);
        shape(p, polygon({ { 10.5, 1.5 }, { 4, 6 }, { 10.5, 10.5 } }), navy, Qt::NoPen);
    };
    g.push_back({ "NAVPREVMONTH", 12, 12, "btnPrevMonth, keeper btnPrevMonth2: previous month", left(navy) });
    g.push_back({ "NAVNEXTMONTH", 12, 12, "btnNextMonth, keeper btnNextMonth2: next month", flip(left(navy), 12) });
    g.push_back({ "NAVPREVYEAR", 12, 12, "btnPrevYear: previous year", doubleLeft });
    g.push_back({ "NAVNEXTYEAR", 12, 12, "btnNextYear: next year", flip(doubleLeft, 12) });
    g.push_back({ "NAVPREVENTRY", 12, 12, "btnPrevEntry: previous written entry", barLeft });
    g.push_back({ "NAVNEXTENTRY", 12, 12, "btnNextEntry: next written entry", flip(barLeft, 12) });
    g.push_back({ "NAVTODAY", 12, 12, "btnToDay: jump to today", [navy](QPainter& p) {
                     shape(p, circle(6, 6, 4.6), Qt::NoBrush, QPen(navy, 1.6));
                     shape(p, circle(6, 6, 2.0), navy, Qt::NoPen);
                 } });
    g.push_back({ "MOODPREV", 12, 12, "btnPrevMood: previous mood picture", [gold](QPainter& p) {
                     shape(p, polygon({ { 8.5, 1.5 }, { 2.5, 6 }, { 8.5, 10.5 } }), gold, QPen(Qt::black, 1.0));
                 } });
    g.push_back({ "MOODNEXT", 12, 12, "btnNextMood: next mood picture", [gold](QPainter& p) {
                     shape(p, polygon({ { 3.5, 1.5 }, { 9.5, 6 }, { 3.5, 10.5 } }), gold, QPen(Qt::black, 1.0));
                 } });
    return g;
}

// Buttons of the browse, options and about windows (16 x 16).
std::vector<GlyphDrawing> dialogGlyphs()
{
    std::vector<GlyphDrawing> g;
    auto arrow
        = [](QPainter& p) { arrowRight(p, 1.5, 2.5, 14.5, 13.5, QColor(0x9A, 0xEC, 0x8A), QColor(0x2E, 0xA0, 0x40)); };
    g.push_back({ "DAYNEXT", 16, 16, "browse btnNextDay: move to the next day", arrow });
    g.push_back({ "DAYPREV", 16, 16, "browse btnPrevDay: move to the previous day", [arrow](QPainter& p) {
                     p.translate(16, 0);
                     p.scale(-1, 1);
                     arrow(p);
                 } });
    g.push_back({ "GOTO", 16, 16, "browse btnGoto: show the selected day in the diary", [](QPainter& p) {
                     calendarSheet(p, 0.5, 1.5, 12.5, 13.5, true);
                     shape(p, polygon({ { 9.5, 9.5 }, { 15.5, 12.5 }, { 9.5, 15.5 } }), QColor(0x52, 0xC8, 0x5A));
                 } });
    g.push_back({ "SEARCH", 16, 16, "browse btnSearch: search the entries",
        [](QPainter& p) { magnifier(p, 6.5, 6.5, 4.8, 4.5); } });
    g.push_back({ "CLOSE", 16, 16, "browse btnClose: close the window", [](QPainter& p) {
                     QRadialGradient red(QPointF(6, 5), 10);
                     red.setColorAt(0, QColor(0xFF, 0xA8, 0x98));
                     red.setColorAt(1, QColor(0xD0, 0x4A, 0x3E));
                     shape(p, circle(8, 8, 6.8), red);
                     p.setPen(QPen(Qt::white, 1.8, Qt::SolidLine, Qt::RoundCap));
                     p.drawLine(QPointF(5.5, 5.5), QPointF(10.5, 10.5));
                     p.drawLine(QPointF(10.5, 5.5), QPointF(5.5, 10.5));
                 } });
    g.push_back({ "OK", 16, 16, "options and about btnClose \" Ok\": close the window", [](QPainter& p) {
                     QPainterPath tick(QPointF(2.5, 8.5));
                     tick.lineTo(6.5, 12.5);
                     tick.lineTo(13.5, 4.5);
                     p.setBrush(Qt::NoBrush);
                     p.setPen(QPen(Qt::black, 4.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
                     p.drawPath(tick);
                     p.setPen(QPen(QColor(0x52, 0xC8, 0x5A), 2.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
                     p.drawPath(tick);
                 } });
    g.push_back({ "BACKUP", 16, 16, "options btnBackup: back up or restore the diary", [](QPainter& p) {
                     shape(p, rect(1.5, 1.5, 14.5, 14.5, 1.5),
                         vertical(1, 15, QColor(0x7A, 0xA8, 0xF0), QColor(0x2E, 0x5A, 0xB8)));
                     shape(p, rect(4.5, 1.5, 11.5, 6.5), QColor(0xD8, 0xDE, 0xE8));
                     p.fillRect(QRectF(9, 2, 1.5, 3.5), QColor(0x3A, 0x46, 0x5A));
                     shape(p, rect(3.5, 8.5, 12.5, 14.5), Qt::white);
                     p.setPen(QPen(QColor(0x84, 0x94, 0xB4), 1.0));
                     p.drawLine(QPointF(5, 10.5), QPointF(11, 10.5));
                     p.drawLine(QPointF(5, 12.5), QPointF(11, 12.5));
                 } });
    g.push_back({ "PASSWORD", 16, 16, "options btnChgPassword: change the diary password", [](QPainter& p) {
                     QPainterPath key;
                     key.addEllipse(QPointF(5, 8), 3.8, 3.8);
                     key.addRect(QRectF(7.5, 7, 7.5, 2.4));
                     key.addRect(QRectF(11.5, 9, 1.6, 2.8));
                     key.addRect(QRectF(13.5, 9, 1.6, 2));
                     key = key.simplified();
                     QPainterPath hole;
                     hole.addEllipse(QPointF(4.2, 8), 1.3, 1.3);
                     shape(
                         p, key.subtracted(hole), vertical(4, 12, QColor(0xFF, 0xE4, 0x7A), QColor(0xD0, 0x96, 0x1E)));
                 } });
    g.push_back(
        { "FONT", 16, 16, "options btnSetFont: the default font of new entries", [](QPainter& p) {
             textGlyph(p, QStringLiteral("A"), pixelFont(QStringLiteral("Liberation Serif"), 15, true), { 5, 8.5 });
             textGlyph(p, QStringLiteral("a"), pixelFont(QStringLiteral("Liberation Sans"), 11, true), { 12, 10 },
                 QColor(0x2E, 0x5A, 0xB8));
         } });
    g.push_back({ "EXPORT", 16, 16, "options btnExport: export the diary to rich text", [](QPainter& p) {
                     page(p, 1.5, 0.5, 10.5, 13.5, 4);
                     arrowRight(p, 6.5, 7.5, 15.5, 15.5, QColor(0x9C, 0xC8, 0xFF), QColor(0x2E, 0x6A, 0xCC));
                 } });
    g.push_back({ "MANAGEBIRTHDAYS", 16, 16, "options btnManage: manage birthdays and anniversaries",
        [](QPainter& p) { cake(p, 16.0 / 24.0); } });
    g.push_back({ "WEBSITE", 16, 16, "options and about web buttons: visit the web site", [](QPainter& p) {
                     QRadialGradient sea(QPointF(6, 5), 10);
                     sea.setColorAt(0, QColor(0xA8, 0xDC, 0xFF));
                     sea.setColorAt(1, QColor(0x2E, 0x74, 0xC8));
                     shape(p, circle(8, 8, 6.6), sea);
                     p.setPen(Qt::NoPen);
                     p.setBrush(QColor(0x4C, 0xB4, 0x5C));
                     p.drawPath(polygon(
                         { { 4, 4.5 }, { 7.5, 3.5 }, { 8.5, 6.5 }, { 6, 8.5 }, { 6.5, 11 }, { 4, 10 }, { 3, 7 } }));
                     p.drawPath(polygon({ { 10, 7.5 }, { 13, 8 }, { 12.5, 11.5 }, { 10.5, 12.5 } }));
                     p.setBrush(Qt::NoBrush);
                     p.setPen(QPen(QColor(0, 0, 0), 1.0));
                     p.drawEllipse(QPointF(8, 8), 6.6, 6.6);
                 } });
    return g;
}

// The push button's preset kinds: two 16 x 16 images side by side, normal and
// disabled.
std::vector<GlyphDrawing> buttonKindGlyphs()
{
    std::vector<GlyphDrawing> g;
    auto tick = [](QPainter& p, QPointF a, QPointF b, QPointF c, double w) {
        QPainterPath path(a);
        path.lineTo(b);
        path.lineTo(c);
        p.setBrush(Qt::NoBrush);
        p.setPen(QPen(Qt::black, w + 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(path);
        p.setPen(QPen(QColor(0x52, 0xC8, 0x5A), w, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawPath(path);
    };
    auto cross = [](QPainter& p, double c, double r, const QColor& colour, double w) {
        p.setPen(QPen(Qt::black, w + 2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(c - r, c - r), QPointF(c + r, c + r));
        p.drawLine(QPointF(c + r, c - r), QPointF(c - r, c + r));
        p.setPen(QPen(colour, w, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(c - r, c - r), QPointF(c + r, c + r));
        p.drawLine(QPointF(c + r, c - r), QPointF(c - r, c + r));
    };
    auto disc = [](QPainter& p, const QColor& light, const QColor& dark) {
        QRadialGradient g(QPointF(6, 5), 10);
        g.setColorAt(0, light);
        g.setColorAt(1, dark);
        shape(p, circle(8, 8, 6.8), g);
    };
    g.push_back({ "LBOK", 16, 16, "push button kind OK", [tick](QPainter& p) {
                     tick(p, { 2.5, 8.5 }, { 6.5, 12.5 }, { 13.5, 4.5 }, 2.4);
                 } });
    g.push_back({ "LBCANCEL", 16, 16, "push button kind Cancel",
        [cross](QPainter& p) { cross(p, 8, 4.5, QColor(0xE0, 0x50, 0x44), 2.4); } });
    g.push_back({ "LBHELP", 16, 16, "push button kind Help", [disc](QPainter& p) {
                     disc(p, QColor(0xA4, 0xD4, 0xFF), QColor(0x2A, 0x6A, 0xC8));
                     textGlyph(p, QStringLiteral("?"), pixelFont(QStringLiteral("Liberation Sans"), 11, true), { 8, 8 },
                         Qt::white);
                 } });
    g.push_back({ "LBYES", 16, 16, "push button kind Yes", [disc](QPainter& p) {
                     disc(p, QColor(0xB4, 0xF0, 0xA8), QColor(0x34, 0xA0, 0x44));
                     QPainterPath path(QPointF(4.8, 8.2));
                     path.lineTo(7.2, 10.6);
                     path.lineTo(11.4, 5.6);
                     p.setBrush(Qt::NoBrush);
                     p.setPen(QPen(Qt::white, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
                     p.drawPath(path);
                 } });
    g.push_back({ "LBNO", 16, 16, "push button kind No", [disc](QPainter& p) {
                     disc(p, QColor(0xFF, 0xA8, 0x98), QColor(0xD0, 0x4A, 0x3E));
                     p.setPen(QPen(Qt::white, 1.8, Qt::SolidLine, Qt::RoundCap));
                     p.drawLine(QPointF(5.5, 5.5), QPointF(10.5, 10.5));
                     p.drawLine(QPointF(10.5, 5.5), QPointF(5.5, 10.5));
                 } });
    g.push_back({ "LBCLOSE", 16, 16, "push button kind Close", [](QPainter& p) {
                     shape(p, rect(1.5, 1.5, 9.5, 14.5), QColor(0x5A, 0x3C, 0x22));
                     shape(p, polygon({ { 1.5, 1.5 }, { 6.5, 3 }, { 6.5, 15.5 }, { 1.5, 14.5 } }),
                         vertical(1, 15, QColor(0xE8, 0xB0, 0x70), QColor(0xA8, 0x6A, 0x34)));
                     arrowRight(p, 7.5, 4.5, 15.5, 11.5, QColor(0x9A, 0xEC, 0x8A), QColor(0x2E, 0xA0, 0x40));
                 } });
    g.push_back({ "LBABORT", 16, 16, "push button kind Abort", [](QPainter& p) {
                     QPolygonF octagon;
                     for (int i = 0; i < 8; ++i) {
                         const double a = (22.5 + 45 * i) * kPi / 180;
                         octagon << QPointF(8 + 7 * std::cos(a), 8 + 7 * std::sin(a));
                     }
                     QPainterPath path;
                     path.addPolygon(octagon);
                     path.closeSubpath();
                     shape(p, path, vertical(1, 15, QColor(0xFF, 0x8A, 0x7A), QColor(0xC8, 0x30, 0x28)));
                     p.fillRect(QRectF(4, 7, 8, 2), Qt::white);
                 } });
    g.push_back({ "LBRETRY", 16, 16, "push button kind Retry", [](QPainter& p) {
                     QPainterPath arc;
                     arc.arcMoveTo(QRectF(2.5, 2.5, 11, 11), 60);
                     arc.arcTo(QRectF(2.5, 2.5, 11, 11), 60, 270);
                     p.setBrush(Qt::NoBrush);
                     p.setPen(QPen(Qt::black, 4.0, Qt::SolidLine, Qt::FlatCap));
                     p.drawPath(arc);
                     p.setPen(QPen(QColor(0x4A, 0x8A, 0xE0), 2.0, Qt::SolidLine, Qt::FlatCap));
                     p.drawPath(arc);
                     shape(p, polygon({ { 9.5, 0.5 }, { 15, 4 }, { 9.5, 7.5 } }), QColor(0x4A, 0x8A, 0xE0));
                 } });
    g.push_back({ "LBIGNORE", 16, 16, "push button kind Ignore", [](QPainter& p) {
                     p.fillRect(QRectF(6.5, 12, 3, 3), QColor(0x80, 0x88, 0x98));
                     QPainterPath hop(QPointF(1.5, 13.5));
                     hop.cubicTo(QPointF(2.5, 3), QPointF(11, 2.5), QPointF(12.5, 9.5));
                     p.setBrush(Qt::NoBrush);
                     p.setPen(QPen(Qt::black, 3.6, Qt::SolidLine, Qt::RoundCap));
                     p.drawPath(hop);
                     p.setPen(QPen(QColor(0xF0, 0xB8, 0x30), 1.8, Qt::SolidLine, Qt::RoundCap));
                     p.drawPath(hop);
                     shape(p, polygon({ { 9, 9 }, { 15.5, 8 }, { 12.5, 14 } }), QColor(0xF0, 0xB8, 0x30));
                 } });
    g.push_back({ "LBALL", 16, 16, "push button kind All", [tick](QPainter& p) {
                     tick(p, { 1.5, 7.5 }, { 4.5, 10.5 }, { 9.5, 4 }, 1.8);
                     tick(p, { 6, 10.5 }, { 9, 13.5 }, { 14.5, 6.5 }, 1.8);
                 } });
    return g;
}

// The disabled image of a kind: a pale grey copy, outline kept darker.
QImage greyed(const QImage& glyph)
{
    QImage out = glyph;
    for (int y = 0; y < out.height(); ++y)
        for (int x = 0; x < out.width(); ++x) {
            const QRgb c = out.pixel(x, y);
            if (c == kKey.rgb())
                continue;
            const int lum = (qRed(c) * 77 + qGreen(c) * 150 + qBlue(c) * 29) >> 8;
            const int g = 128 + lum * 100 / 255;
            out.setPixel(x, y, qRgb(g, g, g));
        }
    return out;
}

// Pixel art on the key colour; rows are strings, one character per pixel.
QImage pixelArt(const std::vector<const char*>& rows, const std::map<char, QColor>& colours)
{
    const int h = int(rows.size()), w = int(std::strlen(rows[0]));
    QImage img(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const auto it = colours.find(rows[size_t(y)][x]);
            img.setPixelColor(x, y, it == colours.end() ? kKey : it->second);
        }
    return img;
}

// The sixteen colours of the standard Windows palette, in its order.
std::vector<QRgb> windowsPalette16()
{
    return { 0x000000, 0x800000, 0x008000, 0x808000, 0x000080, 0x800080, 0x008080, 0xC0C0C0, 0x808080, 0xFF0000,
        0x00FF00, 0xFFFF00, 0x0000FF, 0xFF00FF, 0x00FFFF, 0xFFFFFF };
}

// The date edit's button picture: a calendar sheet, normal and greyed, 14 x 12 each.
QImage dateEditGlyph()
{
    const char* sheet[] = {
        "...o....o.....", //
        ".##o####o###..", //
        ".#rrrrrrrrrr#.", //
        ".#rrrrrrrrrr#.", //
        ".############.", //
        ".#wwwwwwwwww#.", //
        ".#w-w-w-w-ww#.", //
        ".#wwwwwwwwww#.", //
        ".#w-w-wbbw-w#.", //
        ".#wwwwwbbwww#.", //
        ".############.", //
        "..............", //
    };
    std::vector<const char*> rows;
    std::vector<std::string> joined;
    for (const char* row : sheet)
        joined.push_back(std::string(row) + row);
    for (const auto& row : joined)
        rows.push_back(row.c_str());
    QImage img = pixelArt(rows,
        { { '#', QColor(0, 0, 0) }, { 'o', QColor(0x80, 0x80, 0x80) }, { 'r', QColor(0xFF, 0, 0) },
            { 'w', QColor(0xFF, 0xFF, 0xFF) }, { '-', QColor(0xC0, 0xC0, 0xC0) }, { 'b', QColor(0, 0, 0x80) } });
    // The right half greyed: outline grey, header and marks silver.
    for (int y = 0; y < 12; ++y)
        for (int x = 14; x < 28; ++x) {
            const QColor c = img.pixelColor(x, y);
            if (c == QColor(0, 0, 0) || c == QColor(0, 0, 0x80))
                img.setPixelColor(x, y, QColor(0x80, 0x80, 0x80));
            else if (c == QColor(0xFF, 0, 0) || c == QColor(0x80, 0x80, 0x80))
                img.setPixelColor(x, y, QColor(0xC0, 0xC0, 0xC0));
        }
    return img;
}

// ---------------------------------------------------------------------------
// Small pictures with an alpha channel.

std::vector<GlyphDrawing> smallPictures()
{
    std::vector<GlyphDrawing> g;
    auto padlock = [](bool open) {
        return [open](QPainter& p) {
            const QPen dark(QColor(0x6A, 0x4A, 0x10), 1.0);
            p.setBrush(Qt::NoBrush);
            p.setPen(QPen(QColor(0x50, 0x58, 0x68), 3.4, Qt::SolidLine, Qt::FlatCap));
            QPainterPath shackle(QPointF(open ? 11 : 5, 8));
            shackle.lineTo(open ? 11 : 5, 5);
            shackle.arcTo(QRectF(open ? 11 : 5, 2, 6, 6), 180, -180);
            shackle.lineTo(open ? 17 : 11, open ? 6 : 8);
            if (open)
                shackle.translate(-3, -1);
            p.drawPath(shackle);
            p.setPen(QPen(QColor(0xB8, 0xC0, 0xCC), 1.4, Qt::SolidLine, Qt::FlatCap));
            p.drawPath(shackle);
            shape(p, rect(2.5, 7.5, 13.5, 15.5, 1.5),
                vertical(7, 16, QColor(0xFF, 0xE2, 0x78), QColor(0xCC, 0x90, 0x1C)), dark);
            p.setPen(Qt::NoPen);
            p.setBrush(QColor(0x4A, 0x30, 0x08));
            p.drawEllipse(QPointF(8, 10.6), 1.4, 1.4);
            p.drawRect(QRectF(7.4, 11, 1.2, 2.6));
        };
    };
    g.push_back({ "LOCKED", 16, 16, "imgLocked: the diary has a password", padlock(false) });
    g.push_back({ "UNLOCKED", 16, 16, "imgUnlocked: the diary has no password", padlock(true) });
    g.push_back({ "ANNIV", 16, 16, "imgAnniv: a birthday or anniversary on this day", [](QPainter& p) {
                     const QPen dark(QColor(0x80, 0x1E, 0x2E), 1.0);
                     shape(p, rect(2.5, 7.5, 13.5, 15.5),
                         vertical(7, 16, QColor(0xFF, 0x88, 0x98), QColor(0xD8, 0x3A, 0x54)), dark);
                     shape(p, rect(1.5, 5.5, 14.5, 8.5),
                         vertical(5, 9, QColor(0xFF, 0x9C, 0xAA), QColor(0xE8, 0x50, 0x68)), dark);
                     p.fillRect(QRectF(7, 5.5, 2, 10), QColor(0xFF, 0xD2, 0x40));
                     p.setPen(QPen(QColor(0xE0, 0xA0, 0x10), 1.4));
                     p.setBrush(QColor(0xFF, 0xD2, 0x40));
                     p.drawEllipse(QRectF(3.5, 1.5, 4.5, 3.6));
                     p.drawEllipse(QRectF(8, 1.5, 4.5, 3.6));
                 } });
    g.push_back({ "DIARYFILE", 16, 16, "start-up wizard list: an existing diary",
        [](QPainter& p) { book(p, 1.0, QColor(0x86, 0xA4, 0xF4), QColor(0x34, 0x4C, 0xA8)); } });
    g.push_back({ "DIARYNEW", 16, 16, "start-up wizard list: create a new diary", [](QPainter& p) {
                     book(p, 1.0, QColor(0x86, 0xA4, 0xF4), QColor(0x34, 0x4C, 0xA8));
                     shape(p, circle(12, 12, 3.6), QColor(0x4C, 0xC0, 0x5A), QPen(QColor(0x1A, 0x60, 0x24), 1.0));
                     p.fillRect(QRectF(11.2, 9.8, 1.6, 4.4), Qt::white);
                     p.fillRect(QRectF(9.8, 11.2, 4.4, 1.6), Qt::white);
                 } });
    g.push_back({ "DIARYRESTORE", 16, 16, "start-up wizard list: restore a diary from a backup", [](QPainter& p) {
                     book(p, 1.0, QColor(0x86, 0xA4, 0xF4), QColor(0x34, 0x4C, 0xA8));
                     shape(p, circle(12, 12, 3.8), QColor(0xF4, 0xA8, 0x3A), QPen(QColor(0x8A, 0x50, 0x10), 1.0));
                     QPainterPath arc;
                     arc.arcMoveTo(QRectF(10, 10, 4, 4), 90);
                     arc.arcTo(QRectF(10, 10, 4, 4), 90, 250);
                     p.setBrush(Qt::NoBrush);
                     p.setPen(QPen(Qt::white, 1.2));
                     p.drawPath(arc);
                     shape(p, polygon({ { 11.6, 9.2 }, { 10, 10.1 }, { 11.6, 11 } }), Qt::white, Qt::NoPen);
                 } });
    g.push_back(
        { "SORTASC", 22, 22, "browse list DIL image 0: the column is sorted ascending", [](QPainter& p) {
             shape(p, polygon({ { 6.5, 13.5 }, { 11, 8 }, { 15.5, 13.5 } }), QColor(0x6A, 0x74, 0x88), Qt::NoPen);
         } });
    g.push_back(
        { "SORTDESC", 22, 22, "browse list DIL image 1: the column is sorted descending", [](QPainter& p) {
             shape(p, polygon({ { 6.5, 8.5 }, { 15.5, 8.5 }, { 11, 14 } }), QColor(0x6A, 0x74, 0x88), Qt::NoPen);
         } });
    g.push_back({ "EXPORTING", 32, 32, "progress window Image1: exporting the diary", [](QPainter& p) {
                     p.save();
                     p.translate(0, 6);
                     book(p, 1.25, QColor(0x86, 0xA4, 0xF4), QColor(0x34, 0x4C, 0xA8));
                     p.restore();
                     page(p, 19.5, 4.5, 30.5, 19.5, 4);
                     arrowRight(p, 13.5, 16.5, 27.5, 27.5, QColor(0x9A, 0xEC, 0x8A), QColor(0x2E, 0xA0, 0x40));
                 } });
    return g;
}

// ---------------------------------------------------------------------------
// Background tiles of the hatch panels and the spiral strip of the entry area.

QImage linen(const QColor& base, double amount, quint64 seed)
{
    // Row and column variations make a woven look that tiles without seams.
    Rng rng(seed);
    double rows[64], cols[64];
    for (int i = 0; i < 64; ++i) {
        rows[i] = rng.range(-1, 1);
        cols[i] = rng.range(-1, 1);
    }
    QImage img(64, 64, QImage::Format_RGB32);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            const double f = 1 + amount * (0.45 * rows[y] + 0.45 * cols[x] + 0.3 * rng.range(-1, 1));
            auto c = [f](int v) { return std::clamp(int(std::lround(v * f)), 0, 255); };
            img.setPixel(x, y, qRgb(c(base.red()), c(base.green()), c(base.blue())));
        }
    return img;
}

QImage spiralTile()
{
    // 20 x 16: a ring of the binding over the page's punched hole; tiles downwards.
    QImage img(20, 16, QImage::Format_ARGB32_Premultiplied);
    img.fill(QColor(0xFF, 0xFF, 0xF2));
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient shade(0, 0, 8, 0);
    shade.setColorAt(0, QColor(0xC8, 0xC4, 0xB0));
    shade.setColorAt(1, QColor(0xFF, 0xFF, 0xF2));
    p.fillRect(QRectF(0, 0, 8, 16), shade);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x3A, 0x3C, 0x48));
    p.drawEllipse(QPointF(13.5, 8.5), 2.2, 2.2);
    QPainterPath wire(QPointF(13.5, 9));
    wire.cubicTo(QPointF(12, 1.5), QPointF(3, 1), QPointF(-1, 5.5));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0x50, 0x54, 0x60), 3.2, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(wire);
    p.setPen(QPen(QColor(0xE4, 0xE8, 0xF0), 1.4, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(wire);
    p.end();
    return img.convertToFormat(QImage::Format_RGB32);
}

// ---------------------------------------------------------------------------
// Cursors (32 x 32 with alpha; hot spots listed in glyphs/cursors.txt).

QImage handCursor()
{
    return drawn(32, 32, [](QPainter& p) {
        QPainterPath hand;
        hand.addRoundedRect(QRectF(9, 1, 5.5, 17), 2.75, 2.75);
        hand.addRoundedRect(QRectF(14, 10, 4.8, 9), 2.4, 2.4);
        hand.addRoundedRect(QRectF(18.2, 11, 4.6, 9), 2.3, 2.3);
        hand.addRoundedRect(QRectF(22.2, 12.5, 4.4, 8.5), 2.2, 2.2);
        hand.addRoundedRect(QRectF(9, 15, 17.6, 13), 5, 5);
        QPainterPath thumb;
        thumb.addRoundedRect(QRectF(-3.5, -2.3, 9, 4.6), 2.3, 2.3);
        hand.addPath(QTransform().translate(7.2, 18.5).rotate(50).map(thumb));
        hand = hand.simplified();
        shape(p, hand, Qt::white, QPen(Qt::black, 1.4, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.setPen(QPen(QColor(0x60, 0x60, 0x60), 1.0));
        for (double x : { 14.3, 18.5, 22.5 })
            p.drawLine(QPointF(x, 15), QPointF(x, 18));
    });
}

QImage dragCursor()
{
    return drawn(32, 32, [](QPainter& p) {
        p.setBrush(Qt::white);
        p.setPen(QPen(Qt::black, 1.0, Qt::DashLine));
        p.drawRect(QRectF(13.5, 18.5, 13, 10));
        shape(p,
            polygon({ { 1.5, 1.5 }, { 1.5, 19.5 }, { 6, 15.5 }, { 9, 22.5 }, { 11.5, 21.5 }, { 8.5, 14.5 },
                { 14.5, 14.5 } }),
            Qt::white, QPen(Qt::black, 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    });
}

// ---------------------------------------------------------------------------
// The program icon: a closed diary with a gold star and a ribbon; drawn on a
// 256-unit square and scaled.

QImage diaryIcon(int size)
{
    return drawn(size, size, [size](QPainter& p) {
        const double s = size / 256.0;
        p.scale(s, s);
        const double px = 1 / s; // one device pixel, for hairlines at small sizes
        QRadialGradient shadow(QPointF(132, 236), 100);
        shadow.setColorAt(0, QColor(0, 0, 0, 80));
        shadow.setColorAt(1, QColor(0, 0, 0, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(shadow);
        p.drawEllipse(QRectF(32, 222, 200, 28));
        // Ribbon bookmark from under the book.
        p.setPen(QPen(QColor(0x7A, 0x10, 0x20), std::max(2.0, px)));
        p.setBrush(QColor(0xD8, 0x38, 0x4C));
        p.drawPath(polygon({ { 156, 200 }, { 176, 200 }, { 176, 255 }, { 166, 245 }, { 156, 255 } }));
        // Page block, seen at the right and bottom.
        QLinearGradient pages(0, 0, 256, 0);
        pages.setColorAt(0, QColor(0xF8, 0xF2, 0xE0));
        pages.setColorAt(1, QColor(0xE2, 0xD6, 0xB8));
        p.setPen(QPen(QColor(0x8A, 0x7A, 0x5A), std::max(2.0, px)));
        p.setBrush(pages);
        p.drawRoundedRect(QRectF(58, 30, 160, 204), 10, 10);
        p.setPen(QPen(QColor(0xC8, 0xBA, 0x98), std::max(1.5, px)));
        if (size >= 64)
            for (double x = 212; x > 200; x -= 4)
                p.drawLine(QPointF(x, 42), QPointF(x, 226));
        // Cover.
        QLinearGradient cover(40, 20, 210, 230);
        cover.setColorAt(0, QColor(0x4A, 0x5C, 0xB0));
        cover.setColorAt(1, QColor(0x1C, 0x25, 0x5E));
        p.setPen(QPen(QColor(0x10, 0x16, 0x3C), std::max(3.0, px)));
        p.setBrush(cover);
        p.drawRoundedRect(QRectF(38, 20, 164, 204), 14, 14);
        // Spine band and its gold rules.
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0x12, 0x18, 0x44, 150));
        p.drawRoundedRect(QRectF(40, 22, 30, 200), 12, 12);
        p.setBrush(QColor(0xE8, 0xB8, 0x48));
        p.drawRect(QRectF(42, 50, 26, 6));
        p.drawRect(QRectF(42, 188, 26, 6));
        // Gold star with two small sparkles.
        QRadialGradient gold(QPointF(126, 96), 60);
        gold.setColorAt(0, QColor(0xFF, 0xF2, 0xA8));
        gold.setColorAt(0.6, QColor(0xFF, 0xCC, 0x48));
        gold.setColorAt(1, QColor(0xD8, 0x90, 0x1C));
        p.setPen(QPen(QColor(0x8A, 0x5A, 0x0C), std::max(2.5, px)));
        p.setBrush(gold);
        p.drawPath(starPath({ 136, 112 }, 44, 19));
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(0xFF, 0xF0, 0xC0));
        p.drawPath(starPath({ 178, 60 }, 11, 2.6, 4, 0));
        if (size >= 48)
            p.drawPath(starPath({ 98, 170 }, 8, 2, 4, 0));
        // Sheen.
        QLinearGradient sheen(40, 20, 120, 120);
        sheen.setColorAt(0, QColor(255, 255, 255, 60));
        sheen.setColorAt(1, QColor(255, 255, 255, 0));
        p.setPen(Qt::NoPen);
        p.setBrush(sheen);
        p.drawRoundedRect(QRectF(40, 22, 160, 200), 13, 13);
    });
}

// ---------------------------------------------------------------------------

void writeGlyphs(const std::vector<GlyphDrawing>& specs)
{
    for (const GlyphDrawing& g : specs) {
        const QImage img = keyed(drawn(g.w, g.h, g.draw));
        writeBmp(QStringLiteral("glyphs/") + QLatin1String(g.name) + QStringLiteral(".bmp"), bmp24(img), g.w, g.h,
            QString::fromUtf8(g.role));
    }
}

void writeArtworkIndex()
{
    QString text;
    QTextStream out(&text);
    out << "# Artwork\n\n"
           "Every picture of the program is drawn by `resources/tools/make_artwork.cpp` (QPainter and\n"
           "generated noise, fixed seeds) and committed. To make them again:\n\n"
           "    cmake --build build --target make_artwork\n"
           "    QT_QPA_PLATFORM=offscreen build/resources/tools/make_artwork resources\n\n"
           "Glyphs (`.bmp`) are 24-bit bitmaps (DEDITBMP has 16 colours) whose bottom-left pixel colour,\n"
           "magenta, is transparent; "
           "their pure black pixels make the embossed disabled look. `.png` pictures carry alpha.\n"
           "The mode tabs are 256-colour bitmaps: 18 x 146 at that depth is the store's 3998 bytes.\n"
           "This table is written by the generator.\n\n"
           "| file | size | role |\n"
           "|---|---|---|\n";
    for (const Written& w : gWritten)
        out << "| `" << w.file << "` | " << w.size << " | " << w.role << " |\n";
    out.flush();
    writeBytes(QStringLiteral("ARTWORK.md"), text.toUtf8());
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        QTextStream(stderr) << "usage: make_artwork <resources folder>\n";
        return 2;
    }
    gRoot = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();

    // The resource store's items.
    writeBmp(QStringLiteral("store/Tab_State_1"), bmpIndexed(modeTab(true), 8), 18, 146,
        QStringLiteral("mode tab, diary page shown (Windows bitmap, 256 colours)"));
    writeBmp(QStringLiteral("store/Tab_State_2"), bmpIndexed(modeTab(false), 8), 18, 146,
        QStringLiteral("mode tab, information page shown (Windows bitmap, 256 colours)"));
    writeBytes(QStringLiteral("store/template.rtf"), welcomeTemplate());
    record(QStringLiteral("store/template.rtf"), QStringLiteral("rich text"),
        QStringLiteral("body of a new diary's first day"));
    const std::pair<QImage (*)(), const char*> skins[] = {
        { skinNebula, "night sky with a soft nebula" },
        { skinDusk, "dusk over layered hills, crescent moon" },
        { skinOcean, "deep ocean, light from the surface" },
        { skinAurora, "violet aurora over mountains and a lake" },
        { skinForest, "pine forest under a full moon" },
        { skinSunset, "warm sunset over the sea fading to night" },
        { skinDesert, "dunes under a starry desert sky" },
    };
    for (int i = 0; i < 7; ++i)
        writeJpeg(QStringLiteral("store/skin%1.jpg").arg(i + 1, 2, 10, QLatin1Char('0')), skins[i].first(), 92,
            QStringLiteral("skin %1: ").arg(i + 1) + QLatin1String(skins[i].second));

    for (int i = 0; i < 17; ++i)
        writePng(QStringLiteral("mood/mood%1.png").arg(i, 2, 10, QLatin1Char('0')), mood(i),
            QStringLiteral("mood picture %1: ").arg(i) + QLatin1String(kMoodNames[i]));
    const char* const signs[] = { "Capricorn", "Aquarius", "Pisces", "Aries", "Taurus", "Gemini", "Cancer", "Leo",
        "Virgo", "Libra", "Scorpio", "Sagittarius" };
    for (int i = 0; i < 12; ++i)
        writePng(QStringLiteral("zodiac/zodiac%1.png").arg(i, 2, 10, QLatin1Char('0')), zodiac(i),
            QStringLiteral("zodiac picture %1: ").arg(i) + QLatin1String(signs[i]));

    // Bitmaps the controls load by name.
    writeBmp(QStringLiteral("glyphs/LBARROW.bmp"),
        bmp24(pixelArt({ "#######", ".#####.", "..###..", "...#..." }, { { '#', Qt::black } })), 7, 4,
        QStringLiteral("drop-down mark of the styled buttons"));
    for (const GlyphDrawing& g : buttonKindGlyphs()) {
        const QImage normal = keyed(drawn(g.w, g.h, g.draw));
        QImage strip(g.w * 2, g.h, QImage::Format_RGB32);
        QPainter p(&strip);
        p.drawImage(0, 0, normal);
        p.drawImage(g.w, 0, greyed(normal));
        p.end();
        writeBmp(QStringLiteral("glyphs/") + QLatin1String(g.name) + QStringLiteral(".bmp"), bmp24(strip), g.w * 2, g.h,
            QString::fromUtf8(g.role) + QStringLiteral(": normal and disabled images"));
    }
    writeBmp(QStringLiteral("glyphs/DEDITBMP.bmp"), bmpIndexed(dateEditGlyph(), 4, windowsPalette16()), 28, 12,
        QStringLiteral("date edit button: calendar sheet, normal and greyed (16 colours)"));
    const char* const arrowRoles[] = { "pop-up calendar: previous year", "pop-up calendar: previous month",
        "pop-up calendar: next month", "pop-up calendar: next year" };
    const std::vector<std::vector<const char*>> arrowArt = {
        { "...#...#", "..##..##", ".###.###", ".###.###", "..##..##", "...#...#" },
        { "......#.", ".....##.", "....###.", "....###.", ".....##.", "......#." },
        { ".#......", ".##.....", ".###....", ".###....", ".##.....", ".#......" },
        { ".#...#..", ".##..##.", ".###.###", ".###.###", ".##..##.", ".#...#.." },
    };
    const char* const arrowNames[] = { "PREV2", "PREV1", "NEXT1", "NEXT2" };
    for (int i = 0; i < 4; ++i)
        writeBmp(QStringLiteral("glyphs/") + QLatin1String(arrowNames[i]) + QStringLiteral(".bmp"),
            bmp24(pixelArt(arrowArt[size_t(i)], { { '#', Qt::black } })), 8, 6, QLatin1String(arrowRoles[i]));

    writeGlyphs(mainWindowGlyphs());
    writeGlyphs(formattingGlyphs());
    writeGlyphs(navigationGlyphs());
    writeGlyphs(dialogGlyphs());
    for (const GlyphDrawing& g : smallPictures())
        writePng(QStringLiteral("glyphs/") + QLatin1String(g.name) + QStringLiteral(".png"), drawn(g.w, g.h, g.draw),
            QString::fromUtf8(g.role));
    writePng(QStringLiteral("glyphs/DIARYBOOK.png"), diaryIcon(96), QStringLiteral("start-up wizard imgDiary"));
    writeBmp(QStringLiteral("glyphs/HATCH_NIGHT.bmp"), bmp24(linen(QColor(0x0A, 0x12, 0x5A), 0.10, 801)), 64, 64,
        QStringLiteral("tile of the keeper's main hatch panel (colour 0x600000)"));
    writeBmp(QStringLiteral("glyphs/HATCH_PAPER.bmp"), bmp24(linen(QColor(0xFF, 0xFC, 0xE6), 0.025, 802)), 64, 64,
        QStringLiteral("tile of the keeper's information panel (colour 0xEAFEFF)"));
    const QImage spiral = spiralTile();
    writeBmp(QStringLiteral("glyphs/SPIRAL_V.bmp"), bmp24(spiral), 20, 16,
        QStringLiteral("spiral strip pnlSpiral, tiled down a vertical strip"));
    const QImage spiralH = spiral.transformed(QTransform().rotate(-90));
    writeBmp(QStringLiteral("glyphs/SPIRAL_H.bmp"), bmp24(spiralH), spiralH.width(), spiralH.height(),
        QStringLiteral("spiral strip pnlSpiral, tiled along a horizontal strip"));

    writePng(
        QStringLiteral("glyphs/HANDCUR.png"), handCursor(), QStringLiteral("cursor 14000 HANDCUR, hot spot (11, 1)"));
    writePng(
        QStringLiteral("glyphs/DRAGCUR.png"), dragCursor(), QStringLiteral("cursor 14001 DRAGCUR, hot spot (1, 1)"));
    writeBytes(QStringLiteral("glyphs/cursors.txt"),
        QByteArray("# cursor hot-spot-x hot-spot-y\n"
                   "HANDCUR.png 11 1\n"
                   "DRAGCUR.png 1 1\n"));
    record(
        QStringLiteral("glyphs/cursors.txt"), QStringLiteral("text"), QStringLiteral("hot spots of the two cursors"));

    writePng(QStringLiteral("icons/diary.png"), diaryIcon(256), QStringLiteral("program icon"));
    writePng(QStringLiteral("icons/diary-48.png"), diaryIcon(48), QStringLiteral("program icon, small"));

    writeArtworkIndex();
    QTextStream(stdout) << "make_artwork: wrote " << gWritten.size() << " files into " << gRoot << '\n';
    return 0;
}
