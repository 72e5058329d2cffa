#pragma once

// Panels, bevels, images and timers.

#include "platform/gui/bitmap.h"
#include "platform/gui/controls.h"
#include "platform/gui/stdctrls.h"

#include <memory>

class QTimer;

// One 3-D edge of a panel.
enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
using TPanelBevel = TBevelCut;
enum TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
enum TBevelStyle { bsLowered, bsRaised };

// A panel: an outer bevel, a border of BorderWidth in the panel's colour, an
// inner bevel, the face, and the caption centred vertically. Aligned children
// fill what lies inside the bevels and the border. Descendants that paint
// call TCustomPanel::Paint for the standard look.
class TCustomPanel : public TCustomControl
{
public:
    explicit TCustomPanel(TComponent* AOwner);
    QString ClassName() const override { return QStringLiteral("TCustomPanel"); }

    TAlignment Alignment() const { return fAlignment; }
    void SetAlignment(TAlignment value);
    TBevelCut BevelInner() const { return fBevelInner; }
    void SetBevelInner(TBevelCut value);
    TBevelCut BevelOuter() const { return fBevelOuter; }
    void SetBevelOuter(TBevelCut value);
    int BevelWidth() const { return fBevelWidth; }
    void SetBevelWidth(int value);
    // The panel's own border; TWinControl's BorderWidth holds the whole inset.
    int BorderWidth() const { return fBorderWidth; }
    void SetBorderWidth(int value);
    TBorderStyle BorderStyle() const { return fBorderStyle; }
    void SetBorderStyle(TBorderStyle value);
    bool FullRepaint() const { return fFullRepaint; }
    void SetFullRepaint(bool value) { fFullRepaint = value; }

    void Paint() override;

protected:
    void CMTextChanged(TMessage& Message) override;

private:
    // Aligned children keep clear of the border style, bevels and border.
    void UpdateInset();

    TAlignment fAlignment = taCenter;
    TBevelCut fBevelInner = bvNone;
    TBevelCut fBevelOuter = bvRaised;
    int fBevelWidth = 1;
    int fBorderWidth = 0;
    TBorderStyle fBorderStyle = bsNone;
    bool fFullRepaint = true;
};

class TPanel : public TCustomPanel
{
public:
    explicit TPanel(TComponent* AOwner)
        : TCustomPanel(AOwner)
    {
    }
    QString ClassName() const override { return QStringLiteral("TPanel"); }
};

// Windowless 3-D lines and boxes in the button shadow and highlight colours.
class TBevel : public TGraphicControl
{
public:
    explicit TBevel(TComponent* AOwner);
    QString ClassName() const override { return QStringLiteral("TBevel"); }

    TBevelShape Shape() const { return fShape; }
    void SetShape(TBevelShape value);
    TBevelStyle Style() const { return fStyle; }
    void SetStyle(TBevelStyle value);

    void Paint() override;

private:
    TBevelShape fShape = bsBox;
    TBevelStyle fStyle = bsLowered;
};

// A windowless picture. Drawing on Canvas draws into the picture's bitmap
// (created at the image's size when the picture is empty) and stays there.
class TImage : public TGraphicControl
{
public:
    explicit TImage(TComponent* AOwner);
    ~TImage() override;
    QString ClassName() const override { return QStringLiteral("TImage"); }

    TPicture* Picture() const { return fPicture.get(); }
    void SetPicture(const TPicture* value) { fPicture->Assign(value); }
    // The picture's bitmap canvas; raises EInvalidGraphicOperation when the
    // picture holds another kind of graphic. (The control's own canvas stays
    // reachable as TGraphicControl::Canvas.)
    TCanvas* Canvas();

    bool AutoSize() const { return fAutoSize; }
    void SetAutoSize(bool value);
    bool Center() const { return fCenter; }
    void SetCenter(bool value);
    bool Stretch() const { return fStretch; }
    void SetStretch(bool value);
    bool Proportional() const { return fProportional; }
    void SetProportional(bool value);
    bool Transparent() const { return fTransparent; }
    void SetTransparent(bool value);

    // Where the picture is drawn, in client coordinates.
    QRect DestRect() const;
    void Paint() override;

protected:
    virtual void PictureChanged();

private:
    std::unique_ptr<TPicture> fPicture;
    bool fAutoSize = false;
    bool fCenter = false;
    bool fStretch = false;
    bool fProportional = false;
    bool fTransparent = false;
    bool fDrawing = false;
    bool fChanging = false;
};

// Calls OnTimer every Interval milliseconds while Enabled; Interval may be
// changed inside OnTimer and restarts the count. An exception from OnTimer
// goes to Application's handler.
class TTimer : public TComponent
{
public:
    explicit TTimer(TComponent* AOwner = nullptr);
    ~TTimer() override;
    QString ClassName() const override { return QStringLiteral("TTimer"); }

    bool Enabled() const { return fEnabled; }
    void SetEnabled(bool value);
    unsigned Interval() const { return fInterval; }
    void SetInterval(unsigned value);

    TNotifyEvent OnTimer;

protected:
    virtual void Timer();

private:
    void UpdateTimer();
    std::unique_ptr<QTimer> fTimer;
    bool fEnabled = true;
    unsigned fInterval = 1000;
};
