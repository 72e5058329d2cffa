// The main window's controls and where they sit: the calendar column at the
// left, the entry area at the right, the commands over the skin.
//
// The entry area reads from top to bottom: the day's mood picture with its
// arrows, the short date and the title; then one sheet of paper with the
// formatting bar at its top while the body is being written, the body, and
// under it a line for the day's birthdays. Everything right of the calendar column
// stretches with the window; the column itself stays where it is.
//
// Each section is built by a function beside the commands that use its
// controls; the order of the calls below is the order of the controls, on
// their parents and among the window's components.

#include "app/main_layout_p.h"

#include "controls/dropdown_button.h"
#include "controls/hatch_panel.h"
#include "platform/gui/actnlist.h"
#include "platform/gui/extctrls.h"
#include "platform/gui/stdctrls.h"

#include <QFontMetrics>
#include <QWidget>

#include <algorithm>

namespace main_layout_p {

TGlyphSpeedButton* MakeButton(TfrmMain* owner, TWinControl* parent, const char* name, const QRect& bounds,
    const char* caption, const char* hint, const char* picture)
{
    auto* button = Make<TGlyphSpeedButton>(owner, parent, name, bounds);
    button->SetCaption(S(caption));
    button->SetHint(S(hint));
    button->SetShowHint(hint[0] != '\0');
    button->SetTransparent(true);
    button->SetGrayedInactive(false);
    button->SetMarkDropDown(false);
    button->SetCursor(crHandPoint);
    SetGlyphOf(button, picture);
    return button;
}

void BindButton(TGlyphSpeedButton* button, TAction* action)
{
    const QString caption = button->Caption();
    button->SetAction(action);
    button->SetCaption(caption);
}

} // namespace main_layout_p

using namespace main_layout_p;

void TfrmMain::BuildControls()
{
    imgBack = Make<TImage>(this, this, "imgBack", QRect(0, 0, DesignClientWidth, DesignClientHeight));
    imgBack->SetAlign(alClient);
    imgBack->SetStretch(true);

    BuildActions();
    BuildCalendarColumn();
    BuildCommands();
    BuildEntryArea();
    BuildTitle();
    BuildFormattingBar();
    BuildBody();
    BuildInfoPage();
    BuildMenus();
    BuildDayDisplay();
    BuildBirthdayLine();
    BuildFormatting();
}

void TfrmMain::FitTitleToFont()
{
    const int needed = QFontMetrics(edtTitle->Handle()->font()).height() + kEditTextSpare;
    const int height = std::min(std::max(kTitleEditHeight, needed), pnlTitle->Height());
    edtTitle->SetBounds(
        edtTitle->Left(), std::min(kTitleEditTop, pnlTitle->Height() - height), edtTitle->Width(), height);
}
