#include "app/browse_form.h"
#include "platform/core/sysutils.h"

#include "app/diary_session.h"
#include "app/helpers.h"
#include "controls/dropdown_button.h"
#include "controls/form_building.h"
#include "controls/hatch_panel.h"
#include "controls/month_calendar.h"
#include "engine/diary.h"
#include "platform/core/sysinfo.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/comctrls.h"
#include "platform/gui/extctrls.h"
#include "platform/gui/services.h"
#include "platform/gui/stdctrls.h"
#include "platform/richtext/rich_edit.h"
#include "platform/richtext/rich_lines.h"

namespace {

constexpr TColor kNeedleFocusColor = 0x00FFF0E8;
constexpr TColor kNeedleColor = 0x00FFFFFF;
constexpr int kImageSize = 22;
constexpr int kMargin = 8;
constexpr int kButtonHeight = 30;
constexpr int kButtonWidth = 96;
// The right edge of the search row and of the buttons, and the buttons' row.
constexpr int kRight = TfrmDiaryBrowse::DesignClientWidth - kMargin;
constexpr int kButtonTop = TfrmDiaryBrowse::DesignClientHeight - kMargin - kButtonHeight;

// The class library's case-insensitive comparison: only ASCII letters are
// folded (to upper case), everything else compares by its ordinal value.
int CompareText(const QString& a, const QString& b)
{
    const qsizetype n = qMin(a.size(), b.size());
    for (qsizetype i = 0; i < n; ++i) {
        char16_t x = a[i].unicode(), y = b[i].unicode();
        if (x >= u'a' && x <= u'z')
            x -= 32;
        if (y >= u'a' && y <= u'z')
            y -= 32;
        if (x != y)
            return int(x) - int(y);
    }
    return int(a.size() - b.size());
}

TDiaryEntry* EntryOf(const TListItem* item)
{
    return DiaryDB().Diary()->Items(int(item->Data()));
}

} // namespace

TfrmDiaryBrowse::TfrmDiaryBrowse(TComponent* AOwner, TDiarySession& session, IDiaryView& view)
    : TForm(AOwner)
    , Session(session)
    , View(view)
{
    BuildControls();
    CurrentSkin = Session.CurrentSkin;
    LoadBackground();
    DiarySortType = stNone;
    DiarySortDirection = sdAscending;
    OnShow = [this](TObject*) { fShowPending = true; };
    OnActivate = [this](TObject* s) {
        if (std::exchange(fShowPending, false))
            FormActivate(s);
    };
    OnKeyPress = [this](TObject* s, QChar& key) { FormKeyPress(s, key); };
    DoCreate();
}

TfrmDiaryBrowse::~TfrmDiaryBrowse()
{
    DoDestroy();
    // The list's images go with the window; the list must not outlive them.
    DLV->SetSmallImages(nullptr);
}

void TfrmDiaryBrowse::BuildControls()
{
    SetName(S("frmDiaryBrowse"));
    SetCaption(S(" Browse through all diary entries ..."));
    SetBorderStyle(bsDialog);
    SetClientSize(DesignClientWidth, DesignClientHeight);
    SetColor(clBlack);
    SetFontOf(this, 12, clWhite);
    SetKeyPreview(true);
    SetPosition(poDesigned);

    BuildPictures();

    htchpnlBack
        = MakeControl<THatchPanel>(this, this, "htchpnlBack", QRect(0, 0, DesignClientWidth, DesignClientHeight));
    htchpnlBack->SetAlign(alClient);
    htchpnlBack->SetBevelOuter(bvNone);
    htchpnlBack->SetColor(clBlack);
    image_Bck = MakeControl<TImage>(this, htchpnlBack, "image_Bck", QRect(0, 0, DesignClientWidth, DesignClientHeight));
    image_Bck->SetAlign(alClient);

    BuildSearchRow();
    BuildList();
    BuildButtons();
}

void TfrmDiaryBrowse::BuildPictures()
{
    DIL = new TImageList(kImageSize, kImageSize, this);
    DIL->SetName(S("DIL"));
    // A picture the program lacks leaves its place empty, so the indexes hold.
    const auto addPicture = [this](const QString& name) {
        QImage picture = ProgramPicture(name);
        if (picture.isNull()) {
            picture = QImage(kImageSize, kImageSize, QImage::Format_ARGB32_Premultiplied);
            picture.fill(Qt::transparent);
        }
        DIL->AddImage(picture);
    };
    addPicture(S("SORTASC"));
    addPicture(S("SORTDESC"));
    // The main window's mood pictures, drawn anew at this size with their soft edges.
    for (int i = 0; i < View.MoodCount(); ++i)
        addPicture(QStringLiteral("mood%1").arg(i, 2, 10, QLatin1Char('0')));
}

void TfrmDiaryBrowse::LoadBackground()
{
    if (Session.rStore)
        DrawSkin(*Session.rStore, CurrentSkin, *image_Bck);
}

void TfrmDiaryBrowse::FormActivate(TObject*)
{
    SelIdx = -1;
    SetActiveControl(edtNeedle);
    if (CurrentSkin != Session.CurrentSkin) {
        CurrentSkin = Session.CurrentSkin;
        LoadBackground();
    }
    DLV->SetVisible(false);
    FillList();
    DiarySortType = stNone;
    DiarySortDirection = sdAscending;
    DLV->Columns()->Items(0)->SetImageIndex(kAscendingMark);
    DLV->Columns()->Items(1)->SetImageIndex(-1);
    DLV->SetVisible(true);
}

void TfrmDiaryBrowse::FillList()
{
    TListItems* items = DLV->Items();
    items->BeginUpdate();
    items->Clear();
    for (const TWrittenDay& written : DiaryDB().Diary()->WrittenDays()) {
        const TDiaryEntry* entry = written.Entry;
        if (!entry)
            continue;
        TListItem* item = items->Add();
        item->SetCaption(FullYearDateToStr(written.Date));
        item->SubItems()->Add(entry->Title());
        item->SetImageIndex(entry->ImageIndex() + kFirstMood);
        item->SetData(written.Position);
    }
    items->EndUpdate();
}

void TfrmDiaryBrowse::FormKeyPress(TObject*, QChar& Key)
{
    if (Key == QChar(27)) {
        Key = QChar();
        Close();
    }
}

void TfrmDiaryBrowse::Step(bool forward)
{
    TListItems* items = DLV->Items();
    if (items->Count() == 0)
        return;
    TListItem* selected = DLV->Selected();
    if (!selected) {
        selected = items->Item(0);
        DLV->SetSelected(selected);
    } else {
        selected->SetFocused(false);
        const int at = selected->Index();
        if (forward ? at < items->Count() - 1 : at > 0) {
            selected = items->Item(forward ? at + 1 : at - 1);
            DLV->SetSelected(selected);
        }
    }
    selected->MakeVisible(false);
    if (DLV->CanFocus())
        DLV->SetFocus();
}

void TfrmDiaryBrowse::BuildButtons()
{
    auto makeButton
        = [this](const char* name, const QRect& bounds, const char* caption, const char* hint, const char* picture) {
              return MakeSkinButton(this, htchpnlBack, name, bounds, caption, hint, picture);
          };
    btnSearch = makeButton("btnSearch", QRect(kRight - kButtonWidth, 8, kButtonWidth, kButtonHeight), "Search",
        "Search into your diary titles", "SEARCH");
    btnPrevDay = makeButton(
        "btnPrevDay", QRect(kMargin, kButtonTop, 86, kButtonHeight), "Entry", "Move to the previous day", "DAYPREV");
    btnNextDay = makeButton(
        "btnNextDay", QRect(kMargin + 90, kButtonTop, 86, kButtonHeight), "Entry", "Move to the next day", "DAYNEXT");
    btnNextDay->SetLayout(blGlyphRight);
    btnGoto = makeButton("btnGoto", QRect(kRight - 2 * kButtonWidth - 4, kButtonTop, kButtonWidth, kButtonHeight),
        "Goto", "Jump to Diary\r\nusing the selected day", "GOTO");
    btnClose = makeButton("btnClose", QRect(kRight - kButtonWidth, kButtonTop, kButtonWidth, kButtonHeight), "Close",
        "Close this dialog", "CLOSE");
    btnPrevDay->OnClick = [this](TObject* s) { btnPrevDayClick(s); };
    btnNextDay->OnClick = [this](TObject* s) { btnNextDayClick(s); };
    btnGoto->OnClick = [this](TObject* s) { btnGotoClick(s); };
    btnSearch->OnClick = [this](TObject* s) { btnSearchClick(s); };
    btnClose->OnClick = [this](TObject* s) { btnCloseClick(s); };
}

void TfrmDiaryBrowse::btnPrevDayClick(TObject*)
{
    Step(false);
}

void TfrmDiaryBrowse::btnNextDayClick(TObject*)
{
    Step(true);
}

void TfrmDiaryBrowse::btnGotoClick(TObject*)
{
    const TListItem* selected = DLV->Selected();
    if (!selected)
        return;
    SelIdx = int(selected->Data());
    Close();
}

void TfrmDiaryBrowse::btnCloseClick(TObject*)
{
    Close();
}

void TfrmDiaryBrowse::BuildSearchRow()
{
    lblSearchFor = MakeControl<TLabel>(this, htchpnlBack, "lblSearchFor", QRect(kMargin, 15, 72, 16));
    lblSearchFor->SetCaption(S("Search for:"));
    lblSearchFor->SetTransparent(true);
    SetFontOf(lblSearchFor, 13, clWhite, true);

    edtNeedle = MakeControl<TEdit>(this, htchpnlBack, "edtNeedle", QRect(84, 11, kRight - kButtonWidth - 6 - 84, 24));
    edtNeedle->SetHint(S("Enter the keywords to search for"));
    edtNeedle->SetShowHint(true);
    edtNeedle->SetColor(kNeedleColor);
    SetFontOf(edtNeedle, 13, clBlack);
    edtNeedle->OnEnter = [this](TObject* s) { edtNeedleEnter(s); };
    edtNeedle->OnExit = [this](TObject* s) { edtNeedleExit(s); };
    edtNeedle->OnKeyPress = [this](TObject* s, QChar& key) { edtNeedleKeyPress(s, key); };

    cbFullContent = MakeControl<TCheckBox>(this, htchpnlBack, "cbFullContent", QRect(84, 41, 16, 16));
    cbFullContent->SetChecked(true);
    lblFullSearch = MakeControl<TLabel>(this, htchpnlBack, "lblFullSearch", QRect(102, 41, 160, 16));
    lblFullSearch->SetCaption(S("Full content search"));
    lblFullSearch->SetTransparent(true);
    lblFullSearch->SetCursor(crHandPoint);
    lblFullSearch->OnClick = [this](TObject* s) { lblFullSearchClick(s); };
}

void TfrmDiaryBrowse::btnSearchClick(TObject*)
{
    const QString needle = edtNeedle->Text().toLower();
    if (needle.isEmpty())
        return;
    const bool fullContent = cbFullContent->Checked();
    auto matches = [&](TListItem* item) {
        if (item->SubItems()->Strings(0).toLower().contains(needle))
            return true;
        if (!fullContent)
            return false;
        // What the rich edit would find in the body it shows, read without one.
        // The item's entry is the one its day shows (the last of its date).
        const TDiaryEntry* entry = EntryOf(item);
        return entry && FindRichText(RtfToRichText(entry->Body()), needle, 0, -1, 0) >= 0;
    };

    TListItems* items = DLV->Items();
    const int count = items->Count();
    const TListItem* selected = DLV->Selected();
    const int start = selected ? selected->Index() : 0;
    // After the selected item to the last, then round from the first; the
    // selected item itself comes last.
    for (int n = 1; n <= count; ++n) {
        TListItem* item = items->Item((start + n) % count);
        if (!matches(item))
            continue;
        DLV->SetSelected(item);
        item->SetFocused(true);
        item->MakeVisible(false);
        if (fullContent) {
            View.ShowDay(EntryOf(item)->Date());
        }
        return;
    }
    MessageBeep();
}

void TfrmDiaryBrowse::BuildList()
{
    const int listTop = 64;
    DLV = MakeControl<TListView>(
        this, htchpnlBack, "DLV", QRect(kMargin, listTop, DesignClientWidth - 2 * kMargin, kButtonTop - 8 - listTop));
    DLV->SetViewStyle(vsReport);
    DLV->SetReadOnly(true);
    DLV->SetRowSelect(true);
    DLV->SetHideSelection(false);
    DLV->SetSmallImages(DIL);
    SetFontOf(DLV, 13, clBlack);
    DLV->SetHint(S("Lists your diary entries. You can \r\n   double-click to edit an entry"));
    DLV->SetShowHint(true);
    for (const auto& [caption, width] : { std::pair { "Date", 110 }, std::pair { "Title", 328 } }) {
        TListColumn* column = DLV->Columns()->Add();
        column->SetCaption(S(caption));
        column->SetWidth(width);
        column->SetMinWidth(width);
        column->SetMaxWidth(width);
    }
    DLV->OnColumnClick = [this](TObject* s, TListColumn* c) { DLVColumnClick(s, c); };
    DLV->OnCompare = [this](TObject* s, TListItem* a, TListItem* b, qintptr d, int& r) { DLVCompare(s, a, b, d, r); };
    DLV->OnDblClick = [this](TObject* s) { btnGotoClick(s); };
}

void TfrmDiaryBrowse::DLVColumnClick(TObject*, TListColumn* Column)
{
    const int clicked = Column->Index();
    TListColumn* other = DLV->Columns()->Items(1 - clicked);
    DiarySortType = clicked == 0 ? stDate : stTitle;
    other->SetImageIndex(-1);
    if (Column->ImageIndex() == kAscendingMark) {
        Column->SetImageIndex(kDescendingMark);
        DiarySortDirection = sdDescending;
    } else {
        Column->SetImageIndex(kAscendingMark);
        DiarySortDirection = sdAscending;
    }
    DLV->AlphaSort();
}

void TfrmDiaryBrowse::DLVCompare(TObject*, TListItem* Item1, TListItem* Item2, qintptr, int& Compare)
{
    const bool ascending = DiarySortDirection == sdAscending;
    auto byDate = [&] {
        const TDateTime a = EntryOf(Item1)->Date(), b = EntryOf(Item2)->Date();
        const int order = a < b ? -1 : a > b ? 1 : 0;
        return ascending ? order : -order;
    };
    switch (DiarySortType) {
    case stDate: Compare = byDate(); break;
    case stTitle: {
        const QString& a = Item1->SubItems()->Strings(0);
        const QString& b = Item2->SubItems()->Strings(0);
        Compare = ascending ? CompareText(a, b) : CompareText(b, a);
        if (Compare == 0)
            Compare = byDate();
        break;
    }
    case stNone: Compare = 0; break;
    }
}

void TfrmDiaryBrowse::edtNeedleEnter(TObject*)
{
    edtNeedle->SetColor(kNeedleFocusColor);
}

void TfrmDiaryBrowse::edtNeedleExit(TObject*)
{
    edtNeedle->SetColor(kNeedleColor);
}

void TfrmDiaryBrowse::edtNeedleKeyPress(TObject*, QChar& Key)
{
    if (Key == QChar(13)) {
        Key = QChar();
        btnSearchClick(edtNeedle);
    }
}

void TfrmDiaryBrowse::lblFullSearchClick(TObject*)
{
    cbFullContent->SetChecked(!cbFullContent->Checked());
}
