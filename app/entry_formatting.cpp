// The main window's entry formatting: the formatting bar and its keys, the
// colour menu, the reset of an entry to the entry font, and the choice of
// the day's mood picture.

#include "app/main_form.h"
#include "platform/core/sysutils.h"

#include "app/clipart_select.h"
#include "app/main_layout_p.h"
#include "controls/dropdown_button.h"
#include "controls/hatch_panel.h"
#include "controls/link_rich_edit.h"
#include "platform/gui/actnlist.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/dialogs.h"
#include "platform/gui/extctrls.h"
#include "platform/gui/menus.h"
#include "platform/gui/services.h"
#include "platform/richtext/rich_edit.h"

#include <QTextDocument>

#include <memory>

using namespace main_layout_p;

namespace {

// The colours of pmColors' items, in menu order. "Teal" has always typed
// bright green, so entries written with it keep their look.
constexpr TColor kTypingColors[] = {
    0x00000000, // Black
    0x00800000, // Navy
    0x00000080, // Maroon
    0x00008080, // Olive
    0x00008000, // Green
    0x00800080, // Purple
    0x0000FF00, // Teal
    0x000000FF, // Red
    0x00808080, // Gray
};

// Below this the text would be unreadable; growing has no limit.
constexpr int kSmallestSize = 3;

const char* const kResetWarning = "The contents of this entry will be reset to the\r\ndefault diary font. Any custom "
                                  "formatting you \r\nmight have applied will be lost. Are you sure\r\nyou want to "
                                  "proceed?";

// A button of the formatting bar: a glyph on the paper strip.
TGlyphSpeedButton* MakeFormatButton(
    TfrmMain* owner, TWinControl* bar, const char* name, int left, const char* hint, const char* picture)
{
    auto* button = MakeButton(owner, bar, name, QRect(left, 3, 26, 26), "", hint, picture);
    button->SetFlat(true);
    return button;
}

// A thin upright rule between groups of the formatting buttons.
void AddSeparator(TfrmMain* owner, TWinControl* bar, const char* name, int left)
{
    auto* rule = Make<TBevel>(owner, bar, name, QRect(left, 7, 2, 18));
    rule->SetShape(bsLeftLine);
}

} // namespace

void TfrmMain::BuildFormattingBar()
{
    // One sheet of paper from the formatting bar down to the birthday line.
    // It is windowless, so the transparent birthday line drawn over it shows
    // its dark text on the paper; the bar comes and goes over its top.
    const int paperHeight = kEntryHeight - kStripTop;
    imgPaper = Make<TImage>(this, pnlDiaryEntryMain, "imgPaper", QRect(0, kStripTop, kEntryWidth, paperHeight));
    imgPaper->SetStretch(true);
    imgPaper->SetAnchors(akLeft | akTop | akRight | akBottom);
    {
        TBitmap paper;
        paper.SetSize(8, 8);
        paper.Canvas()->FillSolidRect(QRect(0, 0, 8, 8), kEntryBackground);
        imgPaper->Picture()->SetBitmap(&paper);
    }
    pnlFormatting
        = Make<TCPHatchPanel>(this, pnlDiaryEntryMain, "pnlFormatting", QRect(0, kStripTop, kEntryWidth, kStripHeight));
    pnlFormatting->SetBevelOuter(bvNone);
    pnlFormatting->SetColor(kEntryBackground);
    pnlFormatting->SetAnchors(akLeft | akTop | akRight);
    pnlFormatting->SetVisible(false);
    btnBold = MakeFormatButton(this, pnlFormatting, "btnBold", 6, "Bold (Ctrl+B)", "BOLD");
    btnItalic = MakeFormatButton(this, pnlFormatting, "btnItalic", 32, "Italics (Ctrl+H)", "ITALIC");
    btnUnderline = MakeFormatButton(this, pnlFormatting, "btnUnderline", 58, "Underlined (Ctrl+U)", "UNDERLINE");
    AddSeparator(this, pnlFormatting, "bvlFormatStyle", 89);
    btnUpFont = MakeFormatButton(this, pnlFormatting, "btnUpFont", 96, "Larger (Ctrl+N)", "FONTUP");
    btnDownFont = MakeFormatButton(this, pnlFormatting, "btnDownFont", 122, "Smaller (Ctrl+M)", "FONTDOWN");
    AddSeparator(this, pnlFormatting, "bvlFormatSize", 153);
    btnLeft = MakeFormatButton(this, pnlFormatting, "btnLeft", 160, "Align Left (Ctrl+L)", "ALIGNLEFT");
    btnCenter = MakeFormatButton(this, pnlFormatting, "btnCenter", 186, "Align Center (Ctrl+E)", "ALIGNCENTER");
    btnRight = MakeFormatButton(this, pnlFormatting, "btnRight", 212, "Align Right (Ctrl+R)", "ALIGNRIGHT");
    AddSeparator(this, pnlFormatting, "bvlFormatAlign", 243);
    btnColor = MakeFormatButton(this, pnlFormatting, "btnColor", 250, "Change typing color", "COLOR");
    btnColor->SetWidth(36);
    btnColor->SetMarkDropDown(true);
    btnPrint2 = MakeFormatButton(this, pnlFormatting, "btnPrint2", kEntryWidth - 64, "Print current page", "PRINTPAGE");
    btnSpellCheck
        = MakeButton(this, pnlFormatting, "btnSpellCheck", QRect(kEntryWidth - 34, 2, 28, 28), "", "", "SPELLCHECK");
    btnSpellCheck->SetFlat(true);
    for (TGlyphSpeedButton* b : { btnPrint2, btnSpellCheck })
        b->SetAnchors(akTop | akRight);
    btnPrint2->OnClick = [this](TObject* s) { btnPrintClick(s); };
    btnSpellCheck->OnClick = [this](TObject* s) { btnSpellCheckClick(s); };
    auto* rule = Make<TBevel>(
        this, pnlFormatting, "bvlFormatting", QRect(kPaperMargin, kStripHeight - 2, kEntryWidth - 2 * kPaperMargin, 2));
    rule->SetShape(bsTopLine);
    rule->SetAnchors(akLeft | akTop | akRight);

    pmColors = MakePopupMenu(this, "pmColors");
    const char* colours[] = { "Black", "Navy", "Maroon", "Olive", "Green", "Purple", "Teal", "Red", "Gray" };
    for (int i = 0; i < 9; ++i)
        AddMenuItem(this, pmColors->Items(), qPrintable(QStringLiteral("pmiNCL%1").arg(i)), colours[i]);
    btnColor->SetDropDownMenu(pmColors);
}

void TfrmMain::BuildFormatting()
{
    btnBold->OnClick = [this](TObject* s) { btnBoldClick(s); };
    btnItalic->OnClick = [this](TObject* s) { btnItalicClick(s); };
    btnUnderline->OnClick = [this](TObject* s) { btnUnderlineClick(s); };
    btnUpFont->OnClick = [this](TObject* s) { btnUpFontClick(s); };
    btnDownFont->OnClick = [this](TObject* s) { btnDownFontClick(s); };
    btnLeft->OnClick = [this](TObject* s) { btnLeftClick(s); };
    btnCenter->OnClick = [this](TObject* s) { btnCenterClick(s); };
    btnRight->OnClick = [this](TObject* s) { btnRightClick(s); };
    for (int i = 0; i < pmColors->Items()->Count() && i < int(std::size(kTypingColors)); ++i) {
        TMenuItem* item = pmColors->Items()->Items(i);
        item->SetTag(i);
        item->OnClick = [this](TObject* s) { pmiNCL0Click(s); };
    }
    MemoBody->OnKeyDown = [this](TObject* s, quint16& key, TShiftState shift) { MemoBodyKeyDown(s, key, shift); };
    pmoResetEntry->OnClick = [this](TObject* s) { pmoResetEntryClick(s); };
    actNextMood->OnExecute = [this](TObject* s) { actNextMoodExecute(s); };
    actPrevMood->OnExecute = [this](TObject* s) { actPrevMoodExecute(s); };
    imgMood->OnClick = [this](TObject* s) { imgMoodClick(s); };
}

namespace {

void ToggleStyle(TTextAttributes& attributes, TFontStyle style)
{
    const TFontStyles now = attributes.Style();
    attributes.SetStyle(now.Contains(style) ? now - style : now | style);
}

} // namespace

void TfrmMain::btnBoldClick(TObject*)
{
    ToggleStyle(*MemoBody->SelAttributes(), fsBold);
}

void TfrmMain::btnItalicClick(TObject*)
{
    ToggleStyle(*MemoBody->SelAttributes(), fsItalic);
}

void TfrmMain::btnUnderlineClick(TObject*)
{
    ToggleStyle(*MemoBody->SelAttributes(), fsUnderline);
}

void TfrmMain::btnUpFontClick(TObject*)
{
    TTextAttributes& attributes = *MemoBody->SelAttributes();
    attributes.SetSize(attributes.Size() + 1);
}

void TfrmMain::btnDownFontClick(TObject*)
{
    TTextAttributes& attributes = *MemoBody->SelAttributes();
    if (attributes.Size() > kSmallestSize)
        attributes.SetSize(attributes.Size() - 1);
}

void TfrmMain::btnLeftClick(TObject*)
{
    MemoBody->Paragraph()->SetAlignment(taLeftJustify);
}

void TfrmMain::btnCenterClick(TObject*)
{
    MemoBody->Paragraph()->SetAlignment(taCenter);
}

void TfrmMain::btnRightClick(TObject*)
{
    MemoBody->Paragraph()->SetAlignment(taRightJustify);
}

void TfrmMain::pmiNCL0Click(TObject* Sender)
{
    const auto* item = dynamic_cast<const TMenuItem*>(Sender);
    if (!item || item->Tag() < 0 || item->Tag() >= qint64(std::size(kTypingColors)))
        return;
    MemoBody->SelAttributes()->SetColor(kTypingColors[item->Tag()]);
}

void TfrmMain::MemoBodyKeyDown(TObject*, quint16& Key, TShiftState Shift)
{
    // Other modifiers do not matter, so Ctrl+Shift+B is bold too. The key
    // goes on to the editor.
    if (!(Shift & ssCtrl))
        return;
    switch (Key) {
    case 'B': btnBoldClick(this); break;
    case 'H': btnItalicClick(this); break;
    case 'U': btnUnderlineClick(this); break;
    case 'L': btnLeftClick(this); break;
    case 'R': btnRightClick(this); break;
    case 'E': btnCenterClick(this); break;
    case 'N': btnUpFontClick(this); break;
    case 'M': btnDownFontClick(this); break;
    default: break;
    }
}

void TfrmMain::pmoResetEntryClick(TObject*)
{
    if (MessageDlg(S(kResetWarning), mtWarning, mbOKCancel) != mrOk)
        return;
    // The text straight from the body: the clipboard is the user's.
    const QString text = MemoBody->Text();
    const std::unique_ptr<QTextDocument> original(MemoBody->Document()->clone());
    const bool wasModified = MemoBody->Modified();
    try {
        MemoBody->Clear();
        MemoBody->SetText(text);
        if (MemoBody->Text().endsWith(S("\r\n"))) {
            MemoBody->SetSelStart(MemoBody->TextLength() - 1);
            MemoBody->SetSelLength(1);
            MemoBody->SetSelText(QString());
        }
        // Setting the text counts as loading; the reset must be stored.
        MemoBody->SetModified(true);
    } catch (...) {
        const QString reason = CurrentExceptionMessage();
        // What the user wrote comes back before anything is said.
        try {
            MemoBody->Clear();
            MemoBody->SetSelDocument(*original);
            MemoBody->SetModified(wasModified);
        } catch (...) {
            // The message below tells the user; a restore that fails too
            // has nothing to add to it.
        }
        MessageDlg(S("The entry could not be reset to the default font and was left as it was.\r\n") + reason, mtError,
            TMsgDlgButtons { mbOK });
    }
}

void TfrmMain::actNextMoodExecute(TObject*)
{
    const int last = ilMood->Count() - 1;
    ShowMood(CurrentMood >= last ? 0 : CurrentMood + 1);
}

void TfrmMain::actPrevMoodExecute(TObject*)
{
    const int last = ilMood->Count() - 1;
    ShowMood(CurrentMood <= 0 ? last : CurrentMood - 1);
}

void TfrmMain::imgMoodClick(TObject*)
{
    const QPoint at = imgMood->ClientToScreen(QPoint(imgMood->Left(), imgMood->Top()));
    CurrentMood = TfrmClipartSelect::SelectIcon(this, at.x(), at.y(), ilMood, CurrentMood);
    ShowMood(CurrentMood);
}
