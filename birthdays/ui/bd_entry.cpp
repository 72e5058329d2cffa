#include "birthdays/ui/bd_entry.h"

#include "birthdays/birthday.h"
#include "birthdays/zodiac.h"
#include "controls/cool_edit.h"
#include "controls/form_building.h"
#include "controls/styled_push_button.h"
#include "platform/core/sysinfo.h"
#include "platform/core/sysutils.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/extctrls.h"
#include "platform/gui/stdctrls.h"

#include <QPainter>

#include <memory>

namespace {

constexpr TColor kFormColor = 0x00CCDFDF;
constexpr TColor kButtonColor = 0x009DCEE8;
constexpr TColor kFocusColor = 0x00FFF4F4;
constexpr TColor kFocusLabelColor = 0x00FF0000;
constexpr int kZodiacWidth = 38;
constexpr int kZodiacHeight = 35;
constexpr int kFirstYear = 1900;
// The year list reaches at least this far, whatever the clock says.
constexpr int kLatestFirstYear = 2004;

// The zodiac picture on white, the list's background.
QImage ZodiacPicture(int index)
{
    QImage image(kZodiacWidth, kZodiacHeight, QImage::Format_RGB32);
    image.fill(Qt::white);
    try {
        const QImage art = FindResourceBitmap(QStringLiteral("zodiac%1").arg(index, 2, 10, QLatin1Char('0')));
        QPainter painter(&image);
        painter.drawImage(0, 0, art);
    } catch (const EResNotFound&) {
        // Without the program's pictures the sign shows by its name alone.
    }
    return image;
}

TLabel* MakeLabel(TFrmBDEntry* owner, const char* name, const QRect& bounds, const char* caption)
{
    auto* l = MakeControl<TLabel>(owner, owner, name, bounds);
    l->SetCaption(S(caption));
    l->SetTransparent(true);
    return l;
}

// An edit or list whose colours follow the focus.
void FollowFocus(TFrmBDEntry* owner, TWinControl* c)
{
    c->SetColor(clWhite);
    c->OnEnter = [owner](TObject* s) { owner->edtCtrlEnter(s); };
    c->OnExit = [owner](TObject* s) { owner->edtCtrlExit(s); };
}

} // namespace

TFrmBDEntry::TFrmBDEntry(TComponent* AOwner)
    : TForm(AOwner)
{
    BuildControls();
    FillDateCombos();
    OnKeyPress = [this](TObject* s, QChar& key) { FormKeyPress(s, key); };
    DoCreate();
}

TFrmBDEntry::~TFrmBDEntry()
{
    DoDestroy();
}

void TFrmBDEntry::BuildControls()
{
    SetName(S("FrmBDEntry"));
    SetBorderStyle(bsDialog);
    SetBorderIcons(biSystemMenu);
    SetClientSize(DesignClientWidth, DesignClientHeight);
    SetColor(kFormColor);
    TFont font;
    font.SetName(S("MS Sans Serif"));
    font.SetHeight(-11);
    SetFont(font);
    SetKeyPreview(true);
    SetPosition(poOwnerFormCenter);
    SetShowHint(true);

    BuildKindAndName();
    BuildDateLists();
    BuildZodiac();
    BuildNotes();
    BuildButtons();

    // Tab order as the user reads the dialog.
    int order = 0;
    for (TWinControl* c : std::initializer_list<TWinControl*> {
             rbBirthday, rbAnniversary, edtFullName, cbMonth, cbDay, cbYear, edtNotes, BtnOk, BtnCancel })
        c->SetTabOrder(order++);
}

void TFrmBDEntry::FillDateCombos()
{
    cbMonth->Clear();
    for (const QString& name : FormatSettings().ShortMonthNames)
        cbMonth->Items()->Add(name);

    cbYear->Clear();
    int year, month, day;
    DecodeDate(Date(), year, month, day);
    for (int y = qMax(year, kLatestFirstYear); y >= kFirstYear; --y)
        cbYear->Items()->Add(QString::number(y));
    cbYear->Items()->Insert(0, S("?"));

    cbDay->Clear();
    for (int d = 1; d <= 31; ++d)
        cbDay->Items()->Add(QStringLiteral("%1").arg(d, 2, 10, QLatin1Char('0')));
}

void TFrmBDEntry::ReadDateCombos(int& Year, int& Month, int& Day) const
{
    const int y = cbYear->ItemIndex();
    Year = y <= 0 ? UnknownYear : cbYear->Items()->Strings(y).toInt();
    Month = cbMonth->ItemIndex() + 1;
    Day = cbDay->ItemIndex() + 1;
}

bool TFrmBDEntry::IsDateValid() const
{
    int y, m, d;
    ReadDateCombos(y, m, d);
    TDateTime date;
    return TryEncodeDate(y, m, d, date);
}

TDateTime TFrmBDEntry::GetEnteredDate() const
{
    int y, m, d;
    ReadDateCombos(y, m, d);
    TDateTime date;
    if (!TryEncodeDate(y, m, d, date))
        throw Exception(S("Invalid birth date encountered"));
    return date;
}

void TFrmBDEntry::BuildDateLists()
{
    lblBirthDate = MakeLabel(this, "lblBirthDate", QRect(12, 73, 80, 13), "Date of Birth:");
    const QString dateHint
        = S("Enter the persons birthday date\r\nIf you don't know the exact year\r\nleave the year box blank or in ?");
    const auto dateList = [&](const char* name, const QRect& bounds, int lines) {
        auto* cb = MakeControl<TComboBox>(this, this, name, bounds);
        cb->SetStyle(csDropDownList);
        cb->SetDropDownCount(lines);
        cb->SetHint(dateHint);
        cb->OnChange = [this](TObject* s) { cbMonthChange(s); };
        FollowFocus(this, cb);
        return cb;
    };
    cbMonth = dateList("cbMonth", QRect(96, 69, 64, 21), 13);
    cbDay = dateList("cbDay", QRect(164, 69, 46, 21), 10);
    cbYear = dateList("cbYear", QRect(214, 69, 58, 21), 10);
}

void TFrmBDEntry::ShowDate()
{
    if (fCurrentDate == 0) {
        cbDay->SetItemIndex(-1);
        cbMonth->SetItemIndex(-1);
        cbYear->SetItemIndex(-1);
        return;
    }
    int year, month, day;
    DecodeDate(fCurrentDate, year, month, day);
    cbDay->SetItemIndex(day - 1);
    cbMonth->SetItemIndex(month - 1);
    if (year == UnknownYear) {
        cbYear->SetItemIndex(0);
        return;
    }
    // The years run downwards under "?". A year outside them gets its line
    // in order: left unselected, OK would turn it into the unknown year.
    TControlItems* years = cbYear->Items();
    int line = years->Count();
    for (int i = 1; i < years->Count(); ++i) {
        const int listed = years->Strings(i).toInt();
        if (listed == year) {
            cbYear->SetItemIndex(i);
            return;
        }
        if (listed < year) {
            line = i;
            break;
        }
    }
    years->Insert(line, QString::number(year));
    cbYear->SetItemIndex(line);
}

void TFrmBDEntry::BuildZodiac()
{
    pnlZodiac = MakeControl<TPanel>(this, this, "pnlZodiac", QRect(283, 64, 39, 40));
    pnlZodiac->SetBevelOuter(bvLowered);
    pnlZodiac->SetCaption(QString());
    imgZodiac = MakeControl<TImage>(this, pnlZodiac, "imgZodiac", QRect(2, 2, 35, 35));
    TBitmap blank(35, 35);
    blank.Canvas()->FillSolidRect(QRect(0, 0, 35, 35), clWhite);
    imgZodiac->Picture()->SetBitmap(&blank);
    // Centred under the sign's picture, whatever the length of its name.
    lblZodiac = MakeLabel(this, "lblZodiac", QRect(272, 106, 60, 13), "");
    lblZodiac->SetAutoSize(false);
    lblZodiac->SetAlignment(taCenter);

    ilZodiac = new TImageList(kZodiacWidth, kZodiacHeight, this);
    ilZodiac->SetName(S("ilZodiac"));
    for (int i = 0; i < 12; ++i)
        ilZodiac->AddImage(ZodiacPicture(i));
}

void TFrmBDEntry::ShowZodiac()
{
    const TZodiac* sign = IsDateValid() ? FindZodiac(GetEnteredDate()) : nullptr;
    if (!sign) {
        lblZodiac->SetCaption(QString());
        return;
    }
    lblZodiac->SetCaption(sign->ZodiacName());
    ilZodiac->Draw(*imgZodiac->Canvas(), 0, 0, sign->ImageIndex);
    imgZodiac->Invalidate();
}

bool TFrmBDEntry::IsBirthday() const
{
    return rbBirthday->Checked();
}

void TFrmBDEntry::BuildKindAndName()
{
    Label2 = MakeLabel(this, "Label2", QRect(12, 14, 80, 13), "Entry Type:");
    rbBirthday = MakeControl<TRadioButton>(this, this, "rbBirthday", QRect(96, 12, 80, 17));
    rbBirthday->SetCaption(S("Birthday"));
    rbAnniversary = MakeControl<TRadioButton>(this, this, "rbAnniversary", QRect(184, 12, 100, 17));
    rbAnniversary->SetCaption(S("Anniversary"));
    for (TRadioButton* rb : { rbBirthday, rbAnniversary })
        rb->OnClick = [this](TObject* s) { rbBirthdayClick(s); };

    lblFullName = MakeLabel(this, "lblFullName", QRect(12, 43, 80, 13), "Name:");
    edtFullName = MakeControl<TCPCoolEdit>(this, this, "edtFullName", QRect(96, 39, 224, 21));
    edtFullName->SetMaxLength(30);
    edtFullName->SetHint(S("Enter the persons' full name"));
    edtFullName->SetColorOnFocus(kFocusColor);
    FollowFocus(this, edtFullName);
    lblFullName->SetFocusControl(edtFullName);
}

void TFrmBDEntry::rbBirthdayClick(TObject*)
{
    const bool birthday = IsBirthday();
    lblFullName->SetCaption(birthday ? S("Name:") : S("Event Title:"));
    lblBirthDate->SetCaption(birthday ? S("Date of Birth:") : S("Event Date:"));
    pnlZodiac->SetVisible(birthday);
    lblZodiac->SetVisible(birthday);
}

void TFrmBDEntry::cbMonthChange(TObject*)
{
    ShowZodiac();
}

void TFrmBDEntry::ValidateInput()
{
    const bool birthday = IsBirthday();
    if (edtFullName->Text().trimmed().isEmpty()) {
        edtFullName->SetFocus();
        throw Exception(birthday ? S("Please enter a name for this person") : S("Please enter a title for this event"));
    }
    if (!IsDateValid()) {
        cbDay->SetFocus();
        throw Exception(birthday ? S("Please enter a valid birth date for this person")
                                 : S("Please enter a valid birth date for this event"));
    }
}

void TFrmBDEntry::BuildNotes()
{
    lblNotes = MakeLabel(this, "lblNotes", QRect(12, 102, 80, 13), "Notes:");
    edtNotes = MakeControl<TMemo>(this, this, "edtNotes", QRect(96, 99, 168, 72));
    edtNotes->SetMaxLength(100);
    edtNotes->SetHint(S("Enter any additional notes"));
    FollowFocus(this, edtNotes);
    lblNotes->SetFocusControl(edtNotes);

    // The sentence needs nearly the whole width of the dialog.
    Label1 = MakeLabel(this, "Label1", QRect(4, 182, DesignClientWidth - 8, 13),
        "Once you add an entry, it becomes visible in all subsequent years");
    Label1->SetAutoSize(false);
    Label1->SetAlignment(taCenter);
}

void TFrmBDEntry::BuildButtons()
{
    const auto button = [this](const char* name, int left, const char* caption) {
        auto* b = MakeControl<TLbButton>(this, this, name, QRect(left, 208, 75, 24));
        b->SetCaption(S(caption));
        b->SetColor(kButtonColor);
        b->SetStyle(bsModern);
        return b;
    };
    BtnOk = button("BtnOk", 164, "O&k");
    BtnOk->OnClick = [this](TObject* s) { btnOkClick(s); };
    BtnCancel = button("BtnCancel", 245, "&Cancel");
    BtnCancel->OnClick = [this](TObject* s) { btnCancelClick(s); };
}

void TFrmBDEntry::btnOkClick(TObject*)
{
    ValidateInput();
    if (fEntry) {
        fEntry->SetEntryType(IsBirthday() ? etBirthday : etAnniversary);
        fEntry->SetFullName(edtFullName->Text().trimmed());
        fEntry->SetBirthDate(GetEnteredDate());
        fEntry->SetNotes(edtNotes->Text());
    }
    SetModalResult(mrOk);
}

void TFrmBDEntry::btnCancelClick(TObject*)
{
    SetModalResult(mrCancel);
}

void TFrmBDEntry::FormKeyPress(TObject*, QChar& Key)
{
    if (Key != QChar(27))
        return;
    const TWinControl* focused = ActiveControl();
    if (focused == cbMonth || focused == cbDay || focused == cbYear)
        return;
    Key = QChar();
    SetModalResult(mrCancel);
}

TLabel* TFrmBDEntry::LabelOf(TObject* control) const
{
    if (control == edtFullName)
        return lblFullName;
    if (control == edtNotes)
        return lblNotes;
    if (control == cbMonth || control == cbDay || control == cbYear)
        return lblBirthDate;
    return nullptr;
}

void TFrmBDEntry::edtCtrlEnter(TObject* Sender)
{
    if (auto* c = dynamic_cast<TControl*>(Sender))
        c->SetColor(kFocusColor);
    if (TLabel* l = LabelOf(Sender))
        l->Font()->SetColor(kFocusLabelColor);
}

void TFrmBDEntry::edtCtrlExit(TObject* Sender)
{
    if (auto* c = dynamic_cast<TControl*>(Sender))
        c->SetColor(clWhite);
    if (TLabel* l = LabelOf(Sender))
        l->Font()->SetColor(clBlack);
}

bool TFrmBDEntry::EditEntry(TComponent* aOwner, TEntry* Entry)
{
    auto dialog = std::make_unique<TFrmBDEntry>(aOwner);
    dialog->fEntry = Entry;
    dialog->edtFullName->SetText(Entry->FullName());
    dialog->edtNotes->SetText(Entry->Notes());
    dialog->fCurrentDate = Entry->BirthDate();
    dialog->rbAnniversary->SetChecked(Entry->EntryType() != etBirthday);
    dialog->rbBirthday->SetChecked(Entry->EntryType() == etBirthday);
    dialog->ShowDate();
    dialog->ShowZodiac();
    dialog->SetCaption(S("Edit Existing Entry"));
    dialog->SetActiveControl(nullptr);
    return dialog->ShowModal() == mrOk;
}

bool TFrmBDEntry::InsertEntry(TComponent* aOwner, TEntry* Entry, TDateTime aCurrentDate)
{
    auto dialog = std::make_unique<TFrmBDEntry>(aOwner);
    dialog->fCurrentDate = aCurrentDate;
    dialog->fEntry = Entry;
    dialog->rbBirthday->SetChecked(true);
    dialog->edtFullName->Clear();
    dialog->edtNotes->Clear();
    dialog->ShowDate();
    dialog->ShowZodiac();
    // A new entry's year stays unknown unless the user picks one.
    dialog->cbYear->SetItemIndex(-1);
    dialog->SetCaption(S("Add New Entry"));
    dialog->SetActiveControl(dialog->edtFullName);
    return dialog->ShowModal() == mrOk;
}
