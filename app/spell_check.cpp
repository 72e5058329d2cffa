#include "app/spell_check.h"

#include "app/helpers.h"
#include "controls/form_building.h"
#include "controls/styled_push_button.h"
#include "platform/core/sysutils.h"
#include "platform/gui/dialogs.h"
#include "platform/gui/services.h"
#include "platform/gui/stdctrls.h"
#include "platform/richtext/rich_edit.h"

#include <QFileInfo>

namespace {

// Besides every control character and the space: punctuation, brackets,
// quotes (the apostrophe too, so contractions split) and the closing curly
// quote word processors type.
const QString& WordDelimiters()
{
    static const QString delimiters = S(".,-_!@():[]&;\"'?$%\u201D/\\#<>\"=~+-|");
    return delimiters;
}

bool IsDelimiter(QChar c)
{
    return c.unicode() < 33 || WordDelimiters().contains(c);
}

// Words longer than this are taken for something other than prose.
constexpr int kMaxWordLength = 30;
constexpr int kSuggestionCount = 11;

std::unique_ptr<TSpellWordLists>& ListsHolder()
{
    static std::unique_ptr<TSpellWordLists> lists;
    return lists;
}

void MakeSortedWithoutCase(TStringList& list)
{
    list.SetCaseSensitive(false);
    list.SetSorted(true);
}

// Binary search without regard to case; an empty list holds nothing.
bool Holds(const TStringList& list, const QString& word)
{
    int index = 0;
    return list.Count() > 0 && list.Find(word, index);
}

} // namespace

TSpellWordLists& SpellWordLists()
{
    auto& lists = ListsHolder();
    if (!lists) {
        lists = std::make_unique<TSpellWordLists>();
        MakeSortedWithoutCase(lists->MasterWordList);
        MakeSortedWithoutCase(lists->CustomWordList);
        MakeSortedWithoutCase(lists->IgnoreAllList);
        MakeSortedWithoutCase(lists->UnsavedCustomWords);
    }
    return *lists;
}

void FreeSpellWordLists()
{
    ListsHolder().reset();
}

TfrmSpellCheck::TfrmSpellCheck(TComponent* AOwner)
    : TForm(AOwner)
{
    BuildControls();
    // Probe how the rich edit counts a line break in its positions.
    reShow->Clear();
    reShow->SetReadOnly(false);
    reShow->SetSelText(S("Foo\r\nBar"));
    bRichEditRequiresFix = reShow->SelStart() != 8;
    reShow->Clear();
    reShow->SetReadOnly(true);
    DoCreate();
}

TfrmSpellCheck::~TfrmSpellCheck()
{
    DoDestroy();
}

void TfrmSpellCheck::BuildControls()
{
    SetName(S("frmSpellCheck"));
    SetCaption(S("Spell Checker"));
    SetBorderStyle(bsDialog);
    SetClientSize(DesignClientWidth, DesignClientHeight);
    SetPosition(poOwnerFormCenter);
    SetFontOf(this, 12, clWindowText);
    SetKeyPreview(true);
    OnKeyPress = [this](TObject* s, QChar& key) { FormKeyPress(s, key); };

    const auto label = [this](const char* name, const QRect& bounds, const char* caption) {
        auto* l = MakeControl<TLabel>(this, this, name, bounds);
        l->SetCaption(S(caption));
        return l;
    };
    const auto hint = [](TControl* c, const char* text) {
        c->SetHint(S(text));
        c->SetShowHint(true);
    };

    lblUnknown = label("lblUnknown", QRect(8, 6, 120, 16), "Unknown word:");
    edUnknown = MakeControl<TEdit>(this, this, "edUnknown", QRect(8, 22, 200, 22));
    edUnknown->SetReadOnly(true);
    edUnknown->SetTabStop(false);
    lblCorrection = label("lblCorrection", QRect(8, 50, 120, 16), "Replace with:");
    edCorrection = MakeControl<TEdit>(this, this, "edCorrection", QRect(8, 66, 200, 22));
    lblSuggestions = label("lblSuggestions", QRect(8, 94, 80, 16), "Suggestions:");
    lblDoubleClick = label("lblDoubleClick", QRect(86, 94, 170, 16), "(Double click to select one)");
    lbSuggestions = MakeControl<TListBox>(this, this, "lbSuggestions", QRect(8, 110, 332, 70));
    hint(lbSuggestions, "Displays correction proposals.\r\nDouble-click to select one.");
    lbSuggestions->OnDblClick = [this](TObject* s) { lbSuggestionsDblClick(s); };
    lblLocation = label("lblLocation", QRect(8, 186, 80, 16), "Location:");
    reShow = MakeControl<TRichEdit>(this, this, "reShow", QRect(8, 202, 440, 62));
    reShow->SetReadOnly(true);
    reShow->SetHideSelection(false);
    reShow->SetScrollBars(ssVertical);
    reShow->SetTabStop(false);
    hint(reShow, "  Displays the location of the unknown \r\nword. You cannot  type corrections here");

    const auto button = [this](const char* name, const QRect& bounds, const char* caption) {
        auto* b = MakeControl<TLbButton>(this, this, name, bounds);
        b->SetCaption(S(caption));
        return b;
    };
    btnAccept = button("btnAccept", QRect(216, 64, 112, 26), "<  C&hange to");
    hint(btnAccept, " Use the selected word to \r\ncorrect the unknown word");
    btnAccept->SetDefault(true);
    btnAccept->OnClick = [this](TObject* s) { btnAcceptClick(s); };
    btnIgnore = button("btnIgnore", QRect(348, 20, 100, 26), "&Ignore");
    hint(btnIgnore, "Ignore this word and move\r\nto the next unknown word.");
    btnIgnore->OnClick = [this](TObject* s) { btnIgnoreClick(s); };
    btnIgnoreAll = button("btnIgnoreAll", QRect(348, 52, 100, 26), "Ignore &All");
    hint(btnIgnoreAll, "  Ignore all occurrances of this word \r\nand move to the next unknown word");
    btnIgnoreAll->OnClick = [this](TObject* s) { btnIgnoreAllClick(s); };
    btnAdd = button("btnAdd", QRect(348, 84, 100, 26), "A&dd");
    hint(btnAdd, "Add the unknown word\r\nto the custom dictionary");
    btnAdd->OnClick = [this](TObject* s) { btnAddClick(s); };
    btnClose = button("btnClose", QRect(348, 154, 100, 26), "&Exit");
    btnClose->OnClick = [this](TObject* s) { btnCloseClick(s); };
    SetActiveControl(edCorrection);
}

QString TfrmSpellCheck::WordListPath(const char* fileName) const
{
    return EnsureTrailingBackslash(QFileInfo(Application()->ExeName()).absolutePath()) + S(fileName);
}

bool TfrmSpellCheck::Execute(TComponent* aOwner, TRichEdit* aBody)
{
    std::unique_ptr<TfrmSpellCheck> checker(new TfrmSpellCheck(aOwner));
    checker->bSomethingChanged = false;
    checker->LoadWordLists();
    checker->aRichEdit = aBody;
    checker->CopyRichText(aBody, checker->reShow);
    checker->iRichPosition = 0;
    checker->bPrevSpace = true;
    if (!checker->FindNextMisspelled())
        return false;
    checker->ShowModal();
    if (!checker->bSomethingChanged)
        return false;
    return checker->CopyBack(aBody);
}

bool TfrmSpellCheck::CopyBack(TRichEdit* aBody)
{
    // The body may refuse part of the copy (its length limit): keep what
    // the user wrote until the corrected copy has arrived whole.
    const QByteArray original = aBody->SaveRtf();
    const bool wasReadOnly = aBody->ReadOnly();
    const bool wasModified = aBody->Modified();
    aBody->Clear();
    CopyRichText(reShow, aBody);
    if (aBody->Text() != reShow->Text()) {
        aBody->LoadRtf(original);
        aBody->SetReadOnly(wasReadOnly);
        // Typing not yet stored must still be stored.
        aBody->SetModified(wasModified);
        MessageDlg(S("The corrected text could not be copied back to the entry.\r\nThe entry was left as it was."),
            mtError, TMsgDlgButtons { mbOK });
        return false;
    }
    aBody->SetReadOnly(false);
    aBody->SetModified(true);
    return true;
}

void TfrmSpellCheck::LoadWordLists()
{
    TSpellWordLists& lists = SpellWordLists();
    const QString master = WordListPath("English.dic");
    const QString custom = WordListPath("Custom.dic");
    // The message names the list that failed; the reader's own sentence
    // stays in the reason.
    const auto failed = [](const QString& fileName, const QString& reason) {
        return EFLoadError(S("Cannot load dictionary file:\r\n\"%1\"").arg(fileName), fileName, reason);
    };
    const auto load = [&](TStringList& list, const QString& fileName) {
        try {
            list.LoadFromFile(fileName);
        } catch (const Exception& e) {
            throw failed(fileName, e.Message());
        }
        MakeSortedWithoutCase(list);
    };
    // Checked at every run, also once the list was read.
    if (!QFileInfo::exists(master))
        throw failed(master, QStringLiteral("The file \"%1\" does not exist.").arg(master));
    if (lists.MasterWordList.Count() == 0)
        load(lists.MasterWordList, master);
    if (QFileInfo::exists(custom)) {
        load(lists.CustomWordList, custom);
        for (int i = 0; i < lists.UnsavedCustomWords.Count(); ++i)
            lists.CustomWordList.Add(lists.UnsavedCustomWords.Strings(i));
    }
}

void TfrmSpellCheck::CopyRichText(TRichEdit* source, TRichEdit* target)
{
    target->SetReadOnly(false);
    target->SetSelLength(0);
    target->SetSelDocument(*source->Document());
    target->SetReadOnly(true);
    source->SetSelStart(0);
}

QString TfrmSpellCheck::NextWord()
{
    const QString& text = reShow->Text();
    const int length = int(text.size());
    do {
        if (iRichPosition >= length)
            return QString();
        ++iRichPosition;
    } while (IsDelimiter(text[iRichPosition - 1]));
    int end = iRichPosition;
    while (end < length && !IsDelimiter(text[end]))
        ++end;
    return text.mid(iRichPosition - 1, end - iRichPosition + 1);
}

bool TfrmSpellCheck::IsAllDigits(const QString& word)
{
    for (QChar c : word)
        if (c < u'0' || c > u'9')
            return false;
    return true;
}

bool TfrmSpellCheck::FindNextMisspelled()
{
    QString word;
    for (;;) {
        iRichPosition += int(word.size());
        word = NextWord();
        if (word.isEmpty()) {
            MessageDlg(S("The spell checker did not find any more\r\nmisspelled words in the current entry!"),
                mtInformation, TMsgDlgButtons { mbOK });
            return false;
        }
        if (word.size() <= 1 || word.size() > kMaxWordLength || IsAllDigits(word))
            continue;
        if (!IsKnownWord(word, slSuggestions))
            break;
    }
    edUnknown->SetText(word);
    edCorrection->SetText(word);
    lbSuggestions->SetItemIndex(-1);
    lbSuggestions->Items()->Clear();
    for (int i = 0; i < slSuggestions.Count(); ++i)
        lbSuggestions->Items()->Add(slSuggestions.Strings(i));
    HighlightWord(iRichPosition, int(word.size()));
    iOldRichPosition = iRichPosition;
    iRichPosition += int(word.size());
    edCorrection->SetFocus();
    return true;
}

bool TfrmSpellCheck::IsKnownWord(const QString& word, TStringList& suggestions) const
{
    const TSpellWordLists& lists = SpellWordLists();
    if (Holds(lists.CustomWordList, word) || Holds(lists.IgnoreAllList, word))
        return true;
    int index = 0;
    if (lists.MasterWordList.Find(word, index))
        return true;
    const int first = std::max(0, index - 1);
    const int last = std::min(first + kSuggestionCount, lists.MasterWordList.Count());
    suggestions.Clear();
    for (int i = first; i < last; ++i)
        suggestions.Add(lists.MasterWordList.Strings(i));
    return false;
}

void TfrmSpellCheck::HighlightWord(int start, int length)
{
    int selStart = start - 1;
    if (bRichEditRequiresFix)
        selStart -= int(QStringView(reShow->Text()).left(std::max(0, start - 1)).count(u'\n'));
    reShow->SetSelStart(selStart);
    reShow->SetSelLength(length);
}

void TfrmSpellCheck::btnAcceptClick(TObject*)
{
    bSomethingChanged = true;
    const QString correction = edCorrection->Text();
    reShow->SetReadOnly(false);
    reShow->SetSelText(correction);
    reShow->SetReadOnly(true);
    iRichPosition = iOldRichPosition + int(correction.size());
    FindNextMisspelled();
}

void TfrmSpellCheck::btnIgnoreClick(TObject*)
{
    FindNextMisspelled();
}

void TfrmSpellCheck::btnIgnoreAllClick(TObject*)
{
    SpellWordLists().IgnoreAllList.Add(edUnknown->Text().toLower());
    FindNextMisspelled();
}

void TfrmSpellCheck::btnAddClick(TObject*)
{
    const QString word = edUnknown->Text();
    if (MessageDlg(S("Add \"%1\" to custom dictionary?").arg(word), mtWarning, mbOKCancel) != mrOk)
        return;
    TSpellWordLists& lists = SpellWordLists();
    lists.CustomWordList.Add(word.toLower());
    try {
        lists.CustomWordList.SaveToFile(WordListPath("Custom.dic"));
        lists.UnsavedCustomWords.Clear();
    } catch (const Exception&) {
        // The word is known for the rest of the run all the same, so the
        // check goes on.
        lists.UnsavedCustomWords.Add(word.toLower());
        Application()->HandleException(this);
    }
    FindNextMisspelled();
}

void TfrmSpellCheck::btnCloseClick(TObject*)
{
    Close();
}

void TfrmSpellCheck::lbSuggestionsDblClick(TObject*)
{
    const int index = lbSuggestions->ItemIndex();
    if (index >= 0)
        edCorrection->SetText(lbSuggestions->Items()->Strings(index));
}

void TfrmSpellCheck::FormKeyPress(TObject*, QChar& Key)
{
    if (Key.unicode() == 27)
        Close();
}
