#include "platform/richtext/rich_lines.h"

#include "platform/core/ansi.h"
#include "platform/core/streams.h"
#include "platform/core/string_list.h"
#include "platform/richtext/rich_edit.h"
#include "platform/richtext/rich_edit_p.h"
#include "platform/richtext/rtf.h"

QString RichLinesToRtf(const TRichEditStrings* lines)
{
    TMemoryStream stream;
    lines->SaveToStream(stream);
    // Through a string list, which gives every line, the last too, its CR LF.
    TStringList list;
    list.SetText(DecodePlainText(stream.Bytes()));
    return list.Text();
}

void RtfToRichLines(const QString& rtf, TRichEditStrings* lines)
{
    // RTF is 8-bit text; anything else is loaded as the text it is.
    const QByteArray bytes = StringToAnsi(rtf);
    if (!IsRtf(bytes)) {
        lines->SetText(rtf);
        return;
    }
    TMemoryStream stream(bytes);
    lines->LoadFromStream(stream);
}
