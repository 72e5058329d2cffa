#pragma once

// The spell checker: checks the words of an entry body against the master
// word list ("English.dic") and the user's own ("Custom.dic"), both in the
// program's folder, shows each unknown word in place with up to eleven
// neighbouring master words as suggestions, and lets the user change,
// ignore, ignore everywhere or add it. It works on a copy of the body and
// copies the corrected text back only when something was changed.

#include "platform/core/string_list.h"
#include "platform/gui/forms.h"

#include <memory>

class TEdit;
class TLabel;
class TLbButton;
class TListBox;
class TRichEdit;

// The word lists of the whole run: the master list (read once, on the first
// check), the custom list (read again at every check) and the words ignored
// everywhere (never written anywhere). All are sorted and ignore case.
struct TSpellWordLists {
    TStringList MasterWordList;
    TStringList CustomWordList;
    TStringList IgnoreAllList;
    // Added words "Custom.dic" could not take: they stay known for the run
    // even when the older file is read again.
    TStringList UnsavedCustomWords;
};

TSpellWordLists& SpellWordLists();
// Forgets every list, as at the start of a run (tests).
void FreeSpellWordLists();

class TfrmSpellCheck : public TForm {
public:
    explicit TfrmSpellCheck(TComponent* AOwner);
    ~TfrmSpellCheck() override;

    QString ClassName() const override { return QStringLiteral("TfrmSpellCheck"); }

    static constexpr int DesignClientWidth = 456;
    static constexpr int DesignClientHeight = 272;

    // Checks aBody; true when its text was changed. A word list that cannot
    // be read raises before anything is shown; the body keeps its text
    // whenever false comes back.
    static bool Execute(TComponent* aOwner, TRichEdit* aBody);

    TLabel* lblUnknown = nullptr;
    TEdit* edUnknown = nullptr;
    TLabel* lblCorrection = nullptr;
    TEdit* edCorrection = nullptr;
    TLabel* lblSuggestions = nullptr;
    TLabel* lblDoubleClick = nullptr;
    TListBox* lbSuggestions = nullptr;
    TLabel* lblLocation = nullptr;
    TRichEdit* reShow = nullptr;
    TLbButton* btnAccept = nullptr;
    TLbButton* btnIgnore = nullptr;
    TLbButton* btnIgnoreAll = nullptr;
    TLbButton* btnAdd = nullptr;
    TLbButton* btnClose = nullptr;

    void LoadWordLists();
    // Copies the whole formatted text of source, every character of it, to
    // target's caret; the clipboard stays the user's.
    void CopyRichText(TRichEdit* source, TRichEdit* target);
    // The next word of reShow after iRichPosition, which is left on its
    // first character; empty at the end of the text.
    QString NextWord();
    // Shows the next unknown word; at the end says so and returns false.
    bool FindNextMisspelled();
    // Fills suggestions when the word is unknown.
    bool IsKnownWord(const QString& word, TStringList& suggestions) const;
    static bool IsAllDigits(const QString& word);
    // Selects a word of reShow given by its 1-based start in reShow's text.
    void HighlightWord(int start, int length);

    void btnAcceptClick(TObject* Sender);
    void btnIgnoreClick(TObject* Sender);
    void btnIgnoreAllClick(TObject* Sender);
    void btnAddClick(TObject* Sender);
    void btnCloseClick(TObject* Sender);
    void lbSuggestionsDblClick(TObject* Sender);
    void FormKeyPress(TObject* Sender, QChar& Key);

    TStringList slSuggestions;
    bool bSomethingChanged = false;
    TRichEdit* aRichEdit = nullptr;
    int iRichPosition = 0;
    int iOldRichPosition = 0;
    bool bPrevSpace = false;
    // Selection positions count a line break once while the text spells it
    // CR LF.
    bool bRichEditRequiresFix = false;

private:
    void BuildControls();
    QString WordListPath(const char* fileName) const;
    // Copies reShow back into the body; false (the body as it was) when
    // the copy did not arrive whole.
    bool CopyBack(TRichEdit* aBody);
};
