// Parses, lays out, draws and clicks arbitrary bytes as label HTML; what it
// does is in minihtml_checks.h.
#include "fuzz/gui_application.h"
#include "fuzz/minihtml_checks.h"
#include "fuzz/run_check.h"

#include "platform/gui/application_setup.h"

// fontconfig drops some of its own lookup memory on the floor; that is the
// system library's, not ours.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    StartGuiApplication(argc, argv);
    SetupApplicationFonts();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    return RunFuzzCheck(CheckMiniHtmlInput, data, size);
}
