// Parses, lays out and draws arbitrary bytes as label HTML, with host
// handlers that feed dynamic tags more dynamic tags, then moves and clicks
// the mouse over the result and reloads while and after it is in use.
#include "minihtml/engine.h"
#include "minihtml/mouse.h"

#include "platform/core/ansi.h"
#include "platform/core/sysinfo.h"
#include "platform/gui/application_setup.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/services.h"

#include <QGuiApplication>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

// fontconfig drops some of its own lookup memory on the floor; that is the
// system library's, not ours.
extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    SetupApplicationFonts();
    // Links must never reach the desktop.
    SetShellHandler([](const QString&) { return true; });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    static quint32 tick = 1000;
    SetTickCountSource([] { return tick; });

    const QString html = AnsiToString(reinterpret_cast<const char*>(data) + 1, qsizetype(size - 1));
    TBitmap target;
    target.SetSize(320, 200);
    TQzMiniHtml2 e(nullptr);
    e.width = 40 + data[0] * 2;
    e.height = 200;
    e.Canvas = target.Canvas();
    TNormalHandler normal(nullptr, &e);
    TFormElementHandler forms(nullptr, &e);
    e.MouseKBHandler1 = &normal;
    e.MouseKBHandler2 = &forms;
    e.OnDynamicUpdate = [](TObject*, const QString& id, QString& text) {
        if (id.size() % 3 == 1)
            text = QStringLiteral("<dynamic id=") + id + id + QStringLiteral("><b>") + id + QStringLiteral("</b>");
        else if (id.size() % 3 == 2)
            text.clear();
    };
    e.OnUserDefinedUpdate
        = [](TObject*, const QString& id, const QString&, int& w, int& h, QString& v1, QString&, QString&) {
              w = id.size() * 1000 - 500;
              h = id.size() * 7;
              v1 += id;
          };
    e.OnUserDefinedDraw = [](TObject*, const QString&, const QString&, TCanvas* canvas, QRect rect, const QString&,
                              const QString&, const QString&) { canvas->FillRect(rect); };
    e.OnLinkClicked = [&e, &html](TObject*, const QString&, bool& handled) {
        handled = (html.size() & 1) != 0;
        e.Lines = QStringList { html.left(html.size() / 2) };
        e.LoadFromLines(); // refused while the click is handled
    };
    e.OnFormElementClicked = [](TObject*, const QString&, const QString&, const QString&, const QString&,
                                 const QString&, const QString&) {};

    e.Lines = QStringList { html };
    e.LoadFromLines();

    // Hover and click at every visible element, and at a few fixed places.
    const int tags = std::min(e.TagCount(), 64);
    for (int i = 0; i < tags; ++i) {
        const atag* t = e.Tags(i);
        const int x = t->Left + t->Width / 2, y = t->Top + t->Height / 2;
        tick += 200;
        e.MouseMove(nullptr, 0, x, y);
        e.MouseDown(nullptr, i % 3 ? mbLeft : mbRight, 0, x, y);
        e.MouseUp(nullptr, mbLeft, 0, x, y);
    }
    tick += 200;
    e.MouseMove(nullptr, 0, 3, 3);

    // A new text while the old mouse state is still set.
    e.Lines = QStringList { html.mid(html.size() / 3) };
    e.LoadFromLines();
    tick += 200;
    e.MouseMove(nullptr, 0, 60, 20);
    e.MouseDown(nullptr, mbLeft, 0, 60, 20);
    e.Draw();
    (void)e.GetHtml();
    return 0;
}
