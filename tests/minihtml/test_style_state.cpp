// Attribute value rules and the formatting state: colours, sizes, font
// sizes, closing out of order, and what each style tag does.
#include "minihtml_fixture.h"

#include "minihtml/inline_elements.h"
#include "minihtml/style_state.h"

TEST(AttributeRules, HtmlToColor)
{
    EXPECT_EQ(HtmlToColor(QStringLiteral("#800080F")), 0x800080);
    EXPECT_EQ(HtmlToColor(QStringLiteral("#FF8000")), RGB(0xFF, 0x80, 0x00));
    EXPECT_EQ(HtmlToColor(QStringLiteral("#f1feef")), 0xEFFEF1);
    EXPECT_EQ(HtmlToColor(QStringLiteral("clred")), clRed);
    EXPECT_EQ(HtmlToColor(QStringLiteral("clBtnFace")), clBtnFace);
    EXPECT_EQ(HtmlToColor(QStringLiteral("clnone")), clNone);
    EXPECT_EQ(HtmlToColor(QStringLiteral("$FF")), 255);
    EXPECT_EQ(HtmlToColor(QStringLiteral("4210752")), 0x404040);
    // Failures are white; empty text and text with "<" are black.
    EXPECT_EQ(HtmlToColor(QStringLiteral("red")), clWhite);
    EXPECT_EQ(HtmlToColor(QStringLiteral("#12")), clWhite);
    EXPECT_EQ(HtmlToColor(QStringLiteral("#12345G")), clWhite);
    EXPECT_EQ(HtmlToColor(QStringLiteral("99999999999")), clWhite);
    EXPECT_EQ(HtmlToColor(QString()), clBlack);
    EXPECT_EQ(HtmlToColor(QStringLiteral("#ff<00")), clBlack);
    EXPECT_EQ(ColorToHtml(RGB(0x0A, 0xBC, 0xFF)), QStringLiteral("#0ABCFF"));
}

TEST(AttributeRules, ParseHtmlSize)
{
    EXPECT_EQ(ParseHtmlSize(400, QStringLiteral("100%"), 7), 390);
    EXPECT_EQ(ParseHtmlSize(400, QStringLiteral(" 50% "), 7), 190);
    EXPECT_EQ(ParseHtmlSize(400, QString(), 7), 390); // empty is 100%
    EXPECT_EQ(ParseHtmlSize(400, QStringLiteral("x%"), 7), 390);
    EXPECT_EQ(ParseHtmlSize(400, QStringLiteral("300"), 7), 290);
    EXPECT_EQ(ParseHtmlSize(400, QStringLiteral(" 8"), 7), 8);
    EXPECT_EQ(ParseHtmlSize(400, QStringLiteral("8 "), 7), 1); // trailing blank: no number
    EXPECT_EQ(ParseHtmlSize(400, QStringLiteral("0"), 300), 290);
    EXPECT_EQ(ParseHtmlSize(400, QStringLiteral("a"), 300), 1);
    // Huge values stay far from overflowing the layout.
    EXPECT_EQ(ParseHtmlSize(2000000000, QStringLiteral("2000000000%"), 0), 1000000);
}

TEST(AttributeRules, FontSizeCountsFromEightAndStaysVisible)
{
    EXPECT_EQ(HtmlFontSize(QStringLiteral("+2")), 10);
    EXPECT_EQ(HtmlFontSize(QStringLiteral("-2")), 6);
    EXPECT_EQ(HtmlFontSize(QStringLiteral("12")), 12);
    EXPECT_EQ(HtmlFontSize(QStringLiteral("x")), 8);
    EXPECT_EQ(HtmlFontSize(QStringLiteral("+x")), 8);
    EXPECT_EQ(HtmlFontSize(QStringLiteral("0")), 1);
    EXPECT_EQ(HtmlFontSize(QStringLiteral("-20")), 1);
    EXPECT_EQ(HtmlFontSize(QStringLiteral("99999")), 200);
    EXPECT_EQ(HtmlFontSize(QStringLiteral("+2147483647")), 200);
}

using StyleState = EngineTest;

TEST_F(StyleState, ClosingOutOfOrderRemovesOnlyThatEffect)
{
    Load(QStringLiteral("<b>w <i>x</b> y</i> z <u>u</u> <s>s</s></b>"));
    EXPECT_EQ(Word(QStringLiteral("w"))->Font->Style(), TFontStyles(fsBold));
    EXPECT_EQ(Word(QStringLiteral("x"))->Font->Style(), fsBold | fsItalic);
    EXPECT_EQ(Word(QStringLiteral("y"))->Font->Style(), TFontStyles(fsItalic));
    EXPECT_TRUE(Word(QStringLiteral("z"))->Font->Style().Empty());
    EXPECT_EQ(Word(QStringLiteral("u"))->Font->Style(), TFontStyles(fsUnderline));
    EXPECT_EQ(Word(QStringLiteral("s"))->Font->Style(), TFontStyles(fsStrikeOut));
    EXPECT_EQ(e->currentState.OpenTagCount(), 0);
}

TEST_F(StyleState, FontTagsSetNameColourAndSize)
{
    Load(QStringLiteral("<font size=\"20\" face=\"Courier New\" name=\"Arial\" color=\"clNavy\">a "
                        "<font size=\"+2\" color=\"\">b</font> <font size=-2>c</font></font> d"));
    auto* a = Word(QStringLiteral("a"));
    EXPECT_EQ(a->Font->Name(), QStringLiteral("arial"));
    EXPECT_EQ(a->Font->Size(), 20);
    EXPECT_EQ(a->FontColor, clNavy);
    // Relative sizes count from 8; an empty colour leaves the colour alone.
    EXPECT_EQ(Word(QStringLiteral("b"))->Font->Size(), 10);
    EXPECT_EQ(Word(QStringLiteral("b"))->FontColor, clNavy);
    EXPECT_EQ(Word(QStringLiteral("c"))->Font->Size(), 6);
    auto* d = Word(QStringLiteral("d\r\n"));
    EXPECT_EQ(d->Font->Name(), QStringLiteral("MS Sans Serif"));
    EXPECT_EQ(d->Font->Size(), 8);
    EXPECT_EQ(d->FontColor, clBlack);
}

TEST_F(StyleState, BodyLinkAndParagraphAttributes)
{
    Load(QStringLiteral("<body vlink=\"#00FF00\">a <a href=x>l</a> <body alink=#0000ff bgcolor=clyellow>b"));
    auto* a = Word(QStringLiteral("a"));
    EXPECT_EQ(a->VisitedColor, RGB(0, 0xFF, 0));
    EXPECT_EQ(a->FontColor, clBlack);
    EXPECT_EQ(a->ActiveColor, clRed);
    EXPECT_EQ(a->URLColor, clBlue);
    EXPECT_EQ(a->BackGroundColor, HtmlTransparentColor);
    EXPECT_EQ(Word(QStringLiteral("l"))->TargetURL, QStringLiteral("x"));
    EXPECT_TRUE(a->TargetURL.isEmpty());
    auto* b = Word(QStringLiteral("b\r\n"));
    EXPECT_EQ(b->ActiveColor, clBlue);
    EXPECT_EQ(b->BackGroundColor, clYellow);
    EXPECT_EQ(e->Color, clYellow); // bgcolor also colours the engine

    Load(QStringLiteral("<p align=RIGHT bgcolor=#ff0000>x</p><div align=center>y</div>z"));
    EXPECT_EQ(Word(QStringLiteral("x"))->align, QStringLiteral("right"));
    EXPECT_EQ(Word(QStringLiteral("x"))->BackGroundColor, RGB(0xFF, 0, 0));
    EXPECT_EQ(Word(QStringLiteral("y"))->align, QStringLiteral("center"));
    EXPECT_TRUE(Word(QStringLiteral("z\r\n"))->align.isEmpty());
}

TEST_F(StyleState, ListsIndentKeepTheirKindAndNumberTheirItems)
{
    Load(QStringLiteral("<ul type=\"square\"><li>a</li></ul><li>b"));
    // The kind outlives the list; an open item keeps its indent.
    EXPECT_EQ(e->currentState.ListItemShowType, QStringLiteral("square"));
    EXPECT_EQ(e->currentState.Indent, 50);

    Load(QStringLiteral("<ol><li>1<ol><li>n1<li>n2</ol><li>4</ol><li>none"));
    QList<int> counters;
    for (int i = 0; i < e->TagCount(); ++i)
        if (auto* item = Tag<aLISTag>(i))
            counters.append(item->Counter);
    EXPECT_EQ(counters, (QList<int> { 1, 1, 2, 4, 0 }));
}

TEST_F(StyleState, HiddenSelectedAndScriptedText)
{
    // head and script are disabled by default, so their text shows.
    Load(QStringLiteral("<head>h</head>"));
    EXPECT_TRUE(Word(QStringLiteral("h"))->Visible);
    e->SupportTag = DefaultSupportTag | HtmlFlag(THTMLFlag::None);
    Load(QStringLiteral("<head>h</head><script>s</script><hi>x</hi><sub>2</sub><sup>3</sup>"));
    EXPECT_FALSE(Word(QStringLiteral("h"))->Visible);
    EXPECT_EQ(Word(QStringLiteral("h"))->Width, 0);
    EXPECT_TRUE(Word(QStringLiteral("x"))->Selected);
    EXPECT_EQ(Word(QStringLiteral("2"))->TextStyle, isSubScript);
    EXPECT_EQ(Word(QStringLiteral("3"))->TextStyle, isSuperScript);
}

TEST_F(StyleState, HostileNestingIsCappedAndCheap)
{
    QString html;
    for (int i = 0; i < 5000; ++i)
        html += QStringLiteral("<b>");
    Load(html + QStringLiteral("x"));
    EXPECT_EQ(e->currentState.OpenTagCount(), TCurrentState::MaxOpenTags);
    EXPECT_TRUE(Word(QStringLiteral("x\r\n"))->Font->Style().Contains(fsBold));
}
