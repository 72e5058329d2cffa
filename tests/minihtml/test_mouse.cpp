// Mouse handling: the move filter and the tick counter, hover and cursor,
// link clicks through the host and the shell, form elements, table cells,
// and mouse state across a reload.
#include "minihtml_fixture.h"

#include "minihtml/dynamic_elements.h"
#include "minihtml/inline_elements.h"
#include "minihtml/mouse.h"
#include "minihtml/tables.h"

#include "platform/core/sysinfo.h"
#include "platform/gui/controls.h"
#include "platform/gui/dialogs.h"
#include "platform/gui/services.h"

class Mouse : public EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        SetTickCountSource([this] { return tick; });
        SetShellHandler([this](const QString& target) {
            opened.append(target);
            return shellWorks;
        });
        normal = std::make_unique<TNormalHandler>(nullptr, e.get());
        forms = std::make_unique<TFormElementHandler>(nullptr, e.get());
        e->MouseKBHandler1 = normal.get();
        e->MouseKBHandler2 = forms.get();
        e->OnLinkClicked = [this](TObject* sender, const QString& href, bool& handled) {
            EXPECT_EQ(sender, &control);
            clicked.append(href);
            handled = handle;
        };
    }
    void TearDown() override
    {
        SetTickCountSource({});
        SetShellHandler({});
    }

    // A counted move: far enough in time and space from the last one.
    void MoveTo(int x, int y)
    {
        tick += 1000;
        e->MouseMove(&control, 0, x, y);
    }
    void Click(int x, int y, TMouseButton button = mbLeft)
    {
        e->MouseDown(&control, button, 0, x, y);
        e->MouseUp(&control, button, 0, x, y);
    }

    quint32 tick = 1000;
    TGraphicControl control { nullptr };
    std::unique_ptr<TNormalHandler> normal;
    std::unique_ptr<TFormElementHandler> forms;
    QStringList opened;
    QStringList clicked;
    bool handle = false;
    bool shellWorks = true;
};

TEST_F(Mouse, MovesAreThinnedOutByTimeAndDistance)
{
    Load(QStringLiteral("<a href=x>link</a>"));
    e->MouseMove(&control, 0, 50, 50);
    EXPECT_EQ(e->LastPos, QPoint(50, 50));
    EXPECT_EQ(e->LastCheckTime, 1000u);
    tick = 1100; // too soon, however far
    e->MouseMove(&control, 0, 200, 100);
    EXPECT_EQ(e->LastPos, QPoint(50, 50));
    tick = 1151;
    e->MouseMove(&control, 0, 55, 45); // late enough, but within 5 pixels
    EXPECT_EQ(e->LastPos, QPoint(50, 50));
    e->MouseMove(&control, 0, 56, 50);
    EXPECT_EQ(e->LastPos, QPoint(56, 50));
    // The counter wraps: the unsigned difference still counts.
    e->LastCheckTime = 0xFFFFFFF0u;
    tick = 0x100;
    e->MouseMove(&control, 0, 10, 10);
    EXPECT_EQ(e->LastCheckTime, 0x100u);
    // Scrolled content is hit at scrolled coordinates.
    e->ScrollTop = 7;
    MoveTo(100, 100);
    EXPECT_EQ(e->LastPos, QPoint(100, 107));
}

TEST_F(Mouse, HoverDrawsTheLinkAndSetsTheCursor)
{
    Load(QStringLiteral("<a href=x>link</a> plain"));
    auto* link = Word(QStringLiteral("link"));
    MoveTo(20, 12);
    EXPECT_TRUE(link->MouseOver);
    EXPECT_EQ(e->MouseOver, link);
    EXPECT_EQ(e->Focused, link->Index);
    EXPECT_EQ(control.Cursor(), crHandPoint);
    // The hover colour reached the cache and the target.
    EXPECT_GT(Count(target.Image(), QRect(5, 5, 32, 16), clRed), 0);
    EXPECT_EQ(Count(target.Image(), QRect(5, 5, 32, 16), clBlue), 0);

    MoveTo(60, 12); // plain text
    EXPECT_FALSE(link->MouseOver);
    EXPECT_EQ(control.Cursor(), crDefault);
    EXPECT_GT(Count(target.Image(), QRect(5, 5, 32, 16), clBlue), 0);
    MoveTo(200, 150); // empty space
    EXPECT_EQ(e->MouseOver, nullptr);
    EXPECT_EQ(e->Focused, -1);
}

TEST_F(Mouse, LinkClicksGoToTheHostThenTheShell)
{
    Load(QStringLiteral("<a href=\"Http://Example.ORG/x\">link</a> <a href=\"mailto://ann@example.org\">mail</a>"));
    MoveTo(20, 12);
    EXPECT_EQ(control.Cursor(), crHandPoint);
    e->MouseDown(&control, mbLeft, 0, 20, 12);
    EXPECT_EQ(control.Cursor(), crDefault); // pressing resets the hand
    EXPECT_EQ(clicked, QStringList { QStringLiteral("http://example.org/x") });
    EXPECT_EQ(opened, QStringList { QStringLiteral("http://example.org/x") });

    Click(60, 12);
    EXPECT_EQ(opened.last(), QStringLiteral("mailto:ann@example.org"));

    handle = true;
    Click(20, 12);
    EXPECT_EQ(clicked.size(), 3);
    EXPECT_EQ(opened.size(), 2); // handled: no shell

    handle = false;
    Click(20, 12, mbRight);
    Click(200, 150);
    EXPECT_EQ(clicked.size(), 3);
}

TEST_F(Mouse, ALinkTheShellCannotOpenSaysSo)
{
    TScriptedDialogService dialogs;
    SetDialogService(&dialogs);
    dialogs.AnswerMessageDlg(mrOk);
    shellWorks = false;
    Load(QStringLiteral("<a href=\"http://example.org/x\">link</a>"));
    MoveTo(20, 12);
    Click(20, 12);
    SetDialogService(nullptr);
    EXPECT_EQ(opened, QStringList { QStringLiteral("http://example.org/x") });
    ASSERT_EQ(dialogs.Calls().size(), 1);
    EXPECT_EQ(dialogs.Calls()[0].Text, QStringLiteral("\"http://example.org/x\" could not be opened."));
    EXPECT_EQ(dialogs.Calls()[0].DlgType, mtError);
}

TEST_F(Mouse, FormElementsReportClicks)
{
    QStringList reports;
    e->OnFormElementClicked = [&](TObject*, const QString& fmName, const QString& fmMethod, const QString& fmAction,
                                  const QString& name, const QString& type, const QString& value) {
        reports.append(QStringList { fmName, fmMethod, fmAction, name, type, value }.join(u'|'));
    };
    Load(QStringLiteral("<input type=checkbox name=Agree value=Yes><input type=button value=go name=b>"
                        "<user id=Star type=icon var1=One>"));
    auto* box = Tag<aFormElement>(0);
    Click(box->Left + 2, box->Top + 2);
    EXPECT_TRUE(box->checked);
    Click(box->Left + 20, box->Top + 2); // the button
    EXPECT_TRUE(box->checked);
    EXPECT_EQ(reports, (QStringList { QStringLiteral("|||agree|checkbox|yes"), QStringLiteral("|||b|button|go") }));

    // A checkbox toggles with no handler too; user elements report their id.
    e->OnFormElementClicked = {};
    Click(box->Left + 2, box->Top + 2);
    EXPECT_FALSE(box->checked);
    e->OnUserDefinedUpdate
        = [](TObject*, const QString&, const QString&, int& w, int& h, QString&, QString&, QString&) { w = h = 20; };
    e->OnFormElementClicked
        = [&](TObject*, const QString&, const QString&, const QString&, const QString& name, const QString& type,
              const QString& value) { reports.append(name + u'|' + type + u'|' + value); };
    Load(QStringLiteral("<user id=Star type=icon var1=One>"));
    Click(10, 10);
    EXPECT_EQ(reports.last(), QStringLiteral("star|icon|one"));
}

TEST_F(Mouse, TableCellsPassTheMouseToTheirContent)
{
    Load(QStringLiteral("<table><tr><td>a</td><td><a href=cell>link</a></td></tr></table>"));
    auto* cell = Tag<aTDSTag>(4);
    ASSERT_TRUE(cell && cell->Placed);
    // The link lies 5 in from the cell's corner, like any content.
    const QPoint onLink(cell->Left + 5 + 10, cell->Top + 5 + 8);
    MoveTo(onLink.x(), onLink.y());
    EXPECT_EQ(e->MouseOver, cell);
    EXPECT_EQ(control.Cursor(), crHandPoint);
    TQzMiniHtml2* sub = e->SubInstance(cell->MiniHtml);
    ASSERT_TRUE(sub);
    EXPECT_TRUE(dynamic_cast<aVisTag*>(sub->MouseOver)->MouseOver);
    // The hovered link shows in the cell, in the active colour.
    EXPECT_GT(Count(target.Image(), QRect(cell->Left, cell->Top, cell->Width, cell->Height), clRed), 0);

    Click(onLink.x(), onLink.y());
    EXPECT_EQ(clicked, QStringList { QStringLiteral("cell") });
    Click(cell->Left + 2, cell->Top + 2); // the cell's margin: no link
    EXPECT_EQ(clicked.size(), 1);
}

TEST_F(Mouse, ReloadingForgetsTheTagsUnderTheMouse)
{
    Load(QStringLiteral("<table><tr><td><a href=a>x</a></td></tr></table><a href=b>link</a>"));
    MoveTo(8, 12);
    e->MouseDown(&control, mbLeft, 0, 8, 12);
    ASSERT_NE(e->MouseOver, nullptr);
    Load(QStringLiteral("other"));
    EXPECT_EQ(e->MouseOver, nullptr);
    EXPECT_EQ(e->Focused, -1);
    e->MouseUp(&control, mbLeft, 0, 8, 12);
    MoveTo(9, 30);
    Click(9, 30);

    // A host that reloads from its click handler: the reload waits, the
    // tags in use stay alive, and a later load goes through.
    Load(QStringLiteral("<a href=x>link</a>"));
    e->OnLinkClicked = [this](TObject*, const QString&, bool& handled) {
        handled = true;
        EXPECT_TRUE(e->Busy());
        Load(QStringLiteral("replaced"));
    };
    Click(20, 12);
    EXPECT_TRUE(Word(QStringLiteral("link")));
    Load(QStringLiteral("replaced"));
    EXPECT_TRUE(Word(QStringLiteral("replaced\r\n")));
}

TEST_F(Mouse, TheSparePointIsTheHosts)
{
    EXPECT_EQ(e->CurrentPos, QPoint());
    e->CurrentPos = QPoint(7, 8);
    Load(QStringLiteral("<a href=\"x\">go</a> <input type=\"checkbox\">"));
    MoveTo(10, 10);
    Click(10, 10);
    e->MouseDown(&control, mbLeft, 0, 60, 12);
    MoveTo(80, 30);
    e->MouseUp(&control, mbLeft, 0, 80, 30);
    EXPECT_EQ(e->EndPos, QPoint(80, 30));
    EXPECT_EQ(e->CurrentPos, QPoint(7, 8));
}
