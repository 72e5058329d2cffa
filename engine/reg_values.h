#pragma once

#include "platform/core/classes.h"
#include "platform/core/datetime.h"
#include "platform/core/registry.h"
#include "platform/core/sysutils.h"

#include <QVariant>

#include <functional>
#include <memory>

class TRegValue;
class TRegValues;

DECLARE_EXCEPTION(ENameInvalid, Exception);

// The kind of a settings value. Named TRegValueType rather than TValueType so
// it does not clash with the component stream's value tags.
enum TRegValueType { vtFloat = 0, vtBoolean = 1, vtString = 2, vtInteger = 3, vtDateTime = 4 };

// The registry root a set of values lives under.
enum TRootKey {
    rkHKEY_CURRENT_USER = 0,
    rkHKEY_CLASSES_ROOT = 1,
    rkHKEY_LOCAL_MACHINE = 2,
    rkHKEY_USERS = 3,
    rkHKEY_PERFORMANCE_DATA = 4,
    rkHKEY_CURRENT_CONFIG = 5,
    rkHKEY_DYN_DATA = 6,
};

// Supplies the value of a setting missing from the registry.
using TOnGetDefValueEvent = std::function<void(TRegValue* Sender, QVariant& Value)>;

// The values of one TRegValues.
class TRegCollection : public TCollection {
public:
    explicit TRegCollection(TRegValues* owner)
        : FOwner(owner)
    {
    }

    QString ClassName() const override { return QStringLiteral("TRegCollection"); }
    TPersistent* GetOwner() const override;

    TRegValue* Items(int index) const;
    TRegValue* Add();
    // The first value whose name matches ignoring case; raises ENameInvalid.
    virtual TRegValue* GetByName(const QString& sName) const;
    // The same, or null when there is none.
    TRegValue* FindByName(const QString& sName) const;

protected:
    TCollectionItem* CreateItem() override;

private:
    TRegValues* FOwner;
};

// One typed setting: its registry value name, kind, default, and whether it is
// written back when the set is destroyed.
//
// The in-memory value is a QVariant: double, bool, QString or int; a date-time
// is kept as its double. Text forms are the same in every locale: numbers as
// in C ("0.5"), date-times as "yyyy-mm-dd hh:nn:ss" (the time left out at
// midnight, milliseconds added when there are any).
class TRegValue : public TCollectionItem {
public:
    explicit TRegValue(TRegValues* ownerReg = nullptr);

    QString ClassName() const override { return QStringLiteral("TRegValue"); }
    // The event properties are not in the table: they are code, set by the
    // window that owns the values, and have no form in the stream.
    const TPropList& Properties() const override;
    // ValueName, or the class name when it is empty.
    QString DisplayName() const;

    std::function<void(TRegValue* Sender)> OnErrorOpenKey;
    TOnGetDefValueEvent OnGetDefValueEvent;

    TRegValues* OwnerReg() const { return FOwnerReg; }
    const QString& SubKey() const { return FSubKey; }
    void SetSubKey(const QString& value) { FSubKey = value; }
    const QString& ValueName() const { return FValueName; }
    // Loads the value at once when the owner's AutoLoad is set.
    virtual void SetValueName(const QString& sName);
    TRegValueType ValueType() const { return FValueType; }
    // The value is not converted.
    virtual void SetValueType(TRegValueType value) { FValueType = value; }
    // "TRUE"/"FALSE" for Booleans, the default's text otherwise.
    QString DefValue() const;
    // Parses the text by ValueType. Text that does not parse as the type gives
    // the type's zero (0, 0.0, the date-time 0) rather than an error.
    void SetDefValue(const QString& value);
    const QVariant& DefaultValue() const { return FDefValue; }
    bool AutoStore() const { return FAutoStore; }
    void SetAutoStore(bool value) { FAutoStore = value; }

    const QVariant& Value() const { return FValue; }
    void SetValue(const QVariant& value) { FValue = value; }

    // The getters convert the value and never raise: what does not convert
    // reads as 0, false or an empty text.
    virtual bool GetAsBoolean() const;
    virtual TDateTime GetAsDateTime() const;
    virtual double GetAsFloat() const;
    virtual int GetAsInteger() const;
    virtual QString GetAsString() const;
    // The setters write their argument as text and parse that text by
    // ValueType, as SetDefValue does; text that does not parse as the type
    // leaves the default as the value.
    virtual void SetAsBoolean(bool value);
    virtual void SetAsDateTime(TDateTime value);
    virtual void SetAsFloat(double value);
    virtual void SetAsInteger(int value);
    virtual void SetAsString(const QString& value);

    virtual void DoErrorOpenKey();
    virtual void SaveValue();
    virtual void LoadValue();

private:
    bool OpenKey();
    void TakeDefault();
    void SetFromText(const QString& text);

    TRegValues* FOwnerReg;
    QString FSubKey;
    QString FValueName;
    TRegValueType FValueType = vtString;
    QVariant FValue;
    QVariant FDefValue;
    bool FAutoStore = true;
};

// A set of typed settings kept under one registry key. Values load as their
// names are set (while the owning window is read from its stored form) and
// are written back when the set is destroyed; in between they are read and
// changed in memory by name.
class TRegValues : public TComponent {
public:
    explicit TRegValues(TComponent* AOwner = nullptr);
    // Writes every AutoStore value. A write that fails cannot be reported from
    // here; it is skipped and the others are still written.
    ~TRegValues() override;

    QString ClassName() const override { return QStringLiteral("TRegValues"); }
    const TPropList& Properties() const override;

    // Read back from the registry object; an unknown root reads as
    // rkHKEY_CURRENT_USER.
    virtual TRootKey GetRootKey() const;
    void SetRootKey(TRootKey value);
    const QString& Key() const { return FKey; }
    void SetKey(const QString& value) { FKey = value; }
    bool CanCreate() const { return FCanCreate; }
    void SetCanCreate(bool value) { FCanCreate = value; }
    bool AutoLoad() const { return FAutoLoad; }
    void SetAutoLoad(bool value) { FAutoLoad = value; }
    // Kept for the stored form only: nothing consults it.
    bool AutoSave() const { return FAutoSave; }
    void SetAutoSave(bool value) { FAutoSave = value; }
    TRegCollection* Items() const { return FValues.get(); }
    TRegistry& Registry() const { return *FR; }

    virtual void LoadValues();
    // Raises the registry's error when a value cannot be written.
    virtual void SaveValues();
    // The in-memory value of the named setting; raises ENameInvalid.
    QVariant Get(const QString& sName) const;
    // Replaces it in memory; the registry is written by SaveValues.
    void SetV(const QString& sName, const QVariant& Value);
    // Deletes Key from the registry and reports the outcome through
    // ShowMessage.
    void Clear();

    // How Clear's outcome reaches the user: text, caption and whether it is an
    // error. This layer has no dialogs; the program installs one. Empty: silent.
    std::function<void(const QString& text, const QString& caption, bool isError)> ShowMessage;

private:
    void ApplyRootKey();

    TRootKey FRootKey = rkHKEY_CURRENT_USER;
    QString FKey;
    bool FCanCreate = true;
    bool FAutoLoad = true;
    bool FAutoSave = true;
    std::unique_ptr<TRegistry> FR;
    std::unique_ptr<TRegCollection> FValues;
};
