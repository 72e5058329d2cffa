#pragma once

#include "platform/core/classes.h"

// The side of an edit or memo of the personal-information window that the
// list needs: its text. The window's controls implement it.
class IInfoTextControl
{
public:
    virtual ~IInfoTextControl();
    virtual QString Text() const = 0;
    virtual void SetText(const QString& value) = 0;
};

// One personal-information value, keyed by the lower-cased name of the
// control that shows it.
class TPersonalInfoRec : public TCollectionItem
{
public:
    QString ClassName() const override { return QStringLiteral("TPersonalInfoRec"); }
    const TPropList& Properties() const override;

    const QString& ControlName() const { return fControlName; }
    void SetControlName(const QString& value) { fControlName = value; }
    const QString& Value() const { return fValue; }
    void SetValue(const QString& value) { fValue = value; }

private:
    QString fValue;
    QString fControlName;
};

// The flat list of name/value pairs kept inside the diary file. It has no
// modified flag: whoever stores values marks the diary modified.
class TPersonalInfo : public TCollection
{
public:
    explicit TPersonalInfo(TPersistent* owner = nullptr) : fOwner(owner) {}

    QString ClassName() const override { return QStringLiteral("TPersonalInfo"); }
    TPersistent* GetOwner() const override { return fOwner; }
    TPersonalInfoRec* Items(int index) const { return static_cast<TPersonalInfoRec*>(TCollection::Items(index)); }
    TPersonalInfoRec* Add() { return static_cast<TPersonalInfoRec*>(TCollection::Add()); }

    // The value of the first record named like aName in lower case; empty when none.
    QString GetItemByName(const QString& aName) const;
    void UpdateItemByName(const QString& aName, const QString& aValue);
    // Deletes every record whose name no component owned by aOwnerOfControls has.
    void RemoveGarbageValues(const TComponent& aOwnerOfControls);
    // Replaces the records with copies of source's.
    void Assign(const TPersonalInfo& source);

    static QString GetValueFromControl(const IInfoTextControl* aControl);
    static void SetValueToControl(IInfoTextControl* aControl, const QString& aValue);

protected:
    TCollectionItem* CreateItem() override { return new TPersonalInfoRec; }

private:
    TPersistent* fOwner;
};
