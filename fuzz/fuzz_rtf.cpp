// Reads arbitrary bytes as RTF, then checks that the text-only read gives
// the document's text, and that what the writer makes of the result reads
// back to a document the writer writes identically.
#include "platform/richtext/rtf.h"

#include <QGuiApplication>
#include <QTextDocument>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Fonts and formats need a GUI application.
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    QTextDocument first;
    if (!ReadRtf(input, first))
        return 0;
    if (ReadRtfText(input) != first.toRawText())
        std::abort();
    const QByteArray written = WriteRtf(first);
    QTextDocument second;
    if (!ReadRtf(written, second) || WriteRtf(second) != written)
        std::abort();
    return 0;
}
