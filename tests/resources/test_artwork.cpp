// Checks the committed artwork under resources/: every picture a control
// loads exists with the size it expects, glyphs keep their transparent colour
// in the bottom-left pixel, and the skins leave dark room for the star field.
// Last, all of it is drawn on one labelled contact sheet for a person to
// look at (its path is printed).

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QGuiApplication>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QRegularExpression>
#include <QStringList>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <memory>
#include <vector>

namespace {

// The source tree's resources folder, found from this file's own path so the
// test needs no configuration.
QString artwork(const QString& relative = QString())
{
    const QString root
        = QDir::cleanPath(QFileInfo(QString::fromUtf8(__FILE__)).absolutePath() + QStringLiteral("/../../resources"));
    return relative.isEmpty() ? root : root + u'/' + relative;
}

QImage load(const QString& relative)
{
    // The store's tab bitmaps have no extension.
    const bool bare = QFileInfo(relative).suffix().isEmpty();
    return QImage(artwork(relative), bare ? "BMP" : nullptr);
}

QByteArray bytes(const QString& relative)
{
    QFile file(artwork(relative));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const QRgb kKey = qRgb(0xFF, 0x00, 0xFF);

bool bottomLeftIsKey(const QImage& img)
{
    return (img.pixel(0, img.height() - 1) & 0xFFFFFF) == (kKey & 0xFFFFFF);
}

// The star field's test for a dark point: (R * 50 + G * 30 + B * 20) / 25600 <= 0.2.
double darkShare(const QImage& img)
{
    qint64 dark = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QRgb c = img.pixel(x, y);
            if ((qRed(c) * 50 + qGreen(c) * 30 + qBlue(c) * 20) / 25600.0 <= 0.2)
                ++dark;
        }
    return double(dark) / (qint64(img.width()) * img.height());
}

QString numbered(const char* pattern, int i)
{
    return QString::fromLatin1(pattern).arg(i, 2, 10, QLatin1Char('0'));
}

const char* const kButtonKinds[]
    = { "LBOK", "LBCANCEL", "LBHELP", "LBYES", "LBNO", "LBCLOSE", "LBABORT", "LBRETRY", "LBIGNORE", "LBALL" };

TEST(Artwork, StoreHoldsTabsTemplateAndSkins)
{
    for (const char* tab : { "store/Tab_State_1", "store/Tab_State_2" }) {
        const QString name = QString::fromLatin1(tab);
        const QByteArray file = bytes(name);
        // 18 x 146 at 256 colours is exactly the store's 3998 bytes.
        EXPECT_EQ(file.size(), 3998) << tab;
        EXPECT_TRUE(file.startsWith("BM")) << tab;
        const QImage img = load(name);
        ASSERT_FALSE(img.isNull()) << tab;
        EXPECT_EQ(img.size(), QSize(18, 146)) << tab;
        EXPECT_TRUE(bottomLeftIsKey(img)) << tab;
    }
    EXPECT_NE(load(QStringLiteral("store/Tab_State_1")), load(QStringLiteral("store/Tab_State_2")));

    const QByteArray rtf = bytes(QStringLiteral("store/template.rtf"));
    EXPECT_TRUE(rtf.startsWith("{\\rtf1\\ansi\\ansicpg1252")) << rtf.left(40).constData();
    EXPECT_GT(rtf.size(), 800);
    EXPECT_LT(rtf.size(), 1600);
    int depth = 0, lowest = 0;
    for (char c : rtf) {
        EXPECT_LT(uchar(c), 128) << "plain ASCII only";
        depth += c == '{' ? 1 : c == '}' ? -1 : 0;
        lowest = std::min(lowest, depth);
    }
    EXPECT_EQ(depth, 0);
    EXPECT_EQ(lowest, 0);

    for (int i = 1; i <= 7; ++i) {
        const QString name = numbered("store/skin%1.jpg", i);
        QImageReader reader(artwork(name));
        EXPECT_EQ(reader.format(), QByteArray("jpeg")) << qPrintable(name);
        const QSize size = reader.size();
        EXPECT_GE(size.width(), 1600) << qPrintable(name);
        EXPECT_GE(size.height(), 1200) << qPrintable(name);
        const qint64 length = QFileInfo(artwork(name)).size();
        EXPECT_GT(length, 60 * 1024) << qPrintable(name);
        EXPECT_LT(length, 200 * 1024) << qPrintable(name);
    }
}

TEST(Artwork, SkinsLeaveDarkRoomForTheStars)
{
    // The star field only settles on dark points; a bright skin would leave it
    // searching for ever. Seen at the window's design size.
    for (int i = 1; i <= 7; ++i) {
        const QString name = numbered("store/skin%1.jpg", i);
        const QImage skin = load(name);
        ASSERT_FALSE(skin.isNull()) << qPrintable(name);
        const QImage window = skin.scaled(773, 526, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
        EXPECT_GT(darkShare(window), 0.5) << qPrintable(name);
        // The skin shows mostly at the window's edges, around the panels.
        const QRect edges[] = { { 0, 0, 773, 60 }, { 0, 466, 773, 60 }, { 0, 0, 60, 526 }, { 713, 0, 60, 526 } };
        for (const QRect& edge : edges)
            EXPECT_GT(darkShare(window.copy(edge)), 0.3) << qPrintable(name) << " edge " << edge.x() << "," << edge.y();
    }
}

TEST(Artwork, SeventeenMoodFaces)
{
    for (int i = 0; i < 17; ++i) {
        const QString name = numbered("mood/mood%1.png", i);
        const QImage img = load(name);
        ASSERT_FALSE(img.isNull()) << qPrintable(name);
        EXPECT_EQ(img.size(), QSize(64, 64)) << qPrintable(name);
        EXPECT_TRUE(img.hasAlphaChannel()) << qPrintable(name);
        EXPECT_EQ(qAlpha(img.pixel(32, 32)), 255) << qPrintable(name);
        EXPECT_EQ(qAlpha(img.pixel(0, 0)), 0) << qPrintable(name);
    }
    EXPECT_FALSE(QFileInfo::exists(artwork(QStringLiteral("mood/mood17.png"))));
}

TEST(Artwork, TwelveZodiacBadges)
{
    for (int i = 0; i < 12; ++i) {
        const QString name = numbered("zodiac/zodiac%1.png", i);
        const QImage img = load(name);
        ASSERT_FALSE(img.isNull()) << qPrintable(name);
        EXPECT_EQ(img.size(), QSize(38, 35)) << qPrintable(name);
        // The dialog shows the left 35 columns: the badge must lie inside them.
        for (int y = 0; y < 35; ++y)
            for (int x = 35; x < 38; ++x)
                ASSERT_EQ(img.pixel(x, y), qRgb(255, 255, 255)) << qPrintable(name) << " at " << x << "," << y;
        int painted = 0;
        for (int y = 0; y < 35; ++y)
            for (int x = 0; x < 35; ++x)
                painted += img.pixel(x, y) != qRgb(255, 255, 255);
        EXPECT_GT(painted, 35 * 35 / 2) << qPrintable(name);
    }
}

TEST(Artwork, GlyphsKeepTheirTransparentColour)
{
    const QStringList tiles { QStringLiteral("HATCH_NIGHT.bmp"), QStringLiteral("HATCH_PAPER.bmp"),
        QStringLiteral("SPIRAL_V.bmp"), QStringLiteral("SPIRAL_H.bmp") };
    const QStringList glyphs
        = QDir(artwork(QStringLiteral("glyphs"))).entryList({ QStringLiteral("*.bmp") }, QDir::Files);
    EXPECT_GE(glyphs.size(), 50);
    for (const QString& file : glyphs) {
        const QImage img = load(QStringLiteral("glyphs/") + file);
        ASSERT_FALSE(img.isNull()) << qPrintable(file);
        if (tiles.contains(file))
            continue;
        EXPECT_TRUE(bottomLeftIsKey(img)) << qPrintable(file);
        bool drawn = false;
        for (int y = 0; y < img.height() && !drawn; ++y)
            for (int x = 0; x < img.width() && !drawn; ++x)
                drawn = (img.pixel(x, y) & 0xFFFFFF) != (kKey & 0xFFFFFF);
        EXPECT_TRUE(drawn) << qPrintable(file);
    }
    for (const char* kind : kButtonKinds) {
        // Two images side by side: normal and disabled.
        const QImage img = load(QStringLiteral("glyphs/") + QLatin1String(kind) + QStringLiteral(".bmp"));
        EXPECT_EQ(img.width(), 2 * img.height()) << kind;
        EXPECT_NE(img.copy(0, 0, img.height(), img.height()), img.copy(img.height(), 0, img.height(), img.height()))
            << kind;
    }
    EXPECT_EQ(load(QStringLiteral("glyphs/LBARROW.bmp")).size(), QSize(7, 4));
    for (const char* arrow : { "PREV1", "PREV2", "NEXT1", "NEXT2" })
        EXPECT_EQ(load(QStringLiteral("glyphs/") + QLatin1String(arrow) + QStringLiteral(".bmp")).size(), QSize(8, 6))
            << arrow;
    const QByteArray date = bytes(QStringLiteral("glyphs/DEDITBMP.bmp"));
    ASSERT_GT(date.size(), 30);
    EXPECT_EQ(date.at(28), 4) << "16 colours";
    EXPECT_EQ(load(QStringLiteral("glyphs/DEDITBMP.bmp")).size(), QSize(28, 12));
}

// The artwork index lists every file with its pixel size; each must match.
TEST(Artwork, IndexMatchesTheFiles)
{
    const QString index = QString::fromUtf8(bytes(QStringLiteral("ARTWORK.md")));
    const QRegularExpression row(
        QStringLiteral("^\\| `([^`]+)` \\| (\\d+) x (\\d+) \\|"), QRegularExpression::MultilineOption);
    int images = 0;
    for (auto it = row.globalMatch(index); it.hasNext();) {
        const auto m = it.next();
        const QImage img = load(m.captured(1));
        EXPECT_FALSE(img.isNull()) << qPrintable(m.captured(1));
        EXPECT_EQ(img.size(), QSize(m.captured(2).toInt(), m.captured(3).toInt())) << qPrintable(m.captured(1));
        ++images;
    }
    EXPECT_GE(images, 100);
    for (const char* icon : { "icons/diary.png", "icons/diary-48.png" })
        EXPECT_TRUE(index.contains(QLatin1String(icon))) << icon;
    EXPECT_EQ(load(QStringLiteral("icons/diary.png")).size(), QSize(256, 256));
    EXPECT_EQ(load(QStringLiteral("icons/diary-48.png")).size(), QSize(48, 48));
}

// ---------------------------------------------------------------------------
// Contact sheet

// Lays labelled pictures out in rows under section headings.
class Sheet {
public:
    explicit Sheet(int width)
        : width(width)
    {
    }

    void heading(const QString& text)
    {
        newRow();
        y += 14;
        items.push_back({ QImage(), text, QPoint(margin, y), true, QColor() });
        y += 26;
    }
    void add(const QImage& img, const QString& label, const QColor& ground = QColor())
    {
        const int w = std::max(img.width(), kMinWidth) + 12;
        if (x + w > width - margin)
            newRow();
        items.push_back({ img, label, QPoint(x, y), false, ground });
        x += w + 8;
        rowHeight = std::max(rowHeight, img.height() + 34);
    }
    QImage render(bool withText) const
    {
        QImage out(width, y + rowHeight + margin, QImage::Format_RGB32);
        out.fill(QColor(0xF4, 0xF2, 0xEC));
        QPainter p(&out);
        QFont font(QStringLiteral("Liberation Sans"));
        for (const Item& item : items) {
            if (item.heading) {
                font.setPixelSize(18);
                font.setBold(true);
                p.setFont(font);
                p.setPen(QColor(0x1E, 0x2A, 0x5A));
                if (withText)
                    p.drawText(item.at + QPoint(0, 18), item.label);
                continue;
            }
            const QRect box(item.at, QSize(std::max(item.image.width(), kMinWidth) + 12, item.image.height() + 12));
            p.fillRect(box, item.ground.isValid() ? item.ground : QColor(0xFF, 0xFF, 0xFF));
            p.setPen(QColor(0xC8, 0xC4, 0xB8));
            p.drawRect(box.adjusted(0, 0, -1, -1));
            p.drawImage(box.topLeft() + QPoint((box.width() - item.image.width()) / 2, 6), item.image);
            if (withText) {
                font.setPixelSize(10);
                font.setBold(false);
                p.setFont(font);
                p.setPen(QColor(0x30, 0x30, 0x38));
                p.drawText(QRect(box.left() - 4, box.bottom() + 3, box.width() + 8, 16),
                    Qt::AlignHCenter | Qt::AlignTop, item.label);
            }
        }
        return out;
    }

private:
    void newRow()
    {
        if (x > margin)
            y += rowHeight;
        x = margin;
        rowHeight = 0;
    }
    struct Item {
        QImage image;
        QString label;
        QPoint at;
        bool heading;
        QColor ground;
    };
    static constexpr int kMinWidth = 84; // room for a glyph's name under it
    int width;
    int margin = 16;
    int x = 16, y = 0, rowHeight = 0;
    std::vector<Item> items;
};

// Magenta becomes transparent, as the class library shows its glyphs.
QImage withoutKey(const QImage& glyph, int scale)
{
    QImage img = glyph.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if ((img.pixel(x, y) & 0xFFFFFF) == (kKey & 0xFFFFFF))
                img.setPixel(x, y, 0);
    return img.scaled(img.size() * scale);
}

QImage tiled(const QImage& tile, QSize size)
{
    QImage out(size, QImage::Format_RGB32);
    if (tile.isNull()) // a missing picture would never fill the area
        return out;
    QPainter p(&out);
    for (int y = 0; y < size.height(); y += tile.height())
        for (int x = 0; x < size.width(); x += tile.width())
            p.drawImage(x, y, tile);
    return out;
}

TEST(Artwork, ContactSheet)
{
    // Text needs a QGuiApplication; make one unless the binary already has one.
    std::unique_ptr<QGuiApplication> own;
    static int argc = 1;
    static char name[] = "test_resources";
    static char* argv[] = { name, nullptr };
    if (!QCoreApplication::instance()) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        own = std::make_unique<QGuiApplication>(argc, argv);
    }
    const bool withText = qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
    ASSERT_TRUE(QDir(artwork()).exists()) << qPrintable(artwork());

    Sheet sheet(1640);
    sheet.heading(QStringLiteral("Skins (store/skin01.jpg .. skin07.jpg)"));
    for (int i = 1; i <= 7; ++i) {
        const QImage skin = load(numbered("store/skin%1.jpg", i));
        sheet.add(skin.scaledToWidth(370, Qt::SmoothTransformation), numbered("skin%1", i));
    }
    sheet.heading(QStringLiteral("Mode tabs, spiral strip and panel tiles"));
    sheet.add(withoutKey(load(QStringLiteral("store/Tab_State_1")), 2), QStringLiteral("Tab_State_1"),
        QColor(0x10, 0x18, 0x30));
    sheet.add(withoutKey(load(QStringLiteral("store/Tab_State_2")), 2), QStringLiteral("Tab_State_2"),
        QColor(0x10, 0x18, 0x30));
    sheet.add(tiled(load(QStringLiteral("glyphs/SPIRAL_V.bmp")), QSize(20, 160)), QStringLiteral("SPIRAL_V"));
    sheet.add(tiled(load(QStringLiteral("glyphs/SPIRAL_H.bmp")), QSize(160, 20)), QStringLiteral("SPIRAL_H"));
    sheet.add(tiled(load(QStringLiteral("glyphs/HATCH_NIGHT.bmp")), QSize(200, 140)), QStringLiteral("HATCH_NIGHT"));
    sheet.add(tiled(load(QStringLiteral("glyphs/HATCH_PAPER.bmp")), QSize(200, 140)), QStringLiteral("HATCH_PAPER"));
    sheet.add(load(QStringLiteral("icons/diary.png")), QStringLiteral("diary.png"));
    sheet.add(load(QStringLiteral("icons/diary-48.png")), QStringLiteral("diary-48.png"));
    sheet.add(load(QStringLiteral("glyphs/DIARYBOOK.png")), QStringLiteral("DIARYBOOK"), QColor(0x10, 0x18, 0x30));

    sheet.heading(QStringLiteral("Mood pictures (mood/mood00.png .. mood16.png), as shown and as listed at 22 x 22"));
    for (int i = 0; i < 17; ++i)
        sheet.add(load(numbered("mood/mood%1.png", i)), QString::number(i));
    for (int i = 0; i < 17; ++i)
        sheet.add(load(numbered("mood/mood%1.png", i)).scaled(22, 22, Qt::KeepAspectRatio, Qt::SmoothTransformation),
            QString::number(i));

    sheet.heading(QStringLiteral("Zodiac pictures (zodiac/zodiac00.png .. zodiac11.png), doubled"));
    const char* const signs[] = { "Capricorn", "Aquarius", "Pisces", "Aries", "Taurus", "Gemini", "Cancer", "Leo",
        "Virgo", "Libra", "Scorpio", "Sagittarius" };
    for (int i = 0; i < 12; ++i)
        sheet.add(load(numbered("zodiac/zodiac%1.png", i)).scaled(76, 70), QLatin1String(signs[i]));

    const QStringList glyphs
        = QDir(artwork(QStringLiteral("glyphs"))).entryList({ QStringLiteral("*.bmp") }, QDir::Files);
    for (const auto& ground : { QColor(0xE8, 0xE6, 0xDE), QColor(0x0B, 0x14, 0x28) }) {
        sheet.heading(ground.lightness() > 128 ? QStringLiteral("Glyphs (glyphs/*.bmp), doubled, on a light face")
                                               : QStringLiteral("The same glyphs on a dark skin"));
        for (const QString& file : glyphs)
            if (!file.startsWith(QLatin1String("HATCH")) && !file.startsWith(QLatin1String("SPIRAL")))
                sheet.add(withoutKey(load(QStringLiteral("glyphs/") + file), 2), QFileInfo(file).baseName(), ground);
    }
    sheet.heading(QStringLiteral("Pictures with alpha and cursors (glyphs/*.png), doubled"));
    const QStringList pictures
        = QDir(artwork(QStringLiteral("glyphs"))).entryList({ QStringLiteral("*.png") }, QDir::Files);
    for (const QString& file : pictures)
        if (file != QLatin1String("DIARYBOOK.png"))
            sheet.add(load(QStringLiteral("glyphs/") + file).scaled(load(QStringLiteral("glyphs/") + file).size() * 2),
                QFileInfo(file).baseName());

    const QImage out = sheet.render(withText);
    // Beside the test binary, in the build folder, wherever the test is run from.
    const QString target = qEnvironmentVariableIsSet("DIARY_CONTACT_SHEET")
        ? qEnvironmentVariable("DIARY_CONTACT_SHEET")
        : QDir(QCoreApplication::applicationDirPath()).absoluteFilePath(QStringLiteral("artwork_contact_sheet.png"));
    ASSERT_TRUE(out.save(target)) << qPrintable(target);
    std::printf("artwork contact sheet: %s\n", qPrintable(target));
}

} // namespace
