#pragma once

// The personal-information window: the user's name, addresses, telephone
// numbers and document numbers in fields on three tabbed pages. Every edit
// and memo of the window is one value of the diary's personal information,
// stored under the field's name, so adding a field needs nothing else. The
// main window shows the window's panel pnlInfoRel as its information page
// and decides when the values are stored.

#include "platform/gui/forms.h"

#include <QString>

class TCPPageControl;
class TCustomEdit;
class TEdit;
class TLabel;
class TMemo;
class TPanel;
class TTabSet;
class TTabSheet;

class TfrmInfo : public TForm {
public:
    explicit TfrmInfo(TComponent* AOwner);
    ~TfrmInfo() override;

    QString ClassName() const override { return QStringLiteral("TfrmInfo"); }

    static constexpr int DesignClientWidth = 737;
    static constexpr int DesignClientHeight = 468;

    TPanel* pnlInfoRel = nullptr;
    TPanel* pnlHeader = nullptr;
    TLabel* lblHeader = nullptr;
    TCPPageControl* pgctrlInfo = nullptr;
    TTabSheet* tsBasic = nullptr;
    TTabSheet* tsRecords = nullptr;
    TTabSheet* tsContacts = nullptr;
    TTabSet* tsInfo = nullptr;

    TEdit* edtFullName = nullptr;
    TEdit* edtNickName = nullptr;
    TEdit* edtSpouseName = nullptr;
    TMemo* memoAddress = nullptr;
    TEdit* edtState = nullptr;
    TEdit* edtZip = nullptr;
    TEdit* edtCountry = nullptr;
    TEdit* edtHomePhone1 = nullptr;
    TEdit* edtHomePhone2 = nullptr;
    TEdit* edtHomeFax = nullptr;
    TEdit* edtMobile = nullptr;
    TEdit* edtPager = nullptr;
    TEdit* edtPersonalEmail1 = nullptr;
    TEdit* edtPersonalEmail2 = nullptr;
    TEdit* edtWebSite = nullptr;
    TEdit* edtSSN = nullptr;
    TEdit* Edit3 = nullptr;
    TEdit* edtDriversLicense = nullptr;

    // Every field takes the value stored under its name (empty when none)
    // and counts as unmodified.
    void LoadControlValues();
    // Every field's value is stored under its name, values of fields this
    // window no longer has are dropped, and the diary is marked modified.
    void SaveControlValues();
    // Whether the user changed a field since the values were loaded.
    bool ContentModified() const;
    // The chosen tab shows its page.
    void tsInfoChange(TObject* Sender, int NewTab, bool& AllowChange);

private:
    void BuildControls();
    // The window's edits and memos, in component order.
    QList<TCustomEdit*> Fields() const;
};
