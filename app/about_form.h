#pragma once

// The about box: the program's name and maker in the caption, the current
// skin behind, links to the web sites and a mail address that lights up
// under the mouse.

#include "platform/gui/forms.h"

#include <QString>

class TCPGlowLabel;
class TDiarySession;
class TGlyphSpeedButton;
class TImage;
class TLabel;

// Who made the program and where to reach them.
namespace AboutInfo {
QString MakerName();
QString ContactAddress();
QString WebSite();
QString OtherProductWebSite();
} // namespace AboutInfo

class TfrmAbout : public TForm {
public:
    // session (its skin) must outlive the window.
    TfrmAbout(TComponent* AOwner, TDiarySession& session);
    ~TfrmAbout() override;

    QString ClassName() const override { return QStringLiteral("TfrmAbout"); }

    static constexpr int DesignClientWidth = 389;
    static constexpr int DesignClientHeight = 275;
    // The mail address's colours: with the mouse over it, and after.
    static constexpr TColor EmailHotColor = 0x0000FFFF;
    static constexpr TColor EmailColor = 0x0080FFFF;

    TImage* Image_Bck = nullptr;
    TLabel* lblUpdates = nullptr;
    TLabel* lblComments = nullptr;
    TLabel* LblEmail1 = nullptr;
    TCPGlowLabel* LblEmail2 = nullptr;
    TGlyphSpeedButton* BtnWebSite = nullptr;
    TGlyphSpeedButton* BtnOtherProduct = nullptr;
    TGlyphSpeedButton* BtnClose = nullptr;
    // The skin drawn behind; -1 until the first activation.
    int CurrentSkin = -1;

    // Leaves no control focused and follows the main window's skin.
    void FormActivate(TObject* Sender);
    void LblEmail2MouseEnter(TObject* Sender);
    void LblEmail2MouseLeave(TObject* Sender);
    void LblEmail2Click(TObject* Sender);
    void BtnWebSiteClick(TObject* Sender);
    void BtnOtherProductClick(TObject* Sender);
    void BtnCloseClick(TObject* Sender);
    // Esc closes the window.
    void FormKeyPress(TObject* Sender, QChar& Key);

private:
    void BuildControls();

    TDiarySession& Session;
};
