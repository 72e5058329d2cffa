#include "platform/richtext/rtf.h"

#include "platform/richtext/code_pages_p.h"
#include "platform/richtext/rtf_text_p.h"

#include <QColor>
#include <QHash>
#include <QList>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextDocument>

#include <algorithm>
#include <climits>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <utility>

namespace {

using rtf_p::TCodePageDecoder;

// Groups nested deeper are skipped whole: real documents nest a few dozen
// levels, and the stack of saved states stays small whatever the input.
constexpr int kMaxGroupDepth = 256;
// The format's limits on a control word: 32 letters, 10 digits.
constexpr int kMaxKeywordLength = 32;
constexpr int kMaxParameterDigits = 10;
// RTF's default size, 12 points, in half points.
constexpr int kDefaultHalfPoints = 24;
// 1638 points, the largest size word processors offer.
constexpr int kMaxHalfPoints = 3276;
// A larger \uc would only skip more of the text; nothing writes one.
constexpr int kMaxUnicodeSkip = 16;

enum class Dest { Text, Skip, FontTable, ColorTable };

struct CharState {
    int font = -1; // font number; -1 = the document's default font
    int halfPoints = kDefaultHalfPoints;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    bool hidden = false;
    int color = 0; // colour table index; 0 = automatic
    int highlight = 0;
    bool operator==(const CharState&) const = default;
};

struct GroupState {
    CharState chr;
    Qt::Alignment align = Qt::AlignLeft;
    bool inTable = false; // the paragraph is (part of) a table cell
    Dest dest = Dest::Text;
    int uc = 1; // characters that follow a \u as its fallback
};

struct Font {
    QString name;
    int charset = -1; // -1: none given
    int codePage = 0; // from \cpg; 0: none given
};

enum class Kw {
    FontTable,
    ColorTable,
    SkipDest,
    Ansi,
    Mac,
    Pc,
    Pca,
    AnsiCpg,
    DefaultFont,
    Plain,
    Bold,
    Italic,
    Underline,
    UnderlineNone,
    Strike,
    Hidden,
    FontSize,
    Font,
    FontCharset,
    CodePage,
    ForeColor,
    BackColor,
    Red,
    Green,
    Blue,
    Pard,
    AlignLeft,
    AlignCenter,
    AlignRight,
    AlignJustify,
    InTable,
    Par,
    Break,
    Cell,
    Row,
    NestedRow,
    Char,
    Unicode,
    UnicodeSkip,
    Bin,
};

struct KeywordInfo {
    Kw kind;
    char16_t ch = 0; // the character of Kw::Char
};

const std::unordered_map<std::string_view, KeywordInfo>& Keywords()
{
    static const std::unordered_map<std::string_view, KeywordInfo> table = [] {
        std::unordered_map<std::string_view, KeywordInfo> t;
        // Destinations whose text is never shown.
        for (std::string_view d : { "stylesheet", "info", "pict", "object", "header", "headerl", "headerr", "headerf",
                 "footer", "footerl", "footerr", "footerf", "footnote", "annotation", "atnid", "atnauthor", "atndate",
                 "atnref", "atntime", "atnicn", "atrfstart", "atrfend", "bkmkstart", "bkmkend", "fldinst", "filetbl",
                 "listtable", "listoverridetable", "revtbl", "rsidtbl", "xmlnstbl", "themedata", "colorschememapping",
                 "latentstyles", "datastore", "generator", "nonshppict", "shp", "shpinst", "template", "docvar", "xe",
                 "tc", "txe", "rxe", "private", "comment", "author", "title", "subject", "operator", "keywords",
                 "doccomm", "creatim", "revtim", "printim", "buptim", "pn", "pntxta", "pntxtb", "fname", "falt",
                 "panose", "ftnsep", "ftnsepc", "ftncn", "aftnsep", "aftnsepc", "aftncn", "mmathPr", "userprops",
                 "objdata", "protusertbl", "pgdsctbl" })
            t.emplace(d, KeywordInfo { Kw::SkipDest });
        for (std::string_view u : { "ul", "uld", "uldash", "uldashd", "uldashdd", "uldb", "ulhwave", "ulldash", "ulth",
                 "ulthd", "ulthdash", "ulthdashd", "ulthdashdd", "ulthldash", "ululdbwave", "ulw", "ulwave" })
            t.emplace(u, KeywordInfo { Kw::Underline });
        const std::pair<std::string_view, Kw> plain[] = {
            { "fonttbl", Kw::FontTable },
            { "colortbl", Kw::ColorTable },
            { "ansi", Kw::Ansi },
            { "mac", Kw::Mac },
            { "pc", Kw::Pc },
            { "pca", Kw::Pca },
            { "ansicpg", Kw::AnsiCpg },
            { "deff", Kw::DefaultFont },
            { "plain", Kw::Plain },
            { "b", Kw::Bold },
            { "i", Kw::Italic },
            { "ulnone", Kw::UnderlineNone },
            { "strike", Kw::Strike },
            { "striked", Kw::Strike },
            { "v", Kw::Hidden },
            { "fs", Kw::FontSize },
            { "f", Kw::Font },
            { "fcharset", Kw::FontCharset },
            { "cpg", Kw::CodePage },
            { "cf", Kw::ForeColor },
            { "cb", Kw::BackColor },
            { "highlight", Kw::BackColor },
            { "chcbpat", Kw::BackColor },
            { "red", Kw::Red },
            { "green", Kw::Green },
            { "blue", Kw::Blue },
            { "pard", Kw::Pard },
            { "ql", Kw::AlignLeft },
            { "qc", Kw::AlignCenter },
            { "qr", Kw::AlignRight },
            { "qj", Kw::AlignJustify },
            { "qd", Kw::AlignJustify },
            { "intbl", Kw::InTable },
            { "par", Kw::Par },
            { "page", Kw::Break },
            { "sect", Kw::Break },
            { "column", Kw::Break },
            // A table row is shown as one paragraph, its cells apart by tabs.
            { "cell", Kw::Cell },
            { "nestcell", Kw::Cell },
            { "row", Kw::Row },
            { "nestrow", Kw::NestedRow },
            { "u", Kw::Unicode },
            { "uc", Kw::UnicodeSkip },
            { "bin", Kw::Bin },
        };
        for (const auto& [word, kind] : plain)
            t.emplace(word, KeywordInfo { kind });
        const std::pair<std::string_view, char16_t> chars[] = {
            { "line", 0x2028 },
            { "tab", u'\t' },
            { "lquote", 0x2018 },
            { "rquote", 0x2019 },
            { "ldblquote", 0x201C },
            { "rdblquote", 0x201D },
            { "emdash", 0x2014 },
            { "endash", 0x2013 },
            { "bullet", 0x2022 },
            { "emspace", 0x2003 },
            { "enspace", 0x2002 },
            { "qmspace", 0x2005 },
            { "zwj", 0x200D },
            { "zwnj", 0x200C },
            { "ltrmark", 0x200E },
            { "rtlmark", 0x200F },
            { "zwbo", 0x200B },
        };
        for (const auto& [word, ch] : chars)
            t.emplace(word, KeywordInfo { Kw::Char, ch });
        return t;
    }();
    return table;
}

bool IsLetter(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsDigit(char c)
{
    return c >= '0' && c <= '9';
}

int HexValue(char c)
{
    if (IsDigit(c))
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// One pass over the bytes, writing into the document through a cursor, or
// only the document's text into a string.
class TRtfReader {
public:
    TRtfReader(const QByteArray& data, QTextDocument& doc)
        : fData(data)
        , fCursor(&doc)
    {
    }
    TRtfReader(const QByteArray& data, QString& text)
        : fData(data)
        , fText(&text)
    {
    }

    void Read(qsizetype start);

private:
    void OpenGroup();
    // False once the document's outer group has closed.
    bool CloseGroup();
    void ControlWord();
    void ControlSymbol(char c);
    void Keyword(std::string_view word, bool hasParam, int param);
    // The keywords that end a paragraph, a cell or a row.
    void BreakKeyword(Kw kind);
    void TextByte(unsigned char byte);
    // The byte at start and the plain text after it.
    void TextBytes(qsizetype start);
    void Char(char16_t ch);
    bool Skipping() const { return fOverflow > 0 || fState.dest == Dest::Skip; }

    void FlushBytes();
    void AppendText(const QString& text);
    void FlushRun();
    void EndParagraph();
    void EndCell();
    void Paragraph();
    void InsertBlock();
    void ApplyParagraphFormat();
    void Finish();

    const Font* FontOf(const CharState& s) const;
    int CodePageOf(const CharState& s) const;
    int CodePage() const { return CodePageOf(fState.chr); }
    QTextCharFormat Format(const CharState& s);

    void OpenFont(int number);
    void FlushFontBytes();
    void CommitFont();
    void CommitColor();

    const QByteArray& fData;
    qsizetype fPos = 0;
    QTextCursor fCursor;
    // Set for a text-only read: runs and paragraph breaks go here, formats nowhere.
    QString* fText = nullptr;

    GroupState fState;
    QList<GroupState> fStack;
    int fOverflow = 0; // groups opened beyond the depth limit
    bool fIgnorable = false; // a \* came before the next control word
    int fSkipChars = 0; // fallback characters of a \u still to skip

    int fDocCodePage = rtf_p::kAnsiCodePage;
    int fDefaultFont = 0;
    QHash<int, Font> fFonts;
    QList<std::optional<QColor>> fColors;

    // The font table entry being read.
    bool fFontOpen = false;
    int fFontNumber = 0;
    Font fFont;
    QByteArray fFontBytes;

    // The colour table entry being read.
    int fRgb[3] = { 0, 0, 0 };
    bool fColorGiven = false;

    // 8-bit text not yet decoded (a double-byte character may span two escapes).
    QByteArray fBytes;
    int fBytesCodePage = rtf_p::kAnsiCodePage;
    // Text of one format not yet inserted.
    QString fRun;
    CharState fRunState;
    // A \par was read; its new paragraph opens only if something follows.
    bool fBreakPending = false;
    // A \cell was read; the tab that parts it from the next cell comes with
    // that cell's text or end, so a row's last cell leaves none.
    bool fCellEnded = false;

    CharState fFormatState;
    QTextCharFormat fFormat;
    bool fFormatValid = false;

    TCodePageDecoder fDecoder;
};

void TRtfReader::Read(qsizetype start)
{
    fCursor.beginEditBlock();
    fPos = start;
    const qsizetype size = fData.size();
    while (fPos < size) {
        const char c = fData[fPos++];
        switch (c) {
        case '{': OpenGroup(); break;
        case '}':
            if (!CloseGroup()) {
                fPos = size;
                continue;
            }
            break;
        case '\\': ControlWord(); break;
        case '\r':
        case '\n': break;
        default: TextBytes(fPos - 1); break;
        }
    }
    Finish();
    fCursor.endEditBlock();
}

void TRtfReader::OpenGroup()
{
    FlushBytes();
    fIgnorable = false;
    fSkipChars = 0;
    if (fOverflow > 0 || fStack.size() >= kMaxGroupDepth)
        ++fOverflow;
    else
        fStack.append(fState);
}

bool TRtfReader::CloseGroup()
{
    FlushBytes();
    fIgnorable = false;
    fSkipChars = 0;
    if (fOverflow > 0) {
        --fOverflow;
        return true;
    }
    // An entry of the font table may end with its group instead of ";".
    if (fState.dest == Dest::FontTable)
        CommitFont();
    // The document's own group ends the reading in the state it had, which
    // formats a last paragraph that no \par closes.
    if (fStack.size() <= 1)
        return false;
    fState = fStack.takeLast();
    return true;
}

void TRtfReader::ControlWord()
{
    const qsizetype size = fData.size();
    if (fPos >= size)
        return;
    if (!IsLetter(fData[fPos])) {
        ControlSymbol(fData[fPos++]);
        return;
    }
    const qsizetype start = fPos;
    while (fPos < size && IsLetter(fData[fPos]))
        ++fPos;
    const std::string_view word(
        fData.constData() + start, size_t(std::min<qsizetype>(fPos - start, kMaxKeywordLength)));
    bool negative = false;
    if (fPos + 1 < size && fData[fPos] == '-' && IsDigit(fData[fPos + 1])) {
        negative = true;
        ++fPos;
    }
    bool hasParam = false;
    qint64 value = 0;
    int digits = 0;
    while (fPos < size && IsDigit(fData[fPos])) {
        if (digits++ < kMaxParameterDigits)
            value = value * 10 + (fData[fPos] - '0');
        hasParam = true;
        ++fPos;
    }
    value = std::clamp<qint64>(negative ? -value : value, INT_MIN, INT_MAX);
    if (fPos < size && fData[fPos] == ' ')
        ++fPos;
    Keyword(word, hasParam, int(value));
}

void TRtfReader::ControlSymbol(char c)
{
    if (c == '\'') {
        const qsizetype size = fData.size();
        const int hi = fPos < size ? HexValue(fData[fPos]) : -1;
        const int lo = fPos + 1 < size ? HexValue(fData[fPos + 1]) : -1;
        if (hi < 0 || lo < 0) {
            if (hi >= 0)
                ++fPos;
            return;
        }
        fPos += 2;
        fIgnorable = false;
        TextByte(static_cast<unsigned char>(hi * 16 + lo));
        return;
    }
    if (c == '*') {
        fIgnorable = true;
        return;
    }
    fIgnorable = false;
    switch (c) {
    case '\\':
    case '{':
    case '}': TextByte(static_cast<unsigned char>(c)); return;
    case '\r':
    case '\n': Keyword("par", false, 0); return;
    default: break;
    }
    FlushBytes();
    if (fSkipChars > 0) {
        --fSkipChars;
        return;
    }
    switch (c) {
    case '~': Char(0x00A0); break;
    case '-': Char(0x00AD); break;
    case '_': Char(0x2011); break;
    default: break; // formula and index characters show nothing
    }
}

void TRtfReader::Keyword(std::string_view word, bool hasParam, int param)
{
    FlushBytes();
    const bool ignorable = std::exchange(fIgnorable, false);
    const auto it = Keywords().find(word);
    const bool known = it != Keywords().end();
    if (known && it->second.kind == Kw::Bin) {
        // Binary data: never read as text, whatever the destination.
        if (hasParam && param > 0)
            fPos += std::min<qsizetype>(param, fData.size() - fPos);
        if (fSkipChars > 0)
            --fSkipChars;
        return;
    }
    if (fSkipChars > 0) {
        --fSkipChars;
        return;
    }
    if (Skipping())
        return;
    if (ignorable) {
        fState.dest = Dest::Skip;
        return;
    }
    if (!known)
        return;
    CharState& chr = fState.chr;
    const bool on = !hasParam || param != 0;
    const Kw kind = it->second.kind;
    switch (kind) {
    case Kw::FontTable:
        fState.dest = Dest::FontTable;
        fFontOpen = false;
        break;
    case Kw::ColorTable:
        fState.dest = Dest::ColorTable;
        fColorGiven = false;
        break;
    case Kw::SkipDest: fState.dest = Dest::Skip; break;
    case Kw::Ansi: fDocCodePage = rtf_p::kAnsiCodePage; break;
    case Kw::Mac: fDocCodePage = 10000; break;
    case Kw::Pc: fDocCodePage = 437; break;
    case Kw::Pca: fDocCodePage = 850; break;
    case Kw::AnsiCpg:
        if (param > 0)
            fDocCodePage = param;
        break;
    case Kw::DefaultFont:
        // The cached format named the old default's font for runs without one.
        fDefaultFont = param;
        fFormatValid = false;
        break;
    case Kw::Plain: chr = CharState(); break;
    case Kw::Bold: chr.bold = on; break;
    case Kw::Italic: chr.italic = on; break;
    case Kw::Underline: chr.underline = on; break;
    case Kw::UnderlineNone: chr.underline = false; break;
    case Kw::Strike: chr.strike = on; break;
    case Kw::Hidden: chr.hidden = on; break;
    case Kw::FontSize:
        chr.halfPoints = hasParam && param > 0 ? std::min(param, kMaxHalfPoints) : kDefaultHalfPoints;
        break;
    case Kw::Font:
        if (fState.dest == Dest::FontTable)
            OpenFont(param);
        else
            chr.font = param;
        break;
    case Kw::FontCharset:
        if (fState.dest == Dest::FontTable && fFontOpen)
            fFont.charset = std::clamp(param, 0, 255);
        break;
    case Kw::CodePage:
        if (fState.dest == Dest::FontTable && fFontOpen)
            fFont.codePage = std::max(param, 0);
        break;
    case Kw::ForeColor: chr.color = std::max(param, 0); break;
    case Kw::BackColor: chr.highlight = std::max(param, 0); break;
    case Kw::Red:
    case Kw::Green:
    case Kw::Blue:
        if (fState.dest == Dest::ColorTable) {
            fRgb[kind == Kw::Red ? 0 : kind == Kw::Green ? 1 : 2] = std::clamp(param, 0, 255);
            fColorGiven = true;
        }
        break;
    case Kw::Pard:
        fState.align = Qt::AlignLeft;
        fState.inTable = false;
        break;
    case Kw::AlignLeft: fState.align = Qt::AlignLeft; break;
    case Kw::AlignCenter: fState.align = Qt::AlignHCenter; break;
    case Kw::AlignRight: fState.align = Qt::AlignRight; break;
    case Kw::AlignJustify: fState.align = Qt::AlignJustify; break;
    case Kw::InTable: fState.inTable = true; break;
    case Kw::Par:
    case Kw::Break:
    case Kw::Cell:
    case Kw::Row:
    case Kw::NestedRow: BreakKeyword(kind); break;
    case Kw::Char: Char(it->second.ch); break;
    case Kw::Unicode:
        if (hasParam) {
            const int code = param < 0 ? param + 0x10000 : param;
            if (code >= 0 && code <= 0xFFFF)
                Char(char16_t(code));
            fSkipChars = fState.uc;
        }
        break;
    case Kw::UnicodeSkip: fState.uc = hasParam ? std::clamp(param, 0, kMaxUnicodeSkip) : 1; break;
    case Kw::Bin: break;
    }
}

void TRtfReader::BreakKeyword(Kw kind)
{
    switch (kind) {
    case Kw::Par:
        if (fState.dest == Dest::Text)
            EndParagraph();
        break;
    case Kw::Break:
        // Page, section and column breaks end the paragraph they are in,
        // never add an empty one.
        if (fState.dest == Dest::Text && !fState.inTable && !fBreakPending
            && (!fRun.isEmpty() || fCursor.block().length() > 1))
            Paragraph();
        break;
    case Kw::Cell:
        if (fState.dest == Dest::Text)
            EndCell();
        break;
    case Kw::Row:
        if (fState.dest == Dest::Text)
            Paragraph();
        break;
    case Kw::NestedRow:
        // A table in a cell: its rows are lines of the outer cell.
        if (fState.dest == Dest::Text) {
            fCellEnded = false;
            EndParagraph();
        }
        break;
    default: break;
    }
}

void TRtfReader::TextBytes(qsizetype start)
{
    // Plain text takes the bytes up to the next group, control or line end
    // at once, as the byte-wise path would take them one by one.
    if (fSkipChars > 0 || Skipping() || fState.dest != Dest::Text) {
        TextByte(static_cast<unsigned char>(fData[start]));
        return;
    }
    qsizetype end = start + 1;
    const qsizetype size = fData.size();
    const char* data = fData.constData();
    while (end < size && data[end] != '{' && data[end] != '}' && data[end] != '\\' && data[end] != '\r'
        && data[end] != '\n')
        ++end;
    if (fBytes.isEmpty())
        fBytesCodePage = CodePage();
    fBytes.append(data + start, end - start);
    fPos = end;
}

void TRtfReader::TextByte(unsigned char byte)
{
    if (fSkipChars > 0) {
        --fSkipChars;
        return;
    }
    if (Skipping())
        return;
    switch (fState.dest) {
    case Dest::FontTable:
        if (byte == ';')
            CommitFont();
        else if (fFontOpen)
            fFontBytes.append(char(byte));
        break;
    case Dest::ColorTable:
        if (byte == ';')
            CommitColor();
        break;
    case Dest::Text:
        if (fBytes.isEmpty())
            fBytesCodePage = CodePage();
        fBytes.append(char(byte));
        break;
    case Dest::Skip: break;
    }
}

void TRtfReader::Char(char16_t ch)
{
    if (Skipping())
        return;
    if (fState.dest == Dest::FontTable) {
        if (fFontOpen) {
            FlushFontBytes();
            fFont.name += QChar(ch);
        }
    } else if (fState.dest == Dest::Text) {
        FlushBytes();
        AppendText(QString(QChar(ch)));
    }
}

void TRtfReader::FlushBytes()
{
    if (fBytes.isEmpty())
        return;
    const QString text = fDecoder.Decode(fBytes, fBytesCodePage);
    fBytes.clear();
    AppendText(text);
}

void TRtfReader::AppendText(const QString& text)
{
    if (fState.chr.hidden)
        return;
    // A paragraph separator ends the paragraph; what is no text never enters.
    // Plain spans go in whole, which keeps long bodies fast to read.
    const auto special = [](char16_t u) { return u == 0x2029 || rtf_p::IsNoText(u); };
    const QChar* chars = text.constData();
    const qsizetype size = text.size();
    for (qsizetype i = 0; i < size;) {
        qsizetype end = i;
        while (end < size && !special(chars[end].unicode()))
            ++end;
        if (end > i) {
            if (!fRun.isEmpty() && !(fRunState == fState.chr))
                FlushRun();
            if (fBreakPending)
                InsertBlock();
            if (std::exchange(fCellEnded, false))
                fRun += u'\t';
            fRun.append(chars + i, end - i);
            fRunState = fState.chr;
        }
        if (end < size && chars[end].unicode() == 0x2029)
            EndParagraph();
        i = end + 1;
    }
}

void TRtfReader::FlushRun()
{
    if (fRun.isEmpty())
        return;
    QString text = rtf_p::PairSurrogates(std::exchange(fRun, QString()));
    // Word writes Symbol characters as their private-use values. Decided by
    // the run's font as it stands now, which a late font table may have set.
    if (CodePageOf(fRunState) == rtf_p::kSymbolCodePage) {
        for (QChar& c : text)
            if (c.unicode() >= 0xF020 && c.unicode() <= 0xF0FF)
                c = QChar(rtf_p::SymbolToUnicode(static_cast<unsigned char>(c.unicode() - 0xF000)));
    }
    if (fText)
        *fText += text;
    else
        fCursor.insertText(text, Format(fRunState));
}

void TRtfReader::EndParagraph()
{
    // A cell keeps its paragraphs in the row, as lines.
    if (fState.inTable)
        AppendText(QString(QChar(0x2028)));
    else
        Paragraph();
}

void TRtfReader::EndCell()
{
    // The cell that ends here was empty: it still has its tab.
    if (std::exchange(fCellEnded, false))
        AppendText(QStringLiteral("\t"));
    fCellEnded = true;
}

void TRtfReader::Paragraph()
{
    fCellEnded = false;
    FlushRun();
    if (fBreakPending)
        InsertBlock();
    ApplyParagraphFormat();
    fBreakPending = true;
}

void TRtfReader::InsertBlock()
{
    if (fText) {
        *fText += QChar(QChar::ParagraphSeparator);
        fBreakPending = false;
        return;
    }
    QTextBlockFormat format;
    format.setAlignment(fState.align);
    fCursor.insertBlock(format, Format(fState.chr));
    fBreakPending = false;
}

void TRtfReader::ApplyParagraphFormat()
{
    if (fText)
        return;
    QTextBlockFormat format = fCursor.blockFormat();
    format.setAlignment(fState.align);
    fCursor.setBlockFormat(format);
    // The paragraph mark's format: what an empty paragraph types with.
    fCursor.setBlockCharFormat(Format(fState.chr));
}

void TRtfReader::Finish()
{
    FlushBytes();
    CommitFont();
    FlushRun();
    if (!fBreakPending)
        ApplyParagraphFormat();
}

const Font* TRtfReader::FontOf(const CharState& s) const
{
    const auto it = fFonts.constFind(s.font < 0 ? fDefaultFont : s.font);
    return it == fFonts.cend() ? nullptr : &*it;
}

int TRtfReader::CodePageOf(const CharState& s) const
{
    const Font* font = FontOf(s);
    if (!font)
        return fDocCodePage;
    if (font->codePage > 0)
        return font->codePage;
    if (font->charset < 0)
        return fDocCodePage;
    return rtf_p::CodePageOfCharset(font->charset, fDocCodePage, font->name);
}

QTextCharFormat TRtfReader::Format(const CharState& s)
{
    if (fFormatValid && s == fFormatState)
        return fFormat;
    QTextCharFormat f;
    if (const Font* font = FontOf(s)) {
        if (!font->name.isEmpty())
            SetFormatFontName(f, font->name);
        if (font->charset >= 0)
            f.setProperty(kCharsetProperty, font->charset);
    }
    f.setFontPointSize(s.halfPoints / 2.0);
    f.setFontWeight(s.bold ? QFont::Bold : QFont::Normal);
    f.setFontItalic(s.italic);
    f.setFontUnderline(s.underline);
    f.setFontStrikeOut(s.strike);
    const auto colorOf
        = [this](int index) { return index > 0 && index < fColors.size() ? fColors[index] : std::nullopt; };
    const std::optional<QColor> color = colorOf(s.color);
    const std::optional<QColor> highlight = colorOf(s.highlight);
    if (color)
        f.setForeground(*color);
    if (highlight)
        f.setBackground(*highlight);
    if (color || highlight) {
        const auto name = [](const std::optional<QColor>& c) { return c ? c->name() : QString(); };
        f.setProperty(kColorPairProperty, name(color) + u' ' + name(highlight));
    }
    fFormatState = s;
    fFormat = f;
    fFormatValid = true;
    return f;
}

void TRtfReader::OpenFont(int number)
{
    CommitFont();
    fFontOpen = true;
    fFontNumber = number;
    fFont = Font();
    fFontBytes.clear();
}

void TRtfReader::FlushFontBytes()
{
    if (fFontBytes.isEmpty())
        return;
    // Names are text of the font's own character set; a symbol font's name is plain ANSI.
    int codePage = fFont.codePage;
    if (codePage <= 0) {
        if (fFont.charset == 2)
            codePage = rtf_p::kAnsiCodePage;
        else if (fFont.charset < 0)
            codePage = fDocCodePage;
        else
            codePage = rtf_p::CodePageOfCharset(fFont.charset, fDocCodePage, QString());
    }
    fFont.name += fDecoder.Decode(fFontBytes, codePage);
    fFontBytes.clear();
}

void TRtfReader::CommitFont()
{
    if (!fFontOpen)
        return;
    FlushFontBytes();
    fFont.name = rtf_p::NormalFontName(fFont.name);
    fFonts.insert(fFontNumber, fFont);
    fFontOpen = false;
    fFormatValid = false;
}

void TRtfReader::CommitColor()
{
    if (fColorGiven)
        fColors.append(QColor(fRgb[0], fRgb[1], fRgb[2]));
    else
        fColors.append(std::nullopt);
    fFormatValid = false;
    fRgb[0] = fRgb[1] = fRgb[2] = 0;
    fColorGiven = false;
}

// Where "{\rtf" starts after leading blanks, or -1.
qsizetype HeaderStart(const QByteArray& bytes)
{
    qsizetype i = 0;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        i = 3;
    while (i < bytes.size() && (bytes[i] == ' ' || bytes[i] == '\t' || bytes[i] == '\r' || bytes[i] == '\n'))
        ++i;
    return QByteArrayView(bytes).sliced(i).startsWith("{\\rtf") ? i : -1;
}

} // namespace

bool IsRtf(const QByteArray& bytes)
{
    return HeaderStart(bytes) >= 0;
}

bool ReadRtf(const QByteArray& rtf, QTextDocument& doc)
{
    const qsizetype start = HeaderStart(rtf);
    if (start < 0)
        return false;
    doc.clear();
    TRtfReader reader(rtf, doc);
    reader.Read(start);
    return true;
}

QString ReadRtfText(const QByteArray& rtf)
{
    QString text;
    const qsizetype start = HeaderStart(rtf);
    if (start >= 0)
        TRtfReader(rtf, text).Read(start);
    return text;
}
