#include "app/helpers.h"

#include "platform/core/registry.h"
#include "platform/gui/services.h"
#include "platform/richtext/rich_edit.h"

#include <QPoint>
#include <QRect>
#include <QSize>

#include <algorithm>
#include <cstdlib>
#include <optional>

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

const QString kFontName = QStringLiteral("FontName");
const QString kFontColor = QStringLiteral("FontColor");
const QString kFontCharset = QStringLiteral("FontCharset");
const QString kFontSize = QStringLiteral("FontSize");
const QString kFontStyle = QStringLiteral("FontStyle");

// Points, either sign (a negative size is a cell height); larger ones would
// only stall text layout.
constexpr int kMaxFontSize = 1638;

// The integer, or nothing when the value is missing or of another kind.
std::optional<qint32> ReadIntegerValue(TRegistry& registry, const QString& name)
{
    if (registry.GetDataType(name) != TRegDataType::rdInteger)
        return std::nullopt;
    return registry.ReadInteger(name);
}

} // namespace

void SaveFontToRegistry(TRegistry& registry, const TFont& font)
{
    registry.WriteString(kFontName, font.Name());
    registry.WriteInteger(kFontColor, font.Color());
    registry.WriteInteger(kFontCharset, font.Charset());
    registry.WriteInteger(kFontSize, font.Size());
    registry.WriteInteger(kFontStyle, qint32(font.Style().Bits()));
}

void LoadFontFromRegistry(TRegistry& registry, TFont& font)
{
    const TRegDataType nameType = registry.GetDataType(kFontName);
    if (nameType == TRegDataType::rdString || nameType == TRegDataType::rdExpandString) {
        const QString name = registry.ReadString(kFontName);
        if (!name.trimmed().isEmpty())
            font.SetName(name);
    }
    if (const auto color = ReadIntegerValue(registry, kFontColor))
        font.SetColor(*color);
    font.SetPitch(fpDefault);
    if (const auto charset = ReadIntegerValue(registry, kFontCharset); charset && *charset >= 0 && *charset <= 255)
        font.SetCharset(TFontCharset(*charset));
    if (const auto size = ReadIntegerValue(registry, kFontSize); size && *size != 0 && std::abs(*size) <= kMaxFontSize)
        font.SetSize(*size);
    if (const auto style = ReadIntegerValue(registry, kFontStyle))
        font.SetStyle(TFontStyles::FromBits(unsigned(*style)));
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

QString GetDesktopFolderPath()
{
    return EnsureTrailingBackslash(GetDesktopFolder());
}

double ColorLuminance(TColor color)
{
    const TColor rgb = ColorToRGB(color);
    const double value = (GetRValue(rgb) * 50.0 + GetGValue(rgb) * 30.0 + GetBValue(rgb) * 20.0) / 25600.0;
    return std::clamp(value, 0.0, 1.0);
}
