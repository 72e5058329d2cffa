#include "bench_data.h"

#include "engine/diary.h"
#include "tests/support/xorshift32.h"

#include <QDir>
#include <QFile>
#include <QList>
#include <QTemporaryDir>

#include <algorithm>
#include <iterator>
#include <stdexcept>

namespace {

constexpr char kWordList[]
    = "the a and to of in was it I we she he they my our with for on at after before today morning evening night "
      "walk garden work meeting letter friend mother father weather rain sun coffee book read wrote went came home "
      "early late quiet long short happy tired busy pleasant strange again nothing much little time day week plans "
      "dinner town train station river children school doctor phone call news";

const QList<QByteArray>& Words()
{
    static const QList<QByteArray> words = QByteArray(kWordList).split(' ');
    return words;
}

// One sentence of 6 to 16 words; `word(text)` writes each word after the
// first, which may dress it in formatting.
template <class WordWriter> void AppendSentence(QByteArray& out, XorShift32& rng, WordWriter word)
{
    const int words = 6 + int(rng.Below(11));
    for (int w = 0; w < words; ++w) {
        QByteArray text = Words()[rng.Below(quint32(Words().size()))];
        if (w == 0) {
            text[0] = char(text[0] >= 'a' && text[0] <= 'z' ? text[0] - 'a' + 'A' : text[0]);
            out += text;
        } else {
            word(text);
        }
        if (w + 1 < words)
            out += rng.Below(12) == 0 ? QByteArrayLiteral(", ") : QByteArrayLiteral(" ");
    }
    out += rng.Below(8) == 0 ? QByteArrayLiteral("! ") : QByteArrayLiteral(". ");
}

XorShift32 SeededRandom(quint32 seed)
{
    XorShift32 rng { seed * 2654435761u + 0x9E3779B9u };
    rng.Next();
    return rng;
}

// The character formatting the rich edit writes before a run: only what
// changed since the run before.
struct RunFormat {
    int font = 0;
    int halfPoints = 20;
    int color = 0;
    int highlight = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;

    void WriteChangeTo(const RunFormat& next, QByteArray& out) const
    {
        const auto number = [&](const char* word, int now, int then) {
            if (now != then)
                out += QByteArray("\\") + word + QByteArray::number(now);
        };
        const auto toggle = [&](const char* on, const char* off, bool now, bool then) {
            if (now != then)
                out += QByteArray("\\") + (now ? on : off);
        };
        const qsizetype before = out.size();
        number("f", next.font, font);
        number("fs", next.halfPoints, halfPoints);
        number("cf", next.color, color);
        number("highlight", next.highlight, highlight);
        toggle("b", "b0", next.bold, bold);
        toggle("i", "i0", next.italic, italic);
        toggle("ul", "ulnone", next.underline, underline);
        if (out.size() > before)
            out += ' ';
    }
};

constexpr int kFormattedFonts = 4;
constexpr int kFormattedColors = 12;

QByteArray FormattedHeader()
{
    QByteArray out
        = QByteArrayLiteral("{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1033{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}"
                            "{\\f1\\fnil\\fcharset0 Times New Roman;}{\\f2\\fnil\\fcharset0 Courier New;}"
                            "{\\f3\\fnil\\fcharset0 Verdana;}}\r\n{\\colortbl ;");
    for (int i = 0; i < kFormattedColors; ++i)
        out += "\\red" + QByteArray::number((i * 97) % 256) + "\\green" + QByteArray::number((i * 53 + 40) % 256)
            + "\\blue" + QByteArray::number((i * 31 + 90) % 256) + ';';
    out += "}\r\n\\viewkind4\\uc1\\pard\\f0\\fs20 ";
    return out;
}

} // namespace

QByteArray MakeRtfLikeText(qsizetype bytes, quint32 seed)
{
    QByteArray out = QByteArrayLiteral("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}}"
                                       "\r\n\\viewkind4\\uc1\\pard\\lang1033\\f0\\fs20 ");
    XorShift32 rng = SeededRandom(seed);
    out.reserve(bytes + 256);
    const auto word = [&](const QByteArray& text) {
        if (rng.Below(25) == 0)
            out += QByteArrayLiteral("\\b ") + text + QByteArrayLiteral("\\b0");
        else
            out += text;
    };
    while (out.size() < bytes) {
        const int sentences = 1 + int(rng.Below(6));
        for (int s = 0; s < sentences; ++s)
            AppendSentence(out, rng, word);
        out += QByteArrayLiteral("\\par\r\n");
        if (rng.Below(5) == 0)
            out += QByteArrayLiteral("\\par\r\n");
    }
    out.truncate(std::max<qsizetype>(bytes - 1, 0));
    out += '}';
    return out;
}

void FillTenYears(TDiaryDB& db)
{
    const TDateTime first = EncodeDate(2010, 1, 1);
    for (int i = 0; i < kTenYears; ++i) {
        const QString body = QString::fromLatin1(MakeRtfLikeText(4096, quint32(i + 1)));
        db.AddEntry(
            first + i, QStringLiteral("Day %1").arg(i), body, QStringLiteral("note %1").arg(i), QString(), i % 17);
    }
}

namespace {

// Words of Windows-1252 beyond ASCII, as pasted text and plain files hold
// them: their bytes, and the same as RTF escapes.
struct AccentedWord {
    const char* bytes;
    const char* rtf;
};
constexpr AccentedWord kAccentedWords[] = {
    { "caf\xE9", "caf\\'e9" },
    { "na\xEFve", "na\\'efve" },
    { "M\xFCnchen", "M\\'fcnchen" },
    { "fa\347ade", "fa\\'e7ade" },
};

} // namespace

QByteArray MakeFormattedRtf(qsizetype bytes, quint32 seed)
{
    QByteArray out = FormattedHeader();
    out.reserve(bytes + 256);
    XorShift32 rng = SeededRandom(seed);
    RunFormat current;
    const auto word = [&](const QByteArray& text) {
        // A new run every third word or so, with one to three attributes changed.
        if (rng.Below(3) == 0) {
            RunFormat next = current;
            for (int n = 1 + int(rng.Below(3)); n > 0; --n) {
                switch (rng.Below(7)) {
                case 0: next.font = int(rng.Below(kFormattedFonts)); break;
                case 1: next.halfPoints = 16 + 2 * int(rng.Below(10)); break;
                case 2: next.color = int(rng.Below(kFormattedColors + 1)); break;
                case 3: next.highlight = int(rng.Below(kFormattedColors + 1)); break;
                case 4: next.bold = !next.bold; break;
                case 5: next.italic = !next.italic; break;
                default: next.underline = !next.underline; break;
                }
            }
            current.WriteChangeTo(next, out);
            current = next;
        }
        switch (rng.Below(30)) {
        case 0: out += "\\'93" + text + "\\'94"; break;
        case 1: out += kAccentedWords[rng.Below(std::size(kAccentedWords))].rtf; break;
        default: out += text; break;
        }
    };
    while (out.size() < bytes) {
        const int sentences = 1 + int(rng.Below(6));
        for (int s = 0; s < sentences; ++s)
            AppendSentence(out, rng, word);
        out += QByteArrayLiteral("\\par\r\n");
        // Now and then a paragraph set apart by its alignment.
        if (rng.Below(10) == 0)
            out += rng.Below(2) == 0 ? QByteArrayLiteral("\\pard\\qc ") : QByteArrayLiteral("\\pard ");
    }
    out += QByteArrayLiteral("}\r\n");
    return out;
}

QString MakePlainText(qsizetype chars, quint32 seed)
{
    QByteArray out;
    out.reserve(chars + 256);
    XorShift32 rng = SeededRandom(seed);
    const auto word = [&](const QByteArray& text) {
        if (rng.Below(40) == 0)
            out += kAccentedWords[rng.Below(std::size(kAccentedWords))].bytes;
        else
            out += text;
    };
    while (out.size() < chars) {
        const int sentences = 1 + int(rng.Below(6));
        for (int s = 0; s < sentences; ++s)
            AppendSentence(out, rng, word);
        out += QByteArrayLiteral("\r\n");
        if (rng.Below(5) == 0)
            out += QByteArrayLiteral("\r\n");
    }
    return QString::fromLatin1(out);
}

const char* OddDiaryName(TOddDiary kind)
{
    switch (kind) {
    case TOddDiary::OneLargeEntry: return "the diary of one 1 MB entry";
    case TOddDiary::ManyShortDays: return "the diary of 20,000 short days";
    case TOddDiary::PlainTextBodies: return "the ten-year diary of plain-text bodies";
    }
    return "";
}

void FillOddDiary(TDiaryDB& db, TOddDiary kind)
{
    switch (kind) {
    case TOddDiary::OneLargeEntry:
        db.AddEntry(EncodeDate(2020, 5, 1), QStringLiteral("Pasted"),
            QString::fromLatin1(MakeFormattedRtf(kLargeEntryBytes, 1)), QStringLiteral("note"), QString(), 3);
        break;
    case TOddDiary::ManyShortDays: {
        const TDateTime first = EncodeDate(1970, 1, 1);
        for (int i = 0; i < kShortDays; ++i) {
            const QString body = QString::fromLatin1(MakeRtfLikeText(200 + i % 200, quint32(i + 1)));
            db.AddEntry(first + i, QStringLiteral("Day %1").arg(i), body, QString(), QString(), i % 17);
        }
        break;
    }
    case TOddDiary::PlainTextBodies: {
        const TDateTime first = EncodeDate(2010, 1, 1);
        for (int i = 0; i < kTenYears; ++i)
            db.AddEntry(first + i, QStringLiteral("Day %1").arg(i), MakePlainText(4096, quint32(i + 1)),
                QStringLiteral("note %1").arg(i), QString(), i % 17);
        break;
    }
    }
}

QString OddDiaryFile(TOddDiary kind, const QString& folder, const QString& password)
{
    const QString path = QDir(folder).filePath(QStringLiteral("odd%1.dry").arg(int(kind)));
    if (!QFile::exists(path)) {
        TDiaryDB db;
        FillOddDiary(db, kind);
        db.Diary()->SetPassword(password);
        db.SaveToFile(path);
    }
    return path;
}

const char* BenchDiaryName(int n)
{
    return n == 0 ? "the ten-year diary" : OddDiaryName(kOddDiaries[n - 1]);
}

void FillBenchDiary(TDiaryDB& db, int n)
{
    if (n == 0) {
        FillTenYears(db);
        return;
    }
    static const QTemporaryDir folder;
    const QString password = QStringLiteral("odd");
    const QString file = OddDiaryFile(kOddDiaries[n - 1], folder.path(), password);
    if (db.LoadFromFile(file, true, password) != lsNoError)
        throw std::runtime_error("the odd diary's file does not load");
}
