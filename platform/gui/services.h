#pragma once

#include "platform/core/sysutils.h"

#include <QByteArray>
#include <QPoint>
#include <QSize>
#include <QString>
#include <QUrl>

#include <functional>
#include <memory>

class QPainter;
class QPrinter;

// Clipboard format numbers: the predefined text format, and the number the
// rich text format is registered under.
inline constexpr unsigned CF_TEXT = 1;
inline constexpr unsigned CF_UNICODETEXT = 13;
inline constexpr unsigned CF_RTF = 0xC000;

// The system clipboard. Rich text travels as RTF bytes under the MIME types
// other programs use for it, together with a plain-text copy.
class TClipboard
{
public:
    QString AsText() const;
    void SetAsText(const QString& text);
    bool HasFormat(unsigned format) const;
    // Replaces the content with RTF and its plain-text rendering.
    void SetRichText(const QByteArray& rtf, const QString& plainText);
    // The RTF on the clipboard; empty when there is none.
    QByteArray RichText() const;
    void Clear();
};

TClipboard& Clipboard();

// Opens a web or mail link, or a file, with the desktop's default handler.
// A handler installed with SetShellHandler receives the target instead.
// Returns whether the target could be handed over; when the desktop's
// handler gives up only after it started, failed runs later, from the
// event loop, but only for a failure within ShellOpenGraceMs of the start
// (on GetTickCount): later the target counts as opened, and the handler's
// exit is that of the program it waited for.
bool ShellOpen(const QString& target, std::function<void()> failed = {});
inline constexpr quint32 ShellOpenGraceMs = 5000;
// An empty function restores the desktop's handler.
void SetShellHandler(std::function<bool(const QString&)> handler);
// The URL ShellOpen hands to the desktop: links with a scheme as they are,
// "www." hosts as http, anything else as a local file.
QUrl ShellTargetUrl(const QString& target);

// The user's desktop folder, or the home folder when there is none.
QString DesktopDirectory();

// The default beep. A handler installed with SetBeepHandler hears it
// instead (tests count beeps); an empty function restores the system's.
void MessageBeep(unsigned type = 0);
void SetBeepHandler(std::function<void(unsigned)> handler);

DECLARE_EXCEPTION(EPrinter, Exception);

// A printer to draw pages on: the system printer, or a PDF file when there
// is none or when asked for one (tests). Geometry is in device pixels at
// Resolution(). The painter's origin is the top-left of the printable area,
// which lies PhysicalOffset() inside the physical page.
class TPrinterService
{
public:
    // The system's default printer; a PDF printer when the system has none,
    // which prints once SetOutputFileName has named the file.
    static std::unique_ptr<TPrinterService> CreateSystem();
    static std::unique_ptr<TPrinterService> CreatePdf(const QString& fileName, int resolution = 300);
    ~TPrinterService();

    bool PrintsToPdf() const;
    QString OutputFileName() const;
    void SetOutputFileName(const QString& fileName);

    QString Title; // the job's name; a PDF's title

    int Resolution() const; // dots per inch, both directions
    QSize PhysicalPageSize() const;
    QPoint PhysicalOffset() const;
    QSize PageSize() const; // the printable area

    // Raises EPrinter when printing cannot start (no output file for a PDF,
    // or the device refused).
    void BeginDoc();
    void NewPage();
    void EndDoc();
    void Abort();
    bool Printing() const { return fPainter != nullptr && !fHeld; }
    int PageNumber() const { return fPageNumber; } // 1 on the first page
    // Valid between BeginDoc and EndDoc.
    QPainter* Canvas() const { return fPainter.get(); }

    QPrinter* QtPrinter() const { return fPrinter.get(); }

    // Jobs printed between BeginBatch and EndBatch into a PDF file share that
    // file, each starting on a new sheet, so a file named once holds them
    // all; a system printer gets separate jobs all the same.
    void BeginBatch();
    void EndBatch();
    int JobCount() const { return fJobCount; } // jobs ended since creation

private:
    explicit TPrinterService(std::unique_ptr<QPrinter> printer);
    // Ends the painter on the device; raises EPrinter when that fails.
    void FinishDocument();
    std::unique_ptr<QPrinter> fPrinter;
    std::unique_ptr<QPainter> fPainter;
    int fPageNumber = 0;
    int fJobCount = 0;
    bool fBatch = false;
    bool fHeld = false; // a batch's PDF kept open between its jobs
};

// The process-wide printer, created on first use; SetPrinter installs one the
// caller keeps alive (nullptr goes back to the system printer).
TPrinterService& Printer();
void SetPrinter(TPrinterService* printer);
