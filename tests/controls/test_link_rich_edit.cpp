// The link rich edit (addresses found in its text, left clicks reported,
// handler errors told by the application) and the borderless page control.
#include "controls/link_rich_edit.h"
#include "controls/page_control.h"

#include "platform/gui/bitmap.h"
#include "platform/gui/forms.h"
#include "support/form_fixture.h"

#include <QApplication>
#include <QMouseEvent>
#include <QTextDocument>
#include <QTextEdit>
#include <QtTest/QTest>

#include <gtest/gtest.h>

namespace {

class LinkEdit : public FormFixture {
protected:
    void SetUp() override
    {
        FormFixture::SetUp();
        MakeForm(420, 300, clBtnFace);
        edit = new TCPRichEdit(form);
        edit->SetParent(form);
        edit->SetBounds(0, 0, 400, 200);
        edit->OnURLClick = [this](TObject* sender, const QString& url) {
            EXPECT_EQ(sender, edit);
            clicked.append(url);
        };
        form->Show();
        QApplication::processEvents();
    }

    QWidget* Viewport() const { return static_cast<QTextEdit*>(edit->Handle())->viewport(); }
    // A point in the middle of the character at pos.
    QPoint At(int pos) const
    {
        const QPoint left = edit->PosToPoint(pos), right = edit->PosToPoint(pos + 1);
        return right.y() == left.y() ? QPoint((left.x() + right.x()) / 2, left.y()) : left + QPoint(1, 0);
    }
    // The character position of a piece of text.
    int Find(const char* text) const { return int(edit->Document()->toRawText().indexOf(QString::fromLatin1(text))); }

    void Press(QPoint p, Qt::MouseButton b = Qt::LeftButton) { QTest::mousePress(Viewport(), b, {}, p); }
    void Release(QPoint p, Qt::MouseButton b = Qt::LeftButton) { QTest::mouseRelease(Viewport(), b, {}, p); }
    void Move(QPoint p, Qt::MouseButtons held = {})
    {
        QMouseEvent e(QEvent::MouseMove, p, Viewport()->mapToGlobal(p), Qt::NoButton, held, {});
        QApplication::sendEvent(Viewport(), &e);
    }

    TCPRichEdit* edit = nullptr;
    QStringList clicked;
};

QStringList Found(const QString& text)
{
    QStringList links;
    for (const TCharRange& r : FindLinks(text))
        links << text.mid(r.cpMin, r.cpMax - r.cpMin);
    return links;
}

} // namespace

TEST(FindLinks, RecognisesSchemesAndWwwWithoutTrailingPunctuation)
{
    EXPECT_EQ(Found(QStringLiteral("See http://example.org/a?b=1&c=2, then https://x.y/z. Mail mailto:me@x.org; "
                                   "FTP://files.org/f.txt file:///tmp/a.rtf news:comp.lang.c www.diary.net! "
                                   "(www.paren.org) \"https://q.org\" (see http://w.org/Diary_(book)).")),
        QStringList({ QStringLiteral("http://example.org/a?b=1&c=2"), QStringLiteral("https://x.y/z"),
            QStringLiteral("mailto:me@x.org"), QStringLiteral("FTP://files.org/f.txt"),
            QStringLiteral("file:///tmp/a.rtf"), QStringLiteral("news:comp.lang.c"), QStringLiteral("www.diary.net"),
            QStringLiteral("www.paren.org"), QStringLiteral("https://q.org"),
            QStringLiteral("http://w.org/Diary_(book)") }));
    // Not links: inside words, bare schemes, other schemes, across lines.
    EXPECT_EQ(Found(QStringLiteral("xhttp://no me@www.no.org http: www. ftp:, about:blank notes.www.x")).join(u'|'),
        QString());
    EXPECT_EQ(Found(QStringLiteral("www.a.org\u2029next\u2028http://b.org\u00A0c")),
        QStringList({ QStringLiteral("www.a.org"), QStringLiteral("http://b.org") }));
}

TEST_F(LinkEdit, LeftClickOnALinkSelectsItAndReportsItsExactText)
{
    edit->SetText(QStringLiteral("Visit http://example.org/diary?day=1 now,\r\nor www.diary.net."));
    edit->SetReadOnly(true);
    ASSERT_EQ(edit->Links().size(), 2);
    const int link = Find("http://");
    Press(At(link + 10));
    EXPECT_EQ(clicked, QStringList({ QStringLiteral("http://example.org/diary?day=1") }));
    EXPECT_EQ(edit->SelStart(), link);
    EXPECT_EQ(edit->SelText(), QStringLiteral("http://example.org/diary?day=1"));

    // Moves and releases over a link report nothing; nor do clicks beside one.
    Move(At(link + 3));
    Move(At(link + 4), Qt::LeftButton);
    Release(At(link + 4));
    Press(At(Find("now")));
    Release(At(Find("now")));
    Press(At(link + 2), Qt::RightButton);
    Release(At(link + 2), Qt::RightButton);
    EXPECT_EQ(clicked.size(), 1);

    // The first and the last character of a link belong to it.
    Press(At(Find("www.")));
    Release(At(Find("www.")));
    Press(At(Find(".net") + 3));
    EXPECT_EQ(clicked.mid(1), QStringList({ QStringLiteral("www.diary.net"), QStringLiteral("www.diary.net") }));
    Release(At(Find(".net") + 3));

    // Without a handler a click only selects.
    edit->OnURLClick = {};
    edit->SetSelStart(0);
    Press(At(link + 1));
    EXPECT_EQ(edit->SelLength(), int(QStringLiteral("http://example.org/diary?day=1").size()));
    EXPECT_TRUE(errors.isEmpty());
}

TEST_F(LinkEdit, AnErrorWhileHandlingALinkClickReachesTheApplication)
{
    // The handler tells of links it cannot open itself; what it raises is a
    // fault of the program, told like any other handler's.
    edit->SetText(QStringLiteral("mailto:someone@example.org and more"));
    int calls = 0;
    edit->OnURLClick = [&](TObject*, const QString& url) {
        ++calls;
        throw Exception(QStringLiteral("cannot open ") + url);
    };
    int presses = 0;
    edit->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++presses; };
    Press(At(3));
    Release(At(3));
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(errors, QStringList { QStringLiteral("cannot open mailto:someone@example.org") });
    EXPECT_EQ(edit->SelText(), QStringLiteral("mailto:someone@example.org")) << "selected before the handler ran";
    EXPECT_EQ(presses, 1) << "the press goes on as any other";
}

TEST_F(LinkEdit, LinksFollowTheTextAndStayOutOfTheRtf)
{
    edit->LoadRtf("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 Look: {\\field{\\*\\fldinst HYPERLINK "
                  "\"http://a.org\"}{\\fldrslt http://a.org}} ok\\par}");
    ASSERT_EQ(edit->Links().size(), 1);
    EXPECT_EQ(edit->LinkAt(Find("a.org")), (TCharRange { 6, 18 }));
    EXPECT_EQ(edit->LinkAt(Find("ok")), TCharRange());
    edit->SetSelStart(edit->TextLength());
    QTest::keyClicks(edit->Handle(), QStringLiteral(" www.b.org"));
    EXPECT_EQ(edit->Links().size(), 2);
    const QByteArray rtf = edit->SaveRtf();
    EXPECT_FALSE(rtf.contains("\\ul")) << "the link marks are no formatting";
    EXPECT_FALSE(rtf.contains("\\colortbl"));
    edit->Clear();
    EXPECT_TRUE(edit->Links().isEmpty());
}

TEST_F(LinkEdit, BorderlessPagesFillTheControlBelowTheTabs)
{
    auto* pages = new TCPPageControl(form);
    pages->SetParent(form);
    pages->SetBounds(0, 0, 300, 200);
    auto* first = new TTabSheet(form);
    first->SetPageControl(pages);
    first->SetCaption(QStringLiteral("First"));
    first->SetColor(clYellow);
    auto* second = new TTabSheet(form);
    second->SetPageControl(pages);
    second->SetCaption(QStringLiteral("Second"));
    QApplication::processEvents();

    EXPECT_TRUE(pages->Borders());
    ASSERT_EQ(pages->About()->Count(), 3);
    TStringList other;
    other.Add(QStringLiteral("x"));
    pages->SetAbout(other);
    EXPECT_EQ(pages->About()->Count(), 3);

    const QRect framed = first->BoundsRect();
    EXPECT_GT(framed.left(), 0);
    const auto edgeIsPage = [&] {
        const QImage image = pages->RenderToBitmap()->Image();
        return (image.pixel(0, 150) & 0xFFFFFF) == 0xFFFF00 && (image.pixel(299, 199) & 0xFFFFFF) == 0xFFFF00;
    };
    EXPECT_FALSE(edgeIsPage());

    pages->SetBorders(false);
    const int tabs = framed.top() - 4;
    EXPECT_EQ(first->BoundsRect(), QRect(0, tabs, 300, 200 - tabs)) << "the client area minus the tab row";
    EXPECT_EQ(pages->DisplayRect(), first->BoundsRect());
    EXPECT_TRUE(edgeIsPage());
    pages->SetActivePage(second);
    EXPECT_EQ(second->BoundsRect(), first->BoundsRect());

    pages->SetBorders(true);
    EXPECT_EQ(second->BoundsRect(), framed);
    pages->SetActivePage(first);
    EXPECT_FALSE(edgeIsPage());
}
