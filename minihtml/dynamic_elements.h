#pragma once

// Elements that hand part of their work to the host: the dynamic tag whose
// text the host supplies while the engine parses, the user-defined element
// the host sizes and draws, and the input element (a push button or a check
// box) whose clicks are reported.

#include "minihtml/tags.h"

#include <QString>

class aDynamicTag : public aInVisTag {
public:
    using aInVisTag::aInVisTag;
    QString ClassName() const override { return QStringLiteral("aDynamicTag"); }
    QString GetHtml() const override;
    void SetHtml(const THtmlAttributes& commands) override;

    QString id;
};

class aUserDefined : public aVisTag {
public:
    using aVisTag::aVisTag;
    QString ClassName() const override { return QStringLiteral("aUserDefined"); }
    QString GetHtml() const override;
    void SetHtml(const THtmlAttributes& commands) override;
    // Asks the host for the size; the current style is not taken.
    void Update() override;
    void Draw(TCanvas& aCanvas) override;

    // Larger sizes from the host are cut to this.
    static constexpr int MaxSize = 10000;

    QString variable1, variable2, variable3;
    QString itemID;
    QString ItemType;
};

class aFormElement : public aVisTag {
public:
    using aVisTag::aVisTag;
    QString ClassName() const override { return QStringLiteral("aFormElement"); }
    QString GetHtml() const override;
    void SetHtml(const THtmlAttributes& commands) override;
    void Update() override;
    void Draw(TCanvas& aCanvas) override;

    QString fmName, fmMethod, fmAction;
    QString inputName, inputType, inputValue;
    bool checked = false;
};
