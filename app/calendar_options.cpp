#include "app/calendar_options.h"
#include "platform/core/sysutils.h"

#include "controls/form_building.h"
#include "controls/styled_speed_button.h"
#include "platform/core/sysinfo.h"
#include "platform/gui/dialogs.h"
#include "platform/gui/stdctrls.h"

#include <memory>

namespace {

constexpr int kButtonWidth = 76;
constexpr int kButtonHeight = 26;

template <class T> T* Make(TfrmCalendarOptions* owner, TWinControl* parent, const char* name, const QRect& bounds)
{
    return MakeControl<T>(owner, parent, name, bounds);
}

} // namespace

TfrmCalendarOptions::TfrmCalendarOptions(TComponent* AOwner)
    : TForm(AOwner)
{
    BuildControls();
    DoCreate();
}

TfrmCalendarOptions::~TfrmCalendarOptions()
{
    DoDestroy();
}

void TfrmCalendarOptions::BuildControls()
{
    SetName(S("frmCalendarOptions"));
    SetCaption(S(" Calendar Options"));
    SetBorderStyle(bsToolWindow);
    SetBorderIcons(biSystemMenu);
    SetPosition(poOwnerFormCenter);
    SetClientSize(DesignClientWidth, DesignClientHeight);
    SetFontOf(this, 12, clWindowText);
    // Escape cancels, as the Cancel button does; the open day list takes it first.
    SetKeyPreview(true);
    OnKeyPress = [this](TObject*, QChar& key) {
        if (key == QChar(27)) {
            key = QChar();
            btnCancelClick(this);
        }
    };

    const int boxWidth = DesignClientWidth - 16;
    gbOptions = Make<TGroupBox>(this, this, "gbOptions", QRect(8, 4, boxWidth, 92));
    cbUseENG = Make<TCheckBox>(this, gbOptions, "cbUseENG", QRect(12, 16, boxWidth - 24, 20));
    cbUseENG->SetCaption(S("Use ENGLISH weekday names"));
    cbChangeSOW = Make<TCheckBox>(this, gbOptions, "cbChangeSOW", QRect(12, 38, boxWidth - 24, 20));
    cbChangeSOW->SetCaption(S("Change default start of week to:"));
    cbChangeSOW->OnClick = [this](TObject* s) { cbChangeSOWClick(s); };
    cbSOW = Make<TComboBox>(this, gbOptions, "cbSOW", QRect(30, 60, 120, 22));
    cbSOW->SetStyle(csDropDownList);
    // The system's names, Sunday first, as the calendar shows them.
    for (const QString& day : FormatSettings().ShortDayNames)
        cbSOW->Items()->Add(day);
    cbSOW->SetItemIndex(0);

    const int buttonTop = DesignClientHeight - kButtonHeight - 8;
    auto makeButton = [this](const char* name, int left, const char* caption) {
        auto* button = Make<TLbSpeedButton>(this, this, name, QRect(left, buttonTop, kButtonWidth, kButtonHeight));
        button->SetCaption(S(caption));
        button->SetAlignment(taCenter);
        return button;
    };
    btnOk = makeButton("btnOk", DesignClientWidth - 2 * (kButtonWidth + 8), "Ok");
    btnOk->OnClick = [this](TObject* s) { btnOkClick(s); };
    btnCancel = makeButton("btnCancel", DesignClientWidth - kButtonWidth - 8, "Cancel");
    btnCancel->OnClick = [this](TObject* s) { btnCancelClick(s); };
}

bool TfrmCalendarOptions::Execute(TComponent* AOwner, TCalOpts& aOptions)
{
    std::unique_ptr<TfrmCalendarOptions> dialog(new TfrmCalendarOptions(AOwner));
    dialog->CalOpts = aOptions;
    dialog->cbChangeSOW->SetChecked(aOptions.ChangeSOW);
    dialog->cbUseENG->SetChecked(aOptions.UseEng);
    dialog->cbSOW->SetEnabled(dialog->cbChangeSOW->Checked());
    // A stored day outside the week shows the first one.
    const int count = dialog->cbSOW->Items()->Count();
    dialog->cbSOW->SetItemIndex(aOptions.SOW >= 0 && aOptions.SOW < count ? aOptions.SOW : 0);
    if (dialog->ShowModal() != mrOk)
        return false;
    aOptions = dialog->CalOpts;
    return true;
}

void TfrmCalendarOptions::cbChangeSOWClick(TObject*)
{
    cbSOW->SetEnabled(cbChangeSOW->Checked());
}

void TfrmCalendarOptions::btnOkClick(TObject*)
{
    const bool changed = cbUseENG->Checked() != CalOpts.UseEng || cbChangeSOW->Checked() != CalOpts.ChangeSOW
        || (cbChangeSOW->Checked() && cbSOW->ItemIndex() != CalOpts.SOW);
    if (!changed) {
        SetModalResult(mrCancel);
        return;
    }
    CalOpts.ChangeSOW = cbChangeSOW->Checked();
    CalOpts.UseEng = cbUseENG->Checked();
    CalOpts.SOW = cbSOW->ItemIndex();
    MessageDlg(
        S("Changes will be made visible the next time you start the diary!"), mtWarning, TMsgDlgButtons { mbOK });
    SetModalResult(mrOk);
}

void TfrmCalendarOptions::btnCancelClick(TObject*)
{
    SetModalResult(mrCancel);
}
