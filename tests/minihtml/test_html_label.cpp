// The HTML label: parsing only when the text, the width or a dynamic tag
// asks for it, its height, the copy over a transparent background, links,
// and a picture of real markup for a person to look at.
#include "minihtml_fixture.h"

#include "minihtml/html_label.h"
#include "minihtml/inline_elements.h"

#include "platform/core/sysinfo.h"
#include "platform/gui/extctrls.h"
#include "platform/gui/forms.h"
#include "platform/gui/services.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QRegion>

#include <iostream>

namespace {

QString SourceRoot()
{
    return QFileInfo(QString::fromUtf8(__FILE__)).absoluteDir().filePath(QStringLiteral("../.."));
}

// The birthday line of the main window for a day with two birthdays and
// two anniversaries, and for a day without any. The names show at a glance
// whether small text is smooth: round o, the stems of m, the dots of ë.
const QString kBirthdayLine
    = QStringLiteral("<font name=\"Arial\" size=\"8\" color=\"#000000\"><a href=\"change\">Birthdays</a>: "
                     "<font color=\"#800000\">Zoë Moore,Tom</font> <a href=\"change\">Anniversaries</a>: "
                     "<font color=\"#000080\">Noëmi,Simon</font></font>");
const QString kEmptyDayLine = QStringLiteral(
    "<font name=\"Arial\" size=\"8\" color=\"#000000\">No birthdays or anniversaries on this day, click "
    "<a href=\"add\">here</a> to add some</font>");

const QString kRichSample = QStringLiteral(
    "<body link=\"#0000C0\"><font name=\"Times New Roman\" size=\"+6\" color=\"#800000\"><b>Dear diary</b></font><br>"
    "<font name=\"Arial\" size=\"9\">Today was <i>rather</i> <u>good and sunny</u>: <font color=\"#008000\">green"
    "</font>, <s>struck</s>, H<sub>2</sub>O and E=mc<sup>2</sup>.</font>"
    "<ul type=\"square\"><li>Bought <a href=\"http://example.org/flowers\">flowers</a></li>"
    "<li>Called <b>Ann</b></li></ul><ol><li>First</li><li>Second</li></ol>"
    "<hr size=\"2\"><p align=\"centre\" bgcolor=\"#FFFFC0\">A centred paragraph on a pale band</p>"
    "<table width=\"90%\" border=\"1\"><tr><th bgcolor=\"#C0C0FF\"><b>Day</b></th><th bgcolor=\"#C0C0FF\"><b>Mood</b>"
    "</th></tr><tr><td>Monday</td><td><font color=\"#C00000\">happy</font></td></tr><tr><td>Tuesday</td>"
    "<td>calm &amp; <a href=\"mailto://ann@example.org\">mail Ann</a></td></tr></table>"
    "<input type=\"submit\" value=\"save\"> <input type=\"checkbox\" checked> done &copy; 2026");

class HtmlLabel : public ::testing::Test {
protected:
    void SetUp() override
    {
        Application()->OnException = [this](TObject*, const QString& m) { errors.append(m); };
        form = new TForm(nullptr);
        form->SetBorderStyle(bsNone);
        form->SetColor(clRed);
        form->SetClientSize(400, 300);
        label = new TQzHtmlLabel2(form);
        label->SetParent(form);
        label->SetBounds(10, 10, 300, 100);
        label->SetColor(clYellow);
        SetTickCountSource([this] { return tick; });
        SetShellHandler([](const QString&) { return true; });
    }
    void TearDown() override
    {
        delete form;
        SetTickCountSource({});
        SetShellHandler({});
        Application()->OnException = {};
        QApplication::processEvents();
        for (QWidget* w : QApplication::topLevelWidgets())
            EXPECT_EQ(FindControl(w), nullptr) << "a form was left behind";
        EXPECT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
    }

    QImage Render() { return label->RenderToBitmap()->Image(); }
    QImage RenderForm()
    {
        form->Show();
        QApplication::processEvents();
        return form->RenderToBitmap()->Image();
    }
    void Fixed() { label->Engine()->TextMetrics = std::make_shared<FixedMetrics>(); }
    static QRgb Px(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFF; }
    static QRgb Rgb(TColor c) { return ToQColor(c).rgb() & 0xFFFFFF; }

    TForm* form = nullptr;
    TQzHtmlLabel2* label = nullptr;
    quint32 tick = 1000;
    QStringList errors;
};

} // namespace

TEST_F(HtmlLabel, ParsesOncePerChangeOfTextOrWidth)
{
    label->SetCaption(QStringLiteral("plain caption"));
    Render();
    EXPECT_EQ(label->ParseCount(), 0); // no Html: an ordinary label
    EXPECT_EQ(label->Caption(), QStringLiteral("plain caption"));

    label->SetHtml(QStringLiteral("<b>bold</b>"));
    Render();
    Render();
    EXPECT_EQ(label->ParseCount(), 1);
    EXPECT_TRUE(label->Caption().isEmpty());

    label->SetHtml(QStringLiteral("<b>bold</b>")); // the same text again still parses
    label->SetWidth(200); // and a resize before the paint costs no second parse
    Render();
    Render();
    EXPECT_EQ(label->ParseCount(), 2);
    EXPECT_EQ(label->Engine()->width, 200);

    label->SetHeight(50);
    Render();
    EXPECT_EQ(label->ParseCount(), 3);
}

TEST_F(HtmlLabel, DynamicAndEmptyTextsParseAgain)
{
    // A dynamic tag with only the label's own handler: parsed at every paint.
    label->SetHtml(QStringLiteral("now: <dynamic id=time>"));
    Render();
    Render();
    EXPECT_EQ(label->ParseCount(), 2);
    label->SetOnDynamicUpdate([](TObject*, const QString&, QString& text) { text = QStringLiteral("12:00"); });
    label->SetHtml(label->Html());
    Render();
    Render();
    EXPECT_EQ(label->ParseCount(), 3);

    // An empty cache (a label of no width) is parsed again at every paint.
    label->SetWidth(0);
    label->Paint();
    label->Paint();
    EXPECT_EQ(label->ParseCount(), 5);
    // Back to no Html: an ordinary label again.
    label->SetWidth(100);
    label->SetHtml(QString());
    label->SetCaption(QStringLiteral("caption"));
    Render();
    EXPECT_EQ(label->ParseCount(), 5);
}

TEST_F(HtmlLabel, AutoHeightFitsTheCache)
{
    Fixed();
    label->SetAutoHeight(true);
    label->SetHtml(QStringLiteral("ab"));
    Render();
    // One line 16 high: the cache is 5 + 16 + 5 high, and so is the label.
    EXPECT_EQ(label->Height(), 26);
    Render();
    EXPECT_EQ(label->ParseCount(), 1);

    // Without it the label keeps its height and shows the top of the text.
    label->SetAutoHeight(false);
    label->SetHeight(20);
    label->SetHtml(QStringLiteral("<body bgcolor=#0000ff>a<br>b<br>c"));
    const QImage image = Render();
    EXPECT_EQ(label->Height(), 20);
    EXPECT_EQ(Px(image, 100, 19), Rgb(clBlue));
}

TEST_F(HtmlLabel, UpdateCaptionRepaintsWithoutParsing)
{
    // Counts the paints the window system asks for.
    class CountingLabel : public TQzHtmlLabel2 {
    public:
        using TQzHtmlLabel2::TQzHtmlLabel2;
        void Paint() override
        {
            ++Paints;
            TQzHtmlLabel2::Paint();
        }
        int Paints = 0;
    };
    auto* counting = new CountingLabel(form);
    counting->SetParent(form);
    counting->SetBounds(10, 150, 200, 40);
    counting->SetHtml(QStringLiteral("<b>bold</b>"));
    RenderForm();
    ASSERT_EQ(counting->ParseCount(), 1);
    counting->Paints = 0;
    QApplication::processEvents();
    EXPECT_EQ(counting->Paints, 0);
    counting->updatecaption();
    QApplication::processEvents();
    EXPECT_GE(counting->Paints, 1);
    EXPECT_EQ(counting->ParseCount(), 1);
}

TEST_F(HtmlLabel, TheTransparentColourShowsTheLabelOrWhatLiesBeneath)
{
    Fixed();
    label->SetHtml(QStringLiteral("<font color=#00ff00>word</font>"));
    QImage image = RenderForm();
    // Opaque: the label's colour where the cache is transparent.
    EXPECT_EQ(Px(image, 10 + 2, 10 + 2), Rgb(clYellow));
    EXPECT_EQ(Px(image, 10 + 200, 10 + 80), Rgb(clYellow));
    label->SetTransparent(true);
    image = RenderForm();
    // Transparent: the form beneath, and the text still drawn.
    EXPECT_EQ(Px(image, 10 + 2, 10 + 2), Rgb(clRed));
    EXPECT_EQ(Px(image, 10 + 200, 10 + 80), Rgb(clRed));
    // Anti-aliased: nearer the text's green than the form's red.
    int green = 0;
    for (int y = 15; y < 31; ++y)
        for (int x = 15; x < 15 + 40; ++x) {
            const double t = Between(Px(image, x, y), Rgb(clLime), Rgb(clRed));
            green += t >= 0 && t < 0.4;
        }
    EXPECT_GT(green, 0);
}

namespace {

// Small text in the look of the birthday line, and a word in a table cell,
// which a sub-instance draws.
const QString kSmoothSample
    = QStringLiteral("<font name=\"Arial\" size=\"8\" color=\"#000000\">Birthdays: Zoë Moore,Tom,Emma "
                     "<table border=0><tr><td>mom</td></tr></table></font>");

} // namespace

TEST_F(HtmlLabel, SmallTextIsSmoothAndBlendsOnlyWithWhatLiesBeneath)
{
    struct Case {
        bool transparent;
        TColor below; // the form's colour
        TColor shown; // what the text lies on
    };
    for (const Case c : { Case { false, clRed, clWhite }, Case { true, clYellow, clYellow } }) {
        SCOPED_TRACE(c.transparent ? "transparent over yellow" : "opaque white");
        form->SetColor(c.below);
        label->SetColor(clWhite);
        label->SetTransparent(c.transparent);
        label->SetHtml(kSmoothSample);
        const QImage image = RenderForm();
        int offLine = 0, ink = 0, edges = 0;
        for (int y = 10; y < 10 + label->Height(); ++y)
            for (int x = 10; x < 10 + label->Width(); ++x) {
                const double t = Between(Px(image, x, y), Rgb(clBlack), Rgb(c.shown));
                offLine += t < 0;
                ink += t >= 0 && t < 0.15;
                edges += t >= 0.15 && t <= 0.85;
            }
        // Anti-aliased: edge pixels between the text's colour and the
        // background, and never a blend with the key colour.
        EXPECT_EQ(offLine, 0);
        EXPECT_GT(ink, 40);
        EXPECT_GT(edges, 40);
    }
}

TEST_F(HtmlLabel, WhereNothingIsDrawnTheParentOrTheLabelsColourShows)
{
    // Stripes under the label, so that any pixel of the label's own shows.
    form->SetClientSize(400, 300);
    auto* stripes = new TImage(form);
    stripes->SetParent(form);
    stripes->SetAlign(alClient);
    TBitmap* picture = stripes->Picture()->Bitmap();
    picture->SetSize(400, 300);
    for (int x = 0; x < 400; x += 3) {
        picture->Canvas()->Brush()->SetColor(x % 2 ? clTeal : clSilver);
        picture->Canvas()->FillRect(QRect(x, 0, 3, 300));
    }
    form->SendControlToBack(stripes);
    // A user element painting a red frame and, inside, the key colour: a hole.
    label->SetOnUserDefinedUpdate(
        [](TObject*, const QString&, const QString&, int& w, int& h, QString&, QString&, QString&) {
            w = 40;
            h = 20;
        });
    QRect frame;
    label->SetOnUserDefinedDraw([&](TObject*, const QString&, const QString&, TCanvas* canvas, QRect r, const QString&,
                                    const QString&, const QString&) {
        frame = r;
        canvas->Brush()->SetStyle(bsSolid);
        canvas->Brush()->SetColor(clRed);
        canvas->FillRect(r);
        canvas->Brush()->SetColor(HtmlTransparentColor);
        canvas->FillRect(r.adjusted(5, 5, -5, -5));
    });
    label->SetHtml(kSmoothSample + QStringLiteral("<user id=hole type=box>"));

    label->SetVisible(false);
    const QImage parent = RenderForm();
    label->SetVisible(true);
    for (bool transparent : { true, false }) {
        SCOPED_TRACE(transparent ? "transparent" : "opaque");
        label->SetTransparent(transparent);
        label->SetColor(clYellow);
        label->SetHtml(label->Html());
        const QImage image = RenderForm();
        auto expected = [&](int x, int y) { return transparent ? Px(parent, x, y) : Rgb(clYellow); };
        // Everything outside the tags' boxes is the background.
        const TQzMiniHtml2& e = *label->Engine();
        QRegion drawn;
        for (int i = 0; i < e.TagCount(); ++i) {
            const atag* t = e.Tags(i);
            drawn += QRect(t->Left, t->Top, t->Width, t->Height).adjusted(-1, -1, 1, 1);
        }
        int wrong = 0;
        for (int y = 0; y < label->Height(); ++y)
            for (int x = 0; x < label->Width(); ++x)
                wrong += !drawn.contains(QPoint(x, y)) && Px(image, 10 + x, 10 + y) != expected(10 + x, 10 + y);
        EXPECT_EQ(wrong, 0);
        // The key colour painted by the element is a hole, its frame is red.
        ASSERT_FALSE(frame.isEmpty());
        const QRect hole = frame.adjusted(5, 5, -5, -5).translated(10, 10);
        for (int y = hole.top(); y <= hole.bottom(); ++y)
            for (int x = hole.left(); x <= hole.right(); ++x)
                wrong += Px(image, x, y) != expected(x, y);
        EXPECT_EQ(wrong, 0);
        EXPECT_EQ(Px(image, 10 + frame.left() + 1, 10 + frame.top() + 1), Rgb(clRed));
    }
}

TEST_F(HtmlLabel, LinksReportTheLabelAndNewTextWaitsForTheClick)
{
    Fixed();
    QStringList clicks;
    label->SetOnLinkClicked([&](TObject* sender, const QString& href, bool& handled) {
        EXPECT_EQ(sender, label);
        clicks.append(href);
        handled = true;
        // As the birthday line does: new text, and a repaint during the click.
        label->SetHtml(QStringLiteral("after"));
        Render();
    });
    label->SetHtml(QStringLiteral("<a href=\"Change\">Birthdays</a> and more"));
    Render();
    tick += 1000;
    label->DoMouseMove(0, 20, 12);
    EXPECT_EQ(label->Cursor(), crHandPoint);
    ASSERT_NE(label->Engine()->MouseOver, nullptr);
    label->DoMouseDown(mbLeft, 0, 20, 12, false);
    label->DoMouseUp(mbLeft, 0, 20, 12);
    EXPECT_EQ(clicks, QStringList { QStringLiteral("change") });
    EXPECT_EQ(label->ParseCount(), 1); // the tags under the mouse stayed alive

    // The parse after the click forgets the hover state with the old tags.
    Render();
    EXPECT_EQ(label->ParseCount(), 2);
    EXPECT_EQ(label->Engine()->TagCount(), 1);
    EXPECT_EQ(label->Engine()->MouseOver, nullptr);
    EXPECT_EQ(label->Engine()->Focused, -1);
}

TEST_F(HtmlLabel, RendersTheBirthdayLineAndARichSampleToAPicture)
{
    form->SetClientSize(520, 560);
    auto* skin = new TImage(form);
    skin->SetParent(form);
    skin->SetAlign(alClient);
    skin->SetStretch(true);
    skin->Picture()->LoadFromFile(SourceRoot() + QStringLiteral("/resources/store/skin04.jpg"));
    form->SendControlToBack(skin);

    label->SetTransparent(true);
    label->SetAutoHeight(true);
    label->SetBounds(10, 10, 500, 20);
    label->SetHtml(kBirthdayLine);

    auto* empty = new TQzHtmlLabel2(form);
    empty->SetParent(form);
    empty->SetColor(clBtnFace);
    empty->SetAutoHeight(true);
    empty->SetBounds(10, 40, 500, 20);
    empty->SetHtml(kEmptyDayLine);

    auto* rich = new TQzHtmlLabel2(form);
    rich->SetParent(form);
    rich->SetColor(clWhite);
    rich->SetBounds(10, 70, 500, 480);
    rich->SetHtml(kRichSample);

    RenderForm();
    const QImage image = RenderForm(); // the second render shows the fitted heights
    const QDir dir(QCoreApplication::applicationDirPath());
    const QString path = dir.filePath(QStringLiteral("minihtml_label.png"));
    ASSERT_TRUE(image.save(path));
    // The two birthday lines four times enlarged, pixel for pixel.
    const QImage lines = image.copy(10, 10, 260, 50);
    const QString zoomed = dir.filePath(QStringLiteral("minihtml_birthday_line_4x.png"));
    ASSERT_TRUE(lines.scaled(lines.size() * 4, Qt::IgnoreAspectRatio, Qt::FastTransformation).save(zoomed));
    std::cout << "HTML labels rendered to " << path.toStdString() << " and " << zoomed.toStdString() << std::endl;

    // The birthday line fits one line and shows the skin around its words.
    EXPECT_EQ(label->Height(), label->Engine()->CacheBitmap->Height());
    EXPECT_LT(label->Height(), 30);
    const QColor beside = image.pixelColor(10 + 495, 10 + 2);
    EXPECT_NE(beside.rgb() & 0xFFFFFF, Rgb(clYellow));
    EXPECT_NE(beside.rgb() & 0xFFFFFF, Rgb(HtmlTransparentColor));
    auto count = [&](const QRect& r, TColor c) {
        int n = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x)
                n += Px(image, x, y) == Rgb(c);
        return n;
    };
    // Maroon names and navy names are drawn (smooth, so near those colours).
    EXPECT_GT(CountNear(image, QRect(10, 10, 500, label->Height()), clMaroon, 40), 10);
    EXPECT_GT(CountNear(image, QRect(10, 10, 500, label->Height()), clNavy, 40), 10);
    // No key colour leaks anywhere.
    EXPECT_EQ(count(image.rect(), HtmlTransparentColor), 0);
    // The rich sample: the pale paragraph band and the header cells' fill.
    EXPECT_GT(count(QRect(10, 70, 500, 480), RGB(0xFF, 0xFF, 0xC0)), 2000);
    EXPECT_GT(count(QRect(10, 70, 500, 480), RGB(0xC0, 0xC0, 0xFF)), 500);
}
