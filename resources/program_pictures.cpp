#include "resources/program_pictures.h"

#include "platform/gui/bitmap.h"
#include "platform/gui/forms.h"

#include <QCursor>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QPixmap>
#include <QStringList>

namespace {

// Where the resource system keeps the pictures, one folder per kind.
const QString kRoot = QStringLiteral(":/diary_pictures/");

// The cursor numbers the controls know them by.
struct CursorPicture {
    const char16_t* Name;
    TCursor Id;
};
constexpr CursorPicture kCursors[] = { { u"HANDCUR", 14000 }, { u"DRAGCUR", 14001 } };

void RegisterCursors()
{
    // cursors.txt: "FILE.png x y" per cursor, "#" starts a comment.
    QFile spots(kRoot + QStringLiteral("glyphs/cursors.txt"));
    if (!spots.open(QIODevice::ReadOnly))
        return;
    const QStringList lines = QString::fromUtf8(spots.readAll()).split(u'\n');
    for (const QString& line : lines) {
        const QStringList fields = line.simplified().split(u' ', Qt::SkipEmptyParts);
        if (fields.size() != 3 || fields[0].startsWith(u'#'))
            continue;
        const QString name = QFileInfo(fields[0]).completeBaseName();
        for (const CursorPicture& cursor : kCursors) {
            if (name.compare(QString::fromUtf16(cursor.Name), Qt::CaseInsensitive) != 0)
                continue;
            const QImage image(kRoot + QStringLiteral("glyphs/") + fields[0]);
            if (!image.isNull())
                Screen()->SetCursorImage(
                    cursor.Id, QCursor(QPixmap::fromImage(image), fields[1].toInt(), fields[2].toInt()));
        }
    }
}

} // namespace

void RegisterProgramPictures()
{
    Q_INIT_RESOURCE(diary_pictures);
    for (const QString& folder :
        { QStringLiteral("glyphs"), QStringLiteral("mood"), QStringLiteral("zodiac"), QStringLiteral("icons") }) {
        QDirIterator files(kRoot + folder, QDir::Files);
        while (files.hasNext()) {
            const QFileInfo file(files.next());
            const QString suffix = file.suffix().toLower();
            if (suffix != QStringLiteral("bmp") && suffix != QStringLiteral("png"))
                continue;
            const QImage image(file.filePath());
            if (!image.isNull())
                RegisterResourceBitmap(file.completeBaseName(), image);
        }
    }
    RegisterCursors();
}
