#include "minihtml/engine.h"

#include "minihtml/dynamic_elements.h"
#include "minihtml/inline_elements.h"
#include "minihtml/mouse.h"
#include "minihtml/tables.h"

#include "platform/core/ansi.h"
#include "platform/core/streams.h"
#include "platform/core/sysutils.h"

#include <QFileInfo>
#include <QFontMetrics>

#include <vector>

namespace {

// The source is read ahead this much after every tag.
constexpr int kChunkSize = 400;
// Text a dynamic tag inserts may hold dynamic tags itself; beyond this
// depth, or past the budgets, they insert nothing (a host whose text names
// itself would otherwise grow the source forever).
constexpr int kMaxDynamicNesting = 4;
constexpr int kMaxDynamicExpansions = 1000;
constexpr qsizetype kMaxDynamicText = qsizetype(1) << 20;

bool IsBlank(QChar c)
{
    return c.unicode() <= u' ';
}

QStringView TrimView(QStringView text)
{
    qsizetype start = 0, end = text.size();
    while (start < end && IsBlank(text[start]))
        ++start;
    while (end > start && IsBlank(text[end - 1]))
        --end;
    return text.mid(start, end - start);
}

} // namespace

THtmlTextMetrics::~THtmlTextMetrics() = default;

// ---------------------------------------------------------------------------
// The unparsed text: read from the source a chunk at a time, consumed from
// the front. Inserted dynamic texts are tracked so their nesting is known.

class TQzMiniHtml2::TSource {
public:
    explicit TSource(QString text)
        : fText(std::move(text))
    {
    }
    explicit TSource(TStream& stream)
        : fStream(&stream)
    {
        fStream->SetPosition(0);
    }

    // Up to 400 units, more while the gathered text holds a "<" and no ">".
    QString ReadChunk()
    {
        QString gathered;
        bool lt = false, gt = false;
        for (;;) {
            const QString part = ReadRaw();
            if (part.isEmpty())
                break;
            gathered += part;
            lt = lt || part.contains(u'<');
            gt = gt || part.contains(u'>');
            if (!lt || gt)
                break;
        }
        fExhausted = gathered.isEmpty();
        return gathered;
    }

    void ReadAhead() { Buf += ReadChunk(); }

    // Position of mark from Pos, reading on until it arrives or the source ends.
    qsizetype FindReading(const QString& mark)
    {
        // Known to be missing from the rest of the text: cells without a
        // close mark would otherwise each search all of it.
        if (mark == fMissingMark)
            return -1;
        qsizetype from = Pos;
        for (;;) {
            const qsizetype at = Buf.indexOf(mark, from);
            if (at >= 0)
                return at;
            if (fExhausted) {
                fMissingMark = mark;
                return -1;
            }
            from = std::max(Pos, Buf.size() - mark.size() + 1);
            ReadAhead();
        }
    }

    // Inserts text to be parsed next; a dynamic tag at depth d inserts text
    // of depth d + 1.
    void Insert(const QString& text, int depth)
    {
        fMissingMark.clear();
        DepthAt(Pos);
        Buf.insert(Pos, text);
        for (Region& region : fRegions)
            region.End += text.size();
        fRegions.push_back({ Pos + text.size(), depth });
        ++fExpansions;
        fInserted += text.size();
    }
    // The depth of inserted text at a position (0: the source itself).
    int DepthAt(qsizetype position)
    {
        while (!fRegions.empty() && fRegions.back().End <= position)
            fRegions.pop_back();
        return fRegions.empty() ? 0 : fRegions.back().Depth;
    }
    bool BudgetLeft() const { return fExpansions < kMaxDynamicExpansions && fInserted < kMaxDynamicText; }

    // Drops the consumed front now and then, so it is not copied around.
    void Compact()
    {
        if (Pos < 4096 || Pos < Buf.size() / 2)
            return;
        DepthAt(Pos);
        Buf.remove(0, Pos);
        for (Region& region : fRegions)
            region.End -= Pos;
        Pos = 0;
    }

    QString Buf;
    qsizetype Pos = 0;

private:
    QString ReadRaw()
    {
        if (fStream) {
            QByteArray bytes(kChunkSize, '\0');
            const qint64 n = fStream->Read(bytes.data(), kChunkSize);
            return n > 0 ? AnsiToString(bytes.left(n)) : QString();
        }
        QString part = fText.mid(fTextPos, kChunkSize);
        fTextPos += part.size();
        return part;
    }

    QString fText;
    qsizetype fTextPos = 0;
    QString fMissingMark;
    TStream* fStream = nullptr;
    bool fExhausted = false;
    // Inserted texts still ahead, innermost last.
    struct Region {
        qsizetype End;
        int Depth;
    };
    std::vector<Region> fRegions;
    int fExpansions = 0;
    qsizetype fInserted = 0;
};

// ---------------------------------------------------------------------------

void TQzHtmlRec::SetHtml(const QString& input, QChar HKey)
{
    Html = input;
    Hotkey = HKey;
    if (Owner)
        Owner->LoadFromCaption();
    if (FHtmlUpdate)
        FHtmlUpdate(Owner, input, HKey);
}

TQzMiniHtml2::TQzMiniHtml2(TComponent* AOwner)
    : TComponent(AOwner)
    , currentState(this)
    , selectionState(this)
    , CacheBitmap(std::make_unique<TBitmap>())
{
    // The cache keeps alpha: the transparent colour paints transparency, so
    // text is anti-aliased against whatever the cache is copied onto.
    CacheBitmap->SetAlphaFormat(afPremultiplied);
    CacheBitmap->SetTransparentColor(HtmlTransparentColor);
    CacheBitmap->SetWidth(width);
    InputHtml.Owner = this;
}

TQzMiniHtml2::~TQzMiniHtml2()
{
    // Tags first: the states only point at them.
    currentState.ClearTags();
    TagList.clear();
    FreeSubMiniHtml();
}

void TQzMiniHtml2::ForgetMouseState()
{
    // The pointers and indices name tags of the list being replaced.
    MouseOver = nullptr;
    Focused = -1;
    SelectStartFrom = -1;
    SelectEndAt = -1;
}

void TQzMiniHtml2::LoadFromStream(TStream& Stream)
{
    TSource source(Stream);
    Load(source, true);
}

void TQzMiniHtml2::LoadFromLines()
{
    QString text;
    for (const QString& line : Lines)
        text += line + QStringLiteral("\r\n");
    TSource source(text);
    Load(source, true);
}

void TQzMiniHtml2::LoadFromCaption()
{
    Lines = QStringList { InputHtml.Html };
    LoadFromLines();
}

void TQzMiniHtml2::SetCaption(const TQzHtmlRec& rec)
{
    InputHtml = rec;
    InputHtml.Owner = this;
    LoadFromCaption();
}

void TQzMiniHtml2::LoadFromFiles(const QString& filename)
{
    // A device or a FIFO could be read for ever or block the open.
    const QFileInfo info(filename);
    if (info.exists() && !info.isFile())
        throw EFOpenError(QStringLiteral("Cannot open file \"%1\". Not a regular file").arg(filename));
    TFileStream stream(filename, fmOpenRead);
    LoadFromStream(stream);
}

void TQzMiniHtml2::Load(TSource& source, bool draw)
{
    if (fInUse > 0)
        return; // the tags are in use further up the stack
    TUse use(*this);
    currentState.ClearTags();
    FreeSubMiniHtml();
    currentState.InitState();
    selectionState.InitState();
    ForgetMouseState();
    TagList.clear();
    Parse(source);
    fLoaded = true;
    Update();
    if (!draw)
        return;
    // The scroll position goes inside the new cache before the drawing's one
    // copy: copied twice, soft text edges would darken over themselves.
    if (CacheBitmap->Height() < ScrollTop + height)
        ScrollTop = 0;
    Draw();
}

void TQzMiniHtml2::Relayout()
{
    if (fInUse > 0)
        return;
    TUse use(*this);
    currentState.ClearTags();
    currentState.InitState();
    selectionState.InitState();
    Update();
}

void TQzMiniHtml2::SetPrinter(TDummyPrinter* prt)
{
    HtmlPrinter = prt;
    // Prepare lays a cell out again however its text and width stand.
    fLoadedWidth = -1;
    for (const auto& s : SubMiniHtml)
        s->SetPrinter(prt);
}

void TQzMiniHtml2::Update(TDummyPrinter* prt)
{
    SetPrinter(prt);
    Relayout();
}

void TQzMiniHtml2::Parse(TSource& source)
{
    source.ReadAhead();
    while (source.Pos < source.Buf.size()) {
        QStringView beforetag, aftertag, tagname, tagvars;
        Readnexttag(QStringView(source.Buf).mid(source.Pos), beforetag, aftertag, tagname, tagvars);
        // aftertag is the buffer's tail, so only the position moves.
        const qsizetype tagStart = source.Pos + beforetag.size();
        source.Pos = source.Buf.size() - aftertag.size();
        const atag* last = TagList.empty() ? nullptr : TagList.back().get();
        const bool oneWord = dynamic_cast<const aASTag*>(last) || dynamic_cast<const aScriptSTag*>(last);
        PrintText(beforetag.toString(), oneWord);
        atag* tag = processtag(Extractvariables(tagvars.toString()), tagname.toString());
        if (auto* dynamic = dynamic_cast<aDynamicTag*>(tag))
            InsertDynamicText(dynamic, source, source.DepthAt(tagStart));
        if (auto* cell = dynamic_cast<aTDSTag*>(tag))
            TakeCellHtml(cell, source);
        source.Compact();
        source.ReadAhead();
    }
}

void TQzMiniHtml2::InsertDynamicText(aDynamicTag* tag, TSource& source, int depth)
{
    if (depth >= kMaxDynamicNesting || !source.BudgetLeft())
        return;
    QString Text = QStringLiteral("<font name=\"MS Sans Serif\" size=\"8\" color=\"#000000\">&lt;") + tag->id
        + QStringLiteral("&gt;</font>");
    if (OnDynamicUpdate)
        OnDynamicUpdate(this, tag->id, Text);
    if (!Text.isEmpty())
        source.Insert(Text, depth + 1);
}

void TQzMiniHtml2::TakeCellHtml(aTDSTag* cell, TSource& source)
{
    const bool header = dynamic_cast<aTHSTag*>(cell) != nullptr;
    const QString open = header ? QStringLiteral("<th>") : QStringLiteral("<td>");
    const QString close = header ? QStringLiteral("</th>") : QStringLiteral("</td>");
    // A close mark still to come in the source is waited for, so that a
    // chunk boundary inside a cell does not break the table.
    qsizetype c = source.FindReading(close);
    qsizetype o = source.Buf.indexOf(open, source.Pos);
    while (o >= 0 && c >= 0 && o < c) {
        // A nested cell written exactly as the open mark: take it whole.
        const qsizetype end = c + close.size();
        cell->Html += QStringView(source.Buf).mid(source.Pos, end - source.Pos);
        source.Pos = end;
        c = source.FindReading(close);
        o = source.Buf.indexOf(open, source.Pos);
    }
    if (c < 0)
        return; // no close mark: the rest is parsed in line
    cell->Html += QStringView(source.Buf).mid(source.Pos, c - source.Pos);
    source.Pos = c;
}

void TQzMiniHtml2::Readnexttag(
    QStringView text, QStringView& beforetag, QStringView& aftertag, QStringView& tagname, QStringView& tagvars)
{
    const qsizetype lt = text.indexOf(u'<'), gt = text.indexOf(u'>');
    QStringView tagText;
    if (lt >= 0 && gt > lt) {
        beforetag = text.left(lt);
        tagText = text.mid(lt + 1, gt - lt - 1);
        aftertag = text.mid(gt + 1);
    } else {
        beforetag = text;
        aftertag = QStringView();
    }
    const qsizetype blank = tagText.indexOf(u' ');
    tagname = blank < 0 ? tagText : tagText.left(blank);
    tagvars = blank < 0 ? QStringView() : tagText.mid(blank);
}

QString TQzMiniHtml2::ReplaceEntities(const QString& text)
{
    QString t = text;
    // This order is part of the dialect: "&amp;lt;" prints as "&lt;".
    t = ReplaceText(t, QStringLiteral("&nbsp;"), QStringLiteral(" "));
    t = ReplaceText(t, QStringLiteral("&lt;"), QStringLiteral("<"));
    t = ReplaceText(t, QStringLiteral("&gt;"), QStringLiteral(">"));
    t = ReplaceText(t, QStringLiteral("&amp;"), QStringLiteral("&"));
    t = ReplaceText(t, QStringLiteral("&quot;"), QStringLiteral("\""));
    t = ReplaceText(t, QStringLiteral("&copy;"), QStringLiteral("(c)"));
    return t;
}

THtmlAttributes TQzMiniHtml2::Extractvariables(const QString& input)
{
    THtmlAttributes list;
    // No attribute name is this long; a hostile one would be compared with
    // every other name.
    constexpr qsizetype maxName = 256;
    auto set = [&list](QStringView name, QStringView value) {
        if (!name.isEmpty() && name.size() <= maxName)
            list.SetValue(name.toString().toLower(), value.toString().toLower(), value.toString());
    };
    QStringView rest(input);
    // No real tag has this many; a hostile one would otherwise cost time and
    // memory with the square of its length.
    constexpr int maxAttributes = 256;
    for (int n = 0; rest.contains(u'='); ++n) {
        if (n == maxAttributes)
            return list;
        rest = TrimView(rest);
        const qsizetype e = rest.indexOf(u'=');
        const QStringView name = rest.left(e);
        qsizetype s = rest.indexOf(u' ');
        if (s < 0)
            s = e + 1;
        // Quoted when the first quote comes no later than s.
        const qsizetype q = rest.left(s + 1).indexOf(u'"');
        QStringView value;
        if (q >= 0) {
            const qsizetype closing = rest.indexOf(u'"', q + 1);
            if (closing >= 0) {
                value = rest.mid(q + 1, closing - q - 1);
                rest = rest.mid(closing + 1);
            } else {
                rest = rest.mid(q + 1);
            }
        } else {
            const QStringView afterEquals = rest.mid(e + 1);
            const qsizetype blank = afterEquals.indexOf(u' ');
            value = blank < 0 ? afterEquals : afterEquals.left(blank);
            const qsizetype firstBlank = rest.indexOf(u' ');
            rest = firstBlank < 0 ? QStringView() : rest.mid(firstBlank + 1);
        }
        set(name, value);
    }
    // A trailing bare word is a flag.
    set(TrimView(rest), u"true");
    return list;
}

void TQzMiniHtml2::PrintText(const QString& text, bool isURL)
{
    const QString t = ReplaceEntities(text);
    qsizetype pos = 0;
    while (pos < t.size()) {
        const qsizetype blank = t.indexOf(u' ', pos);
        QString word;
        if (blank < 0 || isURL) {
            word = t.mid(pos);
            pos = t.size();
        } else {
            word = t.mid(pos, blank - pos);
            pos = blank + 1;
        }
        auto append = [this](std::unique_ptr<atag> tag) {
            tag->Index = int(TagList.size());
            TagList.push_back(std::move(tag));
        };
        if (!word.isEmpty())
            append(std::make_unique<aText>(this, word));
        if (blank >= 0) {
            auto space = std::make_unique<aSpace>(this, QStringLiteral(" "));
            space->BackGroundColor = currentState.BackGroundColor;
            append(std::move(space));
        }
    }
}

atag* TQzMiniHtml2::processtag(const THtmlAttributes& variables, const QString& tag)
{
    const QString name = tag.toLower();
    if (name.isEmpty())
        return nullptr;
    std::unique_ptr<atag> object = CreateTagObject(FindTagIndex(name, SupportTag), this, u'<' + name + u'>');
    if (!object)
        return nullptr;
    if (auto* vis = dynamic_cast<aVisTag*>(object.get()))
        vis->BackGroundColor = currentState.BackGroundColor;
    object->variables = variables;
    object->SetHtml(object->variables);
    object->Index = int(TagList.size());
    TagList.push_back(std::move(object));
    return TagList.back().get();
}

QString TQzMiniHtml2::GetHtml() const
{
    QString html;
    for (const auto& tag : TagList)
        html += tag->GetHtml();
    return html;
}

int TQzMiniHtml2::GetHeight(const QString& s, const TFont& FontType)
{
    const QString measured = s + u'A';
    return TextMetrics ? TextMetrics->TextHeight(measured, FontType) : FontType.Metrics().height();
}

int TQzMiniHtml2::GetWidth(const QString& s, const TFont& FontType)
{
    return TextMetrics ? TextMetrics->TextWidth(s, FontType) : FontType.Metrics().horizontalAdvance(s);
}

// ---------------------------------------------------------------------------
// Sub-instances for table cells

int TQzMiniHtml2::NewSubMiniHtml()
{
    auto s = std::make_unique<TQzMiniHtml2>(this);
    s->fDepth = fDepth + 1;
    // Its cache is only needed while a cell is drawn.
    s->fReleaseCache = true;
    s->OnDynamicUpdate = OnDynamicUpdate;
    s->OnLinkClicked = OnLinkClicked;
    s->OnFormElementClicked = OnFormElementClicked;
    s->OnUserDefinedUpdate = OnUserDefinedUpdate;
    s->OnUserDefinedDraw = OnUserDefinedDraw;
    s->HtmlPrinter = HtmlPrinter;
    s->TextMetrics = TextMetrics;
    THandler* const mine[3] = { MouseKBHandler1, MouseKBHandler2, MouseKBHandler3 };
    THandler** const theirs[3] = { &s->MouseKBHandler1, &s->MouseKBHandler2, &s->MouseKBHandler3 };
    for (int k = 0; k < 3; ++k) {
        if (!mine[k])
            continue;
        // Owned by the sub-instance, so handlers do not pile up across loads.
        std::unique_ptr<THandler> handler = mine[k]->CloneFor(s.get());
        *theirs[k] = handler.get();
        s->fOwnedHandlers.push_back(std::move(handler));
    }
    const int index = int(SubMiniHtml.size());
    s->SetTag(index);
    SubMiniHtml.push_back(std::move(s));
    return index;
}

void TQzMiniHtml2::FreeSubMiniHtml()
{
    SubMiniHtml.clear();
}

TQzMiniHtml2* TQzMiniHtml2::SubInstance(int index) const
{
    if (index < 0 || index >= int(SubMiniHtml.size()))
        return nullptr;
    return SubMiniHtml[size_t(index)].get();
}

void TQzMiniHtml2::Prepare(const QString& Html)
{
    if (!fLoaded || Html != fLoadedHtml) {
        // The lines of the text (as a string list splits it), each ended by
        // CR LF as the string list writes them.
        QString text = Html;
        text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
        text.replace(u'\r', u'\n');
        if (text.endsWith(u'\n'))
            text.chop(1);
        Lines = Html.isEmpty() ? QStringList() : text.split(u'\n');
        QString source;
        for (const QString& line : Lines)
            source += line + QStringLiteral("\r\n");
        TSource src(source);
        Load(src, false);
        fLoadedHtml = Html;
    } else if (fLoadedWidth != width) {
        Relayout();
    }
    fLoadedWidth = width;
}

int TQzMiniHtml2::CalcSize(int MiniHtmlIndex, const QString& Html, int defwidth, int& width, int& height)
{
    width = height = 0;
    TQzMiniHtml2* s = TakeSubInstance(MiniHtmlIndex);
    if (!s)
        return MiniHtmlIndex;
    // Measuring only: the parent clears its cache before it draws anyway.
    s->Canvas = nullptr;
    s->Left = 0;
    s->Top = 0;
    s->width = defwidth;
    s->height = 1000;
    s->Prepare(Html);
    width = s->MaxWidth;
    height = s->CacheSize().height();
    return MiniHtmlIndex;
}

TQzMiniHtml2* TQzMiniHtml2::TakeSubInstance(int& MiniHtmlIndex)
{
    if (fDepth >= MaxNesting) {
        MiniHtmlIndex = -1;
        return nullptr;
    }
    TQzMiniHtml2* s = SubInstance(MiniHtmlIndex);
    if (!s)
        s = SubInstance(MiniHtmlIndex = NewSubMiniHtml());
    return s->Busy() ? nullptr : s;
}

int TQzMiniHtml2::DrawHtmlOnCanvas(int MiniHtmlIndex, int Left, int Top, int Width, const QString& Html)
{
    TQzMiniHtml2* s = TakeSubInstance(MiniHtmlIndex);
    if (!s)
        return MiniHtmlIndex;
    s->Canvas = CacheBitmap->Canvas();
    s->Left = Left;
    s->Top = Top;
    s->width = int(std::min<qint64>(std::abs(qint64(Width)), MaxCacheWidth));
    // All of the cell that fits in this cache is copied.
    s->height = CacheBitmap->Height();
    s->Prepare(Html);
    s->SizeCache();
    s->Draw();
    if (s->fReleaseCache)
        s->CacheBitmap->SetSize(0, 0);
    return MiniHtmlIndex;
}
