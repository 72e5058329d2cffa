#pragma once

// The mini HTML engine: parses a text in the labels' HTML dialect into tag
// objects, lays them out into lines, draws them into a cache bitmap whose
// colour #F1FEEF is transparent, copies that onto its host's canvas, and
// routes the host's mouse events to the tags. Table cells render through
// sub-instances the engine makes for itself.

#include "minihtml/style_state.h"

#include "platform/core/classes.h"
#include "platform/gui/bitmap.h"
#include "platform/gui/controls.h"

#include <QChar>
#include <QPoint>
#include <QRect>
#include <QString>

#include <functional>
#include <memory>
#include <vector>

class TStream;
class THandler;

using TDynamicUpdateEvent = std::function<void(TObject* Sender, const QString& dynamicID, QString& Text)>;
using TLinkClickedEvent = std::function<void(TObject* Sender, const QString& href, bool& Handled)>;
using TFormElementClickedEvent = std::function<void(TObject* Sender, const QString& fmName, const QString& fmMethod,
    const QString& fmAction, const QString& inputName, const QString& inputType, const QString& inputValue)>;
using TUserDefinedUpdateEvent = std::function<void(TObject* Sender, const QString& itemID, const QString& ItemType,
    int& Width, int& Height, QString& variable1, QString& variable2, QString& variable3)>;
using TUserDefinedDrawEvent = std::function<void(TObject* Sender, const QString& itemID, const QString& ItemType,
    TCanvas* Canvas, QRect Rect, const QString& variable1, const QString& variable2, const QString& variable3)>;
using THtmlUpdateEvent = std::function<void(TObject* Sender, const QString& newHtml, QChar HKey)>;

class TQzMiniHtml2;

// The engine's source text.
class TQzHtmlRec {
public:
    // Stores the text, reloads the engine from it and reports the change.
    void SetHtml(const QString& input, QChar HKey);

    QString Html;
    QChar Hotkey;
    THtmlUpdateEvent FHtmlUpdate;
    TQzMiniHtml2* Owner = nullptr;
};

// Text metrics of the layout. The engine measures with the fonts' own
// metrics unless one of these is installed (tests use fixed metrics).
class THtmlTextMetrics {
public:
    virtual ~THtmlTextMetrics();
    virtual int TextWidth(const QString& s, const TFont& font) = 0;
    virtual int TextHeight(const QString& s, const TFont& font) = 0;
};

class TQzMiniHtml2 : public TComponent {
public:
    explicit TQzMiniHtml2(TComponent* AOwner);
    ~TQzMiniHtml2() override;
    QString ClassName() const override { return QStringLiteral("TQzMiniHtml2"); }

    // --- loading: parse, lay out, draw and copy ---
    // The stream's bytes are text in the ANSI code page.
    void LoadFromStream(TStream& Stream);
    // Lines, each followed by CR LF. Characters outside the ANSI code page
    // are kept.
    void LoadFromLines();
    // Lines become the source holder's text, then as LoadFromLines.
    void LoadFromCaption();
    TQzHtmlRec GetCaption() const { return InputHtml; }
    // The holder becomes the source holder, still owned by this engine, and
    // is loaded as by LoadFromCaption.
    void SetCaption(const TQzHtmlRec& rec);
    // A file that cannot be opened (or is no regular file) raises
    // EFOpenError with its name and the reason, and the content stays.
    void LoadFromFiles(const QString& filename);
    // Every tag's text in list order.
    QString GetHtml() const;
    // True while the tag list is being measured, drawn or handed mouse
    // events: a load then would free tags still in use, so it is refused.
    bool Busy() const { return fInUse > 0; }

    // --- parser steps ---
    // Splits text at its first tag: the text before it, the text after it,
    // and the tag's name and attributes (from the first blank on). Without a
    // ">" after the first "<" all of text is beforetag. The outputs view text.
    static void Readnexttag(
        QStringView text, QStringView& beforetag, QStringView& aftertag, QStringView& tagname, QStringView& tagvars);
    // The six entities, case ignored, in their fixed order.
    static QString ReplaceEntities(const QString& text);
    static THtmlAttributes Extractvariables(const QString& input);
    // Words and blanks of a text; isURL keeps the whole run as one word.
    void PrintText(const QString& text, bool isURL);
    // Creates the tag object of a name through the catalogue and appends it.
    atag* processtag(const THtmlAttributes& variables, const QString& tag);

    // --- measuring ---
    // Height of s followed by "A", width of s.
    int GetHeight(const QString& s, const TFont& FontType);
    int GetWidth(const QString& s, const TFont& FontType);

    // --- table cells ---
    int DrawHtmlOnCanvas(int MiniHtmlIndex, int Left, int Top, int Width, const QString& Html);
    // Sends Html through a sub-instance to the printer, laid out Width wide
    // with its top left at (Left, Top) of the printout.
    int PrintHtml(int MiniHtmlIndex, int Left, int Top, int Width, const QString& Html);
    int CalcSize(int MiniHtmlIndex, const QString& Html, int defwidth, int& width, int& height);
    int NewSubMiniHtml();
    void FreeSubMiniHtml();
    TQzMiniHtml2* SubInstance(int index) const;
    int TotalMiniHtml() const { return int(SubMiniHtml.size()); }
    // Cell content nested deeper than this is not rendered.
    static constexpr int MaxNesting = 8;
    int NestingDepth() const { return fDepth; }

    // --- layout and drawing ---
    void Update();
    // Measures the one tag, then takes the target canvas's font and brush
    // into the cache canvas.
    void Update(int index);
    // Lays out for prt (the printer's text widths) on this engine and every
    // sub-instance; nullptr goes back to the screen's.
    void Update(TDummyPrinter* prt);
    void Draw();
    void Draw(int index);
    void ReDraw();
    void ClearCache();
    // Fills that rectangle of the target canvas with the transparent colour.
    void ClearCache(int Left, int Top, int Right, int Bottom);
    void Clear();
    // Sends every tag, in list order, to HtmlPrinter at (Left, Top).
    void Print();
    // The target canvas's pen to the start of the next line; LineHeight 0.
    void NextLine();

    // --- mouse ---
    void MouseMove(TObject* Sender, TShiftState Shift, int X, int Y);
    void MouseDown(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);
    void MouseUp(TObject* Sender, TMouseButton Button, TShiftState Shift, int X, int Y);

    // --- editing the selected tags (SelectStartFrom to SelectEndAt) ---
    // Wrap the range in b or u tags and lay out again; the same tags stay
    // selected. Nothing happens without a range or while the tags are in use.
    void Bold();
    void Underline();
    // Move ScrollTop by Pixel, never showing anything outside the cache,
    // and copy again.
    void ScrollUp(int Pixel);
    void ScrollDown(int Pixel);

    int TagCount() const { return int(TagList.size()); }
    atag* Tags(int index) const { return TagList.at(size_t(index)).get(); }

    TDynamicUpdateEvent OnDynamicUpdate;
    TLinkClickedEvent OnLinkClicked;
    TFormElementClickedEvent OnFormElementClicked;
    TUserDefinedUpdateEvent OnUserDefinedUpdate;
    TUserDefinedDrawEvent OnUserDefinedDraw;

    TQzHtmlRec InputHtml;
    TCurrentState currentState;
    TCurrentState selectionState;
    int MaxHeight = 0;
    int MaxWidth = 0;
    QStringList Lines;
    atag* MouseOver = nullptr;
    TCanvas* Canvas = nullptr;
    int Focused = -1;
    TColor Color = clBtnFace;
    std::unique_ptr<TBitmap> CacheBitmap;
    bool Selecting = false;
    // Not owned: its host keeps it while it is set.
    TDummyPrinter* HtmlPrinter = nullptr;
    quint32 LastCheckTime = 0;
    int SelectStartFrom = -1;
    int SelectEndAt = -1;
    THandler* MouseKBHandler1 = nullptr;
    THandler* MouseKBHandler2 = nullptr;
    THandler* MouseKBHandler3 = nullptr;
    int width = 0;
    int height = 0;
    int Left = 0;
    int Top = 0;
    // Only NextLine uses it.
    int LineHeight = 0;
    int ScrollLeft = 0;
    int ScrollTop = 0;
    // CurrentPos is a spare point for the host: the engine never moves it.
    QPoint LastPos, StartPos, EndPos, CurrentPos;
    THTMLFlags SupportTag = DefaultSupportTag;
    std::shared_ptr<THtmlTextMetrics> TextMetrics;

    // Cache bitmaps are kept within these (huge hosts or contents).
    static constexpr int MaxCacheWidth = 4096;
    static constexpr int MaxCacheHeight = 8192;
    static constexpr qint64 MaxCachePixels = qint64(4) << 20;

private:
    friend class TNormalHandler;
    friend class TFormElementHandler;
    friend class TBlockHandler;
    class TSource;
    // Marks the tag list as in use for a scope.
    struct TUse {
        explicit TUse(TQzMiniHtml2& engine)
            : e(engine)
        {
            ++e.fInUse;
        }
        ~TUse() { --e.fInUse; }
        TUse(const TUse&) = delete;
        TUse& operator=(const TUse&) = delete;
        TQzMiniHtml2& e;
    };

    // Parses and lays out (and draws and copies when asked).
    void Load(TSource& source, bool draw);
    // Lays the parsed tags out again, at the current width.
    void Relayout();
    // The printer of this engine and its sub-instances; their layouts are
    // stale from now on.
    void SetPrinter(TDummyPrinter* prt);
    // The tag's measuring step: its printer form while a printer is set.
    void Measure(atag* t);
    // The sub-instance of a cell, made when the index names none; nullptr
    // while it is in use, or too deep (the index then becomes -1).
    TQzMiniHtml2* TakeSubInstance(int& MiniHtmlIndex);
    // Parses a cell's text, or only lays it out again when the text is the
    // one already parsed.
    void Prepare(const QString& Html);
    void Parse(TSource& source);
    void TakeCellHtml(class aTDSTag* cell, TSource& source);
    void InsertDynamicText(class aDynamicTag* tag, TSource& source, int depth);
    // The cache size for the laid-out content, kept within the limits.
    QSize CacheSize() const;
    void SizeCache();
    void NumberListItems();
    void FindTableEnds();
    void FindParagraphBands();
    // Shifts the visible tags from first to last (one line) to its alignment.
    void AlignLine(int first, int last);
    void ForEachHandler(const std::function<void(THandler*)>& f);
    // The cell under the mouse and its sub-instance, or nullptr.
    TQzMiniHtml2* HoveredCellEngine(class aTDSTag** cell);
    void ForgetMouseState();
    void WrapSelection(const QString& name);
    void ScrollTo(qint64 top);

    std::vector<std::unique_ptr<atag>> TagList;
    std::vector<std::unique_ptr<TQzMiniHtml2>> SubMiniHtml;
    std::vector<std::unique_ptr<THandler>> fOwnedHandlers;
    int fInUse = 0;
    int fDepth = 0;
    // A sub-instance keeps its parse while its text and width stay, so that
    // redrawing a cell does not parse again.
    bool fLoaded = false;
    QString fLoadedHtml;
    int fLoadedWidth = -1;
    bool fReleaseCache = false;
    // MaxHeight + 5 of the last layout of a non-empty list.
    int fContentHeight = 0;
    // Matching table end of each table start (index into TagList).
    std::vector<int> fTableEnd;

public:
    // The end of the table starting at index (the list's size when open).
    int TableEnd(int index) const;
};
