#include "app/helpers.h"

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

QString S(const char* text)
{
    return QString::fromUtf8(text);
}

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
        reg = std::make_unique<TRegistry>();
        ASSERT_TRUE(reg->OpenKey(S("\\SOFTWARE\\Test\\Diary"), true));
        font.SetName(S("Arial"));
        font.SetColor(clNavy);
        font.SetCharset(ANSI_CHARSET);
        font.SetSize(14);
        font.SetStyle(fsItalic);
        font.SetPitch(fpFixed);
    }
    void TearDown() override
    {
        reg.reset();
        SetRegistryFileForTesting(QString());
    }
    void ExpectUnchanged(const char* why)
    {
        EXPECT_EQ(font.Name(), S("Arial")) << why;
        EXPECT_EQ(font.Color(), clNavy) << why;
        EXPECT_EQ(font.Charset(), ANSI_CHARSET) << why;
        EXPECT_EQ(font.Size(), 14) << why;
        EXPECT_EQ(font.Style(), TFontStyles(fsItalic)) << why;
    }

    QTemporaryDir dir;
    std::unique_ptr<TRegistry> reg;
    TFont font;
};

TEST_F(FontRegistry, SavedFontReadsBack)
{
    TFont saved;
    saved.SetName(S("Courier New"));
    saved.SetColor(clBtnFace);
    saved.SetCharset(204);
    saved.SetSize(11);
    saved.SetStyle(fsBold | fsUnderline);
    SaveFontToRegistry(*reg, saved);

    EXPECT_EQ(reg->ReadString(S("FontName")), S("Courier New"));
    EXPECT_EQ(reg->ReadInteger(S("FontColor")), clBtnFace) << "system colours are stored as their codes";
    EXPECT_EQ(reg->ReadInteger(S("FontCharset")), 204);
    EXPECT_EQ(reg->ReadInteger(S("FontSize")), 11);
    EXPECT_EQ(reg->ReadInteger(S("FontStyle")), 5);

    LoadFontFromRegistry(*reg, font);
    EXPECT_EQ(font.Name(), S("Courier New"));
    EXPECT_EQ(font.Color(), clBtnFace);
    EXPECT_EQ(font.Charset(), 204);
    EXPECT_EQ(font.Size(), 11);
    EXPECT_EQ(font.Style(), fsBold | fsUnderline);
    EXPECT_EQ(font.Pitch(), fpDefault);
}

TEST_F(FontRegistry, StyleKeepsOnlyTheFourLowBits)
{
    reg->WriteInteger(S("FontStyle"), 21);
    LoadFontFromRegistry(*reg, font);
    EXPECT_EQ(font.Style(), fsBold | fsUnderline);
    reg->WriteInteger(S("FontStyle"), -1);
    LoadFontFromRegistry(*reg, font);
    EXPECT_EQ(font.Style(), fsBold | fsItalic | fsUnderline | fsStrikeOut);
}

TEST_F(FontRegistry, MissingWrongKindOrUnusableValuesKeepTheFont)
{
    EXPECT_NO_THROW(LoadFontFromRegistry(*reg, font));
    ExpectUnchanged("nothing stored");
    EXPECT_EQ(font.Pitch(), fpDefault) << "the pitch is reset in any case";

    reg->WriteInteger(S("FontName"), 3);
    reg->WriteString(S("FontColor"), S("red"));
    reg->WriteString(S("FontCharset"), S("1"));
    reg->WriteBinaryData(S("FontSize"), QByteArray("\x0a\0\0\0", 4));
    reg->WriteString(S("FontStyle"), S("1"));
    EXPECT_NO_THROW(LoadFontFromRegistry(*reg, font));
    ExpectUnchanged("every value of another kind");

    reg->WriteString(S("FontName"), S("  "));
    reg->WriteInteger(S("FontCharset"), 256);
    reg->WriteInteger(S("FontSize"), 1000000);
    LoadFontFromRegistry(*reg, font);
    ExpectUnchanged("blank name, charset beyond a byte, absurd size");
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
