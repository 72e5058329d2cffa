#include "services.h"

#include "platform/core/sysinfo.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QMimeData>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

namespace {

// Rich text goes out under both names programs look for; the first one found
// is read back.
const QString kRtfMimeTypes[] = {QStringLiteral("text/rtf"), QStringLiteral("application/rtf"),
                                 QStringLiteral("text/richtext")};

const QMimeData* ClipboardData()
{
    return QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard);
}

std::function<bool(const QString&)>& ShellHandler()
{
    static std::function<bool(const QString&)> handler;
    return handler;
}

std::function<void(unsigned)>& BeepHandler()
{
    static std::function<void(unsigned)> handler;
    return handler;
}

} // namespace

// ---------------------------------------------------------------------------
// Clipboard

QString TClipboard::AsText() const
{
    return QGuiApplication::clipboard()->text(QClipboard::Clipboard);
}

void TClipboard::SetAsText(const QString& text)
{
    QGuiApplication::clipboard()->setText(text, QClipboard::Clipboard);
}

bool TClipboard::HasFormat(unsigned format) const
{
    const QMimeData* data = ClipboardData();
    if (!data)
        return false;
    switch (format) {
    case CF_TEXT:
    case CF_UNICODETEXT: return data->hasText();
    case CF_RTF:
        for (const QString& type : kRtfMimeTypes) {
            if (data->hasFormat(type))
                return true;
        }
        return false;
    }
    return false;
}

void TClipboard::SetRichText(const QByteArray& rtf, const QString& plainText)
{
    auto* data = new QMimeData;
    for (const QString& type : kRtfMimeTypes)
        data->setData(type, rtf);
    data->setText(plainText);
    QGuiApplication::clipboard()->setMimeData(data, QClipboard::Clipboard);
}

QByteArray TClipboard::RichText() const
{
    const QMimeData* data = ClipboardData();
    if (!data)
        return QByteArray();
    for (const QString& type : kRtfMimeTypes) {
        if (data->hasFormat(type))
            return data->data(type);
    }
    return QByteArray();
}

void TClipboard::Clear()
{
    QGuiApplication::clipboard()->clear(QClipboard::Clipboard);
}

TClipboard& Clipboard()
{
    static TClipboard clipboard;
    return clipboard;
}

// ---------------------------------------------------------------------------
// Shell

QUrl ShellTargetUrl(const QString& target)
{
    const QString trimmed = target.trimmed();
    // A scheme of two letters or more; one letter is a drive, not a scheme.
    static const QRegularExpression scheme(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]+:"));
    if (scheme.match(trimmed).hasMatch())
        return QUrl(trimmed, QUrl::TolerantMode);
    if (trimmed.startsWith(QStringLiteral("www."), Qt::CaseInsensitive))
        return QUrl(QStringLiteral("http://") + trimmed, QUrl::TolerantMode);
    return QUrl::fromLocalFile(QFileInfo(trimmed).absoluteFilePath());
}

bool ShellOpen(const QString& target, std::function<void()> failed)
{
    if (ShellHandler())
        return ShellHandler()(target);
    const QUrl url = ShellTargetUrl(target);
    if (!url.isValid())
        return false;
    // Qt starts xdg-open detached and takes its start for success, while
    // xdg-open only finds out afterwards that nothing can open the link. Run
    // it ourselves to hear its answer, without waiting for it. It may also
    // stay until the browser it started is closed, and pass on that exit
    // code: an answer after the grace period is about the browser, not the
    // open.
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (opener.isEmpty() || !QCoreApplication::instance())
        return QDesktopServices::openUrl(url);
    // Not owned: a handler still running when the program ends is left to run.
    auto* process = new QProcess;
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    const quint32 started = GetTickCount();
    QObject::connect(process, &QProcess::finished, QCoreApplication::instance(),
        [process, started, failed = std::move(failed)](int code, QProcess::ExitStatus status) {
            process->deleteLater();
            const bool answered = quint32(GetTickCount() - started) <= ShellOpenGraceMs;
            if (answered && status == QProcess::NormalExit && code != 0 && failed)
                failed();
        });
    process->start(opener, { url.isLocalFile() ? url.toLocalFile() : url.toString(QUrl::FullyEncoded) });
    if (!process->waitForStarted()) {
        delete process;
        return false;
    }
    return true;
}

void SetShellHandler(std::function<bool(const QString&)> handler)
{
    ShellHandler() = std::move(handler);
}

QString DesktopDirectory()
{
    const QString desktop = QStandardPaths::writableLocation(QStandardPaths::DesktopLocation);
    if (!desktop.isEmpty() && QFileInfo(desktop).isDir())
        return desktop;
    return QDir::homePath();
}

void MessageBeep(unsigned type)
{
    if (BeepHandler())
        BeepHandler()(type);
    else
        QApplication::beep();
}

void SetBeepHandler(std::function<void(unsigned)> handler)
{
    BeepHandler() = std::move(handler);
}

// ---------------------------------------------------------------------------
// Printer

TPrinterService::TPrinterService(std::unique_ptr<QPrinter> printer)
    : fPrinter(std::move(printer))
{
}

TPrinterService::~TPrinterService()
{
    // A job still open is dropped, not half printed.
    if (fPainter) {
        fHeld = false;
        Abort();
    }
}

std::unique_ptr<TPrinterService> TPrinterService::CreateSystem()
{
    if (QPrinterInfo::defaultPrinter().isNull() && QPrinterInfo::availablePrinters().isEmpty())
        return CreatePdf(QString());
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    return std::unique_ptr<TPrinterService>(new TPrinterService(std::move(printer)));
}

std::unique_ptr<TPrinterService> TPrinterService::CreatePdf(const QString& fileName, int resolution)
{
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setResolution(resolution);
    printer->setOutputFileName(fileName);
    return std::unique_ptr<TPrinterService>(new TPrinterService(std::move(printer)));
}

bool TPrinterService::PrintsToPdf() const
{
    return fPrinter->outputFormat() == QPrinter::PdfFormat;
}

QString TPrinterService::OutputFileName() const
{
    return fPrinter->outputFileName();
}

void TPrinterService::SetOutputFileName(const QString& fileName)
{
    // Naming a file on a system printer prints into that file as PDF instead.
    fPrinter->setOutputFileName(fileName);
}

int TPrinterService::Resolution() const
{
    return fPrinter->resolution();
}

QSize TPrinterService::PhysicalPageSize() const
{
    return fPrinter->paperRect(QPrinter::DevicePixel).toRect().size();
}

QPoint TPrinterService::PhysicalOffset() const
{
    return fPrinter->pageRect(QPrinter::DevicePixel).toRect().topLeft();
}

QSize TPrinterService::PageSize() const
{
    return fPrinter->pageRect(QPrinter::DevicePixel).toRect().size();
}

void TPrinterService::BeginDoc()
{
    if (Printing())
        throw EPrinter(QStringLiteral("Printing in progress"));
    if (fHeld) {
        if (!fPrinter->newPage())
            throw EPrinter(QStringLiteral("Printing failed"));
        fHeld = false;
        fPageNumber = 1;
        return;
    }
    if (PrintsToPdf() && fPrinter->outputFileName().isEmpty())
        throw EPrinter(QStringLiteral("There is no default printer currently selected"));
    fPrinter->setDocName(Title);
    fPrinter->setCreator(QCoreApplication::applicationName());
    auto painter = std::make_unique<QPainter>();
    if (!painter->begin(fPrinter.get()))
        throw EPrinter(QStringLiteral("Printing failed"));
    fPainter = std::move(painter);
    fPageNumber = 1;
}

void TPrinterService::NewPage()
{
    if (!Printing())
        throw EPrinter(QStringLiteral("Printer is not currently printing"));
    if (!fPrinter->newPage())
        throw EPrinter(QStringLiteral("Printing failed"));
    ++fPageNumber;
}

void TPrinterService::EndDoc()
{
    if (!Printing())
        throw EPrinter(QStringLiteral("Printer is not currently printing"));
    ++fJobCount;
    fPageNumber = 0;
    if (fBatch && PrintsToPdf())
        fHeld = true;
    else
        FinishDocument();
}

void TPrinterService::FinishDocument()
{
    const bool ok = fPainter->end();
    fPainter.reset();
    if (!ok)
        throw EPrinter(QStringLiteral("Printing failed"));
}

void TPrinterService::BeginBatch()
{
    fBatch = true;
}

void TPrinterService::EndBatch()
{
    fBatch = false;
    if (!fHeld)
        return;
    fHeld = false;
    FinishDocument();
}

void TPrinterService::Abort()
{
    // A failed job of a batch drops the batch's file with it.
    fHeld = false;
    if (!fPainter)
        return;
    fPrinter->abort();
    fPainter->end();
    fPainter.reset();
    fPageNumber = 0;
}

namespace {

TPrinterService*& InstalledPrinter()
{
    static TPrinterService* printer = nullptr;
    return printer;
}

} // namespace

TPrinterService& Printer()
{
    if (TPrinterService* printer = InstalledPrinter())
        return *printer;
    static std::unique_ptr<TPrinterService> system = TPrinterService::CreateSystem();
    return *system;
}

void SetPrinter(TPrinterService* printer)
{
    InstalledPrinter() = printer;
}
