#pragma once

// What the engine's fuzz targets check on every input. The engine's tests
// run the same checks on each crash input kept in tests/data/fuzz/<target>/,
// so a fault a fuzzer found once stays fixed. Each check returns an empty
// string, or the rule the input broke; a crash is a fault of its own.

#include "engine/component_stream.h"
#include "engine/crc32.h"
#include "engine/diary.h"
#include "engine/lzh.h"
#include "platform/core/streams.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QtEndian>

// fuzz_lzh: unpacks the bytes as an LZH blob, and packs small inputs to see
// them come back unchanged.
inline QString CheckLzhInput(const QByteArray& input)
{
    try {
        // Unpacking succeeds only with a whole 4-byte prefix present.
        const QByteArray out = LZHUnpackBlob(input);
        if (out.size() != qFromLittleEndian<qint32>(input.constData()))
            return QStringLiteral("the unpacked size differs from the blob's prefix");
        // Unpacked in pieces, of a size the input picks, it is the same.
        if (out.size() <= (1 << 20)) {
            TLZHBlobReader reader(input.constData(), input.size());
            const qint64 piece = 1 + quint8(input.back()) % 97;
            QByteArray joined;
            while (reader.Left() > 0)
                reader.Read(piece, joined);
            if (joined != out)
                return QStringLiteral("the blob unpacked in pieces of %1 bytes differs").arg(piece);
        }
    } catch (const ElzhException&) {
    }
    if (input.size() <= 8192 && LZHUnpackBlob(LZHPackBlob(input)) != input)
        return QStringLiteral("packed bytes do not unpack to themselves");
    return {};
}

// What a diary holds for its user, with text as the stream's UTF-8 can
// carry it (a lone surrogate read from a file cannot be written back).
inline QStringList DiaryContent(const TDiaryDB& db)
{
    const auto text = [](const QString& s) { return QString::fromUtf8(s.toUtf8()); };
    QStringList content;
    for (int i = 0; i < db.Diary()->Count(); ++i) {
        const TDiaryEntry* e = db.Diary()->Items(i);
        content << QString::number(e->Date(), 'g', 17) << QString::number(e->ImageIndex()) << text(e->Title())
                << text(e->Body()) << text(e->Notes());
    }
    for (int i = 0; i < db.Info()->Count(); ++i)
        content << text(db.Info()->Items(i)->ControlName()) << text(db.Info()->Items(i)->Value());
    // A zero date and an empty version are not written; they read back as
    // a new diary's.
    content << QString::number(db.FUD() == 0 ? 0.0 : db.FUD(), 'g', 17) << QString::number(db.Tag())
            << (db.Version().isEmpty() ? TDiaryDB().Version() : text(db.Version()));
    return content;
}

// fuzz_component_stream: reads the bytes as a diary's component stream.
// Whatever was read must write again, and what is written must read back to
// the same content: a diary that opened once must open after its next save.
inline QString CheckComponentStreamInput(const QByteArray& input)
{
    TDiaryDB db;
    try {
        TMemoryStream stream(input);
        ReadComponentRes(stream, db);
    } catch (const Exception&) {
        return {}; // refusing is fine; what was read so far must still write
    }
    db.Diary()->RebuildIndexer();
    TMemoryStream written;
    WriteComponentRes(written, db.ClassName(), db);
    TDiaryDB again;
    try {
        TMemoryStream stream(written.Bytes());
        ReadComponentRes(stream, again);
    } catch (const Exception& e) {
        return QStringLiteral("the written stream does not read back: ") + e.Message();
    }
    if (DiaryContent(again) != DiaryContent(db))
        return QStringLiteral("the written stream reads back to other content");
    return {};
}

// fuzz_diary_file: loads the bytes as a diary file. The CRC would stop
// nearly every mutation at the door, so the input is framed with a correct
// one when its first byte is odd.
inline QString CheckDiaryFileInput(const QByteArray& input)
{
    QByteArray bytes = input;
    if (!bytes.isEmpty() && (bytes[0] & 1)) {
        const QByteArray packed = bytes.mid(1);
        const quint32 crc = Crc32(packed.constData(), packed.size());
        QByteArray framed = QByteArrayLiteral("DR10");
        for (int i = 0; i < 4; ++i)
            framed.append(char(crc >> (8 * i)));
        bytes = framed + packed;
    }
    TDiaryDB db;
    const int status = db.LoadFromBytes(bytes, true, QString());
    if (status < lsNoError || status > lsCollectionCorrupted)
        return QStringLiteral("status %1 is not a load status").arg(status);
    if (status != lsNoError)
        return db.Diary()->Count() == 0 ? QString() : QStringLiteral("a failed load kept entries of the file");
    // A diary that opened saves and opens again. An empty version is not
    // written and reads back as a new diary's: the diary takes that one
    // first, so the bytes of the next save can be compared.
    if (db.Version().isEmpty())
        db.SetVersion(TDiaryDB().Version());
    TDiaryDB again;
    const QByteArray saved = db.SaveToBytes();
    if (const int reloaded = again.LoadFromBytes(saved, true, QString()); reloaded != lsNoError)
        return QStringLiteral("the saved diary does not load again: status %1").arg(reloaded);
    if (DiaryContent(again) != DiaryContent(db))
        return QStringLiteral("the saved diary loads with other content");
    // And saves to the same bytes, its name too.
    if (again.SaveToBytes() != saved)
        return QStringLiteral("the saved diary loads back to other bytes");
    return {};
}
