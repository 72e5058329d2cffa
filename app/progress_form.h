#pragma once

// The small window shown while the diary is exported: it keeps the user out
// of the program's other windows until the work is done.

#include "platform/gui/forms.h"

#include <QList>

class TBevel;
class TImage;
class TLabel;

class TfrmProgress : public TForm {
public:
    explicit TfrmProgress(TComponent* AOwner);
    ~TfrmProgress() override;

    QString ClassName() const override { return QStringLiteral("TfrmProgress"); }

    static constexpr int DesignClientWidth = 223;
    static constexpr int DesignClientHeight = 65;
    static constexpr int DesignBorderWidth = 10;
    static constexpr TColor DesignColor = 0x006A4622;

    // Disables every other window of the program that is shown and enabled,
    // keeping them in WindowList, and shows this one without waiting.
    void StartProgress();
    // Enables the windows of WindowList again and closes this one.
    void EndProgress();

    TImage* Image1 = nullptr;
    TLabel* lblTitle = nullptr;
    TLabel* Label1 = nullptr;
    TBevel* Bevel1 = nullptr;
    // The windows StartProgress disabled.
    QList<TCustomForm*> WindowList;

private:
    void BuildControls();
};
