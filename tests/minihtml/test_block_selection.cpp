// The drag selection of a label with the block handler installed, driven by
// real mouse events through its form; bold and underline of the selected
// tags; scrolling within the cache.
#include "minihtml_fixture.h"

#include "minihtml/html_label.h"
#include "minihtml/inline_elements.h"
#include "minihtml/mouse.h"

#include "platform/core/sysinfo.h"
#include "platform/gui/forms.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTest>

#include <climits>
#include <cstdlib>

namespace {

class BlockSelection : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetTickCountSource([this] { return tick; });
        form = new TForm(nullptr);
        form->SetBorderStyle(bsNone);
        form->SetClientSize(400, 300);
        label = NewLabel(QStringLiteral("one two three four five"));
        block = new TBlockHandler(label, label->Engine());
        label->Engine()->MouseKBHandler3 = block;
        form->Show();
        QApplication::processEvents();
        Render(label);
    }
    void TearDown() override
    {
        delete form;
        SetTickCountSource({});
    }

    TQzHtmlLabel2* NewLabel(const QString& html)
    {
        auto* l = new TQzHtmlLabel2(form);
        l->SetParent(form);
        l->SetBounds(10, 10, 300, 100);
        l->SetColor(clWhite);
        l->Engine()->TextMetrics = std::make_shared<FixedMetrics>();
        l->SetHtml(html);
        return l;
    }
    static QImage Render(TQzHtmlLabel2* l) { return l->RenderToBitmap()->Image(); }

    // Mouse events at label coordinates, sent to the form's window.
    QWidget* Window() const { return form->Handle(); }
    static QPoint At(int x, int y) { return QPoint(10 + x, 10 + y); }
    void Press(int x, int y) { QTest::mousePress(Window(), Qt::LeftButton, {}, At(x, y)); }
    void Release(int x, int y) { QTest::mouseRelease(Window(), Qt::LeftButton, {}, At(x, y)); }
    void DragTo(int x, int y)
    {
        tick += 1000; // past the move filter
        QMouseEvent move(
            QEvent::MouseMove, At(x, y), Window()->mapToGlobal(At(x, y)), Qt::NoButton, Qt::LeftButton, {});
        QApplication::sendEvent(Window(), &move);
    }

    aText* Word(const QString& text) const
    {
        TQzMiniHtml2& e = *label->Engine();
        for (int i = 0; i < e.TagCount(); ++i)
            if (auto* w = dynamic_cast<aText*>(e.Tags(i)); w && w->Text.trimmed() == text)
                return w;
        ADD_FAILURE() << "no word " << text.toStdString();
        return nullptr;
    }
    // Pixels of the selection colour in a word's box of a rendering.
    int Highlighted(const QImage& image, const QString& text) const
    {
        const aText* w = Word(text);
        return CountNear(image, QRect(w->Left, w->Top, w->Width, w->Height), clActiveCaption, 0);
    }

    quint32 tick = 1000;
    TForm* form = nullptr;
    TQzHtmlLabel2* label = nullptr;
    TBlockHandler* block = nullptr;
};

} // namespace

TEST_F(BlockSelection, DragSelectsTheWordsItCrossesAndBoldAndUnderlineWrapThem)
{
    TQzMiniHtml2& e = *label->Engine();
    // Every character is 8 pixels wide: "two" spans x 37 to 61, "four" 117 to 149.
    Press(45, 12);
    DragTo(100, 14); // into "three"
    EXPECT_EQ(block->TotalSelected(), 3);
    Release(130, 12); // the release point counts: into "four"
    EXPECT_EQ(block->TotalSelected(), 5); // three words and the blanks between them
    EXPECT_EQ(e.SelectStartFrom, Word(QStringLiteral("two"))->Index);
    EXPECT_EQ(e.SelectEndAt, Word(QStringLiteral("four"))->Index);
    QImage shown = Render(label);
    for (const char* w : { "two", "three", "four" })
        EXPECT_GT(Highlighted(shown, QString::fromLatin1(w)), 0) << w;
    for (const char* w : { "one", "five" })
        EXPECT_EQ(Highlighted(shown, QString::fromLatin1(w)), 0) << w;

    e.Bold();
    EXPECT_EQ(e.GetHtml(), QStringLiteral("one <b>two three four</b> five\r\n"));
    EXPECT_EQ(block->TotalSelected(), 5); // the same words stay selected
    e.Underline();
    EXPECT_EQ(e.GetHtml(), QStringLiteral("one <b><u>two three four</u></b> five\r\n"));
    for (const char* w : { "one", "two", "three", "four", "five" }) {
        const bool inside = QByteArray("two three four").contains(w);
        const TFontStyles style = Word(QString::fromLatin1(w))->Font->Style();
        EXPECT_EQ(style.Contains(fsBold), inside) << w;
        EXPECT_EQ(style.Contains(fsUnderline), inside) << w;
    }

    // A new press forgets the selection; without one the editing calls do nothing.
    Press(200, 80);
    Release(200, 80);
    EXPECT_EQ(block->TotalSelected(), 0);
    EXPECT_EQ(e.SelectStartFrom, -1);
    e.Bold();
    EXPECT_EQ(e.GetHtml(), QStringLiteral("one <b><u>two three four</u></b> five\r\n"));

    // The label now looks exactly like one given that markup.
    TQzHtmlLabel2* written = NewLabel(QStringLiteral("one <b><u>two three four</u></b> five"));
    EXPECT_EQ(Render(label), Render(written));
    EXPECT_EQ(label->ParseCount(), 1);
}

TEST_F(BlockSelection, ScrollingStopsAtEitherEndOfTheCache)
{
    label->SetHeight(40);
    label->SetHtml(QStringLiteral("a<br>b<br>c<br>d<br>e<br>f"));
    Render(label);
    TQzMiniHtml2& e = *label->Engine();
    const int bottom = e.CacheBitmap->Height() - 40;
    ASSERT_GT(bottom, 20);
    struct Step {
        bool down;
        int pixel;
        int top;
    };
    const Step steps[] = {
        { true, 10, 10 },
        { true, 100000, bottom },
        { true, INT_MAX, bottom },
        { false, 7, bottom - 7 },
        { false, INT_MAX, 0 },
        { false, 1, 0 },
        { true, bottom + 1, bottom },
    };
    for (const Step& s : steps) {
        if (s.down)
            e.ScrollDown(s.pixel);
        else
            e.ScrollUp(s.pixel);
        ASSERT_EQ(e.ScrollTop, s.top) << s.down << ' ' << s.pixel;
        // The label shows the cache's band from ScrollTop on, laid over the
        // label's white where the cache is clear or half clear.
        const QImage shown = Render(label);
        const QImage cache = e.CacheBitmap->Image();
        int wrong = 0, ink = 0;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 300; ++x) {
                const QRgb c = cache.pixel(x, y + s.top);
                const QRgb seen = shown.pixel(x, y);
                const int a = qAlpha(c);
                ink += a > 0;
                auto over = [a](int channel) { return (channel * a + 255 * (255 - a)) / 255; };
                wrong += std::abs(qRed(seen) - over(qRed(c))) > 2 || std::abs(qGreen(seen) - over(qGreen(c))) > 2
                    || std::abs(qBlue(seen) - over(qBlue(c))) > 2;
            }
        EXPECT_GT(ink, 0) << s.top;
        EXPECT_EQ(wrong, 0) << s.top;
        EXPECT_GT(ink, 0) << s.top;
    }

    // A text shorter than the label never scrolls.
    label->SetHtml(QStringLiteral("short"));
    Render(label);
    e.ScrollDown(50);
    EXPECT_EQ(e.ScrollTop, 0);
}
