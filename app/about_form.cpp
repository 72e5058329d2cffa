#include "app/about_form.h"
#include "platform/core/sysutils.h"

#include "app/diary_session.h"
#include "app/helpers.h"
#include "controls/dropdown_button.h"
#include "controls/form_building.h"
#include "controls/glow_label.h"
#include "platform/gui/dialogs.h"
#include "platform/gui/extctrls.h"
#include "platform/gui/services.h"
#include "platform/gui/stdctrls.h"

namespace {

constexpr int kMargin = 20;
constexpr int kButtonHeight = 30;

} // namespace

namespace AboutInfo {

QString MakerName()
{
    return S("Veltrane Software");
}

QString ContactAddress()
{
    return S("diary@veltrane.example");
}

QString WebSite()
{
    return S("https://www.veltrane.example/diary/");
}

QString OtherProductWebSite()
{
    return S("https://www.veltrane.example/notes/");
}

} // namespace AboutInfo

TfrmAbout::TfrmAbout(TComponent* AOwner, TDiarySession& session)
    : TForm(AOwner)
    , Session(session)
{
    BuildControls();
    SetCaption(ProgramTitle() + S(" by ") + AboutInfo::MakerName() + QLatin1Char(' '));
    LblEmail2->SetCaption(AboutInfo::ContactAddress());
    OnActivate = [this](TObject* s) { FormActivate(s); };
    OnKeyPress = [this](TObject* s, QChar& key) { FormKeyPress(s, key); };
    DoCreate();
}

TfrmAbout::~TfrmAbout()
{
    DoDestroy();
}

void TfrmAbout::BuildControls()
{
    Image_Bck = SetUpSkinWindow(*this, "frmAbout", DesignClientWidth, DesignClientHeight, biSystemMenu);

    const int textWidth = DesignClientWidth - 2 * kMargin;
    auto makeText = [&](const char* name, int top, const char* caption) {
        auto* label = MakeControl<TLabel>(this, this, name, QRect(kMargin, top, textWidth, 34));
        label->SetAutoSize(false);
        label->SetWordWrap(true);
        label->SetTransparent(true);
        label->SetCaption(S(caption));
        SetFontOf(label, 13, clWhite);
        return label;
    };
    lblUpdates = makeText("lblUpdates", 24, "You can visit our web site for free updates and latest information. ");
    BtnWebSite = MakeSkinButton(this, this, "BtnWebSite", QRect(kMargin, 64, 260, kButtonHeight),
        " Visit the Diary web site", "Visit our web site", "WEBSITE");
    BtnOtherProduct = MakeSkinButton(this, this, "BtnOtherProduct", QRect(kMargin, 98, 260, kButtonHeight),
        " Visit the Notes web site", "Our notebook for your desktop", "WEBSITE");
    lblComments = makeText(
        "lblComments", 144, "Comments, suggestions and inquiries are welcome. We'd love to hear from you...");

    LblEmail1 = MakeControl<TLabel>(this, this, "LblEmail1", QRect(kMargin, 190, 100, 17));
    LblEmail1->SetCaption(S("Send email to:"));
    LblEmail1->SetTransparent(true);
    SetFontOf(LblEmail1, 13, clWhite);
    LblEmail2 = MakeControl<TCPGlowLabel>(this, this, "LblEmail2", QRect(kMargin + 102, 190, 200, 17));
    LblEmail2->SetTransparent(true);
    LblEmail2->SetShowAccelChar(false);
    LblEmail2->SetCursor(crHandPoint);
    SetFontOf(LblEmail2, 13, EmailColor, true);
    LblEmail2->SetGlowColor(clBlack);
    LblEmail2->OnMouseEnter = [this](TObject* s) { LblEmail2MouseEnter(s); };
    LblEmail2->OnMouseLeave = [this](TObject* s) { LblEmail2MouseLeave(s); };
    LblEmail2->OnClick = [this](TObject* s) { LblEmail2Click(s); };

    BtnClose = MakeSkinCloseButton(*this, "BtnClose");
    BtnWebSite->OnClick = [this](TObject* s) { BtnWebSiteClick(s); };
    BtnOtherProduct->OnClick = [this](TObject* s) { BtnOtherProductClick(s); };
    BtnClose->OnClick = [this](TObject* s) { BtnCloseClick(s); };
}

void TfrmAbout::FormActivate(TObject*)
{
    SetActiveControl(nullptr);
    FollowSkin(Session.rStore, Session.CurrentSkin, CurrentSkin, *Image_Bck);
}

void TfrmAbout::LblEmail2MouseEnter(TObject*)
{
    LblEmail2->Font()->SetColor(EmailHotColor);
}

void TfrmAbout::LblEmail2MouseLeave(TObject*)
{
    LblEmail2->Font()->SetColor(EmailColor);
}

void TfrmAbout::LblEmail2Click(TObject*)
{
    OpenLink(S("mailto:") + AboutInfo::ContactAddress());
}

void TfrmAbout::BtnWebSiteClick(TObject*)
{
    OpenLink(AboutInfo::WebSite());
}

void TfrmAbout::BtnOtherProductClick(TObject*)
{
    OpenLink(AboutInfo::OtherProductWebSite());
}

void TfrmAbout::BtnCloseClick(TObject*)
{
    Close();
}

void TfrmAbout::FormKeyPress(TObject*, QChar& Key)
{
    if (Key.unicode() == 27)
        Close();
}
