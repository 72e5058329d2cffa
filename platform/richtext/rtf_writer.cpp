#include "platform/richtext/rtf.h"

#include "platform/core/ansi.h"

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
        QString family;
        int charset;
        bool operator==(const FontKey&) const = default;
    };
    QList<FontKey> fFonts;
    QList<QRgb> fColors;
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
    fDefaultFamily = font.family();
    const double points = font.pointSizeF() > 0 ? font.pointSizeF() : font.pixelSize() * 72.0 / 96.0;
    if (points > 0)
        fDefaultHalfPoints = std::clamp(qRound(points * 2), 1, kMaxHalfPoints);
    fFonts.append({ fDefaultFamily, 0 });
}

RunFormat TRtfWriter::Resolve(const QTextCharFormat& format)
{
    RunFormat f;
    QString family = FormatFontName(format);
    if (family.isEmpty())
        family = fDefaultFamily;
    int charset = format.hasProperty(kCharsetProperty) ? format.intProperty(kCharsetProperty) : 0;
    // DEFAULT_CHARSET means the document's code page, which is Windows-1252 here.
    if (charset == 1 || charset < 0 || charset > 255)
        charset = 0;
    const FontKey key { family, charset };
    f.font = int(fFonts.indexOf(key));
    if (f.font < 0) {
        f.font = int(fFonts.size());
        fFonts.append(key);
    }
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
    const QRgb rgb = color.rgb() & 0xFFFFFF;
    qsizetype i = fColors.indexOf(rgb);
    if (i < 0) {
        i = fColors.size();
        fColors.append(rgb);
    }
    return int(i) + 1;
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
        // Controls and the document's structure marks are no text.
        if (u < 0x20 || u == 0xFFFC || u == 0xFDD0 || u == 0xFDD1)
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
    for (int i = 0; i < fFonts.size(); ++i) {
        fOut += "{\\f" + QByteArray::number(i) + "\\fnil\\fcharset" + QByteArray::number(fFonts[i].charset);
        fNeedSpace = true;
        QString name = fFonts[i].family;
        name.remove(u';');
        // Readers decode a name's bytes in its font's code page: beyond ASCII, Unicode.
        Text(name, RunFormat::Encoding::Other);
        fOut += ";}";
    }
    fOut += "}\r\n";
    if (!fColors.isEmpty()) {
        fOut += "{\\colortbl ;";
        for (QRgb rgb : fColors)
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
