#pragma once

// Every value the program keeps in its settings, in one place: the key they
// live under and each value's name, kind and stored default. Code names a
// setting only through these constants, so a misspelt name fails to compile
// instead of raising while the program runs.

#include "engine/reg_values.h"

#include <QString>
#include <QStringView>

// One value of the program's settings.
struct TSettingName {
    QStringView Name;
    TRegValueType Type;
    // The default as its stored text (TRegValue::SetDefValue).
    QStringView Default;

    // The settings component looks its values up by text.
    operator QString() const { return Name.toString(); }
};

namespace Settings {

// Under the current user's root.
inline constexpr QStringView Key = u"SOFTWARE\\Veltrane\\Diary";

inline constexpr TSettingName LastDiaryName { u"LastDiaryName", vtString, u"default.dry" };
inline constexpr TSettingName SkinNumber { u"SkinNumber", vtInteger, u"0" };
inline constexpr TSettingName CurrentSkin { u"CurrentSkin", vtInteger, u"2" };
inline constexpr TSettingName FontName { u"FontName", vtString, u"Arial" };
inline constexpr TSettingName FontColor { u"FontColor", vtInteger, u"0" };
inline constexpr TSettingName FontCharset { u"FontCharset", vtInteger, u"1" };
inline constexpr TSettingName FontSize { u"FontSize", vtInteger, u"10" };
inline constexpr TSettingName FontStyle { u"FontStyle", vtInteger, u"0" };
inline constexpr TSettingName ShowScrollbars { u"ShowScrollbars", vtInteger, u"0" };
inline constexpr TSettingName LastTop { u"LastTop", vtInteger, u"-1" };
inline constexpr TSettingName LastLeft { u"LastLeft", vtInteger, u"-1" };
inline constexpr TSettingName LastWidth { u"LastWidth", vtInteger, u"-1" };
inline constexpr TSettingName LastHeight { u"LastHeight", vtInteger, u"-1" };
inline constexpr TSettingName LastMaximized { u"LastMaximized", vtInteger, u"0" };
inline constexpr TSettingName CalUseEng { u"CalUseEng", vtBoolean, u"FALSE" };
inline constexpr TSettingName CalChangeSOW { u"CalChangeSOW", vtBoolean, u"FALSE" };
inline constexpr TSettingName CalSOW { u"CalSOW", vtInteger, u"0" };

// The settings component holds these, in this order.
inline constexpr const TSettingName* All[] = { &LastDiaryName, &SkinNumber, &CurrentSkin, &FontName, &FontColor,
    &FontCharset, &FontSize, &FontStyle, &ShowScrollbars, &LastTop, &LastLeft, &LastWidth, &LastHeight, &LastMaximized,
    &CalUseEng, &CalChangeSOW, &CalSOW };

} // namespace Settings
