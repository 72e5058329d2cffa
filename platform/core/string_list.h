#pragma once

#include <QList>
#include <QString>
#include <QStringList>

enum class TDuplicates { dupIgnore, dupAccept, dupError };

// A list of strings, each with an integer object value beside it; kept in
// order when Sorted is set, with binary search for lookups. Comparison
// ignores case unless CaseSensitive is set.
class TStringList
{
public:
    int Count() const { return int(fItems.size()); }
    const QString& Strings(int index) const;
    void SetString(int index, const QString& s);
    qintptr Objects(int index) const;
    void SetObject(int index, qintptr object);

    // Return the index of the new (or, with dupIgnore, the existing) line.
    int Add(const QString& s) { return AddObject(s, 0); }
    int AddObject(const QString& s, qintptr object);
    void Insert(int index, const QString& s, qintptr object = 0);
    void Delete(int index);
    void Clear();

    int IndexOf(const QString& s) const;
    int IndexOfObject(qintptr object) const;
    // Binary search of a sorted list: true when found; index is the match or
    // the insertion point.
    bool Find(const QString& s, int& index) const;
    void Sort();

    bool Sorted() const { return fSorted; }
    void SetSorted(bool value);
    TDuplicates Duplicates() const { return fDuplicates; }
    void SetDuplicates(TDuplicates value) { fDuplicates = value; }
    bool CaseSensitive() const { return fCaseSensitive; }
    void SetCaseSensitive(bool value);

    // Lines joined with "\r\n", each line followed by it.
    QString Text() const;
    // Splits at "\r\n", "\n" or "\r".
    void SetText(const QString& text);
    QStringList ToStringList() const;

    // Plain text, one line each; the file's bytes are taken as UTF-8 when
    // valid (a leading byte order mark dropped), otherwise as the ANSI code
    // page. Saved as UTF-8, every line followed by CR LF.
    void LoadFromFile(const QString& fileName);
    void SaveToFile(const QString& fileName) const;
    void LoadFromBytes(const QByteArray& bytes);
    QByteArray SaveToBytes() const;

private:
    struct Item {
        QString Text;
        qintptr Object = 0;
    };
    int Compare(const QString& a, const QString& b) const;
    void CheckIndex(int index) const;

    QList<Item> fItems;
    bool fSorted = false;
    bool fCaseSensitive = false;
    TDuplicates fDuplicates = TDuplicates::dupIgnore;
};
