// Writes first inputs for every fuzz target into OUTPUT/<target>/: files the
// program writes itself (diaries, their component streams, packed blobs,
// birthday files, month summaries), word lists of every line ending and
// encoding, and the RTF and HTML strings of the tests, so that even a short run starts past the readers' first checks
// instead of guessing magic numbers, CRCs and stream headers byte by byte.
//   make_seeds OUTPUT TESTS
#include "birthdays/birthday.h"
#include "birthdays/month_summary.h"
#include "engine/diary.h"
#include "engine/lzh.h"
#include "platform/core/ansi.h"
#include "platform/core/datetime.h"
#include "platform/core/string_list.h"

#include <QByteArray>
#include <QCryptographicHash>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QList>
#include <QMap>
#include <QString>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <utility>

namespace {

bool IsIdentChar(char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_';
}

int HexValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

void AppendCodePoint(QByteArray& out, char32_t code)
{
    out += QString::fromUcs4(&code, 1).toUtf8();
}

// The body of an ordinary literal from its first character up to the closing
// quote, escapes decoded: \x and octal escapes give bytes in a narrow literal
// and code points in a wide one, \u and \U give UTF-8.
QByteArray DecodeLiteral(const QByteArray& src, qsizetype& i, bool wide)
{
    QByteArray out;
    while (i < src.size() && src[i] != '"') {
        char c = src[i++];
        if (c != '\\' || i >= src.size()) {
            out += c;
            continue;
        }
        c = src[i++];
        char32_t code = 0;
        switch (c) {
        case 'n': out += '\n'; continue;
        case 't': out += '\t'; continue;
        case 'r': out += '\r'; continue;
        case 'a': out += '\a'; continue;
        case 'b': out += '\b'; continue;
        case 'f': out += '\f'; continue;
        case 'v': out += '\v'; continue;
        case 'x':
            while (i < src.size() && HexValue(src[i]) >= 0)
                code = code * 16 + char32_t(HexValue(src[i++]));
            break;
        case 'u':
        case 'U':
            for (int digits = c == 'u' ? 4 : 8; digits > 0 && i < src.size() && HexValue(src[i]) >= 0; --digits)
                code = code * 16 + char32_t(HexValue(src[i++]));
            AppendCodePoint(out, code);
            continue;
        default:
            if (c < '0' || c > '7') {
                out += c; // \\ \" \' \?
                continue;
            }
            code = char32_t(c - '0');
            for (int digits = 2; digits > 0 && i < src.size() && src[i] >= '0' && src[i] <= '7'; --digits)
                code = code * 8 + char32_t(src[i++] - '0');
            break;
        }
        if (wide)
            AppendCodePoint(out, code);
        else
            out += char(code);
    }
    ++i; // the closing quote
    return out;
}

// The string literals of a C++ source, adjacent ones joined as the compiler
// joins them. It knows comments, character literals, prefixes, raw strings
// and suffixes such as _s; it does not preprocess, which the tests' sources
// never need.
QList<QByteArray> StringLiterals(const QByteArray& src)
{
    QList<QByteArray> found;
    QByteArray current;
    bool open = false; // a literal was read and the next one may join it
    const auto close = [&] {
        if (open)
            found.append(current);
        current.clear();
        open = false;
    };
    qsizetype i = 0;
    while (i < src.size()) {
        const char c = src[i];
        if (c == '/' && src.mid(i, 2) == "//") {
            i = src.indexOf('\n', i);
            i = i < 0 ? src.size() : i;
        } else if (c == '/' && src.mid(i, 2) == "/*") {
            i = src.indexOf("*/", i + 2);
            i = i < 0 ? src.size() : i + 2;
        } else if (c == ' ' || c == '\t' || c == '\n' || c == '\r') {
            ++i;
        } else if (c == '\'') {
            close();
            for (++i; i < src.size() && src[i] != '\'' && src[i] != '\n'; ++i)
                i += src[i] == '\\' ? 1 : 0;
            ++i;
        } else if (IsIdentChar(c) || c == '"') {
            const qsizetype start = i;
            // A number's digit separators would read as character literals.
            const bool number = c >= '0' && c <= '9';
            while (i < src.size() && (IsIdentChar(src[i]) || (number && src[i] == '\'')))
                ++i;
            const QByteArray word = src.mid(start, i - start);
            static const QList<QByteArray> prefixes { "", "u8", "u", "U", "L" };
            const bool raw = word.endsWith('R') && prefixes.contains(word.chopped(1));
            if (i >= src.size() || src[i] != '"' || !(raw || prefixes.contains(word))) {
                close();
                continue;
            }
            ++i;
            if (raw) {
                const qsizetype paren = src.indexOf('(', i);
                const QByteArray end = ')' + src.mid(i, paren - i) + '"';
                const qsizetype stop = paren < 0 ? -1 : src.indexOf(end, paren);
                if (stop < 0)
                    break;
                current += src.mid(paren + 1, stop - paren - 1);
                i = stop + end.size();
            } else {
                current += DecodeLiteral(src, i, !word.isEmpty() && word != "u8");
            }
            open = true;
            while (i < src.size() && IsIdentChar(src[i]))
                ++i; // a suffix such as _s
        } else {
            close();
            ++i;
        }
    }
    close();
    return found;
}

bool IsRtf(const QByteArray& text)
{
    return text.contains("{\\rtf");
}

// A tag's opening: '<' followed by a letter, '/' or '!'.
bool IsHtml(const QByteArray& text)
{
    for (qsizetype at = text.indexOf('<'); at >= 0 && at + 1 < text.size(); at = text.indexOf('<', at + 1)) {
        const char next = text[at + 1];
        if ((next >= 'a' && next <= 'z') || (next >= 'A' && next <= 'Z') || next == '/' || next == '!')
            return true;
    }
    return false;
}

// Writes the seed files, one folder per target, and counts them; a failed
// write ends the program.
class TSeedWriter {
public:
    explicit TSeedWriter(const QString& root)
        : fRoot(root)
    {
    }

    void Write(const QString& target, const QString& name, const QByteArray& bytes)
    {
        const QDir folder(fRoot + u'/' + target);
        if (!folder.mkpath(QStringLiteral(".")))
            Fail(folder.path());
        QFile file(folder.filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.flush())
            Fail(file.fileName());
        ++fCount[target];
    }

    // Named after the content, so equal strings from several tests make one seed.
    void WriteByContent(const QString& target, const QString& kind, const QByteArray& bytes)
    {
        const QByteArray hash = QCryptographicHash::hash(bytes, QCryptographicHash::Sha1).toHex().left(12);
        Write(target, kind + u'-' + QString::fromLatin1(hash), bytes);
    }

    void Report() const
    {
        for (auto it = fCount.cbegin(); it != fCount.cend(); ++it)
            std::printf("%s: %d seeds\n", qPrintable(it.key()), it.value());
    }

private:
    [[noreturn]] static void Fail(const QString& path)
    {
        std::fprintf(stderr, "make_seeds: cannot write %s\n", qPrintable(path));
        std::exit(1);
    }

    QString fRoot;
    QMap<QString, int> fCount;
};

QString Text(const char* utf8)
{
    return QString::fromUtf8(utf8);
}

// Diaries as the program saves them, from empty to a year of days, with
// bodies taken from the tests' RTF.
QList<std::pair<QString, std::shared_ptr<TDiaryDB>>> MakeDiaries(const QList<QByteArray>& rtf)
{
    QList<std::pair<QString, std::shared_ptr<TDiaryDB>>> diaries;
    const auto diary = [&](const QString& name) {
        auto db = std::make_shared<TDiaryDB>();
        db->SetFUD(EncodeDate(2001, 2, 3));
        diaries.append({ name, db });
        return db.get();
    };

    diary(QStringLiteral("empty"));

    TDiaryDB* days = diary(QStringLiteral("days"));
    days->AddEntry(EncodeDate(2024, 3, 1), Text("Plain title"), Text("{\\rtf1 short}"), Text("a note"), {}, 2);
    days->AddEntry(EncodeDate(2020, 1, 15), Text("Caf\xC3\xA9 \xC3\xA0 la cr\xC3\xA8me"), Text("body"), {}, {}, 0);
    days->AddEntry(EncodeDate(2019, 7, 4), Text("\xCE\x97\xCE\xBC\xCE\xAD\xCF\x81\xCE\xB1 \xF0\x9F\x98\x80"),
        Text("{\\rtf1\\ansi \\u966?\\par}"), Text("line\r\nline"), {}, 5);
    days->AddEntry(EncodeDate(812, 5, 6), Text("Old times"), Text("b"), {}, {}, 1);
    days->AddEntry(EncodeDate(2024, 2, 29), {}, {}, {}, {}, -1);
    days->Info()->UpdateItemByName(Text("edtFullName"), Text("Ann Writer"));
    days->Info()->UpdateItemByName(Text("memAddress"), Text("1 Main St\r\nTown"));
    days->SetVersion(Text("2.1"));

    TDiaryDB* rich = diary(QStringLiteral("rich"));
    for (qsizetype i = 0; i < rtf.size() && i < 24; ++i)
        rich->AddEntry(EncodeDate(2010, 1, 1) + double(i * 37 % 365), Text("Entry %1").arg(i),
            QString::fromLatin1(rtf[i]), {}, {}, int(i % 12));

    // Days through a year, saved newest first.
    TDiaryDB* year = diary(QStringLiteral("year"));
    for (int day = 0; day < 30; ++day)
        year->AddEntry(EncodeDate(2023, 12, 31) - day * 12, Text("Day %1").arg(day * 7919 % 1000),
            Text("{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\f0\\fs20 Day %1 of %2\\par}")
                .arg(day)
                .arg(day % 3 ? Text("rain") : Text("sun")),
            day % 5 ? QString() : Text("note %1").arg(day * day), {}, day % 13);

    TDiaryDB* locked = diary(QStringLiteral("locked"));
    locked->AddEntry(EncodeDate(2022, 6, 1), Text("secret"), Text("{\\rtf1 hidden}"), {}, {}, 3);
    locked->Diary()->SetPassword(Text("Secret"));
    return diaries;
}

// Birthday lists as the keeper saves them.
QList<std::pair<QString, std::shared_ptr<TBirthdayComponent>>> MakeBirthdayLists()
{
    QList<std::pair<QString, std::shared_ptr<TBirthdayComponent>>> lists;
    const auto list = [&](const QString& name) {
        auto birthdays = std::make_shared<TBirthdayComponent>();
        lists.append({ name, birthdays });
        return birthdays->Entries();
    };
    const auto add
        = [](TEntries* entries, const QString& name, TDateTime date, int type, int icon, const QString& notes) {
              TEntry* entry = entries->Add();
              entry->SetFullName(name);
              entry->SetBirthDate(date);
              entry->SetEntryType(type);
              entry->SetIcon(icon);
              entry->SetNotes(notes);
          };

    list(QStringLiteral("empty"));

    TEntries* few = list(QStringLiteral("few"));
    add(few, Text("Anna"), EncodeDate(1990, 3, 3), etBirthday, -1, {});
    add(few, Text("Bob & <Carl>"), EncodeDate(1985, 3, 21), etAnniversary, 4, Text("wedding"));
    add(few, Text("Leap"), EncodeDate(UnknownBirthYear, 2, 29), etBirthday, 0, Text("year unknown"));
    add(few, Text("Zo\xC3\xAB \xE6\x9D\x8E"), EncodeDate(2001, 12, 31), etBirthday, 11, Text("line\r\nline"));

    TEntries* year = list(QStringLiteral("year"));
    for (int i = 0; i < 60; ++i)
        add(year, Text("Person %1").arg(i * 7919 % 1000), EncodeDate(1950 + i, 1, 1) + double(i % 45 * 8),
            i % 4 == 0 ? etAnniversary : etBirthday, i % 9 - 1, i % 3 ? QString() : Text("note %1").arg(i));
    return lists;
}

// The first byte of a label input is its width; the rest is the HTML in the
// code page the label reads.
QByteArray LabelInput(const QString& html)
{
    return char(100) + StringToAnsi(html);
}

// The stream's object in a 32-bit resource file instead of the 16-bit
// header: the file's empty entry, then an RT_RCDATA entry named TDIARYDB.
QByteArray AsResourceFile(const QByteArray& stream)
{
    const QByteArray data = stream.mid(stream.indexOf("TPF0"));
    const auto le = [](quint32 value, int count) {
        QByteArray bytes;
        for (int i = 0; i < count; ++i)
            bytes += char(value >> (8 * i));
        return bytes;
    };
    const auto entry = [&le](quint16 type, const QByteArray& name, const QByteArray& body) {
        QByteArray fields = le(0xFFFF, 2) + le(type, 2) + name;
        while ((8 + fields.size()) % 4 != 0)
            fields += '\0';
        fields += QByteArray(16, '\0');
        return le(quint32(body.size()), 4) + le(quint32(8 + fields.size()), 4) + fields + body;
    };
    QByteArray name;
    for (const char c : QByteArray("TDIARYDB"))
        name += le(quint8(c), 2);
    return entry(0, le(0xFFFF, 2) + le(0, 2), {}) + entry(10, name + le(0, 2), data);
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s OUTPUT TESTS\n", argv[0]);
        return 2;
    }
    TSeedWriter seeds(QString::fromLocal8Bit(argv[1]));

    QList<QByteArray> rtf, html;
    QDirIterator sources(QString::fromLocal8Bit(argv[2]), { QStringLiteral("*.cpp"), QStringLiteral("*.h") },
        QDir::Files, QDirIterator::Subdirectories);
    QStringList paths;
    while (sources.hasNext())
        paths << sources.next();
    paths.sort(); // the same seeds on every machine
    for (const QString& path : paths) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly)) {
            std::fprintf(stderr, "make_seeds: cannot read %s\n", qPrintable(path));
            return 1;
        }
        for (const QByteArray& literal : StringLiterals(file.readAll())) {
            if (IsRtf(literal))
                rtf << literal;
            else if (IsHtml(literal))
                html << literal;
        }
    }
    for (const QByteArray& text : rtf)
        seeds.WriteByContent(QStringLiteral("fuzz_rtf"), QStringLiteral("test"), text);
    for (const QByteArray& text : html)
        seeds.WriteByContent(
            QStringLiteral("fuzz_minihtml"), QStringLiteral("test"), LabelInput(QString::fromUtf8(text)));

    for (const auto& [name, db] : MakeDiaries(rtf)) {
        const QByteArray file = db->SaveToBytes();
        const QByteArray packed = file.mid(8); // after the magic and the CRC
        seeds.Write(QStringLiteral("fuzz_diary_file"), name, file);
        // An odd first byte asks the target to frame the rest with a correct CRC.
        seeds.Write(QStringLiteral("fuzz_diary_file"), name + QStringLiteral("-framed"), '\x01' + packed);
        seeds.Write(QStringLiteral("fuzz_component_stream"), name, db->SaveToBytes(false));
        seeds.Write(QStringLiteral("fuzz_component_stream"), name + QStringLiteral("-res32"),
            AsResourceFile(db->SaveToBytes(false)));
        seeds.Write(QStringLiteral("fuzz_lzh"), QStringLiteral("diary-") + name, packed);
    }
    const std::pair<const char*, QByteArray> texts[] = {
        { "empty", QByteArray() },
        { "one-byte", QByteArray("a") },
        { "spaces", QByteArray(5000, ' ') }, // the ring buffer starts as spaces
        { "bytes",
            [] {
                QByteArray all;
                for (int i = 0; i < 3 * 256; ++i)
                    all += char(i * 7);
                return all;
            }() },
        // Characters that seldom repeat: enough codes for the Huffman tree to be rebuilt.
        { "characters",
            [] {
                QByteArray letters;
                quint32 state = 1;
                for (int i = 0; i < 36000; ++i) {
                    state = state * 1103515245u + 12345u;
                    letters += char('!' + (state >> 16) % 90);
                }
                return letters;
            }() },
    };
    for (const auto& [name, text] : texts)
        seeds.Write(QStringLiteral("fuzz_lzh"), QString::fromLatin1(name), LZHPackBlob(text));

    // Word lists as editors leave them, and one as the program saves it.
    const std::pair<const char*, QByteArray> wordLists[] = {
        { "crlf", QByteArray("apple\r\nBanana\r\ncherry\r\n") },
        { "lf", QByteArray("apple\nbanana\ncherry") },
        { "cr", QByteArray("apple\rbanana\rcherry\r") },
        { "mixed", QByteArray("a\r\nb\nc\r\r\nd\n\re\n\n") },
        { "code-page", QByteArray("caf\xE9\r\nna\xEFve\r\n\x80uro\r\n") },
        { "utf8", QByteArray("caf\xC3\xA9\r\n\xE2\x82\xAC\r\n\xF0\x9F\x98\x80\r\n") },
        { "bom", QByteArray("\xEF\xBB\xBFword\r\nother\r\n") },
        { "saved",
            [] {
                TStringList list;
                list.SetText(Text("zebra\nApple\napple\n\xC3\xA9t\xC3\xA9\n\n"));
                list.SetSorted(true);
                return list.SaveToBytes();
            }() },
    };
    for (const auto& [name, bytes] : wordLists)
        seeds.Write(QStringLiteral("fuzz_word_list"), QString::fromLatin1(name), bytes);

    for (const auto& [name, birthdays] : MakeBirthdayLists()) {
        seeds.Write(QStringLiteral("fuzz_birthday_file"), name, birthdays->SaveToBytes());
        for (int month = 1; month <= 12; ++month) {
            const QList<TEntry*> entries = birthdays->Entries()->GetEntriesOfMonth(month);
            if (!entries.isEmpty() || month == 1)
                seeds.WriteByContent(QStringLiteral("fuzz_minihtml"), QStringLiteral("summary"),
                    LabelInput(BuildMonthSummaryHtml(entries)));
        }
    }
    seeds.Report();
    return 0;
}
