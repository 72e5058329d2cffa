// The bytes of the component stream and how its reader treats good and bad input.
#include "engine/component_stream.h"
#include "engine/diary.h"
#include "platform/core/streams.h"

#include <gtest/gtest.h>

namespace {

// Hand-made bytes, so expectations do not reuse the writer's code.
struct Bytes {
    QByteArray b;
    Bytes& raw(std::initializer_list<int> values)
    {
        for (int v : values)
            b.append(char(v));
        return *this;
    }
    Bytes& text(const char* s)
    {
        b.append(s);
        return *this;
    }
    Bytes& shortStr(const char* s)
    {
        b.append(char(qstrlen(s)));
        b.append(s);
        return *this;
    }
};

QByteArray Write(TComponent& c)
{
    TMemoryStream s;
    WriteComponentRes(s, c.ClassName(), c);
    return s.Bytes();
}

void Read(const QByteArray& bytes, TComponent& c)
{
    TMemoryStream s(bytes);
    ReadComponentRes(s, c);
}

// 2000-01-01 as an 80-bit extended: 36526 = 0x8EAE, exponent 15.
const std::initializer_list<int> kDate2000 = {0, 0, 0, 0, 0, 0, 0xAE, 0x8E, 0x0E, 0x40};

QByteArray Header(const QByteArray& body)
{
    Bytes h;
    h.raw({0xFF, 0x0A, 0x00}).text("TDIARYDB").raw({0x00, 0x30, 0x10});
    const quint32 n = quint32(body.size());
    h.raw({int(n & 0xFF), int((n >> 8) & 0xFF), int((n >> 16) & 0xFF), int(n >> 24)});
    return h.b + body;
}

} // namespace

TEST(ComponentStream, DiaryWithOneEntryAndOneRecordIsByteExact)
{
    TDiaryDB db;
    db.AddEntry(36526, QStringLiteral("Hi"), QStringLiteral("{\\rtf1 x}"), QString(), QString(), 3);
    db.Info()->UpdateItemByName(QStringLiteral("edtFullName"), QStringLiteral("Ann"));
    db.SetFUD(36526);

    Bytes body;
    body.text("TPF0").shortStr("TDiaryDB").raw({0x00});
    body.shortStr("Diary").raw({0x0E, 0x01});
    body.shortStr("Date").raw({0x05}).raw(kDate2000);
    body.shortStr("ImageIndex").raw({0x02, 0x03});
    body.shortStr("Title").raw({0x06, 0x02}).text("Hi");
    body.shortStr("Body").raw({0x06, 0x09}).text("{\\rtf1 x}");
    body.raw({0x00, 0x00});
    body.shortStr("Version").raw({0x06, 0x04}).text("1.00");
    body.shortStr("Info").raw({0x0E, 0x01});
    body.shortStr("ControlName").raw({0x06, 0x0B}).text("edtfullname");
    body.shortStr("Value").raw({0x06, 0x03}).text("Ann");
    body.raw({0x00, 0x00});
    body.shortStr("FUD").raw({0x05}).raw(kDate2000);
    body.raw({0x00, 0x00});

    EXPECT_EQ(Write(db).toHex(' '), Header(body.b).toHex(' '));
}

TEST(ComponentStream, EmptyCollectionsAndDefaultsAreWrittenAsSpecified)
{
    TDiaryDB db;
    Bytes body;
    body.text("TPF0").shortStr("TDiaryDB").raw({0x00});
    body.shortStr("Diary").raw({0x0E, 0x00});
    body.shortStr("Version").raw({0x06, 0x04}).text("1.00");
    body.shortStr("Info").raw({0x0E, 0x00});
    body.raw({0x00, 0x00}); // FUD 0 and Tag 0 are left out
    EXPECT_EQ(Write(db).toHex(' '), Header(body.b).toHex(' '));

    // ImageIndex has no default, so 0 is written; a zero date is not.
    db.Diary()->Add()->SetTitle(QStringLiteral("x"));
    const QByteArray bytes = Write(db);
    EXPECT_TRUE(bytes.contains(QByteArray("\x0AImageIndex\x02\x00", 13)));
    EXPECT_FALSE(bytes.contains("Date"));
}

TEST(ComponentStream, StringTagsFollowTheEncodingRule)
{
    TWriter w;
    const auto tagOf = [&w](const QString& s) {
        w.Buffer().clear();
        w.WriteString(s);
        return quint8(w.Buffer()[0]);
    };
    EXPECT_EQ(tagOf(QStringLiteral("plain")), vaString);
    EXPECT_EQ(tagOf(QString(255, u'a')), vaString);
    EXPECT_EQ(tagOf(QString(256, u'a')), vaLString);
    EXPECT_EQ(w.Buffer().left(5), QByteArray("\x0C\x00\x01\x00\x00", 5));
    EXPECT_EQ(tagOf(QString::fromUtf8("caf\xC3\xA9")), vaUTF8String);
    EXPECT_EQ(w.Buffer().toHex(' '), QByteArray("14 05 00 00 00 63 61 66 c3 a9"));
    EXPECT_EQ(tagOf(QString::fromUtf8("\xCE\xB1\xCE\xB2")), vaWString); // Greek: UTF-8 not shorter
    EXPECT_EQ(w.Buffer().toHex(' '), QByteArray("12 02 00 00 00 b1 03 b2 03"));
    // Half Greek, half ASCII: UTF-8 is shorter, so UTF-8 it is.
    EXPECT_EQ(tagOf(QString::fromUtf8("ab\xCE\xB1")), vaUTF8String);
}

TEST(ComponentStream, ShortStringsAreCutBetweenCharacters)
{
    const QString x254(254, u'x');
    const struct {
        QString text;
        qsizetype kept; // bytes of its UTF-8 the short string holds
    } cases[] = {
        { QString(255, u'a'), 255 },
        { QString(256, u'a'), 255 },
        { x254 + QString::fromUtf8("\xC3\xA9"), 254 }, // two-byte character over the cut
        { x254.left(253) + QString::fromUtf8("\xC3\xA9"), 255 },
        { x254.left(253) + QString::fromUtf8("\xE2\x82\xAC"), 253 },
        { x254.left(252) + QString::fromUtf8("\xF0\x9F\x98\x80"), 252 },
        { x254.left(251) + QString::fromUtf8("\xF0\x9F\x98\x80"), 255 },
        { QString(128, QChar(0xE9)), 254 },
        { QString(300, QChar(0xFFFD)), 255 },
    };
    for (const auto& c : cases) {
        TWriter w;
        w.WriteShortString(c.text);
        const QByteArray utf8 = c.text.toUtf8();
        EXPECT_EQ(w.Buffer(), char(c.kept) + utf8.left(c.kept)) << utf8.size() << " bytes";
    }
}

TEST(ComponentStream, IntegerTagsAtTheirBoundaries)
{
    TWriter w;
    const auto hex = [&w](qint64 v) {
        w.Buffer().clear();
        w.WriteInteger(v);
        return w.Buffer().toHex(' ');
    };
    EXPECT_EQ(hex(0), "02 00");
    EXPECT_EQ(hex(127), "02 7f");
    EXPECT_EQ(hex(-128), "02 80");
    EXPECT_EQ(hex(128), "03 80 00");
    EXPECT_EQ(hex(-129), "03 7f ff");
    EXPECT_EQ(hex(32767), "03 ff 7f");
    EXPECT_EQ(hex(-32768), "03 00 80");
    EXPECT_EQ(hex(32768), "04 00 80 00 00");
    EXPECT_EQ(hex(-32769), "04 ff 7f ff ff");
    EXPECT_EQ(hex(INT32_MIN), "04 00 00 00 80");

    for (qint64 v : {0LL, 127LL, -128LL, 128LL, -32768LL, 32768LL, 2147483647LL, -2147483648LL}) {
        w.Buffer().clear();
        w.WriteInteger(v);
        TReader r(w.Buffer().constData(), w.Buffer().size());
        EXPECT_EQ(r.ReadInteger(), v);
    }
}

TEST(ComponentStream, ReaderMatchesNamesWithoutCaseAndKeepsOrReplacesCollections)
{
    TDiaryDB source;
    source.AddEntry(36526, QStringLiteral("New"), QStringLiteral("b"), QString(), QString(), 1);
    QByteArray bytes = Write(source);
    bytes.replace(QByteArray("\x05Title"), QByteArray("\x05title"));

    TDiaryDB target;
    target.AddEntry(40000, QStringLiteral("Old"), QStringLiteral("b"), QString(), QString(), 1);
    target.Info()->UpdateItemByName(QStringLiteral("a"), QStringLiteral("kept"));
    Read(bytes, target);
    ASSERT_EQ(target.Diary()->Count(), 1); // a non-empty list replaces
    EXPECT_EQ(target.Diary()->Items(0)->Title(), QStringLiteral("New"));
    EXPECT_EQ(target.Info()->GetItemByName(QStringLiteral("a")), QStringLiteral("kept")); // an empty one keeps
}

TEST(ComponentStream, StringsOfEveryTagReadBack)
{
    TDiaryDB db;
    const QString titles[] = {
        QStringLiteral("Plain"),
        QString::fromUtf8("Caf\xC3\xA9 cr\xC3\xA8me"),
        QString::fromUtf8("\xCE\x9A\xCE\xB1\xCE\xBB\xCE\xB7\xCE\xBC\xCE\xAD\xCF\x81\xCE\xB1"),
        QString(300, u'x'),
        QString::fromUtf8("\xF0\x9F\x98\x80 emoji"),
    };
    for (int i = 0; i < 5; ++i)
        db.AddEntry(36526 + i, titles[i], titles[i], titles[i], QString(), i);
    TDiaryDB copy;
    Read(Write(db), copy);
    ASSERT_EQ(copy.Diary()->Count(), 5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(copy.Diary()->Items(i)->Title(), titles[i]);
        EXPECT_EQ(copy.Diary()->Items(i)->Notes(), titles[i]);
        EXPECT_EQ(copy.Diary()->Items(i)->ImageIndex(), i);
    }
    // vaString bytes are the ANSI code page: 0xE9 is e acute.
    Bytes b;
    b.raw({0x06, 0x03}).raw({'c', 0xE9, 0x80});
    TReader r(b.b.constData(), b.b.size());
    EXPECT_EQ(r.ReadString(), QString::fromUtf8("c\xC3\xA9\xE2\x82\xAC"));
}

TEST(ComponentStream, FloatsAcceptDoublesAndIntegers)
{
    Bytes b;
    b.raw({vaDouble, 0, 0, 0, 0, 0, 0, 0xF8, 0x3F}).raw({vaInt16, 0x10, 0x27}).raw({vaString, 0});
    TReader r(b.b.constData(), b.b.size());
    EXPECT_EQ(r.ReadFloat(), 1.5);
    EXPECT_EQ(r.ReadFloat(), 10000.0);
    EXPECT_THROW(r.ReadFloat(), EReadError);
}

TEST(ComponentStream, DatesWrittenWithAnyIntegerTagLoad)
{
    // Other writers store whole-day dates as integers, 64-bit ones included.
    const struct {
        std::initializer_list<int> value;
        TDateTime day;
    } cases[] = {
        {{vaInt8, 0x9C}, -100},
        {{vaInt16, 0x30, 0x75}, 30000},
        {{vaInt32, 0xC8, 0xAF, 0x00, 0x00}, 45000},
        {{vaInt64, 0xC8, 0xAF, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00}, 45000},
        {{vaInt64, 0x18, 0xFC, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, -1000},
    };
    for (const auto& c : cases) {
        Bytes body;
        body.text("TPF0").shortStr("TDiaryDB").raw({0x00});
        body.shortStr("Diary").raw({0x0E, 0x01}).shortStr("Date").raw(c.value);
        body.shortStr("ImageIndex").raw({0x02, 0x01}).raw({0x00, 0x00});
        body.shortStr("FUD").raw(c.value);
        body.raw({0x00, 0x00});
        TDiaryDB db;
        ASSERT_EQ(db.LoadFromBytes(Header(body.b), false, QString()), lsNoError) << c.day;
        ASSERT_EQ(db.Diary()->Count(), 1);
        EXPECT_EQ(db.Diary()->Items(0)->Date(), c.day);
        EXPECT_EQ(db.FUD(), c.day);
    }
    // An integer property still takes only the 8, 16 and 32-bit forms.
    Bytes wide;
    wide.raw({vaInt64, 1, 0, 0, 0, 0, 0, 0, 0});
    TReader r(wide.b.constData(), wide.b.size());
    EXPECT_THROW(r.ReadInteger(), EReadError);
    EXPECT_EQ(r.ReadInt64(), 1);
}

TEST(ComponentStream, ReadErrorsCarryTheirMessages)
{
    TDiaryDB db;
    const QByteArray good = Write(db);
    const auto messageOf = [](const QByteArray& bytes) {
        TDiaryDB target;
        try {
            Read(bytes, target);
        } catch (const EReadError& e) {
            return e.Message();
        }
        return QStringLiteral("no error");
    };
    QByteArray unknown = good;
    unknown.replace(QByteArray("\x07Version"), QByteArray("\x07Versiox"));
    EXPECT_EQ(messageOf(unknown), QStringLiteral("Error reading TDiaryDB.Versiox: Property Versiox does not exist"));

    QByteArray badValue = good;
    badValue.replace(QByteArray("\x07Version\x06"), QByteArray("\x07Version\x08"));
    EXPECT_EQ(messageOf(badValue), QStringLiteral("Error reading TDiaryDB.Version: Invalid property value"));

    QByteArray badSignature = good;
    badSignature.replace(QByteArray("TPF0"), QByteArray("TPF1"));
    EXPECT_EQ(messageOf(badSignature), QStringLiteral("Invalid stream format"));
    EXPECT_EQ(messageOf(good.mid(1)), QStringLiteral("Invalid stream format"));
}

TEST(ComponentStream, EveryTruncationAndHugeLengthFailsCleanly)
{
    TDiaryDB db;
    db.AddEntry(36526, QStringLiteral("Title"), QString(400, u'b'), QStringLiteral("n"), QString(), 200);
    db.Info()->UpdateItemByName(QStringLiteral("edtA"), QString::fromUtf8("\xCE\xB1\xCE\xB2"));
    const QByteArray good = Write(db);
    for (qsizetype cut = 0; cut < good.size(); ++cut) {
        TDiaryDB target;
        EXPECT_THROW(Read(good.left(cut), target), EReadError) << "cut at " << cut;
    }
    // A long string claiming 2 GB: refused before anything is allocated.
    QByteArray huge = good;
    const qsizetype at = huge.indexOf(QByteArray("\x04" "Body\x0C"));
    ASSERT_GT(at, 0);
    huge[at + 6] = '\xFF';
    huge[at + 7] = '\xFF';
    huge[at + 8] = '\xFF';
    huge[at + 9] = '\x7F';
    TDiaryDB target;
    EXPECT_THROW(Read(huge, target), EReadError);
}

TEST(ComponentStream, NonFiniteDatesAreRefused)
{
    TDiaryDB db;
    db.AddEntry(36526, QStringLiteral("t"), QStringLiteral("b"), QString(), QString(), 0);
    QByteArray bytes = Write(db);
    const qsizetype at = bytes.indexOf(QByteArray("\x04" "Date\x05"));
    ASSERT_GT(at, 0);
    for (int i = 0; i < 8; ++i)
        bytes[at + 6 + i] = '\xFF';
    bytes[at + 14] = '\xFF';
    bytes[at + 15] = '\x7F'; // exponent all ones: NaN
    TDiaryDB target;
    EXPECT_THROW(Read(bytes, target), EReadError);
}

namespace {

// An integer property whose type names two of its values, as colours do.
class TSwatch : public TComponent {
public:
    QString ClassName() const override { return QStringLiteral("TSwatch"); }
    const TPropList& Properties() const override
    {
        static const TPropList list = [this] {
            TPropInfo color = props::Integer<TSwatch>(QStringLiteral("Color"), &TSwatch::Color, &TSwatch::SetColor);
            color.IdentToInt = [](const QString& ident, qint64& value) {
                if (ident.compare(QStringLiteral("clBlack"), Qt::CaseInsensitive) == 0)
                    value = 0;
                else if (ident.compare(QStringLiteral("clWindow"), Qt::CaseInsensitive) == 0)
                    value = qint32(0xFF000005);
                else
                    return false;
                return true;
            };
            return props::Inherit(TComponent::Properties(), { color });
        }();
        return list;
    }
    qint32 Color() const { return fColor; }
    void SetColor(qint32 value) { fColor = value; }

private:
    qint32 fColor = 0x123456;
};

QByteArray LE(quint32 value, int count)
{
    QByteArray b;
    for (int i = 0; i < count; ++i)
        b.append(char(value >> (8 * i)));
    return b;
}

QByteArray Ordinal(quint16 id)
{
    return LE(0xFFFF, 2) + LE(id, 2);
}

QByteArray Utf16z(const char* s)
{
    QByteArray b;
    for (const char* p = s; *p; ++p)
        b += LE(quint8(*p), 2);
    return b + LE(0, 2);
}

// One entry of a 32-bit resource file; sizes other than the true ones when given.
QByteArray Entry32(const QByteArray& typeAndName, const QByteArray& data, qint64 headerSize = -1, qint64 dataSize = -1)
{
    QByteArray fields = typeAndName;
    while ((8 + fields.size()) % 4 != 0)
        fields.append('\0');
    fields += LE(0, 4) + LE(0x1030, 2) + LE(0x0409, 2) + LE(0, 4) + LE(0, 4);
    return LE(quint32(dataSize < 0 ? data.size() : dataSize), 4)
        + LE(quint32(headerSize < 0 ? 8 + fields.size() : headerSize), 4) + fields + data;
}

const QByteArray kEmptyEntry = Entry32(Ordinal(0) + Ordinal(0), {});

QByteArray SwatchBody(std::initializer_list<int> color, qsizetype padTo = 0)
{
    Bytes b;
    b.text("TPF0").shortStr("TSwatch").shortStr("Tile");
    b.shortStr("Tag").raw({ vaInt8, 7 }).shortStr("Color").raw(color).raw({ 0x00, 0x00 });
    if (b.b.size() < padTo)
        b.b.append(QByteArray(padTo - b.b.size(), '\xAA'));
    return b.b;
}

QByteArray Header16(const QByteArray& body)
{
    return QByteArray("\xFF\x0A\x00TSWATCH\x00\x30\x10", 13) + LE(quint32(body.size()), 4) + body;
}

QString ReadMessage(const QByteArray& bytes, TComponent& target)
{
    try {
        Read(bytes, target);
    } catch (const EReadError& e) {
        return e.Message();
    }
    return QStringLiteral("no error");
}

const std::initializer_list<int> kWindowNumber = { vaInt32, 0x05, 0x00, 0x00, 0xFF };
const std::initializer_list<int> kWindowIdent = { vaIdent, 8, 'c', 'l', 'W', 'i', 'n', 'd', 'o', 'w' };

} // namespace

TEST(ComponentStream, EveryHeaderFormAndNamedValueReadsToTheSameObject)
{
    const QByteArray rcdata = Ordinal(10);
    const struct {
        const char* form;
        QByteArray bytes;
    } cases[] = {
        { "16-bit, number", Header16(SwatchBody(kWindowNumber)) },
        { "16-bit, ident", Header16(SwatchBody(kWindowIdent)) },
        { "16-bit, ident in other case", Header16(SwatchBody({ vaIdent, 8, 'C', 'L', 'W', 'I', 'N', 'D', 'O', 'W' })) },
        { "32-bit, ordinal name", Entry32(rcdata + Ordinal(1), SwatchBody(kWindowNumber)) },
        { "32-bit, string name", Entry32(rcdata + Utf16z("TSWATCH"), SwatchBody(kWindowIdent)) },
        { "32-bit after the empty entry",
            kEmptyEntry + Entry32(rcdata + Utf16z("TSWATCH"), SwatchBody(kWindowNumber)) },
        { "32-bit, header larger than its fields",
            Entry32(rcdata + Ordinal(1), SwatchBody(kWindowNumber), 40).insert(32, QByteArray(8, '\0')) },
        // Data sizes whose first byte is 0xFF: the 16-bit form is tried first.
        { "32-bit, 255 data bytes", Entry32(rcdata + Ordinal(1), SwatchBody(kWindowIdent, 255)) },
        { "32-bit, 0xAFF data bytes", Entry32(rcdata + Ordinal(1), SwatchBody(kWindowIdent, 0xAFF)) },
    };
    for (const auto& c : cases) {
        TSwatch swatch;
        ASSERT_NO_THROW(Read(c.bytes, swatch)) << c.form;
        EXPECT_EQ(swatch.Name(), QStringLiteral("Tile")) << c.form;
        EXPECT_EQ(swatch.Tag(), 7) << c.form;
        EXPECT_EQ(swatch.Color(), qint32(0xFF000005)) << c.form;
    }
}

TEST(ComponentStream, MalformedResourceHeadersAndUnknownNamesAreRefused)
{
    const QByteArray body = SwatchBody(kWindowNumber);
    const QByteArray rcdata = Ordinal(10);
    const QString badFormat = QStringLiteral("Invalid stream format");
    const QString badValue = QStringLiteral("Error reading Tile.Color: Invalid property value");
    const struct {
        const char* what;
        QByteArray bytes;
        QString message;
    } cases[] = {
        { "another resource type", Entry32(Ordinal(6) + Ordinal(1), body), badFormat },
        { "type given by name", Entry32(Utf16z("RCDATA") + Ordinal(1), body), badFormat },
        { "header below its smallest size", Entry32(rcdata + Ordinal(1), body, 28), badFormat },
        { "header size not a multiple of 4", Entry32(rcdata + Ordinal(1), body, 34), badFormat },
        { "header size past the end", Entry32(rcdata + Ordinal(1), body, 0x7FFFFFF0), badFormat },
        { "header too small for its name", Entry32(rcdata + Utf16z("TSWATCH"), body, 32), badFormat },
        { "name never ends", LE(quint32(body.size()), 4) + LE(48, 4) + rcdata + QByteArray(36, 'A') + body, badFormat },
        { "data size past the end", Entry32(rcdata + Ordinal(1), body, -1, body.size() + 1), badFormat },
        { "data size of 2 GB", Entry32(rcdata + Ordinal(1), body, -1, 0x80000000u), badFormat },
        { "the empty entry alone", kEmptyEntry, badFormat },
        { "two empty entries", kEmptyEntry + kEmptyEntry + Entry32(rcdata + Ordinal(1), body), badFormat },
        { "header cut short", Entry32(rcdata + Ordinal(1), body).left(20), badFormat },
        { "no signature in the data", Entry32(rcdata + Ordinal(1), body.mid(1)), badFormat },
        // The data size bounds the object: what lies past it is not read.
        { "object longer than its data", Entry32(rcdata + Ordinal(1), body, -1, body.size() - 1),
            QStringLiteral("Stream read error") },
        { "unknown colour name", Header16(SwatchBody({ vaIdent, 5, 'c', 'l', 'F', 'o', 'o' })), badValue },
        { "name for an integer without names",
            Header16(Bytes().text("TPF0").shortStr("TSwatch").shortStr("Tile").shortStr("Tag").raw(kWindowIdent).b),
            QStringLiteral("Error reading Tile.Tag: Invalid property value") },
    };
    for (const auto& c : cases) {
        TSwatch swatch;
        EXPECT_EQ(ReadMessage(c.bytes, swatch).toStdString(), c.message.toStdString()) << c.what;
    }
}

namespace {

constexpr qsizetype kHeadBytes = 4096;

// What the first 4 KB of bytes, zeros after them up to wholeSize, say about
// the stream: refused with a message and where reading stopped, accepted, or
// to be read whole.
std::string HeadVerdict(const QByteArray& bytes, qint64 wholeSize)
{
    TMemoryStream head(bytes.left(kHeadBytes));
    QString refusal;
    switch (CheckComponentResHead(head, wholeSize, refusal)) {
    case TResHeadVerdict::Accepted: return "accepted";
    case TResHeadVerdict::NeedsWholeStream: return "read on";
    case TResHeadVerdict::Refused: break;
    }
    return "refused: " + refusal.toStdString() + " at " + std::to_string(head.Position());
}

// The same for the whole stream.
std::string WholeVerdict(const QByteArray& bytes, qint64 wholeSize)
{
    QByteArray whole = bytes;
    whole.resize(wholeSize, '\0');
    TMemoryStream stream(whole);
    TSwatch swatch;
    try {
        ReadComponentRes(stream, swatch);
    } catch (const EReadError& e) {
        return "refused: " + e.Message().toStdString() + " at " + std::to_string(stream.Position());
    }
    return "read";
}

} // namespace

// The head check tries the 16-bit header first, also over a 32-bit one whose
// data size starts with its marker; what that attempt met must not decide the
// verdict once the 32-bit form holds.
TEST(ComponentStream, TheHeadCheckRefusesWhatTheWholeStreamRefuses)
{
    const QByteArray rcdata = Ordinal(10);
    const QByteArray tail = rcdata + Ordinal(1) + QByteArray(16, '\0');
    constexpr qint64 kWhole = qint64(32) << 20;
    const struct {
        const char* what;
        QByteArray bytes;
        qint64 wholeSize;
        const char* head;
        const char* whole;
    } cases[] = {
        // The data size reads as the marker, type 10 and an empty name.
        { "16-bit form in the data size, wrong signature", LE(0xAFF, 4) + LE(32, 4) + tail + "TPF1", kWhole,
            "refused: Invalid stream format at 32", "refused: Invalid stream format at 32" },
        // Its name runs into the header size, which ends it.
        { "16-bit name into the header size, wrong signature", LE(0x01000AFF, 4) + LE(32, 4) + tail + "TPF1", kWhole,
            "refused: Invalid stream format at 32", "refused: Invalid stream format at 32" },
        // A header size with no zero byte runs past the first bytes.
        { "32-bit header past the first bytes", LE(0xAFF, 4) + LE(0x01010120, 4) + tail + "TPF1", kWhole, "read on",
            "refused: Invalid stream format at 16843040" },
        { "16-bit name up to the end", QByteArray("\xFF\x0A\x00", 3) + QByteArray(100, 'N'), 103,
            "refused: Stream read error at 103", "refused: Stream read error at 103" },
        { "16-bit name past the first bytes", QByteArray("\xFF\x0A\x00", 3) + QByteArray(5000, 'N'), 5003, "read on",
            "refused: Stream read error at 5003" },
        // The entry's data ends within the first bytes: there is no more to read.
        { "32-bit data shorter than the signature", Entry32(rcdata + Ordinal(1), "TP"), kWhole,
            "refused: Stream read error at 32", "refused: Stream read error at 32" },
        { "32-bit data, wrong signature", Entry32(rcdata + Ordinal(1), "TPF1"), kWhole,
            "refused: Invalid stream format at 32", "refused: Invalid stream format at 32" },
        { "16-bit header", Header16(SwatchBody(kWindowNumber)), kWhole, "accepted", "read" },
        { "32-bit header", Entry32(rcdata + Ordinal(1), SwatchBody(kWindowNumber)), kWhole, "accepted", "read" },
    };
    for (const auto& c : cases) {
        EXPECT_EQ(HeadVerdict(c.bytes, c.wholeSize), c.head) << c.what;
        EXPECT_EQ(WholeVerdict(c.bytes, c.wholeSize), c.whole) << c.what;
    }
}
