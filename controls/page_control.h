#pragma once

// A page control whose frame round the pages can be switched off, so the
// pages fill the control below the tabs.

#include "platform/core/string_list.h"
#include "platform/gui/comctrls.h"

#include <memory>

class TCPPageControl : public TPageControl {
public:
    explicit TCPPageControl(TComponent* AOwner);
    ~TCPPageControl() override;
    QString ClassName() const override { return QStringLiteral("TCPPageControl"); }

    // Three lines naming the component; assigning them changes nothing.
    const TStringList* About() const { return fAbout.get(); }
    void SetAbout(const TStringList&) { }
    // Whether the frame is drawn; without it the pages reach the control's
    // edges and 4 pixels higher than the framed layout.
    bool Borders() const { return fDisplayBorders; }
    void SetBorders(bool value);

    void WndProc(TMessage& Message) override;
    void PaintSelf(QPainter& painter) override;

private:
    bool fDisplayBorders = true;
    std::unique_ptr<TStringList> fAbout;
};
