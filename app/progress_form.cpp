#include "app/progress_form.h"
#include "platform/core/sysutils.h"

#include "controls/form_building.h"
#include "app/helpers.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/extctrls.h"
#include "platform/gui/stdctrls.h"

TfrmProgress::TfrmProgress(TComponent* AOwner)
    : TForm(AOwner)
{
    BuildControls();
    DoCreate();
}

TfrmProgress::~TfrmProgress()
{
    DoDestroy();
}

void TfrmProgress::BuildControls()
{
    SetName(S("frmProgress"));
    SetCaption(S("Diary Export"));
    SetBorderStyle(bsSingle);
    SetBorderIcons(0);
    SetPosition(poOwnerFormCenter);
    SetScaled(false);
    SetColor(DesignColor);
    SetFontOf(this, 12, clWhite);
    // The border lies round the client area, in the window's colour.
    SetClientSize(DesignClientWidth + 2 * DesignBorderWidth, DesignClientHeight + 2 * DesignBorderWidth);
    SetBorderWidth(DesignBorderWidth);

    const int x = DesignBorderWidth;
    const int y = DesignBorderWidth;
    Bevel1 = MakeControl<TBevel>(this, this, "Bevel1", QRect(x, y, DesignClientWidth, DesignClientHeight));
    Bevel1->SetAlign(alClient);
    Image1 = MakeControl<TImage>(this, this, "Image1", QRect(x + 12, y + 16, 32, 32));
    // On the window's colour, so its soft edges blend in.
    const QImage picture = PictureOn(S("EXPORTING"), DesignColor, QImage());
    if (!picture.isNull()) {
        TBitmap bitmap;
        bitmap.SetImage(picture);
        Image1->Picture()->SetBitmap(&bitmap);
    }
    lblTitle = MakeControl<TLabel>(this, this, "lblTitle", QRect(x + 58, y + 14, 150, 16));
    lblTitle->SetCaption(S("Exporting your Diary "));
    lblTitle->SetTransparent(true);
    SetFontOf(lblTitle, 13, clWhite, true);
    Label1 = MakeControl<TLabel>(this, this, "Label1", QRect(x + 58, y + 36, 150, 16));
    Label1->SetCaption(S("Please wait ..."));
    Label1->SetTransparent(true);
}

void TfrmProgress::StartProgress()
{
    WindowList.clear();
    for (TCustomForm* other : AllForms())
        if (other != this && other->Visible() && other->Enabled()) {
            other->SetEnabled(false);
            WindowList.append(other);
        }
    Show();
}

void TfrmProgress::EndProgress()
{
    // A window freed meanwhile is no longer among the forms.
    const QList<TCustomForm*> alive = AllForms();
    for (TCustomForm* other : std::as_const(WindowList))
        if (alive.contains(other))
            other->SetEnabled(true);
    WindowList.clear();
    Close();
}
