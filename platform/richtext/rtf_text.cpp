#include "platform/richtext/rtf_text_p.h"

#include "platform/gui/graphics.h"
#include "platform/richtext/rtf.h"

#include <QTextCharFormat>

#include <algorithm>

namespace rtf_p {

QString PairSurrogates(QString text)
{
    if (std::none_of(text.cbegin(), text.cend(), [](QChar c) { return c.isSurrogate(); }))
        return text;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c.isHighSurrogate() && i + 1 < text.size() && text[i + 1].isLowSurrogate())
            ++i;
        else if (c.isSurrogate())
            text[i] = QChar::ReplacementCharacter;
    }
    return text;
}

QString NormalFontName(const QString& name)
{
    QString kept;
    kept.reserve(name.size());
    for (const QChar c : name)
        if (!IsNoText(c.unicode()) && c != u'\t' && c != u';')
            kept += c;
    // Only the family: other programs know no foundry ("Nimbus Roman [urw]").
    return FontFamilyName(PairSurrogates(kept).trimmed());
}

} // namespace rtf_p

QString FormatFontName(const QTextCharFormat& format)
{
    const QStringList families = format.fontFamilies().toStringList();
    return families.isEmpty() ? QString() : families.first();
}

void SetFormatFontName(QTextCharFormat& format, const QString& name)
{
    format.setFontFamilies(QStringList { name });
    format.setProperty(kFontNameProperty, name);
}
