#include "bench_data.h"

#include "engine/diary.h"
#include "tests/support/xorshift32.h"

#include <QList>

#include <algorithm>

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

void AppendSentence(QByteArray& out, XorShift32& rng)
{
    const int words = 6 + int(rng.Below(11));
    for (int w = 0; w < words; ++w) {
        QByteArray word = Words()[rng.Below(quint32(Words().size()))];
        if (w == 0)
            word[0] = char(word[0] >= 'a' && word[0] <= 'z' ? word[0] - 'a' + 'A' : word[0]);
        if (w > 0 && rng.Below(25) == 0) {
            out += QByteArrayLiteral("\\b ") + word + QByteArrayLiteral("\\b0");
        } else {
            out += word;
        }
        if (w + 1 < words)
            out += rng.Below(12) == 0 ? QByteArrayLiteral(", ") : QByteArrayLiteral(" ");
    }
    out += rng.Below(8) == 0 ? QByteArrayLiteral("! ") : QByteArrayLiteral(". ");
}

} // namespace

QByteArray MakeRtfLikeText(qsizetype bytes, quint32 seed)
{
    QByteArray out = QByteArrayLiteral("{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}}"
                                       "\r\n\\viewkind4\\uc1\\pard\\lang1033\\f0\\fs20 ");
    XorShift32 rng { seed * 2654435761u + 0x9E3779B9u };
    rng.Next();
    out.reserve(bytes + 256);
    while (out.size() < bytes) {
        const int sentences = 1 + int(rng.Below(6));
        for (int s = 0; s < sentences; ++s)
            AppendSentence(out, rng);
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
