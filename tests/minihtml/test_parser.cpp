// The keyword catalogue, attribute and entity rules, and how a source is
// split into words, blanks and tag objects.
#include "minihtml_fixture.h"

#include "minihtml/dynamic_elements.h"
#include "minihtml/inline_elements.h"
#include "minihtml/tables.h"

#include "platform/core/ansi.h"
#include "platform/core/streams.h"
#include "platform/core/sysutils.h"

#include <QFile>
#include <QTemporaryDir>

TEST(TagCatalogue, LookupIgnoresCaseAndNegatesTheEndForm)
{
    EXPECT_EQ(FindTagIndex(QStringLiteral("B"), DefaultSupportTag), 12);
    EXPECT_EQ(FindTagIndex(QStringLiteral("b"), DefaultSupportTag), 12);
    EXPECT_EQ(FindTagIndex(QStringLiteral("/B"), DefaultSupportTag), -12);
    EXPECT_EQ(FindTagIndex(QStringLiteral("/img"), DefaultSupportTag), -20);
    EXPECT_EQ(FindTagIndex(QStringLiteral("/hr"), DefaultSupportTag), -21);
    EXPECT_EQ(FindTagIndex(QStringLiteral("/input"), DefaultSupportTag), -24);
    EXPECT_EQ(FindTagIndex(QStringLiteral("/user"), DefaultSupportTag), -25);
    EXPECT_EQ(FindTagIndex(QStringLiteral("th"), DefaultSupportTag), 33);
    // No keyword form; names with more than the bare name never match.
    EXPECT_EQ(FindTagIndex(QStringLiteral("form"), DefaultSupportTag), 0);
    EXPECT_EQ(FindTagIndex(QStringLiteral("/form"), DefaultSupportTag), 0);
    EXPECT_EQ(FindTagIndex(QStringLiteral("b x"), DefaultSupportTag), 0);
    EXPECT_EQ(FindTagIndex(QString(), DefaultSupportTag), 0);
    // html is row 1 (disabled by default), never the repeated row 23.
    EXPECT_EQ(FindTagIndex(QStringLiteral("html"), DefaultSupportTag), 0);
    EXPECT_EQ(FindTagIndex(QStringLiteral("html"), DefaultSupportTag | HtmlFlag(THTMLFlag::None)), 1);
    EXPECT_EQ(FindTagIndex(QStringLiteral("html"), HtmlFlag(THTMLFlag::Controls)), 0);
    EXPECT_EQ(FindTagIndex(QStringLiteral("script"), DefaultSupportTag), 0);
}

TEST(TagCatalogue, RowsMapToTheirClasses)
{
    TQzMiniHtml2 e(nullptr);
    auto classOf = [&](const char* name) {
        atag* tag = e.processtag(THtmlAttributes(), QString::fromLatin1(name));
        return tag ? tag->ClassName() : QStringLiteral("none");
    };
    EXPECT_EQ(classOf("blockquote"), QStringLiteral("aBlockquoteSTag"));
    EXPECT_EQ(classOf("indent"), QStringLiteral("aBlockquoteSTag"));
    EXPECT_EQ(classOf("/INDENT"), QStringLiteral("aBlockquoteETag"));
    EXPECT_EQ(classOf("div"), QStringLiteral("aPSTag"));
    EXPECT_EQ(classOf("/div"), QStringLiteral("aPETag"));
    EXPECT_EQ(classOf("hi"), QStringLiteral("aSelectionSTag"));
    EXPECT_EQ(classOf("/selection"), QStringLiteral("aSelectionETag"));
    EXPECT_EQ(classOf("/br"), QStringLiteral("aBRTag"));
    EXPECT_EQ(classOf("/dynamic"), QStringLiteral("aDynamicTag"));
    EXPECT_EQ(classOf("/th"), QStringLiteral("aTHETag"));
    EXPECT_EQ(classOf("/img"), QStringLiteral("none"));
    EXPECT_EQ(classOf("head"), QStringLiteral("none"));
    EXPECT_EQ(classOf("b/"), QStringLiteral("none"));
    // The hierarchy the layout tests.
    EXPECT_TRUE(dynamic_cast<aTDETag*>(e.processtag(THtmlAttributes(), QStringLiteral("/th"))));
    EXPECT_TRUE(dynamic_cast<aLNInVisTag*>(e.processtag(THtmlAttributes(), QStringLiteral("/tr"))));
    EXPECT_TRUE(dynamic_cast<aInVisLNTag*>(e.processtag(THtmlAttributes(), QStringLiteral("/li"))));
    EXPECT_TRUE(dynamic_cast<aInVisLNTag*>(e.processtag(THtmlAttributes(), QStringLiteral("ul"))));
    EXPECT_FALSE(dynamic_cast<aInVisLNTag*>(e.processtag(THtmlAttributes(), QStringLiteral("/ul"))));
    EXPECT_TRUE(dynamic_cast<aVisTag*>(e.processtag(THtmlAttributes(), QStringLiteral("td"))));
    EXPECT_EQ(e.Tags(0)->tagName, QStringLiteral("<blockquote>"));
}

TEST(TagSplitting, TheFirstTagItsNameAndItsAttributes)
{
    struct Case {
        const char* text;
        const char* before;
        const char* after;
        const char* name;
        const char* vars;
    };
    const Case cases[] = {
        { "a <b>c<i>", "a ", "c<i>", "b", "" },
        { "<font size=2 color=red>x", "", "x", "font", " size=2 color=red" },
        { "<br/>", "", "", "br/", "" },
        // A ">" before the first "<", or a "<" without ">", leaves plain text.
        { "a > b <i>c", "a > b <i>c", "", "", "" },
        { "a <b", "a <b", "", "", "" },
        { "", "", "", "", "" },
    };
    for (const Case& c : cases) {
        const QString text = QString::fromLatin1(c.text);
        QStringView before, after, name, vars;
        TQzMiniHtml2::Readnexttag(text, before, after, name, vars);
        EXPECT_EQ(before.toString(), QLatin1String(c.before)) << c.text;
        EXPECT_EQ(after.toString(), QLatin1String(c.after)) << c.text;
        EXPECT_EQ(name.toString(), QLatin1String(c.name)) << c.text;
        EXPECT_EQ(vars.toString(), QLatin1String(c.vars)) << c.text;
    }
}

TEST(Attributes, BareQuotedFlagsAndTheNameValueRule)
{
    auto attrs = TQzMiniHtml2::Extractvariables(QStringLiteral(" size=3 COLOR=\"#FF0000\""));
    EXPECT_EQ(attrs.Lines(), (QStringList { QStringLiteral("size=3"), QStringLiteral("color=#ff0000") }));

    attrs = TQzMiniHtml2::Extractvariables(QStringLiteral(" size=2 noshade"));
    EXPECT_EQ(attrs.Value(QStringLiteral("noshade")), QStringLiteral("true"));
    EXPECT_EQ(attrs.Value(QStringLiteral("size")), QStringLiteral("2"));

    // Quoted values hold blanks, "=" and "<"; an empty one is no attribute.
    attrs = TQzMiniHtml2::Extractvariables(QStringLiteral(" alt=\"a = <b\" color=\"\""));
    EXPECT_EQ(attrs.Value(QStringLiteral("alt")), QStringLiteral("a = <b"));
    EXPECT_FALSE(attrs.Has(QStringLiteral("color")));

    // A repeated name keeps its last value; an unclosed quote gives nothing,
    // and what follows it is read on (here a flag).
    attrs = TQzMiniHtml2::Extractvariables(QStringLiteral(" a=1 a=2 b=\"open"));
    EXPECT_EQ(attrs.Lines(), (QStringList { QStringLiteral("a=2"), QStringLiteral("open=true") }));

    // Values arrive lower-cased; the written form stays beside them.
    attrs = TQzMiniHtml2::Extractvariables(QStringLiteral(" src=\"%APP%Logo.PNG\" href='X'"));
    EXPECT_EQ(attrs.Value(QStringLiteral("src")), QStringLiteral("%app%logo.png"));
    EXPECT_EQ(attrs.RawValue(QStringLiteral("src")), QStringLiteral("%APP%Logo.PNG"));
    EXPECT_EQ(attrs.Value(QStringLiteral("href")), QStringLiteral("'x'"));
}

TEST(Entities, SixEntitiesInTheirOrderIgnoringCase)
{
    EXPECT_EQ(TQzMiniHtml2::ReplaceEntities(QStringLiteral("&LT;b&gt; &Amp; &quot;x&quot; &copy;&nbsp;&euro;")),
        QStringLiteral("<b> & \"x\" (c) &euro;"));
    // "&amp;" goes after "&lt;", so an escaped ampersand shows the entity.
    EXPECT_EQ(TQzMiniHtml2::ReplaceEntities(QStringLiteral("&amp;lt;")), QStringLiteral("&lt;"));
}

TEST(TagRoutines, ReplaceTextIgnoresCaseAndTakesEveryOccurrence)
{
    struct Case {
        const char *text, *old, *new_, *result;
    };
    const Case cases[] = {
        { "One oNe ONE", "one", "1", "1 1 1" },
        { "aaaa", "aa", "b", "bb" }, // left to right, without overlaps
        { "abc", "b", "bb", "abbc" }, // the new text is not searched again
        { "Logo%APP%x%app%", "%app%", "/opt/", "Logo/opt/x/opt/" },
        { "text", "", "x", "text" }, // nothing to look for: nothing replaced
        { "text", "z", "x", "text" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReplaceText(QString::fromLatin1(c.text), QString::fromLatin1(c.old), QString::fromLatin1(c.new_)),
            QString::fromLatin1(c.result))
            << c.text << " / " << c.old;
}

TEST(TagRoutines, UpdateFontColorSetsOnlyTheColoursGiven)
{
    TQzMiniHtml2 engine(nullptr);
    aText word(&engine, QStringLiteral("w"));
    aBRTag updater(&engine);
    struct Case {
        TColor font, url, active, visited; // -1: left as it is
        TColor expected[4];
    };
    const Case cases[] = {
        { -1, -1, -1, -1, { 1, 2, 3, 4 } },
        { 10, -1, 30, -1, { 10, 2, 30, 4 } },
        { -1, 20, -1, 40, { 1, 20, 3, 40 } },
        { 0, clNone, clRed, clWindowText, { 0, clNone, clRed, clWindowText } },
    };
    for (const Case& c : cases) {
        word.FontColor = 1;
        word.URLColor = 2;
        word.ActiveColor = 3;
        word.VisitedColor = 4;
        updater.UpdateFontColor(nullptr, &word, c.font, c.url, c.active, c.visited);
        const TColor got[4] = { word.FontColor, word.URLColor, word.ActiveColor, word.VisitedColor };
        for (int k = 0; k < 4; ++k)
            EXPECT_EQ(got[k], c.expected[k]) << "colour " << k << " of case " << (&c - cases);
    }
    // A tag without colours is left alone.
    aBSTag bold(&engine);
    updater.UpdateFontColor(nullptr, &bold, 10, 20, 30, 40);
    updater.UpdateFontColor(nullptr, nullptr, 10, 20, 30, 40);
}

TEST(TagRoutines, TagsMadeWithoutTagText)
{
    TQzMiniHtml2 engine(nullptr);
    std::unique_ptr<atag> tags[] = { std::make_unique<aBRTag>(&engine), std::make_unique<aBSTag>(&engine),
        std::make_unique<aTableSTag>(&engine), std::make_unique<aText>(&engine), std::make_unique<aPicture>(&engine),
        std::make_unique<aTDSTag>(&engine) };
    for (const auto& tag : tags) {
        SCOPED_TRACE(tag->ClassName().toStdString());
        EXPECT_TRUE(tag->tagName.isEmpty());
        EXPECT_EQ(tag->aHtml, &engine);
        // Visible tags still get their own font and colours.
        if (auto* vis = dynamic_cast<aVisTag*>(tag.get())) {
            ASSERT_TRUE(vis->Font);
            EXPECT_EQ(vis->Font->Name(), QStringLiteral("MS Sans Serif"));
            EXPECT_EQ(vis->Font->Size(), 8);
            EXPECT_EQ(vis->URLColor, clBlue);
            EXPECT_EQ(vis->BackGroundColor, clNone);
        }
    }
    EXPECT_TRUE(dynamic_cast<aText&>(*tags[3]).Text.isEmpty());
}

using Parser = EngineTest;

TEST_F(Parser, WordsBlanksAndTags)
{
    Load(QStringLiteral("<b>one&nbsp;&NBSP;two</b> <x>three\tfour"));
    EXPECT_EQ(Kinds(),
        (QStringList { QStringLiteral("aBSTag"), QStringLiteral("\"one\""), QStringLiteral("aSpace"),
            QStringLiteral("aSpace"), QStringLiteral("\"two\""), QStringLiteral("aBETag"), QStringLiteral("aSpace"),
            QStringLiteral("\"three\tfour\r\n\"") }));

    // Text right after a link start is one word, with one blank after it.
    Load(QStringLiteral("<a HREF=\"Page.html\">two words</a>"));
    EXPECT_EQ(Kinds(),
        (QStringList { QStringLiteral("aASTag"), QStringLiteral("\"two words\""), QStringLiteral("aSpace"),
            QStringLiteral("aAETag"), QStringLiteral("\"\r\n\"") }));
    EXPECT_EQ(Tag<aASTag>(0)->href, QStringLiteral("page.html"));

    // A ">" before the first "<" makes all of the text words, tags included;
    // so does a "<" without ">".
    Load(QStringLiteral("x > y <b>z</b>"));
    EXPECT_EQ(e->TagCount(), 7);
    EXPECT_TRUE(Word(QStringLiteral("<b>z</b>\r\n")));
    Load(QStringLiteral("a<b"));
    EXPECT_EQ(Kinds(), QStringList { QStringLiteral("\"a<b\r\n\"") });

    Load(QStringLiteral("<br/>a<unknown attr=1>b"));
    EXPECT_EQ(Kinds(), (QStringList { QStringLiteral("\"a\""), QStringLiteral("\"b\r\n\"") }));
}

TEST_F(Parser, KeepsCharactersOutsideTheAnsiCodePage)
{
    Load(QStringLiteral("\u0141ukasz \u65e5"));
    EXPECT_TRUE(Word(QStringLiteral("\u0141ukasz")));
    // The stream form reads the ANSI code page.
    TMemoryStream stream(StringToAnsi(QStringLiteral("caf\u00e9 <b>x")));
    e->LoadFromStream(stream);
    EXPECT_TRUE(Word(QStringLiteral("caf\u00e9")));
    EXPECT_EQ(e->TagCount(), 4);
}

TEST_F(Parser, ChunkBoundariesInsideTagsAndCells)
{
    // A tag cut by the 400-character read-ahead parses as if read at once.
    const QString pad(397, u'a');
    Load(pad + QStringLiteral("<font color=\"#ff0000\">x"));
    ASSERT_EQ(e->TagCount(), 3);
    EXPECT_TRUE(e->Tags(1)->variables.Has(QStringLiteral("color")));

    // A cell whose close mark lies chunks ahead still gets all of its text.
    const QString body(1000, u'b');
    Load(QStringLiteral("<table><tr><td>") + body + QStringLiteral("</td></tr></table>"));
    auto* cell = Tag<aTDSTag>(2);
    ASSERT_TRUE(cell);
    EXPECT_EQ(cell->Html, body);
    EXPECT_TRUE(Tag<aTDETag>(3));
}

TEST_F(Parser, CellsTakeTheirRawHtml)
{
    Load(QStringLiteral("<table><tr><td>a<td>b</td>c</td><th>h</th></tr></table>"));
    QStringList cells;
    for (int i = 0; i < e->TagCount(); ++i)
        if (auto* c = Tag<aTDSTag>(i))
            cells.append(c->Html);
    // A nested cell written exactly as the open mark is taken whole.
    EXPECT_EQ(cells, (QStringList { QStringLiteral("a<td>b</td>c"), QStringLiteral("h") }));
    // Without a close mark the rest is parsed in line.
    Load(QStringLiteral("<table><tr><td>x <b>y"));
    EXPECT_TRUE(Tag<aTDSTag>(2)->Html.isEmpty());
    EXPECT_TRUE(Word(QStringLiteral("x")));
}

TEST_F(Parser, DynamicTagsAskTheHost)
{
    // Without a handler the id shows between angle brackets in MS Sans Serif 8.
    Load(QStringLiteral("<dynamic id=\"Name\">"));
    EXPECT_EQ(Kinds(),
        (QStringList { QStringLiteral("aDynamicTag"), QStringLiteral("aFontSTag"), QStringLiteral("\"<name>\""),
            QStringLiteral("aFontETag"), QStringLiteral("\"\r\n\"") }));
    EXPECT_EQ(Tag<aFontSTag>(1)->FontName, QStringLiteral("ms sans serif"));

    QStringList asked;
    e->OnDynamicUpdate = [&](TObject* sender, const QString& id, QString& text) {
        EXPECT_EQ(sender, e.get());
        asked.append(id);
        text = id == QStringLiteral("gone") ? QString() : QStringLiteral("<i>") + id;
    };
    Load(QStringLiteral("<dynamic id=gone>a<dynamic id=Here></dynamic>"));
    EXPECT_EQ(asked, (QStringList { QStringLiteral("gone"), QStringLiteral("here"), QString() }));
    EXPECT_EQ(Kinds(),
        (QStringList { QStringLiteral("aDynamicTag"), QStringLiteral("\"a\""), QStringLiteral("aDynamicTag"),
            QStringLiteral("aISTag"), QStringLiteral("\"here\""), QStringLiteral("aDynamicTag"),
            QStringLiteral("aISTag"), QStringLiteral("\"\r\n\"") }));
}

TEST_F(Parser, DynamicTextNamingDynamicTagsStopsAtTheNestingLimit)
{
    int calls = 0;
    e->OnDynamicUpdate = [&](TObject*, const QString&, QString& text) {
        ++calls;
        text = QStringLiteral("x<dynamic id=a><dynamic id=b>");
    };
    Load(QStringLiteral("<dynamic id=a>"));
    // Depths 0 to 3 expand (1 + 2 + 4 + 8 tags), deeper ones insert nothing.
    EXPECT_EQ(calls, 15);
    int words = 0;
    for (int i = 0; i < e->TagCount(); ++i)
        words += Tag<aText>(i) != nullptr;
    EXPECT_EQ(words, 15 + 1);
}

TEST_F(Parser, CaptionHolderAndFilesAreSources)
{
    TQzHtmlRec rec;
    rec.Html = QStringLiteral("<b>bold</b> plain");
    rec.Hotkey = u'b';
    e->SetCaption(rec);
    const QStringList fromCaption = Kinds();
    EXPECT_EQ(fromCaption,
        (QStringList { QStringLiteral("aBSTag"), QStringLiteral("\"bold\""), QStringLiteral("aBETag"),
            QStringLiteral("aSpace"), QStringLiteral("\"plain\r\n\"") }));
    const TQzHtmlRec back = e->GetCaption();
    EXPECT_EQ(back.Html, rec.Html);
    EXPECT_EQ(back.Hotkey, u'b');
    // The holder stays this engine's: new text through it loads here.
    EXPECT_EQ(back.Owner, e.get());
    e->InputHtml.SetHtml(QStringLiteral("other"), u'o');
    EXPECT_EQ(Kinds(), QStringList { QStringLiteral("\"other\r\n\"") });

    QTemporaryDir dir;
    const QString good = dir.filePath(QStringLiteral("Page.htm"));
    {
        QFile f(good);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(StringToAnsi(QStringLiteral("<b>bold</b> caf\u00e9")));
    }
    e->LoadFromFiles(good);
    EXPECT_EQ(e->GetHtml(), QStringLiteral("<b>bold</b> caf\u00e9"));

    // What cannot be opened is named with the reason, and the content stays.
    const QString missing = dir.filePath(QStringLiteral("Missing.htm"));
    for (const QString& name : { missing, dir.path() }) {
        SCOPED_TRACE(name.toStdString());
        try {
            e->LoadFromFiles(name);
            ADD_FAILURE() << "nothing raised";
        } catch (const EFOpenError& error) {
            EXPECT_TRUE(error.Message().startsWith(QStringLiteral("Cannot open file \"%1\". ").arg(name)))
                << error.what();
            EXPECT_GT(error.Message().size(), name.size() + 22) << "no reason given";
        }
        EXPECT_EQ(e->GetHtml(), QStringLiteral("<b>bold</b> caf\u00e9"));
    }
}
