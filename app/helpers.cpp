#include "app/helpers.h"
#include "app/settings.h"

#include "controls/dropdown_button.h"
#include "controls/form_building.h"

#include "engine/reg_values.h"
#include "engine/resource_store.h"
#include "platform/core/registry.h"
#include "platform/core/sysutils.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/dialogs.h"
#include "platform/gui/extctrls.h"
#include "platform/gui/forms.h"
#include "platform/gui/services.h"
#include "platform/richtext/rich_edit.h"

#include <QPainter>
#include <QPoint>
#include <QRect>
#include <QSize>

#include <algorithm>
#include <cstdlib>
#include <optional>

QString ProgramTitle()
{
    return S("Veltrane") + QLatin1Char(' ') + S("Diary");
}

QString EnsureTrailingBackslash(const QString& path)
{
    // "/" is our separator; a stored Windows-style path already has one.
    if (path.endsWith(u'/') || path.endsWith(u'\\'))
        return path;
    return path + u'/';
}

QString ChangeFileExtension(const QString& fileName, const QString& extension)
{
    if (fileName.size() <= 2 || extension.size() != 3)
        return fileName;
    QString result = fileName;
    result.replace(result.size() - 3, 3, extension);
    return result;
}

bool IsOutOfRange(qint32 value, qint32 minimum, qint32 maximum)
{
    return value < minimum || value > maximum;
}

namespace {

// Points, either sign (a negative size is a cell height); larger ones would
// only stall text layout.
constexpr int kMaxFontSize = 1638;

// The setting as the component holds it; nothing when the component has no
// such value (a component of the caller's may hold only some of the font's).
std::optional<QVariant> FontSetting(const TRegValues& values, const TSettingName& setting)
{
    if (const TRegValue* value = values.Items()->FindByName(setting))
        return value->Value();
    return std::nullopt;
}

// The setting as an integer; nothing when it is missing or does not read as one.
std::optional<int> IntegerSetting(const std::optional<QVariant>& setting)
{
    bool ok = false;
    const int value = setting ? setting->toInt(&ok) : 0;
    return ok ? std::optional<int>(value) : std::nullopt;
}

} // namespace

void SaveFontToRegistry(TRegValues& values, const TFont& font)
{
    values.SetV(Settings::FontName, FontFamilyName(font.Name()));
    values.SetV(Settings::FontColor, int(font.Color()));
    values.SetV(Settings::FontCharset, int(font.Charset()));
    values.SetV(Settings::FontSize, font.Size());
    values.SetV(Settings::FontStyle, int(font.Style().Bits()));
    values.SaveValues();
}

void LoadFontFromRegistry(TRegValues& values, TFont& font)
{
    // A value missing or of another kind leaves only its own property to
    // fall back; nothing here is caught, so nothing else can hide behind it.
    if (const auto name = FontSetting(values, Settings::FontName)) {
        // Earlier runs may have stored the foundry too ("Nimbus Roman [urw]").
        const QString family = FontFamilyName(name->toString());
        if (!family.trimmed().isEmpty())
            font.SetName(family);
    }
    if (const auto color = IntegerSetting(FontSetting(values, Settings::FontColor)))
        font.SetColor(TColor(*color));
    font.SetPitch(fpDefault);
    const std::optional<int> charset = IntegerSetting(FontSetting(values, Settings::FontCharset));
    font.SetCharset(TFontCharset(charset && *charset >= 0 && *charset <= 255 ? *charset : DEFAULT_CHARSET));
    const std::optional<int> size = IntegerSetting(FontSetting(values, Settings::FontSize));
    font.SetSize(size && *size != 0 && std::abs(*size) <= kMaxFontSize ? *size : 10);
    // The style is read last and unprotected: a component without it raises,
    // the other properties already set.
    bool ok = false;
    const int style = values.Get(Settings::FontStyle).toInt(&ok);
    font.SetStyle(TFontStyles::FromBits(ok ? unsigned(style) & 0xF : 0));
}

void PrintRichEdit(const QString& title, TRichEdit& richEdit)
{
    TPrinterService& printer = Printer();
    const QPoint offset = printer.PhysicalOffset();
    const QSize page = printer.PhysicalPageSize();
    const int left = offset.x() + 60;
    const int top = offset.y() + 100;
    const int right = page.width() - 2 * left;
    const int bottom = page.height() - 2 * offset.y() - 200;
    // A page too small for the margins prints on the whole printable area
    // rather than on an inverted rectangle.
    if (right > left && bottom > top)
        richEdit.SetPageRect(QRect(QPoint(left, top), QPoint(right - 1, bottom - 1)));
    else
        richEdit.SetPageRect(QRect());
    richEdit.Print(title);
}

QString SkinResourceName(int number)
{
    const QString digits = QString::number(number);
    return (number > 9 ? QStringLiteral("skin") : QStringLiteral("skin0")) + digits + QStringLiteral(".jpg");
}

QString GetDesktopFolder()
{
    return EnsureTrailingBackslash(DesktopDirectory());
}

double ColorLuminance(TColor color)
{
    const TColor rgb = ColorToRGB(color);
    const double value = (GetRValue(rgb) * 50.0 + GetGValue(rgb) * 30.0 + GetBValue(rgb) * 20.0) / 25600.0;
    return std::clamp(value, 0.0, 1.0);
}

bool DrawSkin(const TRessourceStore& store, int number, TImage& target)
{
    const int index = store.ItemIndex(SkinResourceName(number));
    if (index < 0)
        return false;
    TJPEGImage jpeg;
    try {
        jpeg.LoadFromBytes(store.Items()->Items(index)->Bytes());
    } catch (const EInvalidGraphic&) {
        // A damaged picture is as good as none: the caller keeps its background.
        return false;
    } catch (const EOutOfMemory&) {
        // So is one too large to decode.
        return false;
    }
    TBitmap bitmap;
    bitmap.SetSize(target.Width(), target.Height());
    bitmap.Canvas()->StretchDraw(QRect(0, 0, target.Width(), target.Height()), jpeg);
    target.Picture()->SetBitmap(&bitmap);
    return true;
}

QImage ProgramPicture(const QString& name)
{
    try {
        return FindResourceBitmap(name);
    } catch (const EResNotFound&) {
        // Pictures are optional: each caller has its stand-in.
        return QImage();
    }
}

QImage PictureOn(const QString& name, TColor background, const QImage& standIn)
{
    const QImage art = ProgramPicture(name);
    if (art.isNull())
        return standIn;
    QImage image(art.size(), QImage::Format_RGB32);
    image.fill(ToQColor(background));
    QPainter painter(&image);
    painter.drawImage(0, 0, art);
    return image;
}

TGlyphSpeedButton* MakeSkinButton(TComponent* owner, TWinControl* parent, const char* name, const QRect& bounds,
    const char* caption, const char* hint, const char* picture)
{
    auto* button = MakeControl<TGlyphSpeedButton>(owner, parent, name, bounds);
    button->SetCaption(QString::fromUtf8(caption));
    button->SetHint(QString::fromUtf8(hint));
    button->SetShowHint(hint[0] != '\0');
    button->SetTransparent(true);
    button->SetGrayedInactive(false);
    button->SetMarkDropDown(false);
    button->SetFlat(true);
    button->SetLayout(blGlyphLeft);
    button->SetSpacing(6);
    button->SetCursor(crHandPoint);
    SetFontOf(button, 13, clWhite, true);
    // Without the picture a button keeps its caption only.
    const QImage glyph = ProgramPicture(QString::fromUtf8(picture));
    if (!glyph.isNull()) {
        TBitmap bitmap;
        bitmap.SetImage(glyph);
        button->SetGlyph(&bitmap);
    }
    return button;
}

TImage* SetUpSkinWindow(TForm& form, const char* name, int clientWidth, int clientHeight, unsigned borderIcons)
{
    form.SetName(QString::fromUtf8(name));
    form.SetBorderStyle(bsSingle);
    form.SetBorderIcons(borderIcons);
    form.SetClientSize(clientWidth, clientHeight);
    form.SetColor(clBlack);
    SetFontOf(&form, 13, clWhite);
    form.SetKeyPreview(true);
    form.SetPosition(poDesigned);
    auto* background = MakeControl<TImage>(&form, &form, "Image_Bck", QRect(0, 0, clientWidth, clientHeight));
    background->SetAlign(alClient);
    return background;
}

void FollowSkin(const TRessourceStore* store, int number, int& shown, TImage& background)
{
    if (shown == number)
        return;
    shown = number;
    if (store)
        DrawSkin(*store, number, background);
}

TGlyphSpeedButton* MakeSkinCloseButton(TForm& form, const char* name)
{
    constexpr int width = 90;
    constexpr int height = 30;
    constexpr int margin = 8;
    const QRect bounds(form.ClientWidth() - margin - width, form.ClientHeight() - margin - height, width, height);
    return MakeSkinButton(&form, &form, name, bounds, " Ok", "Close this dialog", "OK");
}
