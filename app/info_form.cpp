#include "app/info_form.h"
#include "platform/core/sysutils.h"

#include "controls/form_building.h"
#include "controls/page_control.h"
#include "engine/diary.h"
#include "engine/personal_info.h"
#include "platform/gui/comctrls.h"
#include "platform/gui/extctrls.h"
#include "platform/gui/stdctrls.h"

namespace {

constexpr TColor kPaper = 0x00F2FFFF;
constexpr TColor kHeader = 0x00402000;
constexpr TColor kLabelColor = 0x00602000;
// A pale blue that stands out from the paper, so a borderless field shows where to type.
constexpr TColor kFieldColor = 0x00F5E8DC;
constexpr int kHeaderHeight = 34;
constexpr int kTabsHeight = 22;
// The fields: two columns of label and edit, one row each.
constexpr int kLeftColumn = 16;
constexpr int kRightColumn = 372;
// Room for the widest caption ("Retirement Reg. No:") and a gap before its field.
constexpr int kLabelWidth = 134;
constexpr int kEditWidth = 202;
constexpr int kFirstRow = 18;
constexpr int kRowHeight = 30;
constexpr int kEditHeight = 22;
constexpr int kAddressLines = 4;

// The list's view of a field: its text.
class FieldText : public IInfoTextControl {
public:
    explicit FieldText(TCustomEdit& edit)
        : fEdit(edit)
    {
    }
    QString Text() const override { return fEdit.Text(); }
    void SetText(const QString& value) override { fEdit.SetText(value); }

private:
    TCustomEdit& fEdit;
};

// A caption and its field on one row of a page; the label's name is the
// field's with "lbl" in front.
template <class T>
T* AddField(TfrmInfo* form, TTabSheet* page, const char* name, const char* caption, int column, int row, int lines = 1)
{
    const int top = kFirstRow + row * kRowHeight;
    auto* label = MakeControl<TLabel>(
        form, page, qPrintable(S("lbl") + S(name)), QRect(column, top + 3, kLabelWidth, kEditHeight - 4));
    label->SetCaption(S(caption));
    label->SetTransparent(true);
    SetFontOf(label, 13, kLabelColor, true);
    const int height = kEditHeight + (lines - 1) * (kRowHeight - 6);
    auto* field = MakeControl<T>(form, page, name, QRect(column + kLabelWidth, top, kEditWidth, height));
    field->SetBorderStyle(bsNone);
    field->SetColor(kFieldColor);
    SetFontOf(field, 14, clBlack);
    return field;
}

} // namespace

TfrmInfo::TfrmInfo(TComponent* AOwner)
    : TForm(AOwner)
{
    BuildControls();
    pnlHeader->SetHeight(kHeaderHeight);
    tsInfo->SetTabIndex(0);
    pgctrlInfo->SetActivePageIndex(0);
    LoadControlValues();
    DoCreate();
}

TfrmInfo::~TfrmInfo()
{
    DoDestroy();
}

void TfrmInfo::BuildControls()
{
    SetName(S("frmInfo"));
    SetClientSize(DesignClientWidth, DesignClientHeight);
    SetColor(clBlack);
    SetFontOf(this, 12, clBlack);

    pnlInfoRel = MakeControl<TPanel>(this, this, "pnlInfoRel", QRect(0, 0, DesignClientWidth, DesignClientHeight));
    pnlInfoRel->SetAlign(alClient);
    pnlInfoRel->SetBevelOuter(bvNone);
    pnlInfoRel->SetColor(kPaper);
    // Its own font: shown in the main window, it would take that window's white one.
    SetFontOf(pnlInfoRel, 12, clBlack);

    pnlHeader = MakeControl<TPanel>(this, pnlInfoRel, "pnlHeader", QRect(0, 0, DesignClientWidth, kHeaderHeight));
    pnlHeader->SetAlign(alTop);
    pnlHeader->SetBevelOuter(bvNone);
    pnlHeader->SetColor(kHeader);
    lblHeader = MakeControl<TLabel>(this, pnlHeader, "lblHeader", QRect(12, 7, 400, 20));
    lblHeader->SetCaption(S("Safe Personal Information Keeper..."));
    lblHeader->SetTransparent(true);
    SetFontOf(lblHeader, 16, clWhite, true);

    tsInfo = MakeControl<TTabSet>(
        this, pnlInfoRel, "tsInfo", QRect(0, DesignClientHeight - kTabsHeight, DesignClientWidth, kTabsHeight));
    tsInfo->SetAlign(alBottom);
    for (const char* tab : { " My Basic Info ", " Important Records", " Emergency contacts " })
        tsInfo->Tabs()->Add(S(tab));
    tsInfo->OnChange = [this](TObject* s, int tab, bool& allow) { tsInfoChange(s, tab, allow); };

    pgctrlInfo = MakeControl<TCPPageControl>(this, pnlInfoRel, "pgctrlInfo",
        QRect(0, kHeaderHeight, DesignClientWidth, DesignClientHeight - kHeaderHeight - kTabsHeight));
    pgctrlInfo->SetAlign(alClient);
    pgctrlInfo->SetBorders(false);
    // The tab set below the pages chooses them; the pages show no tabs.
    const auto addPage = [this](const char* name) {
        auto* page = new TTabSheet(this);
        page->SetName(S(name));
        page->SetPageControl(pgctrlInfo);
        page->SetTabVisible(false);
        page->SetColor(kPaper);
        return page;
    };
    tsBasic = addPage("tsBasic");
    tsRecords = addPage("tsRecords");
    tsContacts = addPage("tsContacts");

    edtFullName = AddField<TEdit>(this, tsBasic, "edtFullName", "Name:", kLeftColumn, 0);
    edtNickName = AddField<TEdit>(this, tsBasic, "edtNickName", "Nickname:", kLeftColumn, 1);
    edtSpouseName = AddField<TEdit>(this, tsBasic, "edtSpouseName", "Spouse Name:", kLeftColumn, 2);
    memoAddress = AddField<TMemo>(this, tsBasic, "memoAddress", "Home Address:", kLeftColumn, 3, kAddressLines);
    const int afterAddress = 3 + kAddressLines;
    edtState = AddField<TEdit>(this, tsBasic, "edtState", "State/Province:", kLeftColumn, afterAddress);
    edtZip = AddField<TEdit>(this, tsBasic, "edtZip", "Zip:", kLeftColumn, afterAddress + 1);
    edtCountry = AddField<TEdit>(this, tsBasic, "edtCountry", "Country:", kLeftColumn, afterAddress + 2);
    edtHomePhone1 = AddField<TEdit>(this, tsBasic, "edtHomePhone1", "Phone 1:", kRightColumn, 0);
    edtHomePhone2 = AddField<TEdit>(this, tsBasic, "edtHomePhone2", "Phone 2:", kRightColumn, 1);
    edtHomeFax = AddField<TEdit>(this, tsBasic, "edtHomeFax", "Fax:", kRightColumn, 2);
    edtMobile = AddField<TEdit>(this, tsBasic, "edtMobile", "Mobile:", kRightColumn, 3);
    edtPager = AddField<TEdit>(this, tsBasic, "edtPager", "Pager:", kRightColumn, 4);
    edtPersonalEmail1 = AddField<TEdit>(this, tsBasic, "edtPersonalEmail1", "Personal eMail 1:", kRightColumn, 5);
    edtPersonalEmail2 = AddField<TEdit>(this, tsBasic, "edtPersonalEmail2", "Personal eMail 2:", kRightColumn, 6);
    edtWebSite = AddField<TEdit>(this, tsBasic, "edtWebSite", "Web Site:", kRightColumn, 7);

    edtSSN = AddField<TEdit>(this, tsRecords, "edtSSN", "Social Security No:", kLeftColumn, 0);
    Edit3 = AddField<TEdit>(this, tsRecords, "Edit3", "Retirement Reg. No:", kLeftColumn, 1);
    edtDriversLicense = AddField<TEdit>(this, tsRecords, "edtDriversLicense", "Drivers License:", kLeftColumn, 2);
}

QList<TCustomEdit*> TfrmInfo::Fields() const
{
    QList<TCustomEdit*> fields;
    for (int i = 0; i < ComponentCount(); ++i) {
        TComponent* c = Components(i);
        if (dynamic_cast<TEdit*>(c) || dynamic_cast<TMemo*>(c))
            fields.append(static_cast<TCustomEdit*>(c));
    }
    return fields;
}

void TfrmInfo::LoadControlValues()
{
    const TPersonalInfo& info = *DiaryDB().Info();
    for (TCustomEdit* field : Fields()) {
        FieldText text(*field);
        TPersonalInfo::SetValueToControl(&text, info.GetItemByName(field->Name()));
        // Loading is no edit of the user's, even when a value equals the field's text.
        field->SetModified(false);
    }
}

void TfrmInfo::SaveControlValues()
{
    TPersonalInfo& info = *DiaryDB().Info();
    for (TCustomEdit* field : Fields()) {
        FieldText text(*field);
        info.UpdateItemByName(field->Name(), TPersonalInfo::GetValueFromControl(&text));
    }
    info.RemoveGarbageValues(*this);
    DiaryDB().Modified = true;
}

bool TfrmInfo::ContentModified() const
{
    for (const TCustomEdit* field : Fields())
        if (field->Modified())
            return true;
    return false;
}

void TfrmInfo::tsInfoChange(TObject*, int NewTab, bool&)
{
    pgctrlInfo->SetActivePageIndex(NewTab);
}
