// The styled push button: its preset kinds, pressing with mouse and keys,
// default and cancel keys, the modal result it hands to the form, and a
// face that leaves its corners to the parent.
#include "buttons_fixture.h"

#include "controls/styled_push_button.h"
#include "platform/gui/stdctrls.h"

#include <QTest>

namespace {

class LbButton : public ButtonsFixture {
protected:
    static QPoint Centre(const TControl* c) { return QPoint(c->Width() / 2, c->Height() / 2); }
    static void Press(TLbButton* b, QPoint at) { b->HostMousePress(Qt::LeftButton, {}, Qt::LeftButton, at, false); }
    static void Release(TLbButton* b, QPoint at) { b->HostMouseRelease(Qt::LeftButton, {}, {}, at); }
    static void Key(TWinControl* c, Qt::Key key, Qt::KeyboardModifiers mods = {})
    {
        QTest::keyClick(c->Handle(), key, mods);
    }
};

TEST_F(LbButton, EachKindLoadsItsCaptionGlyphAndModalResult)
{
    const struct {
        TLbButtonKind kind;
        const char* glyph;
        const char* caption;
        TModalResult result;
    } kinds[] = {
        { bkOK, "LBOK", "OK", mrOk },
        { bkCancel, "LBCANCEL", "Abbrechen", mrCancel },
        { bkHelp, "LBHELP", "Hilfe", mrNone },
        { bkYes, "LBYES", "Ja", mrYes },
        { bkNo, "LBNO", "Nein", mrNo },
        { bkClose, "LBCLOSE", "Schließen", mrNone },
        { bkAbort, "LBABORT", "Abbrechen", mrAbort },
        { bkRetry, "LBRETRY", "Wiederholen", mrRetry },
        { bkIgnore, "LBIGNORE", "Ignorieren", mrIgnore },
        { bkAll, "LBALL", "Alle", mrAll },
    };
    MakeForm();
    for (const auto& k : kinds) {
        SCOPED_TRACE(k.glyph);
        auto* b = Add<TLbButton>(0, 0);
        b->SetKind(k.kind);
        EXPECT_EQ(b->Kind(), k.kind);
        EXPECT_EQ(b->Caption(), QString::fromUtf8(k.caption));
        EXPECT_EQ(b->ModalResult(), k.result);
        EXPECT_EQ(b->NumGlyphs(), 2);
        const QImage art = FindResourceBitmap(QString::fromUtf8(k.glyph));
        EXPECT_EQ(b->Glyph()->Image().convertToFormat(QImage::Format_RGB32), art.convertToFormat(QImage::Format_RGB32));
    }

    // A modal result of its own (or a glyph) ends the preset, keeping the rest.
    auto* b = Add<TLbButton>(0, 0);
    b->SetKind(bkOK);
    b->SetModalResult(mrYes);
    EXPECT_EQ(b->Kind(), bkCustom);
    EXPECT_EQ(b->Caption(), QStringLiteral("OK"));
    EXPECT_EQ(b->Glyph()->Width(), 32);
    b->SetKind(bkNo);
    b->SetGlyph(Strip({ clRed }).get());
    EXPECT_EQ(b->Kind(), bkCustom);
    EXPECT_EQ(b->NumGlyphs(), 1);
    EXPECT_EQ(b->ModalResult(), mrNo);
}

TEST_F(LbButton, APressClicksWhereverItIsReleasedAndSetsTheFormsModalResult)
{
    MakeForm();
    ShowForm();
    auto* b = Add<TLbButton>(10, 10, 75, 24);
    b->SetModalResult(mrCancel);
    int clicks = 0;
    b->OnClick = [&](TObject*) { ++clicks; };
    Press(b, Centre(b));
    EXPECT_TRUE(b->IsDown());
    EXPECT_TRUE(b->Focused());
    Release(b, QPoint(200, 150)); // outside
    EXPECT_EQ(clicks, 1);
    EXPECT_FALSE(b->IsDown());
    EXPECT_EQ(form->ModalResult(), mrCancel);

    // Space and Enter press it while held and click it on release.
    form->SetModalResult(mrNone);
    Key(b, Qt::Key_Space);
    Key(b, Qt::Key_Return);
    EXPECT_EQ(clicks, 3);

    // Disabled, it ignores mouse and keys; its window stays enabled.
    b->SetEnabled(false);
    EXPECT_TRUE(b->TControl::Enabled());
    Press(b, Centre(b));
    Release(b, Centre(b));
    Key(b, Qt::Key_Space);
    EXPECT_EQ(clicks, 3);
    EXPECT_FALSE(b->IsDown());
}

TEST_F(LbButton, EnterGoesToTheDefaultButtonUnlessAPushButtonHasTheFocus)
{
    MakeForm();
    auto* edit = Add<TEdit>(10, 10, 100, 22);
    auto* ok = Add<TLbButton>(10, 50, 75, 24);
    auto* cancel = Add<TLbButton>(100, 50, 75, 24);
    auto* other = Add<TLbButton>(190, 50, 75, 24);
    ok->SetDefault(true);
    cancel->SetCancel(true);
    QStringList log;
    for (TLbButton* b : { ok, cancel, other })
        b->OnClick = [&log, b](TObject*) { log.append(b->Caption()); };
    ok->SetCaption(QStringLiteral("ok"));
    cancel->SetCaption(QStringLiteral("cancel"));
    other->SetCaption(QStringLiteral("other"));
    ShowForm();

    const struct {
        TWinControl* focus;
        Qt::Key key;
        Qt::KeyboardModifiers mods;
        const char* clicked;
    } cases[] = {
        { edit, Qt::Key_Return, {}, "ok" }, { edit, Qt::Key_Escape, {}, "cancel" },
        { edit, Qt::Key_Escape, Qt::ShiftModifier, "" }, { other, Qt::Key_Return, {}, "other" },
        { other, Qt::Key_Escape, {}, "" }, // a focused button keeps Esc from the cancel button
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.focus->Name().toStdString()) + " " + c.clicked);
        log.clear();
        c.focus->SetFocus();
        QApplication::processEvents();
        ASSERT_EQ(form->ActiveControl(), c.focus);
        Key(c.focus, c.key, c.mods);
        EXPECT_EQ(log.join(u','), QString::fromUtf8(c.clicked));
    }

    // A disabled default button leaves Enter alone.
    ok->SetEnabled(false);
    edit->SetFocus();
    log.clear();
    Key(edit, Qt::Key_Return);
    EXPECT_TRUE(log.isEmpty());
}

TEST_F(LbButton, AModernFaceShowsTheParentInItsCornersAndTheFocusRectangle)
{
    MakeForm(200, 100, clYellow);
    auto* b = Add<TLbButton>(10, 10, 75, 24);
    b->SetColor(0x009DCEE8);
    b->SetStyle(bsModern);
    auto* edit = Add<TEdit>(10, 50, 100, 22);
    ShowForm();
    edit->SetFocus();
    QApplication::processEvents();
    const QImage before = Render(b);
    EXPECT_EQ(Px(before, 0, 0), Rgb(clYellow));
    b->SetFocus();
    QApplication::processEvents();
    ASSERT_TRUE(b->Focused());
    const QImage focused = Render(b);
    int dots = 0; // the dotted focus rectangle along its top edge
    for (int x = 4; x < 71; ++x)
        dots += focused.pixel(x, 4) != before.pixel(x, 4);
    EXPECT_GT(dots, 10);
    EXPECT_EQ(Px(focused, 0, 0), Rgb(clYellow));
}

} // namespace
