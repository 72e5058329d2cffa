// Build-time tool: makes the spell checker's master word list from a system
// word list (one word per line, UTF-8, such as Debian's wamerican).
//
//   make_wordlist <system word list> <English.dic>
//
// The checker splits text at apostrophes and skips words of one character,
// so every entry is split the same way and only parts of two or more
// characters are kept: possessives ("Paris's") add nothing new, contractions
// add their stems ("isn't" gives "isn"), so no word of ordinary text is
// flagged for its apostrophe. Words are lower-cased (the checker ignores
// case), duplicates dropped, and the list is sorted with the checker's own
// comparison and written in the program's string-list format.
#include "platform/core/streams.h"
#include "platform/core/string_list.h"
#include "platform/core/sysutils.h"

#include <QStringDecoder>

#include <algorithm>
#include <cstdio>

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: make_wordlist <system word list> <English.dic>\n");
        return 1;
    }
    try {
        const QByteArray bytes = ReadWholeFile(QString::fromLocal8Bit(argv[1]));
        QStringDecoder utf8(QStringDecoder::Utf8);
        const QString text = utf8(bytes);
        if (utf8.hasError()) {
            std::fprintf(stderr, "make_wordlist: %s is not UTF-8 text\n", argv[1]);
            return 1;
        }
        QStringList words;
        for (const QString& line : text.split(u'\n')) {
            for (const QString& part : line.trimmed().split(u'\'')) {
                const QString word = part.trimmed().toLower();
                if (word.size() >= 2)
                    words.append(word);
            }
        }
        std::sort(words.begin(), words.end(), [](const QString& a, const QString& b) {
            const int c = a.compare(b, Qt::CaseInsensitive);
            return c != 0 ? c < 0 : a < b;
        });
        words.erase(std::unique(words.begin(), words.end(),
                        [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }),
            words.end());
        TStringList list;
        for (const QString& word : words)
            list.Add(word);
        list.SaveToFile(QString::fromLocal8Bit(argv[2]));
        std::printf("make_wordlist: %lld words\n", static_cast<long long>(list.Count()));
    } catch (const Exception& e) {
        std::fprintf(stderr, "make_wordlist: %s\n", e.what());
        return 1;
    }
    return 0;
}
