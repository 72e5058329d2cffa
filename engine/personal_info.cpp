#include "personal_info.h"

#include "platform/core/ansi.h"

IInfoTextControl::~IInfoTextControl() = default;

const TPropList& TPersonalInfoRec::Properties() const
{
    static const TPropList list = {
        props::String<TPersonalInfoRec>(QStringLiteral("ControlName"), &TPersonalInfoRec::ControlName,
                                        &TPersonalInfoRec::SetControlName),
        props::String<TPersonalInfoRec>(QStringLiteral("Value"), &TPersonalInfoRec::Value, &TPersonalInfoRec::SetValue),
    };
    return list;
}

QString TPersonalInfo::GetItemByName(const QString& aName) const
{
    const QString name = AnsiLowerCaseAscii(aName);
    for (int i = 0; i < Count(); ++i)
        if (Items(i)->ControlName() == name)
            return Items(i)->Value();
    return {};
}

void TPersonalInfo::UpdateItemByName(const QString& aName, const QString& aValue)
{
    const QString name = AnsiLowerCaseAscii(aName);
    for (int i = 0; i < Count(); ++i)
        if (Items(i)->ControlName() == name) {
            Items(i)->SetValue(aValue);
            return;
        }
    TPersonalInfoRec* rec = Add();
    rec->SetControlName(name);
    rec->SetValue(aValue);
}

void TPersonalInfo::RemoveGarbageValues(const TComponent& aOwnerOfControls)
{
    int i = 0;
    while (i < Count()) {
        const QString name = AnsiLowerCaseAscii(Items(i)->ControlName());
        bool found = false;
        for (int c = 0; c < aOwnerOfControls.ComponentCount() && !found; ++c)
            found = AnsiLowerCaseAscii(aOwnerOfControls.Components(c)->Name()) == name;
        if (found)
            ++i;
        else
            Delete(i); // the successor moves into this index
    }
}

void TPersonalInfo::Assign(const TPersonalInfo& source)
{
    if (&source == this)
        return;
    BeginUpdate();
    Clear();
    for (int i = 0; i < source.Count(); ++i) {
        TPersonalInfoRec* rec = Add();
        rec->SetControlName(source.Items(i)->ControlName());
        rec->SetValue(source.Items(i)->Value());
    }
    EndUpdate();
}

QString TPersonalInfo::GetValueFromControl(const IInfoTextControl* aControl)
{
    return aControl ? aControl->Text() : QString();
}

void TPersonalInfo::SetValueToControl(IInfoTextControl* aControl, const QString& aValue)
{
    if (aControl)
        aControl->SetText(aValue);
}
