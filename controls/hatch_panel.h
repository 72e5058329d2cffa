#pragma once

// Panels that paint a background picture, tiled or stretched, instead of a
// plain colour. THatchPanel keeps the standard panel frame and puts the
// picture inside it; TCPHatchPanel paints everything itself, with its own
// border styles, a transparent mode showing the parent through it, and an
// option to hand its enabled state on to its children.

#include "platform/core/string_list.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/extctrls.h"

#include <memory>

enum THatchMode { Tiled, Stretched };
enum TCPHatchMode { hmTiled, hmStretched };
enum TCPBorderMode { bmNone, bmOriginal, bmFlat };

class THatchPanel : public TPanel {
public:
    explicit THatchPanel(TComponent* AOwner);
    ~THatchPanel() override;

    QString ClassName() const override { return QStringLiteral("THatchPanel"); }

    // A fixed description of the component; writes are ignored.
    const TStringList* About() const { return FAbout.get(); }
    void SetAbout(const TStringList*) { }
    // The picture; changing its content repaints the panel.
    TBitmap* Bitmap() const { return FBitMap.get(); }
    // Copies value into the panel's own picture.
    void SetBitmap(const TBitmap* value);
    THatchMode Mode() const { return HMode; }
    void SetMode(THatchMode value);

    void Paint() override;
    void Loaded() override;

    // After any change of the picture's content.
    TNotifyEvent OnBitMapChanged;

private:
    void BitmapChanged();

    std::unique_ptr<TBitmap> FBitMap;
    THatchMode HMode = Tiled;
    std::unique_ptr<TStringList> FAbout;
};

class TCPHatchPanel : public TPanel {
public:
    explicit TCPHatchPanel(TComponent* AOwner);
    ~TCPHatchPanel() override;

    QString ClassName() const override { return QStringLiteral("TCPHatchPanel"); }

    const TStringList* About() const { return FAbout.get(); }
    void SetAbout(const TStringList*) { }
    TBitmap* Bitmap() const { return FBitMap.get(); }
    // Copies value into the panel's own picture and clears the caption,
    // which this panel never draws.
    void SetBitmap(const TBitmap* value);
    TCPHatchMode Mode() const { return HMode; }
    void SetMode(TCPHatchMode value);
    TCPBorderMode Borders() const { return FBorders; }
    void SetBorders(TCPBorderMode value);
    TColor BorderColor() const { return FBorderColor; }
    void SetBorderColor(TColor value);
    // Enabling or disabling the panel does the same to its children.
    bool ControlEnabled() const { return FControlEnabled; }
    void SetControlEnabled(bool value) { FControlEnabled = value; }
    // Shows the parent's background (and the windowless controls below the
    // panel) instead of the picture.
    bool Transparent() const { return FTransparent; }
    void SetTransparent(bool value);

    void Paint() override;
    void Loaded() override;
    void WndProc(TMessage& Message) override;

    TNotifyEvent OnBitMapChanged;

protected:
    void CMEnabledChanged(TMessage& Message) override;

private:
    void BitmapChanged();
    void WMEnable(TMessage& Message);
    void DrawBorders();

    std::unique_ptr<TBitmap> FBitMap;
    TCPHatchMode HMode = hmTiled;
    std::unique_ptr<TStringList> FAbout;
    TCPBorderMode FBorders = bmNone;
    TColor FBorderColor = clBlack;
    bool FTransparent = false;
    bool FControlEnabled = false;
};
