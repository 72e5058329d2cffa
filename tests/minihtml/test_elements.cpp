// Pictures and where their sources point, input elements, and the
// user-defined element the host sizes and draws.
#include "minihtml_fixture.h"

#include "minihtml/dynamic_elements.h"
#include "minihtml/inline_elements.h"

#include "platform/gui/forms.h"

#include <QDir>
#include <QTemporaryDir>

TEST(PictureSource, ProtocolsFoldersAndEnvironment)
{
    const QString app = QStringLiteral("/opt/Diary/");
    auto cache = [&](const char* src) { return ResolvePictureSource(QString::fromLatin1(src), app).Cache; };
    EXPECT_EQ(cache("file:///home/Ann/Pics/A.png"), QStringLiteral("/home/Ann/Pics/A.png"));
    EXPECT_EQ(cache("file:///c|/pics/a.bmp"), QStringLiteral("c:/pics/a.bmp"));
    EXPECT_EQ(cache("%APP%Logo.bmp"), QStringLiteral("/opt/Diary/Logo.bmp"));
    EXPECT_EQ(cache("res:logo"), QStringLiteral("logo"));
    EXPECT_EQ(ResolvePictureSource(QStringLiteral("res:logo"), app).Protocol, QStringLiteral("res"));
    EXPECT_EQ(cache("c:\\x.bmp"), QStringLiteral("c:\\x.bmp"));
    // Environment names keep their case; the first %NAME% is replaced everywhere.
    qputenv("MiniHtmlPics", "/srv/Pics");
    EXPECT_EQ(cache("%MiniHtmlPics%/a.png|%minihtmlpics%"), QStringLiteral("/srv/Pics/a.png|/srv/Pics"));
    EXPECT_EQ(cache("%MINIHTMLPICS%/a.png"), QStringLiteral("/a.png"));
    qunsetenv("MiniHtmlPics");
}

using Elements = EngineTest;

TEST_F(Elements, PictureFilesKeepTheirCaseAndStretch)
{
    QTemporaryDir dir;
    QImage image(20, 10, QImage::Format_RGB32);
    image.fill(QColor(0, 0, 255));
    ASSERT_TRUE(image.save(dir.filePath(QStringLiteral("Blue Pic.PNG"))));
    Application()->SetExeName(dir.filePath(QStringLiteral("diary")));

    Load(QStringLiteral("<img src=\"%App%Blue Pic.PNG\"><img src=\"file://") + dir.path()
        + QStringLiteral("/Blue Pic.PNG\" width=40><img src=\"%app%blue pic.png\">"));
    auto* first = Tag<aPicture>(0);
    auto* wide = Tag<aPicture>(1);
    auto* wrongCase = Tag<aPicture>(2);
    EXPECT_EQ(QSize(first->Width, first->Height), QSize(20, 10));
    EXPECT_EQ(first->Cache, dir.filePath(QStringLiteral("Blue Pic.PNG")));
    EXPECT_EQ(QSize(wide->Width, wide->Height), QSize(40, 10));
    // Names differ by case on this file system: that picture is missing.
    EXPECT_EQ(QSize(wrongCase->Width, wrongCase->Height), QSize(105, 105));
    // The whole picture stretched over the element; a missing one draws nothing.
    const QImage& cache = e->CacheBitmap->Image();
    const int bottom = wrongCase->Top + wrongCase->Height;
    EXPECT_EQ(Count(cache, QRect(first->Left, bottom - 10, 20, 10), clBlue), 200);
    EXPECT_EQ(Count(cache, QRect(wide->Left, bottom - 10, 40, 10), clBlue), 400);
    EXPECT_EQ(Count(cache, QRect(wrongCase->Left, wrongCase->Top, 105, 105), clBlue), 0);
    Application()->SetExeName(QString());
}

TEST_F(Elements, ResourcePicturesAndMissingOnes)
{
    QImage logo(16, 8, QImage::Format_RGB32);
    logo.fill(QColor(255, 0, 0));
    RegisterResourceBitmap(QStringLiteral("LOGO"), logo);
    Load(QStringLiteral("<img src=res:logo><img src=\"res:nothing\"><img src=res:logo width=x>"));
    auto* pic = Tag<aPicture>(0);
    // The picture's own size, drawn at it.
    EXPECT_EQ(QSize(pic->Width, pic->Height), QSize(16, 8));
    EXPECT_EQ(Count(e->CacheBitmap->Image(), QRect(pic->Left, pic->Top, 16, 8), clRed), 128);
    // A missing resource is an empty area, not an error.
    EXPECT_EQ(QSize(Tag<aPicture>(1)->Width, Tag<aPicture>(1)->Height), QSize(105, 105));
    // A width that is no number: the resource's own width.
    EXPECT_EQ(Tag<aPicture>(2)->Width, 16);
    UnregisterResourceBitmaps();
}

TEST_F(Elements, InputElementsMeasureAndDraw)
{
    Load(QStringLiteral("<input type=submit value=ok><input type=checkbox checked><input type=checkbox>"
                        "<input type=text value=x><input>"));
    auto* button = Tag<aFormElement>(0);
    EXPECT_EQ(button->Font->Name(), QStringLiteral("Arial"));
    EXPECT_EQ(QSize(button->Width, button->Height), QSize(32, 18)); // "  ok", height + 2
    auto* ticked = Tag<aFormElement>(1);
    auto* empty = Tag<aFormElement>(2);
    EXPECT_EQ(QSize(ticked->Width, ticked->Height), QSize(16, 12));
    EXPECT_EQ(QSize(Tag<aFormElement>(3)->Width, Tag<aFormElement>(3)->Height), QSize(0, 0));
    EXPECT_EQ(QSize(Tag<aFormElement>(4)->Width, Tag<aFormElement>(4)->Height), QSize(0, 0));
    EXPECT_EQ(button->inputValue, QStringLiteral("ok"));

    const QImage& cache = e->CacheBitmap->Image();
    // The button face, inside its raised edge.
    EXPECT_EQ(CachePx(button->Left + 3, button->Top + 3), Rgb(clBtnFace));
    EXPECT_EQ(CachePx(button->Left + button->Width - 1, button->Top + 5), Rgb(clBtnShadow));
    // A tick is dark pixels the empty box does not have.
    auto dark = [&](const aFormElement* box) {
        int n = 0;
        for (int y = box->Top + 2; y < box->Top + box->Height - 2; ++y)
            for (int x = box->Left + 2; x < box->Left + box->Width - 2; ++x)
                n += qGray(cache.pixel(x, y)) < 64;
        return n;
    };
    EXPECT_GT(dark(ticked), 5);
    EXPECT_EQ(dark(empty), 0);
}

TEST_F(Elements, UserDefinedElementsAskTheHost)
{
    QList<QRect> drawn;
    QStringList drawnVars;
    e->OnUserDefinedDraw = [&](TObject* sender, const QString& id, const QString& type, TCanvas* canvas, QRect rect,
                               const QString& v1, const QString&, const QString&) {
        EXPECT_TRUE(dynamic_cast<aUserDefined*>(sender));
        EXPECT_EQ(canvas, e->CacheBitmap->Canvas());
        EXPECT_GT(canvas->LockCount(), 0);
        drawn.append(rect);
        drawnVars.append(id + u'/' + type + u'/' + v1);
    };
    // Without a size handler: no space, and an empty rectangle to draw in.
    Load(QStringLiteral("a<user id=Star type=icon var1=one>"));
    ASSERT_EQ(drawn.size(), 1);
    EXPECT_TRUE(drawn[0].isEmpty());

    drawn.clear();
    drawnVars.clear();
    e->OnUserDefinedUpdate
        = [&](TObject*, const QString& id, const QString&, int& w, int& h, QString& v1, QString&, QString&) {
              w = id == QStringLiteral("huge") ? 1 << 30 : 30;
              h = 20;
              v1 += QStringLiteral("+");
          };
    e->SupportTag = DefaultSupportTag | HtmlFlag(THTMLFlag::None);
    Load(QStringLiteral("<head>a<user id=Star type=icon var1=one></head><user id=huge>"));
    ASSERT_EQ(drawn.size(), 2);
    // Shown even inside head; the variables the host changed reach the drawing.
    EXPECT_EQ(drawn[0], QRect(5, 5, 30, 20));
    EXPECT_EQ(drawnVars[0], QStringLiteral("star/icon/one+"));
    EXPECT_EQ(Tag<aUserDefined>(4)->Width, aUserDefined::MaxSize);
}

namespace {

// Characters of different widths, in proportion to the font's size: at 8
// points "w" and "p" are 5 wide, "i" 2 and "m" 10.
class NarrowWideMetrics : public FixedMetrics {
public:
    int TextWidth(const QString& s, const TFont& font) override
    {
        int w = 0;
        for (QChar c : s)
            w += c == u'i' ? 2 : c == u'm' ? 10 : 5;
        return w * font.Size() / 8;
    }
};

} // namespace

TEST_F(Elements, DragSelectionNarrowsAWordToTheCharactersCovered)
{
    e->TextMetrics = std::make_shared<NarrowWideMetrics>();
    // At 8 points the characters of "wimp" start at 0, 5, 7 and 17 from the
    // word's left and it ends at 22; at 16 points all of that doubles.
    struct Case {
        int from, to;
        bool checkLeft, checkRight;
        int selStart, selStop, startX, stopX;
    };
    const Case cases[] = {
        { 6, 99, true, false, 2, 4, 5, 22 }, // from inside "i"
        { 7, 99, true, false, 3, 4, 7, 22 }, // at the end of "i": it is not covered
        { -10, 99, true, false, 1, 4, 0, 22 }, // before the word
        { 30, 99, true, false, 4, 4, 17, 22 }, // beyond the word: its last character
        { -99, 8, false, true, 1, 3, 0, 17 }, // up to inside "m"
        { -99, 7, false, true, 1, 2, 0, 7 }, // up to the start of "m": it is not covered
        { -99, -3, false, true, 1, 1, 0, 5 }, // before the word: its first character
        { 6, 8, true, true, 2, 3, 5, 17 }, { 8, 6, true, true, 2, 3, 5, 17 }, // dragged from right to left
        { 7, 7, true, true, 3, 3, 7, 17 }, { 6, 8, false, false, -1, -1, -1, -1 }, // the whole word
    };
    for (int size : { 8, 16 }) {
        Load(QStringLiteral("<font size=\"%1\">wimp</font> x").arg(size));
        aText* word = Word(QStringLiteral("wimp"));
        const int k = size / 8;
        const int left = word->Left;
        ASSERT_EQ(word->Width, 22 * k);
        for (const Case& c : cases) {
            SCOPED_TRACE(testing::Message() << size << " points, " << c.from << " to " << c.to);
            const int y = word->Top + 1;
            word->Select(QPoint(left + c.from * k, y), QPoint(left + c.to * k, y), c.checkLeft, c.checkRight);
            EXPECT_TRUE(word->Selected);
            EXPECT_EQ(word->SelStart, c.selStart);
            EXPECT_EQ(word->SelStop, c.selStop);
            if (c.selStart > 0) {
                EXPECT_EQ(word->SelStartX, left + c.startX * k);
                EXPECT_EQ(word->SelStopX, left + c.stopX * k);
            }
            word->UnSelect();
            EXPECT_FALSE(word->Selected);
            EXPECT_EQ(word->SelStart, -1);
        }
    }
    // A tag that is no word is only marked.
    Load(QStringLiteral("a <hr>"));
    auto* rule = Tag<aHorizontalRule>(2);
    ASSERT_TRUE(rule);
    rule->Select(QPoint(0, 0), QPoint(5, 5), true, true);
    EXPECT_TRUE(rule->Selected);
}

TEST_F(Elements, ANarrowedSelectionHighlightsOnlyItsCharacters)
{
    e->TextMetrics = std::make_shared<NarrowWideMetrics>();
    // Selected characters are drawn in the engine's colour: made the
    // highlight's own, the highlight is one solid box whatever the glyphs.
    const TColor highlight = ColorToRGB(clActiveCaption);
    e->Color = highlight;
    Load(QStringLiteral("wimp x"));
    aText* word = Word(QStringLiteral("wimp"));
    const int left = word->Left;
    TBitmap probe;
    probe.Canvas()->Font()->Assign(*word->Font);
    const int h = probe.Canvas()->TextHeight(QStringLiteral("wimp"));
    struct Case {
        int from, to;
        bool narrowed;
        const char* shown;
        int startX; // from the word's left, by the layout's widths
    };
    const Case cases[] = {
        { 6, 6, true, "i", 5 }, // one character
        { 6, 8, true, "im", 5 }, // two
        { -10, 99, true, "wimp", 0 }, // all of them, as a range
        { 0, 0, false, "wimp", 0 }, // no range: the whole word
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.shown);
        word->UnSelect();
        if (c.narrowed)
            word->Select(QPoint(left + c.from, word->Top), QPoint(left + c.to, word->Top), true, true);
        else
            word->Select();
        e->Draw();
        const int x = left + c.startX;
        const int w = probe.Canvas()->TextWidth(QString::fromLatin1(c.shown));
        const QImage& cache = e->CacheBitmap->Image();
        EXPECT_EQ(Count(cache, QRect(x, word->Top, w, h), highlight), w * h);
        // Nothing of the word beside the box is highlighted.
        EXPECT_EQ(Count(cache, QRect(0, 0, cache.width(), cache.height()), highlight), w * h);
    }
}

TEST_F(Elements, PictureFieldsOfTheHostTakeNoPartInLayout)
{
    Load(QStringLiteral("<img src=\"missing.png\" width=\"40\" height=\"30\">"));
    auto* picture = Tag<aPicture>(0);
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->ActualWidth, 0);
    EXPECT_EQ(picture->ActualHeight, 0);
    EXPECT_TRUE(picture->Text.isEmpty());
    EXPECT_TRUE(picture->Align.isEmpty());
    const QString html = picture->GetHtml();
    picture->ActualWidth = 7;
    picture->ActualHeight = 9;
    picture->Text = QStringLiteral("a caption");
    e->Update(0);
    e->Draw();
    EXPECT_EQ(QSize(picture->Width, picture->Height), QSize(40, 30));
    EXPECT_EQ(QSize(picture->ActualWidth, picture->ActualHeight), QSize(7, 9));
    EXPECT_EQ(picture->Text, QStringLiteral("a caption"));
    EXPECT_EQ(picture->GetHtml(), html);
}
