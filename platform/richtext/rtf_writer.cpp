#include "platform/richtext/rtf.h"

#include "platform/core/ansi.h"
#include "platform/richtext/rtf_text_p.h"

#include <QHash>
#include <QList>
#include <QTextBlock>
#include <QTextCharFormat>
#include <QTextDocument>

#include <algorithm>
#include <climits>

namespace {

constexpr int kDefaultHalfPoints = 24;
constexpr int kMaxHalfPoints = 3276;

// The character format of a run as the RTF states it.
struct RunFormat {
    int font = 0;
    int halfPoints = kDefaultHalfPoints;
    int color = 0; // colour table index; 0 = automatic
    int highlight = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strike = false;
    // How the font's characters are written: raw ASCII and \'hh for
    // Windows-1252, raw ASCII and \u for other code pages, \u alone for
    // symbol fonts, whose bytes stand for other characters.
    enum class Encoding { Ansi, Other, Symbol } encoding = Encoding::Ansi;
    bool operator==(const RunFormat&) const = default;
};

struct Piece {
    QString text;
    RunFormat format;
};

struct Paragraph {
    Qt::Alignment align;
    QList<Piece> pieces;
    RunFormat mark; // the paragraph mark's format, written for empty paragraphs
};

// A font or colour table: its entries in order, each listed once.
template <typename Entry> class TEntryTable {
public:
    // The entry's number, adding it when it is new.
    int IndexOf(const Entry& entry)
    {
        const auto it = fIndex.constFind(entry);
        if (it != fIndex.cend())
            return *it;
        fEntries.append(entry);
        return *fIndex.insert(entry, int(fEntries.size() - 1));
    }
    const QList<Entry>& Entries() const { return fEntries; }

private:
    QList<Entry> fEntries;
    QHash<Entry, int> fIndex;
};

// Windows-1252 bytes of the characters above ASCII, for \'hh escapes.
const QHash<char16_t, unsigned char>& AnsiBytes()
{
    static const QHash<char16_t, unsigned char> table = [] {
        QHash<char16_t, unsigned char> t;
        for (int b = 0x80; b <= 0xFF; ++b) {
            const char byte = char(b);
            const QString s = AnsiToString(&byte, 1);
            // The five undefined bytes decode to C1 controls, which are no text.
            if (s.size() == 1 && s[0].unicode() >= 0xA0)
                t.insert(s[0].unicode(), static_cast<unsigned char>(b));
        }
        return t;
    }();
    return table;
}

class TRtfWriter {
public:
    TRtfWriter(const QTextDocument& doc, int from, int to);
    QByteArray Write();

private:
    void Collect();
    RunFormat Resolve(const QTextCharFormat& format);
    int ColorIndex(const QColor& color);
    void ControlWord(const char* word, int param = INT_MIN);
    void ApplyFormat(const RunFormat& f);
    void Text(const QString& text, RunFormat::Encoding encoding);

    const QTextDocument& fDoc;
    int fFrom;
    int fTo;
    QString fDefaultFamily;
    int fDefaultHalfPoints = kDefaultHalfPoints;

    struct FontKey {
        QString family; // as the reader keeps it
        int charset;
        bool operator==(const FontKey&) const = default;
        friend size_t qHash(const FontKey& key, size_t seed = 0) { return qHashMulti(seed, key.family, key.charset); }
    };
    TEntryTable<FontKey> fFonts;
    TEntryTable<QRgb> fColors;
    QList<Paragraph> fParagraphs;

    QByteArray fOut;
    RunFormat fCurrent;
    // A control word was written; raw text must be set off by a space.
    bool fNeedSpace = false;
};

TRtfWriter::TRtfWriter(const QTextDocument& doc, int from, int to)
    : fDoc(doc)
{
    const int last = std::max(0, doc.characterCount() - 1);
    fFrom = std::clamp(from, 0, last);
    fTo = to < 0 ? last : std::clamp(to, fFrom, last);
    const QFont font = doc.defaultFont();
    fDefaultFamily = rtf_p::NormalFontName(font.family());
    const double points = font.pointSizeF() > 0 ? font.pointSizeF() : font.pixelSize() * 72.0 / 96.0;
    if (points > 0)
        fDefaultHalfPoints = std::clamp(qRound(points * 2), 1, kMaxHalfPoints);
    fFonts.IndexOf({ fDefaultFamily, 0 });
}

RunFormat TRtfWriter::Resolve(const QTextCharFormat& format)
{
    RunFormat f;
    // Fonts are told apart by the name the reader will see, so two names
    // that read back as one share their entry.
    QString family = rtf_p::NormalFontName(FormatFontName(format));
    if (family.isEmpty())
        family = fDefaultFamily;
    int charset = format.hasProperty(kCharsetProperty) ? format.intProperty(kCharsetProperty) : 0;
    // DEFAULT_CHARSET means the document's code page, which is Windows-1252 here.
    if (charset == 1 || charset < 0 || charset > 255)
        charset = 0;
    f.font = fFonts.IndexOf({ family, charset });
    f.encoding = charset == 0 ? RunFormat::Encoding::Ansi
        : charset == 2        ? RunFormat::Encoding::Symbol
                              : RunFormat::Encoding::Other;
    double points = format.fontPointSize();
    if (points <= 0 && format.hasProperty(QTextFormat::FontPixelSize))
        points = format.intProperty(QTextFormat::FontPixelSize) * 72.0 / 96.0;
    f.halfPoints = points > 0 ? std::clamp(qRound(points * 2), 1, kMaxHalfPoints) : fDefaultHalfPoints;
    f.bold = format.fontWeight() >= QFont::DemiBold;
    f.italic = format.fontItalic();
    f.underline = format.fontUnderline();
    f.strike = format.fontStrikeOut();
    if (format.foreground().style() != Qt::NoBrush)
        f.color = ColorIndex(format.foreground().color());
    if (format.background().style() != Qt::NoBrush)
        f.highlight = ColorIndex(format.background().color());
    return f;
}

int TRtfWriter::ColorIndex(const QColor& color)
{
    // Entry 0 of the table is the automatic colour.
    return fColors.IndexOf(color.rgb() & 0xFFFFFF) + 1;
}

void TRtfWriter::Collect()
{
    for (QTextBlock block = fDoc.findBlock(fFrom); block.isValid() && block.position() <= fTo; block = block.next()) {
        Paragraph p;
        p.align = block.blockFormat().alignment();
        for (auto it = block.begin(); !it.atEnd(); ++it) {
            const QTextFragment fragment = it.fragment();
            const int start = std::max(fragment.position(), fFrom);
            const int end = std::min(fragment.position() + fragment.length(), fTo);
            if (start >= end)
                continue;
            p.pieces.append(
                { fragment.text().mid(start - fragment.position(), end - start), Resolve(fragment.charFormat()) });
        }
        // Only an empty paragraph writes its mark's format (and needs its font and colour).
        if (p.pieces.isEmpty())
            p.mark = Resolve(block.charFormat());
        fParagraphs.append(p);
    }
}

void TRtfWriter::ControlWord(const char* word, int param)
{
    fOut += '\\';
    fOut += word;
    if (param != INT_MIN)
        fOut += QByteArray::number(param);
    fNeedSpace = true;
}

void TRtfWriter::ApplyFormat(const RunFormat& f)
{
    if (f.font != fCurrent.font)
        ControlWord("f", f.font);
    if (f.halfPoints != fCurrent.halfPoints)
        ControlWord("fs", f.halfPoints);
    if (f.color != fCurrent.color)
        ControlWord("cf", f.color);
    if (f.highlight != fCurrent.highlight)
        ControlWord("highlight", f.highlight);
    if (f.bold != fCurrent.bold)
        ControlWord(f.bold ? "b" : "b0");
    if (f.italic != fCurrent.italic)
        ControlWord(f.italic ? "i" : "i0");
    if (f.underline != fCurrent.underline)
        ControlWord(f.underline ? "ul" : "ulnone");
    if (f.strike != fCurrent.strike)
        ControlWord(f.strike ? "strike" : "strike0");
    fCurrent = f;
}

void TRtfWriter::Text(const QString& text, RunFormat::Encoding encoding)
{
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u == u'\t') {
            ControlWord("tab");
            continue;
        }
        if (u == 0x2028) {
            ControlWord("line");
            continue;
        }
        if (rtf_p::IsNoText(u))
            continue;
        // Printable ASCII reads back the same in every code page but the symbol ones.
        if (u < 0x7F && encoding != RunFormat::Encoding::Symbol) {
            if (fNeedSpace)
                fOut += ' ';
            fNeedSpace = false;
            if (u == u'\\' || u == u'{' || u == u'}')
                fOut += '\\';
            fOut += char(u);
            continue;
        }
        fNeedSpace = false;
        const auto byte = AnsiBytes().constFind(u);
        if (encoding == RunFormat::Encoding::Ansi && byte != AnsiBytes().cend()) {
            fOut += "\\'";
            fOut += QByteArray::number(*byte, 16).rightJustified(2, '0');
        } else {
            // Signed 16 bits, with "?" for readers without Unicode (\uc1).
            fOut += "\\u" + QByteArray::number(qint16(u)) + '?';
        }
    }
}

QByteArray TRtfWriter::Write()
{
    Collect();
    QByteArray body;
    fCurrent.font = -1; // the first run states its font and size
    fCurrent.halfPoints = -1;
    bool first = true;
    Qt::Alignment align = Qt::AlignLeft;
    for (const Paragraph& p : fParagraphs) {
        const Qt::Alignment pa = p.align & Qt::AlignHorizontal_Mask;
        if (first || pa != align) {
            ControlWord("pard");
            if (pa & Qt::AlignHCenter)
                ControlWord("qc");
            else if (pa & (Qt::AlignRight | Qt::AlignTrailing))
                ControlWord("qr");
            else if (pa & Qt::AlignJustify)
                ControlWord("qj");
            align = pa;
            first = false;
        }
        for (const Piece& piece : p.pieces) {
            ApplyFormat(piece.format);
            Text(piece.text, piece.format.encoding);
        }
        if (p.pieces.isEmpty())
            ApplyFormat(p.mark);
        fOut += "\\par\r\n";
        fNeedSpace = false;
    }
    body = std::exchange(fOut, QByteArray());

    fOut = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl";
    const QList<FontKey>& fonts = fFonts.Entries();
    for (int i = 0; i < fonts.size(); ++i) {
        fOut += "{\\f" + QByteArray::number(i) + "\\fnil\\fcharset" + QByteArray::number(fonts[i].charset);
        fNeedSpace = true;
        // Readers decode a name's bytes in its font's code page: beyond ASCII, Unicode.
        Text(fonts[i].family, RunFormat::Encoding::Other);
        fOut += ";}";
    }
    fOut += "}\r\n";
    if (!fColors.Entries().isEmpty()) {
        fOut += "{\\colortbl ;";
        for (QRgb rgb : fColors.Entries())
            fOut += "\\red" + QByteArray::number(qRed(rgb)) + "\\green" + QByteArray::number(qGreen(rgb)) + "\\blue"
                + QByteArray::number(qBlue(rgb)) + ';';
        fOut += "}\r\n";
    }
    fOut += "\\viewkind4\\uc1";
    fOut += body;
    fOut += "}\r\n";
    return fOut;
}

} // namespace

QByteArray WriteRtf(const QTextDocument& doc, int from, int to)
{
    return TRtfWriter(doc, from, to).Write();
}
