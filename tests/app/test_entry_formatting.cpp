#include "app/main_form.h"
#include "platform/core/sysutils.h"
#include "support/form_fixture.h"
#include "support/main_window_fixture.h"

#include "app/clipart_select.h"
#include "controls/dropdown_button.h"
#include "controls/hatch_panel.h"
#include "controls/link_rich_edit.h"
#include "controls/styled_speed_button.h"
#include "platform/gui/actnlist.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/extctrls.h"
#include "platform/gui/services.h"

#include <QCoreApplication>
#include <QDir>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdio>
#include <functional>
#include <utility>

namespace {

class EntryFormatting : public BlankMainWindowFixture {
protected:
    void SetUp() override
    {
        BlankMainWindowFixture::SetUp();
        body = form->MemoBody;
    }

    // A body of three lines in 10-point text, its middle line selected.
    void WriteAndSelectMiddle()
    {
        body->Lines()->SetText(S("first line\r\nmiddle line\r\nlast line"));
        body->SelectAll();
        body->SelAttributes()->SetSize(10);
        body->SetSelStart(11);
        body->SetSelLength(6);
        ASSERT_EQ(body->SelText(), S("middle"));
        body->SetModified(false);
    }

    // A key as the body receives it while the user types.
    void Key(Qt::Key key, Qt::KeyboardModifiers mods) { QTest::keyClick(body->Handle(), key, mods); }

    TCPRichEdit* body = nullptr;
};

TEST_F(EntryFormatting, EachStyleToggledTwiceRestoresTheSelection)
{
    struct Case {
        const char* name;
        std::function<void()> click;
        TFontStyle style;
    };
    const Case cases[] = {
        { "bold", [this] { form->btnBold->Click(); }, fsBold },
        { "italic", [this] { form->btnItalic->Click(); }, fsItalic },
        { "underline", [this] { form->btnUnderline->Click(); }, fsUnderline },
    };
    for (const Case& c : cases) {
        WriteAndSelectMiddle();
        // Another style already on the selection stays through both clicks.
        const TFontStyle other = c.style == fsItalic ? fsUnderline : fsItalic;
        body->SelAttributes()->SetStyle(other);
        c.click();
        EXPECT_EQ(body->SelAttributes()->Style(), TFontStyles(other) | c.style) << c.name;
        EXPECT_TRUE(body->Modified()) << c.name;
        c.click();
        EXPECT_EQ(body->SelAttributes()->Style(), TFontStyles(other)) << c.name;
        EXPECT_EQ(body->SelText(), S("middle")) << c.name;
        // The text around the selection is untouched.
        body->SetSelStart(0);
        body->SetSelLength(5);
        EXPECT_TRUE(body->SelAttributes()->Style().Empty()) << c.name;
    }
}

TEST_F(EntryFormatting, SizesStopAtThreePointsAndGrowWithoutLimit)
{
    WriteAndSelectMiddle();
    body->SelAttributes()->SetSize(4);
    form->btnDownFont->Click();
    EXPECT_EQ(body->SelAttributes()->Size(), 3);
    form->btnDownFont->Click();
    EXPECT_EQ(body->SelAttributes()->Size(), 3);
    form->btnUpFont->Click();
    EXPECT_EQ(body->SelAttributes()->Size(), 4);
    body->SelAttributes()->SetSize(400);
    form->btnUpFont->Click();
    EXPECT_EQ(body->SelAttributes()->Size(), 401);
}

TEST_F(EntryFormatting, EachColourItemTypesItsColour)
{
    struct Case {
        const char* caption;
        TColor color;
    };
    const Case cases[] = {
        { "Black", 0x00000000 },
        { "Navy", 0x00800000 },
        { "Maroon", 0x00000080 },
        { "Olive", 0x00008080 },
        { "Green", 0x00008000 },
        { "Purple", 0x00800080 },
        { "Teal", 0x0000FF00 },
        { "Red", 0x000000FF },
        { "Gray", 0x00808080 },
    };
    ASSERT_EQ(form->pmColors->Items()->Count(), int(std::size(cases)));
    WriteAndSelectMiddle();
    body->SetSelStart(0);
    body->SetSelLength(5);
    const TColor around = body->SelAttributes()->Color();
    body->SetSelStart(11);
    body->SetSelLength(6);
    // Start from a colour no item has, so Black is seen to change it too.
    body->SelAttributes()->SetColor(0x00123456);
    for (int i = 0; i < int(std::size(cases)); ++i) {
        TMenuItem* item = form->pmColors->Items()->Items(i);
        EXPECT_EQ(item->Caption(), S(cases[i].caption));
        item->Click();
        EXPECT_EQ(body->SelAttributes()->Color(), cases[i].color) << cases[i].caption;
    }
    body->SetSelStart(0);
    body->SetSelLength(5);
    EXPECT_EQ(body->SelAttributes()->Color(), around) << "only the selection";
}

TEST_F(EntryFormatting, CtrlKeysRunTheCommandsTheirHintsName)
{
    struct Case {
        Qt::Key key;
        Qt::KeyboardModifiers mods;
        const char* hint; // of the button the key stands for
        std::function<bool()> done;
    };
    const auto style
        = [this](TFontStyle s) { return [this, s] { return body->SelAttributes()->Style().Contains(s); }; };
    const auto size = [this](int points) { return [this, points] { return body->SelAttributes()->Size() == points; }; };
    const auto align = [this](TAlignment a) { return [this, a] { return body->Paragraph()->Alignment() == a; }; };
    const Case cases[] = {
        { Qt::Key_B, Qt::ControlModifier, "Bold (Ctrl+B)", style(fsBold) },
        { Qt::Key_B, Qt::ControlModifier | Qt::ShiftModifier, "Bold (Ctrl+B)", style(fsBold) },
        { Qt::Key_H, Qt::ControlModifier, "Italics (Ctrl+H)", style(fsItalic) },
        { Qt::Key_U, Qt::ControlModifier, "Underlined (Ctrl+U)", style(fsUnderline) },
        { Qt::Key_N, Qt::ControlModifier, "Larger (Ctrl+N)", size(11) },
        { Qt::Key_M, Qt::ControlModifier, "Smaller (Ctrl+M)", size(9) },
        { Qt::Key_L, Qt::ControlModifier, "Align Left (Ctrl+L)", align(taLeftJustify) },
        { Qt::Key_E, Qt::ControlModifier, "Align Center (Ctrl+E)", align(taCenter) },
        { Qt::Key_R, Qt::ControlModifier, "Align Right (Ctrl+R)", align(taRightJustify) },
    };
    const TGlyphSpeedButton* buttons[] = { form->btnBold, form->btnItalic, form->btnUnderline, form->btnUpFont,
        form->btnDownFont, form->btnLeft, form->btnCenter, form->btnRight };
    for (const Case& c : cases) {
        WriteAndSelectMiddle();
        body->Paragraph()->SetAlignment(c.key == Qt::Key_L ? taCenter : taLeftJustify);
        const bool hinted = std::any_of(
            std::begin(buttons), std::end(buttons), [&](const TGlyphSpeedButton* b) { return b->Hint() == S(c.hint); });
        EXPECT_TRUE(hinted) << c.hint;
        Key(c.key, c.mods);
        EXPECT_TRUE(c.done()) << c.hint;
        EXPECT_EQ(body->Text(), S("first line\r\nmiddle line\r\nlast line")) << c.hint << ": the text stays";
    }
    // Without Ctrl the letters are typed.
    WriteAndSelectMiddle();
    Key(Qt::Key_B, Qt::NoModifier);
    EXPECT_FALSE(body->SelAttributes()->Style().Contains(fsBold));
    EXPECT_EQ(body->Text(), S("first line\r\nb line\r\nlast line"));
}

TEST_F(EntryFormatting, ResetToTheEntryFontKeepsTheTextOnly)
{
    body->LoadRtf(QByteArray("{\\rtf1\\ansi{\\fonttbl{\\f0 Courier New;}}{\\colortbl;\\red255\\green0\\blue0;}"
                             "\\f0\\fs40\\b Big\\b0  and \\cf1 red\\cf0\\par\\pard\\qc centred\\par\\par}"));
    ASSERT_TRUE(body->Text().endsWith(S("\r\n"))) << "the body ends with a line break";
    body->SetModified(false);
    const QByteArray formatted = body->SaveRtf();

    TScriptedDialogService dialogs;
    SetDialogService(&dialogs);
    dialogs.AnswerMessageDlg(mrCancel);
    form->pmoResetEntry->Click();
    EXPECT_EQ(body->SaveRtf(), formatted) << "Cancel changes nothing";
    ASSERT_EQ(dialogs.Calls().size(), 1);
    EXPECT_EQ(dialogs.Calls()[0].Text,
        S("The contents of this entry will be reset to the\r\ndefault diary font. Any custom formatting you \r\n"
          "might have applied will be lost. Are you sure\r\nyou want to proceed?"));
    EXPECT_EQ(dialogs.Calls()[0].DlgType, mtWarning);
    EXPECT_EQ(dialogs.Calls()[0].Buttons, mbOKCancel);

    dialogs.AnswerMessageDlg(mrOk);
    form->pmoResetEntry->Click();
    EXPECT_EQ(dialogs.UnansweredCalls(), 0);
    EXPECT_EQ(body->Text(), S("Big and red\r\ncentred")) << "no empty last line";
    EXPECT_EQ(body->Lines()->Count(), 2);
    for (int at : { 0, 8, 13 }) {
        body->SetSelStart(at);
        body->SetSelLength(1);
        EXPECT_TRUE(body->SelAttributes()->Style().Empty()) << at;
        EXPECT_EQ(body->SelAttributes()->Name(), body->DefAttributes()->Name()) << at;
        EXPECT_EQ(body->SelAttributes()->Size(), body->DefAttributes()->Size()) << at;
        EXPECT_NE(body->SelAttributes()->Color(), TColor(0x000000FF)) << at;
        EXPECT_EQ(body->Paragraph()->Alignment(), taLeftJustify) << at;
    }
    EXPECT_TRUE(body->Modified()) << "the reset entry is stored";

    // A body without a final break keeps its last line, and is stored too.
    body->LoadRtf(QByteArray("{\\rtf1\\ansi\\b one\\par two}"));
    body->SetModified(false);
    dialogs.AnswerMessageDlg(mrOk);
    form->pmoResetEntry->Click();
    EXPECT_EQ(body->Text(), S("one\r\ntwo"));
    EXPECT_TRUE(body->Modified());
}

TEST_F(EntryFormatting, AResetThatFailsRestoresTheEntryAndSaysWhy)
{
    body->LoadRtf(QByteArray("{\\rtf1\\ansi\\b bold\\b0  words\\par\\par}"));
    body->SetModified(true); // typed and not yet stored
    const QByteArray formatted = body->SaveRtf();
    // Something fails once the body was cleared, once.
    bool failed = false;
    body->OnChange = [&](TObject*) {
        if (!std::exchange(failed, true))
            throw Exception(S("Out of memory while resetting"));
    };
    TScriptedDialogService dialogs;
    SetDialogService(&dialogs);
    dialogs.AnswerMessageDlg(mrOk);
    dialogs.AnswerMessageDlg(mrOk);
    form->pmoResetEntry->Click();
    body->OnChange = {};
    EXPECT_TRUE(failed);
    EXPECT_EQ(dialogs.UnansweredCalls(), 0);
    EXPECT_EQ(body->SaveRtf(), formatted) << "the entry as it was";
    EXPECT_TRUE(body->Modified()) << "still to be stored";
    ASSERT_EQ(dialogs.Calls().size(), 2);
    EXPECT_EQ(dialogs.Calls()[1].DlgType, mtError);
    EXPECT_EQ(dialogs.Calls()[1].Text,
        S("The entry could not be reset to the default font and was left as it was.\r\n"
          "Out of memory while resetting"));
}

TEST_F(EntryFormatting, MoodStepsWrapAndMarkOnlyAWrittenDay)
{
    struct Case {
        const char* body;
        int from;
        TAction* action;
        int to;
        bool modified;
    };
    const Case cases[] = {
        { "", 16, form->actNextMood, 0, false },
        { "", 0, form->actPrevMood, 16, false },
        { "", -3, form->actPrevMood, 16, false },
        { "Rain all day.", 5, form->actNextMood, 6, true },
        { "Rain all day.", 5, form->actPrevMood, 4, true },
    };
    for (const Case& c : cases) {
        body->Lines()->SetText(S(c.body));
        form->ShowMood(c.from);
        body->SetModified(false);
        c.action->Execute();
        EXPECT_EQ(form->Mood(), c.to) << c.from;
        EXPECT_EQ(body->Modified(), c.modified) << '"' << c.body << '"';
    }
}

// Runs `act` on the chooser once it shows, then returns the mood shown.
int ClickMoodAndThen(TfrmMain& f, const std::function<void(TfrmClipartSelect&)>& act)
{
    bool seen = false;
    WhenShown<TfrmClipartSelect>(seen, [&](TfrmClipartSelect& chooser) {
        EXPECT_EQ(chooser.ImageList(), f.ilMood);
        act(chooser);
    });
    f.imgMood->Click();
    EXPECT_TRUE(seen);
    return f.Mood();
}

TEST_F(EntryFormatting, ClickingTheMoodPictureChoosesFromTheMoods)
{
    form->ShowMood(5);
    QPoint placed;
    int current = -1;
    EXPECT_EQ(ClickMoodAndThen(*form,
                  [&](TfrmClipartSelect& c) {
                      placed = QPoint(c.Left(), c.Top());
                      current = c.CurrentIcon();
                      c.DG->SetRow(2);
                      c.btnSelect->Click();
                  }),
        9);
    EXPECT_EQ(current, 5) << "opens on the shown mood";
    const QPoint at = form->imgMood->ClientToScreen(QPoint(form->imgMood->Left(), form->imgMood->Top()));
    EXPECT_EQ(placed.y(), at.y());
    EXPECT_EQ(AllForms().size(), 1) << "the chooser is freed";

    EXPECT_EQ(ClickMoodAndThen(*form,
                  [](TfrmClipartSelect& c) {
                      c.DG->SetRow(0);
                      c.btnCancel->Click();
                  }),
        9);
}

// The editing window as the user sees it, for a look: written text in
// several formats, the formatting bar showing.
TEST_F(EntryFormatting, RendersFormattedText)
{
    form->LoadSkin();
    body->LoadRtf(QByteArray("{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 A walk by the river.\\par}"));
    form->pnlFormatting->SetVisible(true);
    body->SetSelStart(0);
    body->SetSelLength(1);
    form->btnUpFont->Click();
    form->btnUpFont->Click();
    body->SetSelStart(2);
    body->SetSelLength(4);
    form->btnBold->Click();
    form->pmColors->Items()->Items(1)->Click();
    body->SetSelStart(body->TextLength());
    body->SetSelText(S("\r\nThe "));
    form->btnItalic->Click();
    body->SetSelText(S("herons"));
    form->btnItalic->Click();
    form->pmColors->Items()->Items(6)->Click();
    body->SetSelText(S(" were back"));
    form->pmColors->Items()->Items(7)->Click();
    form->btnUnderline->Click();
    body->SetSelText(S(" at last"));
    form->btnUnderline->Click();
    form->pmColors->Items()->Items(0)->Click();
    body->SetSelText(S("!\r\nSee you tomorrow"));
    form->btnCenter->Click();
    form->ShowMood(4);
    const QImage image = form->RenderToBitmap()->ToImage();
    const QString path = QDir(QCoreApplication::applicationDirPath()).filePath(S("entry_formatting.png"));
    EXPECT_TRUE(image.save(path));
    std::printf("formatted entry: %s\n", qPrintable(path));
    EXPECT_EQ(body->Paragraph()->Alignment(), taCenter);

    TfrmClipartSelect chooser(form.get());
    chooser.SetImageList(form->ilMood);
    chooser.SetCurrentIcon(4);
    const QImage moods = chooser.RenderToBitmap()->ToImage();
    const QString moodsPath = QDir(QCoreApplication::applicationDirPath()).filePath(S("clipart_select.png"));
    EXPECT_TRUE(moods.save(moodsPath));
    std::printf("clipart chooser: %s\n", qPrintable(moodsPath));
}

} // namespace
