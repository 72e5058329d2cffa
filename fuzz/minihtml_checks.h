#pragma once

// What the label HTML fuzz target does with every input; the mini-HTML tests
// run the same on each input kept in tests/data/fuzz/fuzz_minihtml/. It
// parses, lays out and draws the bytes as label HTML, with host handlers
// that feed dynamic tags more dynamic tags, then moves and clicks the mouse
// over the result, lays it out for a printer and prints it, and reloads
// while and after it is in use. Nothing is
// compared: a crash, a leak or undefined behaviour is the fault. Needs a GUI
// application.

#include "minihtml/engine.h"
#include "minihtml/mouse.h"

#include "platform/core/ansi.h"
#include "platform/core/sysinfo.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/services.h"

#include "tests/support/recording_printer.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <algorithm>

// The check's clock, and a shell that never reaches the desktop, both put
// back when it ends.
class TMiniHtmlCheckServices {
public:
    explicit TMiniHtmlCheckServices(const quint32& tick)
    {
        SetTickCountSource([&tick] { return tick; });
        SetShellHandler([](const QString&) { return true; });
    }
    ~TMiniHtmlCheckServices()
    {
        SetTickCountSource({});
        SetShellHandler({});
    }
    TMiniHtmlCheckServices(const TMiniHtmlCheckServices&) = delete;
    TMiniHtmlCheckServices& operator=(const TMiniHtmlCheckServices&) = delete;
};

// fuzz_minihtml: the first byte picks the width, the rest is the text in the
// ANSI code page.
inline QString CheckMiniHtmlInput(const QByteArray& input)
{
    if (input.isEmpty())
        return {};
    // The double click and hover timers see time pass between the moves.
    quint32 tick = 1000;
    const TMiniHtmlCheckServices services(tick);

    const QString html = AnsiToString(input.constData() + 1, input.size() - 1);
    TBitmap target;
    target.SetSize(320, 200);
    TQzMiniHtml2 e(nullptr);
    e.width = 40 + quint8(input[0]) * 2;
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

    // On paper at an offset, hovered and selected tags as they stand, then
    // back to the screen's widths.
    RecordingPrinter printer;
    e.Update(&printer);
    e.Left = 3;
    e.Top = 2;
    e.Print();
    e.Left = e.Top = 0;
    e.Update(static_cast<TDummyPrinter*>(nullptr));

    // A new text while the old mouse state is still set.
    e.Lines = QStringList { html.mid(html.size() / 3) };
    e.LoadFromLines();
    tick += 200;
    e.MouseMove(nullptr, 0, 60, 20);
    e.MouseDown(nullptr, mbLeft, 0, 60, 20);
    e.Draw();
    (void)e.GetHtml();
    return {};
}
