#include "app/helpers.h"
#include "platform/core/sysutils.h"

#include "engine/reg_values.h"

#include "platform/core/registry.h"
#include "platform/gui/services.h"
#include "platform/richtext/rich_edit.h"

#include <QFile>
#include <QTemporaryDir>

#include <QPageSize>
#include <QPrinter>

#include <gtest/gtest.h>

#include <memory>

namespace {

TEST(Helpers, EnsureTrailingBackslashAddsExactlyOneSeparator)
{
    EXPECT_EQ(EnsureTrailingBackslash(QString()), S("/"));
    EXPECT_EQ(EnsureTrailingBackslash(S("/home/a/")), S("/home/a/"));
    EXPECT_EQ(EnsureTrailingBackslash(S("C:\\Diary\\")), S("C:\\Diary\\")) << "a Windows separator counts";
    EXPECT_EQ(EnsureTrailingBackslash(S("/home/a")), S("/home/a/"));
}

TEST(Helpers, ChangeFileExtensionReplacesTheLastThreeCharacters)
{
    EXPECT_EQ(ChangeFileExtension(S("/d/My.dry"), S("bak")), S("/d/My.bak"));
    EXPECT_EQ(ChangeFileExtension(S("Diary"), S("dra")), S("Didra")) << "no dot: the last letters go";
    EXPECT_EQ(ChangeFileExtension(S("ab"), S("bak")), S("ab"));
    EXPECT_EQ(ChangeFileExtension(S("abc"), S("dry")), S("dry"));
    EXPECT_EQ(ChangeFileExtension(S("My.dry"), S("ba")), S("My.dry")) << "a short extension changes nothing";
}

TEST(Helpers, IsOutOfRangeIncludesBothBounds)
{
    EXPECT_FALSE(IsOutOfRange(1, 1, 7));
    EXPECT_FALSE(IsOutOfRange(7, 1, 7));
    EXPECT_TRUE(IsOutOfRange(0, 1, 7));
    EXPECT_TRUE(IsOutOfRange(8, 1, 7));
}

TEST(Helpers, SkinResourceNamePadsToTwoDigits)
{
    EXPECT_EQ(SkinResourceName(1), S("skin01.jpg"));
    EXPECT_EQ(SkinResourceName(7), S("skin07.jpg"));
    EXPECT_EQ(SkinResourceName(10), S("skin10.jpg"));
}

TEST(Helpers, ColorLuminanceWeighsChannelsAndResolvesSystemColours)
{
    EXPECT_NEAR(ColorLuminance(clRed), 50.0 * 255 / 25600, 1e-12);
    EXPECT_NEAR(ColorLuminance(clBlue), 20.0 * 255 / 25600, 1e-12);
    EXPECT_NEAR(ColorLuminance(clWhite), 0.996, 1e-3);
    EXPECT_DOUBLE_EQ(ColorLuminance(clBtnFace), ColorLuminance(ColorToRGB(clBtnFace)));
    EXPECT_GT(ColorLuminance(clWindow), 0.9) << "a system colour is not read as its code's bytes";
    EXPECT_DOUBLE_EQ(ColorLuminance(TColor(0x7F0000FF)), ColorLuminance(clRed)) << "the top byte is ignored";
}

class FontRegistry : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        SetRegistryFileForTesting(dir.filePath(S("registry.ini")));
        font.SetName(S("Courier New"));
        font.SetColor(clNavy);
        font.SetCharset(204);
        font.SetSize(14);
        font.SetStyle(fsItalic);
        font.SetPitch(fpFixed);
    }
    void TearDown() override
    {
        values.reset();
        SetRegistryFileForTesting(QString());
    }

    // The settings component as the main window has it, with the named
    // font values only (all five by default).
    TRegValues& Settings(QStringList names = {})
    {
        static const char* const all[][3] = { { "FontName", "s", "Arial" }, { "FontColor", "i", "0" },
            { "FontCharset", "i", "1" }, { "FontSize", "i", "10" }, { "FontStyle", "i", "0" } };
        values = std::make_unique<TRegValues>(nullptr);
        values->SetRootKey(rkHKEY_CURRENT_USER);
        values->SetKey(S("SOFTWARE\\Test\\Diary"));
        values->SetCanCreate(true);
        values->SetAutoLoad(true);
        for (const auto& v : all) {
            if (!names.isEmpty() && !names.contains(S(v[0])))
                continue;
            TRegValue* value = values->Items()->Add();
            value->SetValueType(v[1][0] == 's' ? vtString : vtInteger);
            value->SetDefValue(S(v[2]));
            value->SetAutoStore(true);
            value->SetValueName(S(v[0]));
        }
        return *values;
    }
    static TRegistry& OpenKey(TRegistry& r)
    {
        EXPECT_TRUE(r.OpenKey(S("\\SOFTWARE\\Test\\Diary"), true));
        return r;
    }

    QTemporaryDir dir;
    std::unique_ptr<TRegValues> values;
    TFont font;
};

TEST_F(FontRegistry, SavedFontIsWrittenAtOnceAndReadsBack)
{
    TFont saved;
    saved.SetName(S("Times New Roman"));
    saved.SetColor(clBtnFace);
    saved.SetCharset(238);
    saved.SetSize(11);
    saved.SetStyle(fsBold | fsUnderline);
    SaveFontToRegistry(Settings(), saved);

    // In the registry before the settings component goes away.
    TRegistry r;
    OpenKey(r);
    EXPECT_EQ(r.ReadString(S("FontName")), S("Times New Roman"));
    EXPECT_EQ(r.ReadInteger(S("FontColor")), clBtnFace) << "system colours are stored as their codes";
    EXPECT_EQ(r.ReadInteger(S("FontCharset")), 238);
    EXPECT_EQ(r.ReadInteger(S("FontSize")), 11);
    EXPECT_EQ(r.ReadInteger(S("FontStyle")), 5);

    // A later start reads it back, and the component keeps it at its end.
    LoadFontFromRegistry(Settings(), font);
    values.reset();
    EXPECT_EQ(font.Name(), S("Times New Roman"));
    EXPECT_EQ(font.Color(), clBtnFace);
    EXPECT_EQ(font.Charset(), 238);
    EXPECT_EQ(font.Size(), 11);
    EXPECT_EQ(font.Style(), fsBold | fsUnderline);
    EXPECT_EQ(font.Pitch(), fpDefault);
    EXPECT_EQ(OpenKey(r).ReadInteger(S("FontStyle")), 5);
}

TEST_F(FontRegistry, StyleKeepsOnlyTheFourLowBits)
{
    TRegValues& v = Settings();
    v.SetV(S("FontStyle"), 21);
    LoadFontFromRegistry(v, font);
    EXPECT_EQ(font.Style(), fsBold | fsUnderline);
    v.SetV(S("FontStyle"), -1);
    LoadFontFromRegistry(v, font);
    EXPECT_EQ(font.Style(), fsBold | fsItalic | fsUnderline | fsStrikeOut);
}

TEST_F(FontRegistry, AFirstStartGetsTheDefaultEntryFont)
{
    LoadFontFromRegistry(Settings(), font);
    EXPECT_EQ(font.Name(), S("Arial"));
    EXPECT_EQ(font.Color(), clBlack);
    EXPECT_EQ(font.Charset(), 1);
    EXPECT_EQ(font.Size(), 10);
    EXPECT_EQ(font.Style(), TFontStyles());
}

TEST_F(FontRegistry, UnreadableValuesFallBackOneByOne)
{
    // Values of another kind in the registry read as their defaults.
    {
        TRegistry r;
        OpenKey(r).WriteInteger(S("FontName"), 3);
        r.WriteString(S("FontSize"), S("big"));
    }
    LoadFontFromRegistry(Settings(), font);
    EXPECT_EQ(font.Name(), S("Arial"));
    EXPECT_EQ(font.Size(), 10);

    // Without a name and a colour, the font keeps its own.
    font.SetName(S("Courier New"));
    font.SetColor(clNavy);
    TRegValues& v = Settings({ S("FontCharset"), S("FontSize"), S("FontStyle") });
    v.SetV(S("FontCharset"), 256);
    v.SetV(S("FontSize"), 1000000);
    LoadFontFromRegistry(v, font);
    EXPECT_EQ(font.Name(), S("Courier New"));
    EXPECT_EQ(font.Color(), clNavy);
    EXPECT_EQ(font.Charset(), 1) << "beyond a byte";
    EXPECT_EQ(font.Size(), 10) << "an absurd size";

    // Without the style the error reaches the caller, the rest already set.
    font.SetSize(20);
    EXPECT_THROW(LoadFontFromRegistry(Settings({ S("FontSize") }), font), Exception);
    EXPECT_EQ(font.Size(), 10);
}

class PrintHelper : public ::testing::Test {
protected:
    void TearDown() override { SetPrinter(nullptr); }
    QTemporaryDir dir;
    TRichEdit edit { nullptr };
};

TEST_F(PrintHelper, PrintsInsideTheMarginsOfThePhysicalPage)
{
    const QString pdfName = dir.filePath(S("entry.pdf"));
    auto printer = TPrinterService::CreatePdf(pdfName, 300);
    SetPrinter(printer.get());
    edit.SetText(S("Dear diary,\r\ntoday was long."));
    PrintRichEdit(S("My entry"), edit);

    const QPoint off = printer->PhysicalOffset();
    const QSize page = printer->PhysicalPageSize();
    const int left = off.x() + 60;
    EXPECT_EQ(edit.PageRect().left(), left);
    EXPECT_EQ(edit.PageRect().top(), off.y() + 100);
    EXPECT_EQ(edit.PageRect().right() + 1, page.width() - 2 * left);
    EXPECT_EQ(edit.PageRect().bottom() + 1, page.height() - 2 * off.y() - 200);
    EXPECT_EQ(printer->Title, S("My entry"));
    QFile pdf(pdfName);
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    EXPECT_TRUE(pdf.readAll().startsWith("%PDF"));
}

TEST_F(PrintHelper, PageTooSmallForTheMarginsUsesThePrintableArea)
{
    auto printer = TPrinterService::CreatePdf(dir.filePath(S("tiny.pdf")), 300);
    printer->QtPrinter()->setPageSize(QPageSize(QSizeF(20, 20), QPageSize::Millimeter));
    SetPrinter(printer.get());
    edit.SetText(S("x"));
    PrintRichEdit(S("tiny"), edit);
    EXPECT_TRUE(edit.PageRect().isNull()) << "no inverted rectangle";
    EXPECT_TRUE(QFile::exists(dir.filePath(S("tiny.pdf"))));
}

} // namespace
