// The rich edit control as the diary's windows use it: lines, selection
// positions, character and paragraph attributes, search, the clipboard,
// change tracking, loading and saving, the body helpers and printing.
#include "rtf_test_support.h"

#include "platform/core/streams.h"
#include "platform/gui/forms.h"
#include "platform/gui/services.h"
#include "platform/richtext/rich_edit.h"
#include "platform/richtext/rich_lines.h"
#include "support/form_fixture.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <QTextEdit>
#include <QtTest/QTest>

#include <vector>

namespace {

class RichEdit : public FormFixture {
protected:
    void SetUp() override
    {
        FormFixture::SetUp();
        MakeForm(400, 300, clBtnFace);
        edit = New();
        form->Show();
        QApplication::processEvents();
    }

    void TearDown() override
    {
        const QStringList left = errors;
        FormFixture::TearDown();
        EXPECT_TRUE(left.isEmpty()) << qPrintable(left.join(u'\n'));
    }

    TRichEdit* New()
    {
        auto* e = new TRichEdit(form);
        e->SetParent(form);
        e->SetBounds(0, 0, 380, 200);
        return e;
    }

    void Type(TRichEdit* e, const char* text) { QTest::keyClicks(e->Handle(), QString::fromLatin1(text)); }

    // An edit holding "Title" (Times New Roman 16, bold, centred) over
    // "red text" in Arial 10 with "red" red.
    void LoadSample(TRichEdit* e)
    {
        e->LoadRtf(
            "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}{\\f1\\fnil\\fcharset0 Times New Roman;}}"
            "{\\colortbl ;\\red255\\green0\\blue0;}\\viewkind4\\uc1\\pard\\qc\\f1\\fs32\\b Title\\par"
            "\\pard\\f0\\fs20\\b0\\cf1 red\\cf0  text\\par}");
    }

    // The character format's colour, not the fixture's colour helper.
    static QRgb Rgb(const QTextCharFormat& f) { return ::Rgb(f); }

    TRichEdit* edit = nullptr;
};

} // namespace

TEST_F(RichEdit, LinesCountInsertAddAndDeleteLikeTheClassLibrary)
{
    TRichEditStrings& lines = *edit->Lines();
    EXPECT_EQ(lines.Count(), 0);
    lines.Add(QStringLiteral("one"));
    EXPECT_EQ(edit->Text(), QStringLiteral("one\r\n")) << "a line is added with its break";
    EXPECT_EQ(lines.Count(), 1) << "the empty line after a final break is no line";
    lines.Add(QStringLiteral("two"));
    lines.Insert(0, QStringLiteral("zero"));
    EXPECT_EQ(
        lines.ToStringList(), QStringList({ QStringLiteral("zero"), QStringLiteral("one"), QStringLiteral("two") }));
    EXPECT_EQ(lines.Text(), QStringLiteral("zero\r\none\r\ntwo\r\n"));
    lines.Delete(1);
    lines.SetString(1, QStringLiteral("TWO"));
    EXPECT_EQ(edit->Text(), QStringLiteral("zero\r\nTWO\r\n"));
    EXPECT_THROW(lines.Strings(2), EListError);

    edit->SetText(QStringLiteral("a\r\nb"));
    lines.Add(QStringLiteral("c"));
    EXPECT_EQ(edit->Text(), QStringLiteral("a\r\nb\r\nc")) << "past the end: a break, then the line";
    lines.Delete(2);
    EXPECT_EQ(edit->Text(), QStringLiteral("a\r\nb")) << "the last line goes with the break before it";
    EXPECT_EQ(lines.Count(), 2);
    EXPECT_EQ(lines[1], QStringLiteral("b"));

    // The heading a printout puts first takes the format found there.
    LoadSample(edit);
    lines.Insert(0, QStringLiteral("1/2/2024 - Day\r\n"));
    EXPECT_EQ(lines[0], QStringLiteral("1/2/2024 - Day"));
    EXPECT_EQ(lines[1], QString()) << "an empty line between heading and body";
    EXPECT_EQ(FormatFontName(FormatAt(*edit->Document(), 0)), QStringLiteral("Times New Roman"));
}

TEST_F(RichEdit, SelectionCountsOneCharacterPerBreakWhileTextSpellsCrLf)
{
    // The spell checker's probe: a rich edit that needs its fix.
    edit->Clear();
    edit->SetSelText(QStringLiteral("Foo\r\nBar"));
    EXPECT_EQ(edit->SelStart(), 7);
    EXPECT_EQ(edit->Text(), QStringLiteral("Foo\r\nBar"));
    EXPECT_EQ(edit->TextLength(), 7);
    edit->SetSelStart(4);
    edit->SetSelLength(3);
    EXPECT_EQ(edit->SelText(), QStringLiteral("Bar"));
    edit->SelectAll();
    EXPECT_EQ(edit->SelStart(), 0);
    EXPECT_EQ(edit->SelLength(), 7);
    EXPECT_EQ(edit->SelText(), QStringLiteral("Foo\r\nBar"));
    edit->SetSelStart(99);
    EXPECT_EQ(edit->SelStart(), 7);
    edit->SetSelStart(2);
    edit->SetSelLength(99);
    EXPECT_EQ(edit->SelLength(), 5);
}

TEST_F(RichEdit, SelAttributesFormatTheSelectionOrWhatIsTypedNext)
{
    LoadSample(edit);
    TTextAttributes* sel = edit->SelAttributes();
    edit->SetSelStart(6);
    edit->SetSelLength(3);
    EXPECT_EQ(edit->SelText(), QStringLiteral("red"));
    EXPECT_EQ(sel->Name(), QStringLiteral("Arial"));
    EXPECT_EQ(sel->Size(), 10);
    EXPECT_EQ(sel->Color(), clRed);
    EXPECT_EQ(sel->Style(), TFontStyles());
    EXPECT_EQ(sel->Charset(), ANSI_CHARSET);
    EXPECT_FALSE(edit->Modified());

    sel->SetStyle(sel->Style() | fsBold | fsStrikeOut);
    sel->SetSize(sel->Size() + 1);
    sel->SetColor(0x00FF00);
    sel->SetName(QStringLiteral("Courier New"));
    EXPECT_TRUE(edit->Modified()) << "formatting is an edit";
    const QTextCharFormat red = FormatAt(*edit->Document(), 7);
    EXPECT_TRUE(Bold(red) && red.fontStrikeOut());
    EXPECT_EQ(red.fontPointSize(), 11.0);
    EXPECT_EQ(Rgb(red), 0x00FF00u);
    EXPECT_EQ(FormatFontName(red), QStringLiteral("Courier New"));
    EXPECT_FALSE(Bold(FormatAt(*edit->Document(), 10))) << "outside the selection nothing changes";
    sel->SetStyle(sel->Style() - fsBold);
    EXPECT_EQ(sel->Style(), TFontStyles(fsStrikeOut));

    edit->Paragraph()->SetAlignment(taRightJustify);
    EXPECT_EQ(AlignOf(*edit->Document(), 1), Qt::AlignRight);
    EXPECT_EQ(AlignOf(*edit->Document(), 0), Qt::AlignHCenter);
    edit->SetSelStart(2);
    EXPECT_EQ(edit->Paragraph()->Alignment(), taCenter);

    // Without a selection the attributes are those of the next typing.
    edit->SetSelStart(edit->TextLength());
    sel->SetStyle(TFontStyles(fsItalic));
    sel->SetColor(clNavy);
    Type(edit, "!");
    const QTextCharFormat typed = FormatAt(*edit->Document(), edit->TextLength() - 1);
    EXPECT_TRUE(typed.fontItalic());
    EXPECT_EQ(Rgb(typed), 0x000080u);
    EXPECT_EQ(edit->Lines()->Strings(1), QStringLiteral("red text!"));
}

TEST_F(RichEdit, DefaultAttributesFormatAnEmptyControlAndPlainText)
{
    TFont font;
    font.SetName(QStringLiteral("Courier New"));
    font.SetSize(12);
    font.SetStyle(fsBold);
    font.SetColor(clMaroon);
    edit->DefAttributes()->Assign(font);
    EXPECT_EQ(edit->SelAttributes()->Name(), QStringLiteral("Courier New"));
    EXPECT_EQ(edit->SelAttributes()->Color(), clMaroon);
    Type(edit, "typed");
    QTextCharFormat f = FormatAt(*edit->Document(), 0);
    EXPECT_EQ(FormatFontName(f), QStringLiteral("Courier New"));
    EXPECT_EQ(f.fontPointSize(), 12.0);
    EXPECT_TRUE(Bold(f));
    EXPECT_EQ(Rgb(f), 0x800000u);

    // A control with text keeps its formatting; text set in code takes the default.
    edit->DefAttributes()->SetSize(20);
    EXPECT_EQ(FormatAt(*edit->Document(), 0).fontPointSize(), 12.0);
    edit->SetText(QStringLiteral("plain"));
    EXPECT_EQ(FormatAt(*edit->Document(), 0).fontPointSize(), 20.0);

    // The control's font is its default format; the window text colour is automatic.
    edit->Font()->SetName(QStringLiteral("Times New Roman"));
    EXPECT_EQ(edit->DefAttributes()->Name(), QStringLiteral("Times New Roman"));
    EXPECT_EQ(edit->DefAttributes()->Color(), clWindowText);
    edit->Clear();
    EXPECT_EQ(edit->SelAttributes()->Name(), QStringLiteral("Times New Roman"));
}

TEST_F(RichEdit, FindTextIgnoresCaseWithinItsRange)
{
    edit->SetText(QStringLiteral("The cat sat.\r\nCATALOG"));
    const int all = int(edit->Text().size());
    EXPECT_EQ(edit->FindText(QStringLiteral("cat"), 0, all, 0), 4);
    EXPECT_EQ(edit->FindText(QStringLiteral("cat"), 5, all, 0), 13) << "breaks count one";
    EXPECT_EQ(edit->FindText(QStringLiteral("cat"), 5, all, stMatchCase), -1);
    EXPECT_EQ(edit->FindText(QStringLiteral("cat"), 5, all, stWholeWord), -1);
    EXPECT_EQ(edit->FindText(QStringLiteral("CAT"), 0, all, stWholeWord | stMatchCase), -1);
    EXPECT_EQ(edit->FindText(QStringLiteral("sat"), 0, 10, 0), -1) << "the match must end inside the range";
    EXPECT_EQ(edit->FindText(QStringLiteral(".\r\ncat"), 0, -1, 0), 11);
    EXPECT_EQ(edit->FindText(QString(), 0, all, 0), -1);
}

TEST_F(RichEdit, ClipboardCarriesRichTextAndPlainTextTakesTheTypingFormat)
{
    LoadSample(edit);
    edit->SelectAll();
    edit->CopyToClipboard();
    EXPECT_EQ(Clipboard().AsText(), QStringLiteral("Title\r\nred text"));
    TRichEdit* target = New();
    target->PasteFromClipboard();
    EXPECT_EQ(target->Text(), QStringLiteral("Title\r\nred text"));
    EXPECT_EQ(AlignOf(*target->Document(), 0), Qt::AlignHCenter);
    EXPECT_EQ(
        FormatFontName(FormatOf(*target->Document(), QStringLiteral("Title"))), QStringLiteral("Times New Roman"));
    EXPECT_EQ(Rgb(FormatOf(*target->Document(), QStringLiteral("red"))), 0xFF0000u);
    // Pasting at the end appends, as the export collects its days.
    target->PasteFromClipboard();
    EXPECT_EQ(target->Lines()->Count(), 3);

    // The export's heading: plain text pasted at the start in the insertion
    // attributes, in the font of the body's first character.
    Clipboard().SetAsText(QStringLiteral("\r\n1/2/2024 - Day\r\n\r\n"));
    edit->SetSelStart(0);
    edit->SelAttributes()->SetStyle(edit->SelAttributes()->Style() | fsBold | fsUnderline);
    edit->SelAttributes()->SetSize(14);
    edit->PasteFromClipboard();
    EXPECT_EQ(edit->Lines()->Strings(1), QStringLiteral("1/2/2024 - Day"));
    const QTextCharFormat heading = FormatOf(*edit->Document(), QStringLiteral("Day"));
    EXPECT_TRUE(Bold(heading) && heading.fontUnderline());
    EXPECT_EQ(heading.fontPointSize(), 14.0);
    EXPECT_EQ(FormatFontName(heading), QStringLiteral("Times New Roman"));

    // Keys go through the same paths; read-only controls take no paste or cut.
    target->SetSelStart(0);
    target->SetSelLength(5);
    QTest::keyClick(target->Handle(), Qt::Key_X, Qt::ControlModifier);
    EXPECT_TRUE(target->Text().startsWith(QStringLiteral("\r\nred")));
    EXPECT_EQ(Clipboard().AsText(), QStringLiteral("Title"));
    target->SetReadOnly(true);
    target->SetSelStart(0);
    QTest::keyClick(target->Handle(), Qt::Key_V, Qt::ControlModifier);
    target->CutToClipboard();
    Type(target, "typed");
    EXPECT_TRUE(target->Text().startsWith(QStringLiteral("\r\nred")));
    target->SetSelText(QStringLiteral("code "));
    EXPECT_TRUE(target->Text().startsWith(QStringLiteral("code \r\n"))) << "code still edits a read-only control";
}

TEST_F(RichEdit, ModifiedAndEventsFollowTheUsersEdits)
{
    int changes = 0, selections = 0;
    edit->OnChange = [&](TObject* sender) {
        EXPECT_EQ(sender, edit);
        ++changes;
    };
    edit->OnSelectionChange = [&](TObject*) { ++selections; };
    LoadSample(edit);
    EXPECT_EQ(changes, 1);
    EXPECT_FALSE(edit->Modified()) << "loading is no edit";
    edit->SetSelStart(6);
    EXPECT_GE(selections, 1);
    edit->SetSelLength(3);
    edit->SelAttributes()->SetStyle(TFontStyles(fsBold));
    EXPECT_TRUE(edit->Modified());
    EXPECT_EQ(changes, 1) << "formatting changes no text";
    edit->SetModified(false);
    edit->SetSelStart(0);
    Type(edit, "x");
    EXPECT_TRUE(edit->Modified());
    EXPECT_EQ(changes, 2);
    EXPECT_EQ(edit->Text(), QStringLiteral("xTitle\r\nred text"));
    EXPECT_TRUE(edit->CanUndo());
    edit->Undo();
    EXPECT_EQ(edit->Text(), QStringLiteral("Title\r\nred text"));
}

TEST_F(RichEdit, MaxLengthLimitsWhatTheUserAddsButNeverALoad)
{
    edit->SetMaxLength(5);
    Type(edit, "abcdefgh");
    EXPECT_EQ(edit->Text(), QStringLiteral("abcde"));
    edit->SetSelStart(2);
    Clipboard().SetAsText(QStringLiteral("XYZ"));
    edit->PasteFromClipboard();
    EXPECT_EQ(edit->Text(), QStringLiteral("abcde"));
    edit->SetText(QStringLiteral("123456789"));
    EXPECT_EQ(edit->Text(), QStringLiteral("123456789"));
    edit->SelectAll();
    edit->SelAttributes()->SetStyle(TFontStyles(fsBold));
    EXPECT_EQ(edit->Text(), QStringLiteral("123456789")) << "formatting an over-long text cuts nothing";
    edit->SetSelStart(9);
    Type(edit, "0");
    EXPECT_EQ(edit->Text(), QStringLiteral("123456789"));
}

TEST_F(RichEdit, LinesLoadAndSaveRtfOrPlainText)
{
    LoadSample(edit);
    TMemoryStream rtf;
    edit->Lines()->SaveToStream(rtf);
    EXPECT_TRUE(rtf.Bytes().startsWith("{\\rtf1\\ansi\\ansicpg1252\\deff0"));
    TRichEdit* other = New();
    rtf.SetPosition(0);
    other->Lines()->LoadFromStream(rtf);
    EXPECT_EQ(other->Text(), edit->Text());
    EXPECT_TRUE(Bold(FormatOf(*other->Document(), QStringLiteral("Title"))));

    // Bytes without the header load as plain text, UTF-8 or ANSI.
    TMemoryStream utf8(QByteArray("caf\xC3\xA9\r\nline"));
    other->Lines()->LoadFromStream(utf8);
    EXPECT_EQ(other->Text(), QStringLiteral("café\r\nline"));
    TMemoryStream ansi(QByteArray("caf\xE9"));
    other->Lines()->LoadFromStream(ansi);
    EXPECT_EQ(other->Text(), QStringLiteral("café"));

    // PlainText: RTF is text, and text is saved.
    other->SetPlainText(true);
    rtf.SetPosition(0);
    other->Lines()->LoadFromStream(rtf);
    EXPECT_TRUE(other->Text().startsWith(QStringLiteral("{\\rtf1")));
    other->SetText(QStringLiteral("Привет\r\nworld"));
    TMemoryStream text;
    other->Lines()->SaveToStream(text);
    EXPECT_EQ(text.Bytes(), QStringLiteral("Привет\r\nworld").toUtf8());

    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("entry.rtf"));
    edit->Lines()->SaveToFile(file);
    other->SetPlainText(false);
    other->Lines()->LoadFromFile(file);
    EXPECT_EQ(other->Text(), edit->Text());
    EXPECT_EQ(Rgb(FormatOf(*other->Document(), QStringLiteral("red"))), 0xFF0000u);
    EXPECT_THROW(other->Lines()->LoadFromFile(dir.filePath(QStringLiteral("missing.rtf"))), EFOpenError);
}

TEST_F(RichEdit, BodyHelpersMoveRichTextThroughOneString)
{
    LoadSample(edit);
    const QString body = RichLinesToRtf(edit->Lines());
    EXPECT_TRUE(body.startsWith(QStringLiteral("{\\rtf1")));
    EXPECT_TRUE(body.endsWith(QStringLiteral("}\r\n")));
    EXPECT_FALSE(body.contains(QRegularExpression(QStringLiteral("[^\\r]\\n"))));
    TRichEdit* other = New();
    RtfToRichLines(body, other->Lines());
    EXPECT_EQ(other->Text(), QStringLiteral("Title\r\nred text"));
    EXPECT_EQ(AlignOf(*other->Document(), 0), Qt::AlignHCenter);
    EXPECT_EQ(FormatOf(*other->Document(), QStringLiteral("Title")).fontPointSize(), 16.0);
    EXPECT_EQ(RichLinesToRtf(other->Lines()), body);
    EXPECT_FALSE(other->Modified());

    RtfToRichLines(QStringLiteral("Plain body, Привет\r\nsecond"), other->Lines());
    EXPECT_EQ(other->Text(), QStringLiteral("Plain body, Привет\r\nsecond")) << "no line added, nothing lost";
    RtfToRichLines(QString(), other->Lines());
    EXPECT_EQ(other->Lines()->Count(), 0);
}

// A body's text read straight from the string is what the rich edit shows
// after RtfToRichLines, so a search needs no control: the same characters,
// breaks as the edit counts them, case folded by the same find.
TEST_F(RichEdit, BodyTextReadWithoutTheControlIsWhatTheRichEditFinds)
{
    struct Needle {
        const char16_t* text;
        bool found;
    };
    struct Case {
        const char16_t* body;
        std::vector<Needle> needles;
    };
    const QString header = QStringLiteral("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}"
                                          "{\\f1\\fswiss\\fcharset204 Arial Cyr;}{\\f2\\ftech\\fcharset2 Symbol;}}"
                                          "{\\colortbl ;\\red255\\green0\\blue0;}{\\*\\generator Msftedit 5.41;}"
                                          "{\\stylesheet{\\s0 Normal style;}}\\viewkind4\\uc1\\pard\\f0\\fs20 ");
    const Case cases[] = {
        // Formatting runs and paragraphs; a break in the needle matches \par and \line.
        { u"Wal\\b ked\\b0  \\cf1 home\\cf0\\par Second\\par}",
            { { u"walked home", true }, { u"HOME\r\nsecond", true }, { u"second\r\n", false } } },
        { u"One\\line two\\tab three\\par}", { { u"one\ntwo\tthree", true }, { u"two three", false } } },
        // Unicode escapes with their fallbacks skipped, non-ASCII case folding.
        { u"\\uc1 caf\\u233?\\par \\u1055?\\u1088?\\u1080?\\u1074?\\u1077?\\u1090? x \\u-10179?\\u-8704? y\\par}",
            { { u"CAFÉ\nпривет", true }, { u"caf?", false }, { u"x 😀 y", true } } },
        // Hex escapes in the font's code page and in the document's.
        { u"\\f1 \\'cf\\'f0\\'e8\\'e2\\'e5\\'f2\\f0  \\'e9t\\'e9 Stra\\'dfe \\f2 \\'61\\'62\\f0  end\\par}",
            { { u"привет ÉTÉ STRAßE", true }, { u"Αβ end", true }, { u"ab end", false } } },
        // Links show their result, never their instruction.
        { u"{\\field{\\*\\fldinst{HYPERLINK \"http://example.com\"}}{\\fldrslt{\\ul\\cf1 Example link}}} after\\par}",
            { { u"example link after", true }, { u"http", false } } },
        // Tables, hidden text and the hidden destinations.
        { u"\\trowd\\cellx1000\\cellx2000 A1\\cell B1\\cell\\row A2\\cell B2\\cell\\row\\pard after\\par}",
            { { u"b1", true }, { u"B1\tA2", false } } },
        { u"Shown \\v hidden\\v0 text {\\*\\unknown secret}\\par}",
            { { u"shown text", true }, { u"hidden", false }, { u"secret", false }, { u"arial", false },
                { u"msftedit", false }, { u"normal style", false }, { u"255", false } } },
    };
    // Bodies that are not RTF load as the plain text they are.
    const Case plain[] = {
        { u"Plain first line\r\nSecond ÄÖÜ line\rthird\nfourth",
            { { u"line\nsecond äöü", true }, { u"third\r\nFOURTH", true } } },
        { u"Привет, мир\ttab", { { u"ПРИВЕТ", true }, { u"мир tab", false } } },
    };
    auto check = [&](const QString& body, const std::vector<Needle>& needles) {
        RtfToRichLines(body, edit->Lines());
        const QString text = RtfToRichText(body);
        EXPECT_EQ(text, edit->Document()->toRawText()) << qPrintable(body);
        for (const Needle& n : needles) {
            const QString needle = QString::fromUtf16(n.text);
            const int position = edit->FindText(needle, 0, -1, 0);
            EXPECT_EQ(FindRichText(text, needle, 0, -1, 0), position)
                << qPrintable(body) << " / " << qPrintable(needle);
            EXPECT_EQ(position >= 0, n.found) << qPrintable(body) << " / " << qPrintable(needle);
        }
    };
    for (const Case& c : cases)
        check(header + QString::fromUtf16(c.body), c.needles);
    for (const Case& c : plain)
        check(QString::fromUtf16(c.body), c.needles);
}

// A body put into a bare document shows what the rich edit shows after
// RtfToRichLines with the same font: text, runs, paragraphs, the default
// font runs without a font take, and an empty body's format.
TEST_F(RichEdit, BodyDocumentWithoutTheControlIsWhatTheRichEditShows)
{
    const QString bodies[] = {
        QStringLiteral("{\\rtf1\\ansi{\\fonttbl{\\f0\\fnil Times New Roman;}}{\\colortbl ;\\red255\\green0\\blue0;}"
                       "\\pard\\qc\\f0\\fs40 Big \\b\\cf1 red\\par\\pard\\b0\\cf0 left\\par}"),
        QStringLiteral("{\\rtf1\\ansi No font table, \\i italic\\par}"),
        QStringLiteral("{\\rtf1\\ansi}"),
        QStringLiteral("Plain first\r\nsecond, \u00C4\rthird"),
        QString(),
    };
    TFont plainFont;
    plainFont.SetName(QStringLiteral("Arial"));
    plainFont.SetSize(10);
    TFont fancyFont;
    fancyFont.SetName(QStringLiteral("Courier New"));
    fancyFont.SetSize(13);
    fancyFont.SetStyle(fsBold | fsItalic);
    fancyFont.SetColor(clBlue);
    for (const TFont* font : { &plainFont, &fancyFont }) {
        edit->SetFont(*font);
        for (const QString& body : bodies) {
            RtfToRichLines(body, edit->Lines());
            QTextDocument doc;
            RtfToDocument(body, *font, doc);
            const QTextDocument& shown = *edit->Document();
            EXPECT_EQ(doc.toRawText(), shown.toRawText()) << qPrintable(body);
            EXPECT_EQ(doc.defaultFont(), shown.defaultFont()) << qPrintable(body);
            EXPECT_EQ(WriteRtf(doc), WriteRtf(shown)) << qPrintable(body);
            for (QTextBlock a = doc.begin(), b = shown.begin(); a.isValid() && b.isValid(); a = a.next(), b = b.next())
                EXPECT_EQ(a.charFormat(), b.charFormat()) << qPrintable(body);
        }
    }
}

TEST_F(RichEdit, PrintBreaksPagesInsideThePageRect)
{
    QTemporaryDir dir;
    const QString pdfName = dir.filePath(QStringLiteral("print.pdf"));
    auto printer = TPrinterService::CreatePdf(pdfName, 300);
    SetPrinter(printer.get());
    const auto pages = [&] {
        QFile file(pdfName);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        const QByteArray pdf = file.readAll();
        int n = 0;
        for (qsizetype at = pdf.indexOf("/Type /Page"); at >= 0; at = pdf.indexOf("/Type /Page", at + 1))
            n += pdf.mid(at + 11, 1) != "s";
        return n;
    };
    QStringList lines;
    for (int i = 0; i < 120; ++i)
        lines << QStringLiteral("Line %1 of a long entry").arg(i);
    edit->SetText(lines.join(QStringLiteral("\r\n")));
    edit->SelectAll();
    edit->SelAttributes()->SetSize(12);

    edit->Print(QStringLiteral("Diary"));
    const int fullPages = pages();
    EXPECT_GE(fullPages, 2);
    EXPECT_LE(fullPages, 4);
    const QSize page = printer->PageSize();
    edit->SetPageRect(Rect(200, 300, page.width() - 400, page.height() / 2));
    edit->Print(QString());
    EXPECT_GT(pages(), fullPages) << "a smaller page rectangle takes more pages";
    EXPECT_EQ(edit->SelLength(), edit->TextLength()) << "printing leaves the control as it was";

    SetPrinter(nullptr);
    auto broken = TPrinterService::CreatePdf(QString());
    SetPrinter(broken.get());
    EXPECT_THROW(edit->Print(QStringLiteral("x")), EPrinter);
    EXPECT_FALSE(broken->Printing());
    SetPrinter(nullptr);
}

TEST_F(RichEdit, InsertAndDeleteWithShiftOrCtrlCarryTheClipboardThroughTheControl)
{
    struct Case {
        Qt::Key key;
        Qt::KeyboardModifiers mods;
        const char* text; // after the key, with "abc" of "abcdef" selected
        const char* clipboard;
    };
    const Case cases[] = {
        { Qt::Key_Insert, Qt::ControlModifier, "abcdef", "abc" }, // copy
        { Qt::Key_Delete, Qt::ShiftModifier, "def", "abc" }, // cut
        { Qt::Key_Insert, Qt::ShiftModifier, "XYdef", "XY" }, // paste
    };
    for (const Case& c : cases) {
        edit->SetText(QStringLiteral("abcdef"));
        edit->SetSelStart(0);
        edit->SetSelLength(3);
        Clipboard().SetAsText(QStringLiteral("XY"));
        QTest::keyClick(edit->Handle(), c.key, c.mods);
        EXPECT_EQ(edit->Text(), QString::fromLatin1(c.text)) << c.text;
        EXPECT_EQ(Clipboard().AsText(), QString::fromLatin1(c.clipboard)) << c.text;
    }
}
