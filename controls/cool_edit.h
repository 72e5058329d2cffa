#pragma once

// A one-line edit that takes other colours while it has the focus, can limit
// the characters typed or pasted, can force upper case or a capital first
// letter, moves on with Enter and restores its text with Esc.

#include "platform/gui/stdctrls.h"

#include <QString>

#include <memory>

// The behaviour switches of a cool edit; all off by default.
class TCPCoolEditOptions : public TPersistent {
public:
    QString ClassName() const override { return QStringLiteral("TCPCoolEditOptions"); }
    const TPropList& Properties() const override;

    // Enter moves the focus to the next control of the form.
    bool EnterAsTab() const { return FEnterAsTab; }
    void SetEnterAsTab(bool value) { FEnterAsTab = value; }
    // Esc restores the text the edit had when it got the focus.
    bool EscCancels() const { return FEscCancels; }
    void SetEscCancels(bool value) { FEscCancels = value; }
    // Typed characters and the whole text become upper case.
    bool UpperCase() const { return FMakeUpperCase; }
    void SetUpperCase(bool value) { FMakeUpperCase = value; }
    // The first character becomes upper case (only without UpperCase).
    bool FirstUpperCase() const { return FFupper; }
    void SetFirstUpperCase(bool value) { FFupper = value; }

private:
    bool FEnterAsTab = false;
    bool FEscCancels = false;
    bool FMakeUpperCase = false;
    bool FFupper = false;
};

class TCPCoolEdit : public TEdit {
public:
    explicit TCPCoolEdit(TComponent* AOwner);
    ~TCPCoolEdit() override;

    QString ClassName() const override { return QStringLiteral("TCPCoolEdit"); }

    TColor TextColorOnFocus() const { return FTextColorOnFocus; }
    void SetTextColorOnFocus(TColor value) { FTextColorOnFocus = value; }
    TColor ColorOnFocus() const { return FColorOnFocus; }
    void SetColorOnFocus(TColor value);
    // Empty: every character is accepted. Control characters always pass.
    const QString& AcceptChars() const { return FAcceptChars; }
    void SetAcceptChars(const QString& value);
    TCPCoolEditOptions* Options() const { return FOptions.get(); }
    // The text the edit had when it last got the focus.
    const QString& TextOnEnter() const { return FTextOnEnter; }

protected:
    void DoEnter() override;
    void DoExit() override;
    void KeyPress(QChar& Key) override;
    void Change() override;

private:
    bool Accepts(QChar c) const;
    // Replaces the text as a filter, keeping the caret and the Modified flag.
    void RewriteText(const QString& text, int caret);

    TColor FTextColorOnFocus;
    TColor FColorOnFocus;
    TColor FLastColor;
    TColor FLastTextColor;
    QString FAcceptChars;
    std::unique_ptr<TCPCoolEditOptions> FOptions;
    QString FTextOnEnter;
    // While the filter rewrites the text, the change it causes is not a
    // change of its own: OnChange fires once, for the final text.
    bool FRewriting = false;
};
