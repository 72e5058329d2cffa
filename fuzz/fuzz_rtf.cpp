// Reads arbitrary bytes as RTF, then checks that the text-only read gives
// the document's text and that what the writer makes of the result reads
// back to a document the writer writes identically.
// Inputs it failed on are kept in tests/data/fuzz/fuzz_rtf and replayed by
// the rich text tests.
#include "fuzz/gui_application.h"
#include "fuzz/rtf_round_trip.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    // Fonts and formats need a GUI application.
    StartGuiApplication(argc, argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray input = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    if (!RtfRoundTripIsStable(input))
        std::abort();
    return 0;
}
