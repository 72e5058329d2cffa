#pragma once

// The RTF fuzz target's check, shared with the test that replays the inputs
// it once failed on: whatever bytes are read, the text-only read gives the
// document's text, and what the writer makes of the document reads back to a
// document the writer writes identically.

#include "platform/richtext/rtf.h"

#include <QByteArray>
#include <QTextDocument>

// False when the text-only read differs from the document's text or the
// written RTF does not read back to the same RTF. Bytes that are no RTF pass.
inline bool RtfRoundTripIsStable(const QByteArray& input)
{
    QTextDocument first;
    if (!ReadRtf(input, first))
        return true;
    if (ReadRtfText(input) != first.toRawText())
        return false;
    const QByteArray written = WriteRtf(first);
    QTextDocument second;
    return ReadRtf(written, second) && WriteRtf(second) == written;
}
