#pragma once

// The dialog in which the user types or changes one birthday or
// anniversary: its kind, the name or title, the date with an optional year
// ("?" when unknown, kept as the year 1004) and notes; a birthday shows its
// zodiac sign. The entry is written only on OK; the caller adds it to the
// list.

#include "platform/core/datetime.h"
#include "platform/gui/forms.h"

#include <QString>

class TCPCoolEdit;
class TComboBox;
class TEntry;
class TImage;
class TImageList;
class TLabel;
class TLbButton;
class TMemo;
class TPanel;
class TRadioButton;

class TFrmBDEntry : public TForm {
public:
    explicit TFrmBDEntry(TComponent* AOwner);
    ~TFrmBDEntry() override;

    QString ClassName() const override { return QStringLiteral("TFrmBDEntry"); }

    // Shows Entry for changing; true when the user left with OK, and only
    // then is Entry written.
    static bool EditEntry(TComponent* aOwner, TEntry* Entry);
    // Asks for a new entry on the day and month of aCurrentDate with no year
    // chosen; true when the user left with OK, and only then is Entry filled.
    static bool InsertEntry(TComponent* aOwner, TEntry* Entry, TDateTime aCurrentDate);

    static constexpr int DesignClientWidth = 332;
    static constexpr int DesignClientHeight = 244;
    // The year a date gets when the user does not know it: a leap year, so
    // 29 February can always be kept.
    static constexpr int UnknownYear = 1004;

    TEntry* fEntry = nullptr;
    TDateTime fCurrentDate = 0;

    TLabel* Label2 = nullptr;
    TRadioButton* rbBirthday = nullptr;
    TRadioButton* rbAnniversary = nullptr;
    TLabel* lblFullName = nullptr;
    TCPCoolEdit* edtFullName = nullptr;
    TLabel* lblBirthDate = nullptr;
    TComboBox* cbMonth = nullptr;
    TComboBox* cbDay = nullptr;
    TComboBox* cbYear = nullptr;
    TLabel* lblNotes = nullptr;
    TMemo* edtNotes = nullptr;
    TPanel* pnlZodiac = nullptr;
    TImage* imgZodiac = nullptr;
    TLabel* lblZodiac = nullptr;
    TImageList* ilZodiac = nullptr;
    TLabel* Label1 = nullptr;
    TLbButton* BtnOk = nullptr;
    TLbButton* BtnCancel = nullptr;

    // The lists: short month names, "01" to "31", and "?" over the years
    // from this one (at least 2004) down to 1900.
    void FillDateCombos();
    // Year (UnknownYear for none or "?"), month and day of the lists; 0 for
    // a month or day not chosen.
    void ReadDateCombos(int& Year, int& Month, int& Day) const;
    bool IsDateValid() const;
    // The date of the lists; raises "Invalid birth date encountered" when
    // they give none.
    TDateTime GetEnteredDate() const;
    // Selects fCurrentDate in the lists (nothing for 0). A year the list
    // lacks gets a line of its own, so the entry keeps it.
    void ShowDate();
    void ShowZodiac();

    void rbBirthdayClick(TObject* Sender);
    void cbMonthChange(TObject* Sender);
    // Raises the message for the first field the user has to mend, after
    // moving the focus there.
    void ValidateInput();
    void btnOkClick(TObject* Sender);
    void btnCancelClick(TObject* Sender);
    // Esc cancels, except in the date lists, which keep it for themselves.
    void FormKeyPress(TObject* Sender, QChar& Key);
    void edtCtrlEnter(TObject* Sender);
    void edtCtrlExit(TObject* Sender);

private:
    void BuildControls();
    void BuildKindAndName();
    void BuildDateLists();
    // The sign's picture and name, and the list of the signs' pictures.
    void BuildZodiac();
    // The notes and the sentence under them.
    void BuildNotes();
    void BuildButtons();
    bool IsBirthday() const;
    // The label that names a control (the date lists share one).
    TLabel* LabelOf(TObject* control) const;
};
