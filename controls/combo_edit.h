#pragma once

// The combo edit frame: a masked one-line edit with a button inside its
// right edge and a window that drops down under it and hands a value back
// when it closes. The date edit builds on it with its pop-up calendar.

#include "controls/dropdown_button.h"
#include "platform/gui/mask_edit.h"

#include <QVariant>

enum TGlyphKind { gkCustom, gkDefault, gkDropDown, gkEllipsis };
// Which edges of edit and pop-up line up.
enum TPopupAlign { epaRight, epaLeft };

using TCloseUpEvent = std::function<void(TObject* Sender, bool Accept)>;

// The button inside the edit. A press that closes the pop-up swallows the
// click that follows it, so the same press does not open it again.
class TEditButton : public TGlyphSpeedButton {
public:
    explicit TEditButton(TComponent* AOwner);
    QString ClassName() const override { return QStringLiteral("TEditButton"); }

    void Paint() override;
    void Click() override;

    bool FNoAction = false;
    // A press that closes the pop-up takes its value.
    bool FStandart = true;

protected:
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
};

// The window that drops down: a top-level window owned by the edit, shown
// without taking the focus, so the edit keeps the keys.
class TPopupWindow : public TCustomControl {
public:
    explicit TPopupWindow(TComponent* AOwner);
    QString ClassName() const override { return QStringLiteral("TPopupWindow"); }

    virtual QVariant ReadValue() = 0;
    virtual void WriteValue(const QVariant& Value) = 0;
    virtual void FinishPopup(bool Accept);
    virtual QString GetPopupText() { return QString(); }
    // Origin is in screen coordinates.
    virtual void Show(QPoint Origin);
    void Hide();

    TCloseUpEvent OnCloseUp;

protected:
    TWinControl* FEditor = nullptr;

private:
    void WindowMouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
};

class TCustomComboEdit : public TCustomMaskEdit {
public:
    explicit TCustomComboEdit(TComponent* AOwner);
    ~TCustomComboEdit() override;
    QString ClassName() const override { return QStringLiteral("TCustomComboEdit"); }

    TNotifyEvent OnButtonClick;

    TShortCut ClickKey() const { return FClickKey; }
    void SetClickKey(TShortCut value) { FClickKey = value; }
    bool DirectInput() const { return FDirectInput; }
    void SetDirectInput(bool value);
    virtual bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool value);
    TPopupAlign PopupAlign() const { return FPopupAlign; }
    void SetPopupAlign(TPopupAlign value) { FPopupAlign = value; }
    TGlyphKind GlyphKind() const { return FGlyphKind; }
    void SetGlyphKind(TGlyphKind value);
    int ButtonWidth() const;
    void SetButtonWidth(int value);
    QString ButtonHint() const;
    void SetButtonHint(const QString& value);
    TBitmap* Glyph() const;
    void SetGlyph(const TBitmap* value);
    int NumGlyphs() const;
    void SetNumGlyphs(int value);
    // Stored rules of the published properties.
    bool IsGlyphStored() const { return FGlyphKind == gkCustom; }
    bool IsButtonWidthStored() const;

    bool PopupVisible() const { return FPopup && FPopupVisible; }
    TCustomControl* Popup() const { return FPopup; }
    TEditButton* Button() const { return FButton; }
    TWinControl* BtnControl() const { return FBtnControl; }
    void DoClick();
    // Selects the whole text only when it may be typed.
    void SelectAll();
    // The height below which the text would not fit.
    int MinimumHeight() const;

    void CutToClipboard() override;
    void PasteFromClipboard() override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

    // The pop-up's origin for an edit at editRect (screen coordinates): under
    // the edit, or above it when the edit's monitor has no room below, and
    // always within that monitor's work area.
    static QPoint PopupOrigin(const QRect& editRect, QSize popupSize, TPopupAlign align);

protected:
    virtual TBitmap* DefaultGlyph(bool& MustFree)
    {
        MustFree = false;
        return nullptr;
    }
    virtual void OpenPopup(bool LockEdit);
    virtual void ClosePopup(TObject* Sender, bool Accept);
    virtual void PlacePopup(QPoint Origin);
    virtual void RemovePopup();
    virtual void NotifyChange();
    virtual bool ApprovePopupValue(QVariant& Value)
    {
        (void)Value;
        return true;
    }
    virtual void TakePopupValue(const QVariant& Value);
    virtual void PreparePopupValue(const QVariant& Value);
    virtual void ReadPopupValue(QVariant& Value);
    virtual void PopupValueChanged() { }
    virtual void ButtonAction();

    bool EditCanModify() const { return !FReadOnly; }
    void SyncPopupVisible();
    void SetPopup(TCustomControl* popup) { FPopup = popup; }
    void SetDefNumGlyphs(int value) { FDefNumGlyphs = value; }

    void Change() override;
    bool WantsKey(quint16 Key, TShiftState Shift) const override;
    void KeyDown(quint16& Key, TShiftState Shift) override;
    void KeyPress(QChar& Key) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void DoEnter() override;
    void DoExit() override;
    void CMCancelMode(TMessage& Message) override;
    void CMEnabledChanged(TMessage& Message) override;
    void FontChanged() override;

private:
    friend class TEditButton;
    void EditButtonClicked(TObject* Sender);
    void PlaceButton();
    void SetFormattingRect();
    void BuildGlyph();
    int FontTextHeight() const;

    TWinControl* FBtnControl = nullptr;
    TShortCut FClickKey = scAlt | VK_DOWN;
    bool FReadOnly = false;
    bool FDirectInput = true;
    TPopupAlign FPopupAlign = epaRight;
    TGlyphKind FGlyphKind = gkCustom;
    TEditButton* FButton = nullptr;
    bool FPopupVisible = false;
    bool FFocused = false;
    TCustomControl* FPopup = nullptr;
    int FDefNumGlyphs = 1;
};

// The ellipsis picture of gkEllipsis for a button of that width.
std::unique_ptr<TBitmap> MakeEllipsisGlyph(int buttonWidth);
