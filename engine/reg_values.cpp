#include "reg_values.h"

#include <QRegularExpression>

#include <cmath>
#include <exception>
#include <limits>
#include <optional>

namespace {

constexpr HKEY kRootKeys[] = { HKEY_CURRENT_USER, HKEY_CLASSES_ROOT, HKEY_LOCAL_MACHINE, HKEY_USERS,
    HKEY_PERFORMANCE_DATA, HKEY_CURRENT_CONFIG, HKEY_DYN_DATA };

const QString kTrue = QStringLiteral("TRUE");
const QString kFalse = QStringLiteral("FALSE");

// --- Text forms, the same in every locale ---

QString FloatText(double value)
{
    return QString::number(value, 'g', QLocale::FloatingPointShortest); // shortest text that reads back exactly
}

QString DateTimeText(TDateTime value)
{
    if (!IsValidDateTime(value))
        return FloatText(value);
    int y, m, d, h, mi, s, ms;
    DecodeDate(value, y, m, d);
    DecodeTime(value, h, mi, s, ms);
    QString text
        = QStringLiteral("%1-%2-%3").arg(y, 4, 10, QChar(u'0')).arg(m, 2, 10, QChar(u'0')).arg(d, 2, 10, QChar(u'0'));
    if (h || mi || s || ms)
        text += QStringLiteral(" %1:%2:%3")
                    .arg(h, 2, 10, QChar(u'0'))
                    .arg(mi, 2, 10, QChar(u'0'))
                    .arg(s, 2, 10, QChar(u'0'));
    if (ms)
        text += QStringLiteral(".%1").arg(ms, 3, 10, QChar(u'0'));
    return text;
}

std::optional<double> ParseFloat(const QString& text)
{
    bool ok = false;
    const double value = text.trimmed().toDouble(&ok);
    return ok ? std::optional<double>(value) : std::nullopt;
}

std::optional<int> ParseInteger(const QString& text)
{
    bool ok = false;
    const int value = text.trimmed().toInt(&ok);
    return ok ? std::optional<int>(value) : std::nullopt;
}

// "yyyy-mm-dd", optionally followed by "hh:nn", ":ss" and ".zzz".
std::optional<TDateTime> ParseDateTime(const QString& text)
{
    static const QRegularExpression pattern(QStringLiteral(
        "^\\s*(\\d{1,4})-(\\d{1,2})-(\\d{1,2})(?:[ T](\\d{1,2}):(\\d{1,2})(?::(\\d{1,2})(?:\\.(\\d{1,3}))?)?)?\\s*$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const auto part = [&match](int n) { return match.captured(n).toInt(); };
    TDateTime date = 0, time = 0;
    const int ms = match.captured(7).isEmpty() ? 0 : match.captured(7).leftJustified(3, u'0').toInt();
    if (!TryEncodeDate(part(1), part(2), part(3), date) || !TryEncodeTime(part(4), part(5), part(6), ms, time))
        return std::nullopt;
    return date < 0 ? date - time : date + time; // before 1899-12-30 the time counts away from zero
}

// The value a text stands for in a setting of the given type; nullopt when it
// does not parse.
std::optional<QVariant> ParseByType(const QString& text, TRegValueType type)
{
    switch (type) {
    case vtFloat:
        if (const auto v = ParseFloat(text))
            return QVariant(*v);
        return std::nullopt;
    case vtBoolean: return QVariant(text.toUpper() == kTrue);
    case vtString: return QVariant(text);
    case vtInteger:
        if (const auto v = ParseInteger(text))
            return QVariant(*v);
        return std::nullopt;
    case vtDateTime:
        if (const auto v = ParseDateTime(text))
            return QVariant(*v);
        return std::nullopt;
    }
    return std::nullopt;
}

QVariant ZeroOf(TRegValueType type)
{
    switch (type) {
    case vtFloat:
    case vtDateTime: return QVariant(0.0);
    case vtBoolean: return QVariant(false);
    case vtString: return QVariant(QString());
    case vtInteger: return QVariant(0);
    }
    return QVariant();
}

// --- Conversions of the in-memory value; an empty value reads as zero ---

bool IsText(const QVariant& v)
{
    return v.typeId() == QMetaType::QString;
}

std::optional<double> VarToFloat(const QVariant& v)
{
    if (!v.isValid())
        return 0.0;
    if (v.typeId() == QMetaType::Bool)
        return v.toBool() ? 1.0 : 0.0;
    if (IsText(v)) {
        if (const auto f = ParseFloat(v.toString()))
            return f;
        return ParseDateTime(v.toString());
    }
    bool ok = false;
    const double value = v.toDouble(&ok);
    return ok ? std::optional<double>(value) : std::nullopt;
}

std::optional<int> VarToInteger(const QVariant& v)
{
    if (v.typeId() == QMetaType::Int)
        return v.toInt();
    const auto f = VarToFloat(v);
    if (!f || !std::isfinite(*f))
        return std::nullopt;
    const double rounded = std::nearbyint(*f); // half to even, as the class library rounds
    if (rounded < std::numeric_limits<int>::min() || rounded > std::numeric_limits<int>::max())
        return std::nullopt;
    return int(rounded);
}

std::optional<bool> VarToBoolean(const QVariant& v)
{
    if (v.typeId() == QMetaType::Bool)
        return v.toBool();
    if (IsText(v)) {
        const QString upper = v.toString().trimmed().toUpper();
        if (upper == kTrue || upper == kFalse)
            return upper == kTrue;
    }
    if (const auto f = VarToFloat(v))
        return *f != 0;
    return std::nullopt;
}

QString VarToText(const QVariant& v, TRegValueType type)
{
    switch (v.typeId()) {
    case QMetaType::QString: return v.toString();
    case QMetaType::Bool: return v.toBool() ? kTrue : kFalse;
    case QMetaType::Double:
    case QMetaType::Float: return type == vtDateTime ? DateTimeText(v.toDouble()) : FloatText(v.toDouble());
    default: return v.isValid() ? v.toString() : QString();
    }
}

} // namespace

// --- TRegCollection ---

TPersistent* TRegCollection::GetOwner() const
{
    return FOwner;
}

TRegValue* TRegCollection::Items(int index) const
{
    return static_cast<TRegValue*>(TCollection::Items(index));
}

TRegValue* TRegCollection::Add()
{
    return static_cast<TRegValue*>(TCollection::Add());
}

TCollectionItem* TRegCollection::CreateItem()
{
    return new TRegValue(FOwner);
}

TRegValue* TRegCollection::GetByName(const QString& sName) const
{
    if (TRegValue* found = FindByName(sName))
        return found;
    throw ENameInvalid(QStringLiteral("Invalid Value Name!") + sName);
}

TRegValue* TRegCollection::FindByName(const QString& sName) const
{
    const QString wanted = sName.toUpper();
    for (int i = 0; i < Count(); ++i)
        if (Items(i)->ValueName().toUpper() == wanted)
            return Items(i);
    return nullptr;
}

// --- TRegValue ---

TRegValue::TRegValue(TRegValues* ownerReg)
    : FOwnerReg(ownerReg)
{
}

const TPropList& TRegValue::Properties() const
{
    static const TPropList list = {
        props::String<TRegValue>(QStringLiteral("SubKey"), &TRegValue::SubKey, &TRegValue::SetSubKey),
        props::Enumeration<TRegValue>(QStringLiteral("ValueType"),
            { QStringLiteral("vtFloat"), QStringLiteral("vtBoolean"), QStringLiteral("vtString"),
                QStringLiteral("vtInteger"), QStringLiteral("vtDateTime") },
            &TRegValue::ValueType, &TRegValue::SetValueType),
        props::String<TRegValue>(QStringLiteral("DefValue"), &TRegValue::DefValue, &TRegValue::SetDefValue),
        props::String<TRegValue>(QStringLiteral("ValueName"), &TRegValue::ValueName, &TRegValue::SetValueName),
        props::Boolean<TRegValue>(QStringLiteral("AutoStore"), &TRegValue::AutoStore, &TRegValue::SetAutoStore),
    };
    return list;
}

QString TRegValue::DisplayName() const
{
    return FValueName.isEmpty() ? ClassName() : FValueName;
}

void TRegValue::SetValueName(const QString& sName)
{
    FValueName = sName;
    if (FOwnerReg && FOwnerReg->AutoLoad())
        LoadValue();
}

QString TRegValue::DefValue() const
{
    if (FValueType == vtBoolean)
        return VarToBoolean(FDefValue).value_or(false) ? kTrue : kFalse;
    return VarToText(FDefValue, FValueType);
}

void TRegValue::SetDefValue(const QString& value)
{
    FDefValue = ParseByType(value, FValueType).value_or(ZeroOf(FValueType));
}

void TRegValue::SetFromText(const QString& text)
{
    FValue = ParseByType(text, FValueType).value_or(FDefValue);
}

bool TRegValue::GetAsBoolean() const
{
    return VarToBoolean(FValue).value_or(false);
}

TDateTime TRegValue::GetAsDateTime() const
{
    return VarToFloat(FValue).value_or(0.0);
}

double TRegValue::GetAsFloat() const
{
    return VarToFloat(FValue).value_or(0.0);
}

int TRegValue::GetAsInteger() const
{
    return VarToInteger(FValue).value_or(0);
}

QString TRegValue::GetAsString() const
{
    return VarToText(FValue, FValueType);
}

void TRegValue::SetAsBoolean(bool value)
{
    SetFromText(value ? kTrue : kFalse);
}

void TRegValue::SetAsDateTime(TDateTime value)
{
    SetFromText(DateTimeText(value));
}

void TRegValue::SetAsFloat(double value)
{
    SetFromText(FloatText(value));
}

void TRegValue::SetAsInteger(int value)
{
    SetFromText(QString::number(value));
}

void TRegValue::SetAsString(const QString& value)
{
    SetFromText(value);
}

void TRegValue::DoErrorOpenKey()
{
    if (OnErrorOpenKey)
        OnErrorOpenKey(this);
}

bool TRegValue::OpenKey()
{
    if (!FOwnerReg)
        return false;
    TRegistry& R = FOwnerReg->Registry();
    R.CloseKey();
    const QString path = FSubKey.isEmpty() ? FOwnerReg->Key() : FOwnerReg->Key() + u'\\' + FSubKey;
    return R.OpenKey(path, FOwnerReg->CanCreate());
}

void TRegValue::TakeDefault()
{
    if (OnGetDefValueEvent)
        OnGetDefValueEvent(this, FValue);
    else
        FValue = FDefValue;
}

void TRegValue::LoadValue()
{
    if (!OpenKey()) {
        DoErrorOpenKey();
        // A setting never loaded would otherwise read as nothing at all.
        if (!FValue.isValid())
            TakeDefault();
        return;
    }
    TRegistry& R = FOwnerReg->Registry();
    std::optional<QVariant> loaded;
    if (R.ValueExists(FValueName)) {
        // A value of another kind, or damaged, is treated as missing: a bad
        // settings file must not stop the program from starting.
        try {
            switch (FValueType) {
            case vtFloat: {
                const double v = R.ReadFloat(FValueName);
                if (std::isfinite(v))
                    loaded = QVariant(v);
                break;
            }
            case vtBoolean: loaded = QVariant(R.ReadBool(FValueName)); break;
            case vtString: loaded = QVariant(R.ReadString(FValueName)); break;
            case vtInteger: loaded = QVariant(int(R.ReadInteger(FValueName))); break;
            case vtDateTime: {
                const TDateTime v = R.ReadDateTime(FValueName);
                if (IsValidDateTime(v))
                    loaded = QVariant(v);
                break;
            }
            }
        } catch (const ERegistryException&) {
            loaded.reset();
        }
    }
    if (loaded)
        FValue = *loaded;
    else
        TakeDefault();
}

void TRegValue::SaveValue()
{
    if (!OpenKey()) {
        DoErrorOpenKey();
        return;
    }
    TRegistry& R = FOwnerReg->Registry();
    // A value set by code that does not convert to the type is written as the
    // default, so one bad value cannot stop the others from being saved.
    switch (FValueType) {
    case vtFloat: R.WriteFloat(FValueName, VarToFloat(FValue).value_or(VarToFloat(FDefValue).value_or(0))); break;
    case vtBoolean:
        R.WriteBool(FValueName, VarToBoolean(FValue).value_or(VarToBoolean(FDefValue).value_or(false)));
        break;
    case vtString: R.WriteString(FValueName, VarToText(FValue, FValueType)); break;
    case vtInteger:
        R.WriteInteger(FValueName, VarToInteger(FValue).value_or(VarToInteger(FDefValue).value_or(0)));
        break;
    case vtDateTime: R.WriteDateTime(FValueName, VarToFloat(FValue).value_or(VarToFloat(FDefValue).value_or(0))); break;
    }
}

// --- TRegValues ---

TRegValues::TRegValues(TComponent* AOwner)
    : TComponent(AOwner)
    , FKey(QStringLiteral("SOFTWARE\\Your Company\\Your Program"))
    , FR(std::make_unique<TRegistry>())
    , FValues(std::make_unique<TRegCollection>(this))
{
    SetRootKey(rkHKEY_CURRENT_USER);
    LoadValues();
}

TRegValues::~TRegValues()
{
    try {
        SaveValues();
    } catch (...) {
        // Nothing can be reported while the window is being destroyed;
        // SaveValues has written every value it could.
    }
}

const TPropList& TRegValues::Properties() const
{
    static const TPropList list = props::Inherit(TComponent::Properties(),
        {
            props::Enumeration<TRegValues>(QStringLiteral("RootKey"),
                { QStringLiteral("rkHKEY_CURRENT_USER"), QStringLiteral("rkHKEY_CLASSES_ROOT"),
                    QStringLiteral("rkHKEY_LOCAL_MACHINE"), QStringLiteral("rkHKEY_USERS"),
                    QStringLiteral("rkHKEY_PERFORMANCE_DATA"), QStringLiteral("rkHKEY_CURRENT_CONFIG"),
                    QStringLiteral("rkHKEY_DYN_DATA") },
                &TRegValues::GetRootKey, &TRegValues::SetRootKey),
            props::String<TRegValues>(QStringLiteral("Key"), &TRegValues::Key, &TRegValues::SetKey),
            props::Boolean<TRegValues>(QStringLiteral("CanCreate"), &TRegValues::CanCreate, &TRegValues::SetCanCreate),
            props::Boolean<TRegValues>(QStringLiteral("AutoLoad"), &TRegValues::AutoLoad, &TRegValues::SetAutoLoad),
            props::Boolean<TRegValues>(QStringLiteral("AutoSave"), &TRegValues::AutoSave, &TRegValues::SetAutoSave),
            props::Object<TRegValues>(QStringLiteral("Items"), &TRegValues::Items),
        });
    return list;
}

TRootKey TRegValues::GetRootKey() const
{
    for (int i = 0; i < int(std::size(kRootKeys)); ++i)
        if (kRootKeys[i] == FR->RootKey())
            return TRootKey(i);
    return rkHKEY_CURRENT_USER;
}

void TRegValues::SetRootKey(TRootKey value)
{
    FRootKey = value;
    ApplyRootKey();
}

void TRegValues::ApplyRootKey()
{
    // A root outside the table opens no key: its values report OnErrorOpenKey.
    const bool known = FRootKey >= 0 && FRootKey < int(std::size(kRootKeys));
    FR->SetRootKey(known ? kRootKeys[FRootKey] : 0);
}

void TRegValues::LoadValues()
{
    for (int i = 0; i < FValues->Count(); ++i) {
        ApplyRootKey();
        FValues->Items(i)->LoadValue();
    }
}

void TRegValues::SaveValues()
{
    // Every value gets its chance; the first failure is raised afterwards.
    std::exception_ptr firstError;
    for (int i = 0; i < FValues->Count(); ++i) {
        TRegValue* item = FValues->Items(i);
        if (!item->AutoStore())
            continue;
        try {
            ApplyRootKey();
            item->SaveValue();
        } catch (...) {
            // Kept, and raised once every value had its chance.
            if (!firstError)
                firstError = std::current_exception();
        }
    }
    if (firstError)
        std::rethrow_exception(firstError);
}

QVariant TRegValues::Get(const QString& sName) const
{
    return FValues->GetByName(sName)->Value();
}

void TRegValues::SetV(const QString& sName, const QVariant& Value)
{
    FValues->GetByName(sName)->SetValue(Value);
}

void TRegValues::Clear()
{
    FR->CloseKey();
    const bool removed = FR->DeleteKey(FKey);
    if (ShowMessage)
        ShowMessage(removed ? QStringLiteral("All data removed from registry") : QStringLiteral("Error removing data!"),
            QStringLiteral("Result"), !removed);
}
