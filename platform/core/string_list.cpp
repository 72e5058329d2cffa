#include "string_list.h"

#include "ansi.h"
#include "streams.h"
#include "sysutils.h"

#include <QStringDecoder>

#include <algorithm>

void TStringList::CheckIndex(int index) const
{
    if (index < 0 || index >= Count())
        throw EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
}

int TStringList::Compare(const QString& a, const QString& b) const
{
    return a.compare(b, fCaseSensitive ? Qt::CaseSensitive : Qt::CaseInsensitive);
}

const QString& TStringList::Strings(int index) const
{
    CheckIndex(index);
    return fItems[index].Text;
}

void TStringList::SetString(int index, const QString& s)
{
    if (fSorted)
        throw EListError(QStringLiteral("Operation not allowed on sorted list"));
    CheckIndex(index);
    fItems[index].Text = s;
}

qintptr TStringList::Objects(int index) const
{
    CheckIndex(index);
    return fItems[index].Object;
}

void TStringList::SetObject(int index, qintptr object)
{
    CheckIndex(index);
    fItems[index].Object = object;
}

int TStringList::AddObject(const QString& s, qintptr object)
{
    int index = Count();
    if (fSorted) {
        if (Find(s, index)) {
            switch (fDuplicates) {
            case TDuplicates::dupIgnore: return index;
            case TDuplicates::dupError: throw EListError(QStringLiteral("String list does not allow duplicates"));
            case TDuplicates::dupAccept: break;
            }
        }
    }
    fItems.insert(index, Item{s, object});
    return index;
}

void TStringList::Insert(int index, const QString& s, qintptr object)
{
    if (fSorted)
        throw EListError(QStringLiteral("Operation not allowed on sorted list"));
    if (index < 0 || index > Count())
        throw EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
    fItems.insert(index, Item{s, object});
}

void TStringList::Delete(int index)
{
    CheckIndex(index);
    fItems.removeAt(index);
}

void TStringList::Clear()
{
    fItems.clear();
}

int TStringList::IndexOf(const QString& s) const
{
    if (fSorted) {
        int index;
        return Find(s, index) ? index : -1;
    }
    for (int i = 0; i < Count(); ++i)
        if (Compare(fItems[i].Text, s) == 0)
            return i;
    return -1;
}

int TStringList::IndexOfObject(qintptr object) const
{
    for (int i = 0; i < Count(); ++i)
        if (fItems[i].Object == object)
            return i;
    return -1;
}

bool TStringList::Find(const QString& s, int& index) const
{
    // Lower bound, so with dupAccept the first of equal lines is found.
    int lo = 0, hi = Count();
    while (lo < hi) {
        const int mid = (lo + hi) / 2;
        if (Compare(fItems[mid].Text, s) < 0)
            lo = mid + 1;
        else
            hi = mid;
    }
    index = lo;
    return lo < Count() && Compare(fItems[lo].Text, s) == 0;
}

void TStringList::Sort()
{
    std::stable_sort(fItems.begin(), fItems.end(),
                     [this](const Item& a, const Item& b) { return Compare(a.Text, b.Text) < 0; });
}

void TStringList::SetSorted(bool value)
{
    if (value && !fSorted)
        Sort();
    fSorted = value;
}

void TStringList::SetCaseSensitive(bool value)
{
    if (value == fCaseSensitive)
        return;
    fCaseSensitive = value;
    if (fSorted)
        Sort();
}

QString TStringList::Text() const
{
    QString out;
    for (const Item& item : fItems) {
        out += item.Text;
        out += QStringLiteral("\r\n");
    }
    return out;
}

void TStringList::SetText(const QString& text)
{
    Clear();
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (text[i] == u'\r' || text[i] == u'\n') {
            AddObject(text.mid(start, i - start), 0);
            if (text[i] == u'\r' && i + 1 < n && text[i + 1] == u'\n')
                ++i;
            start = i + 1;
        }
    }
    if (start < n)
        AddObject(text.mid(start), 0);
}

QStringList TStringList::ToStringList() const
{
    QStringList out;
    out.reserve(Count());
    for (const Item& item : fItems)
        out.append(item.Text);
    return out;
}

void TStringList::LoadFromFile(const QString& fileName)
{
    LoadFromBytes(ReadWholeFile(fileName));
}

void TStringList::SaveToFile(const QString& fileName) const
{
    WriteFileAtomically(fileName, SaveToBytes());
}

void TStringList::LoadFromBytes(const QByteArray& bytes)
{
    // Stateless, so an unfinished sequence at the very end counts as an error.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(bytes);
    if (utf8.hasError())
        text = AnsiToString(bytes);
    SetText(text);
}

QByteArray TStringList::SaveToBytes() const
{
    const QString text = Text();
    // The reader drops one leading byte order mark: a first line that starts
    // with one gets another in front, or it would lose its own.
    if (text.startsWith(QChar(0xFEFF)))
        return QByteArrayLiteral("\xEF\xBB\xBF") + text.toUtf8();
    return text.toUtf8();
}
