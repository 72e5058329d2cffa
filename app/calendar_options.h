#pragma once

// The calendar options dialog: English weekday names in the calendar and a
// start of week of the user's choice. The main window keeps the options in
// the registry; they take effect at the next start.

#include "platform/gui/forms.h"

class TCheckBox;
class TComboBox;
class TGroupBox;
class TLbSpeedButton;

// The calendar options the main window keeps.
struct TCalOpts {
    // English weekday names in the calendar.
    bool UseEng = false;
    // Start the week on SOW instead of the default day.
    bool ChangeSOW = false;
    // 0 = Sunday ... 6 = Saturday.
    int SOW = 0;
};

class TfrmCalendarOptions : public TForm {
public:
    explicit TfrmCalendarOptions(TComponent* AOwner);
    ~TfrmCalendarOptions() override;

    QString ClassName() const override { return QStringLiteral("TfrmCalendarOptions"); }

    static constexpr int DesignClientWidth = 262;
    static constexpr int DesignClientHeight = 136;

    // Shows the dialog modally for aOptions; true when the user confirmed a
    // change, which aOptions then holds.
    static bool Execute(TComponent* AOwner, TCalOpts& aOptions);

    TCalOpts CalOpts;
    TGroupBox* gbOptions = nullptr;
    TCheckBox* cbUseENG = nullptr;
    TCheckBox* cbChangeSOW = nullptr;
    TComboBox* cbSOW = nullptr;
    TLbSpeedButton* btnOk = nullptr;
    TLbSpeedButton* btnCancel = nullptr;

    // The day list is usable only with the override on.
    void cbChangeSOWClick(TObject* Sender);
    // Takes the controls and warns when they differ from CalOpts; cancels
    // otherwise.
    void btnOkClick(TObject* Sender);
    void btnCancelClick(TObject* Sender);

private:
    void BuildControls();
};
