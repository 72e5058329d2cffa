#include "file_iterator.h"

#include <QCoreApplication>
#include <QDir>

#include <algorithm>
#include <vector>

namespace {

// Mask text after a ";" is cut at this many characters, as the original
// component's mask parser did.
constexpr int kMaxMaskRest = 255;
// Entries handled between two turns of the event loop.
constexpr int kEntriesPerYield = 200;

struct Entry {
    QString Name;
    QFileInfo Info;
};

// The entries of a directory, "." and ".." excluded, in a stable order: by
// name without regard to case, ties broken by the exact name.
std::vector<Entry> ListDirectory(const QString& path)
{
    const QDir dir(path.isEmpty() ? QStringLiteral(".") : path);
    const QFileInfoList infos
        = dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot, QDir::NoSort);
    std::vector<Entry> entries;
    entries.reserve(size_t(infos.size()));
    for (const QFileInfo& info : infos)
        entries.push_back(Entry { info.fileName(), info });
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        const int c = a.Name.compare(b.Name, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a.Name < b.Name;
    });
    return entries;
}

// Wildcard match of already case-folded text: "*" any run, "?" one character.
// Greedy with one backtrack point, so it runs in linear-times-mask time.
bool WildcardMatch(const QString& name, const QString& mask)
{
    qsizetype n = 0, m = 0;
    qsizetype starMask = -1, starName = 0;
    while (n < name.size()) {
        if (m < mask.size() && (mask[m] == u'?' || mask[m] == name[n])) {
            ++n;
            ++m;
        } else if (m < mask.size() && mask[m] == u'*') {
            starMask = m++;
            starName = n;
        } else if (starMask >= 0) {
            m = starMask + 1;
            n = ++starName;
        } else {
            return false;
        }
    }
    while (m < mask.size() && mask[m] == u'*')
        ++m;
    return m == mask.size();
}

} // namespace

TCPFileIterator::TCPFileIterator(TComponent* AOwner)
    : TComponent(AOwner)
    , FFileMask(QStringLiteral("*.*;"))
{
    FMaskList.Add(QStringLiteral("*.*"));
}

TCPFileIterator::~TCPFileIterator() = default;

// The string list and the two events have no value kind in the component
// stream, so only these settings are published to it.
const TPropList& TCPFileIterator::Properties() const
{
    static const TPropList list = props::Inherit(TComponent::Properties(),
        {
            props::String<TCPFileIterator>(
                QStringLiteral("Directory"), &TCPFileIterator::Directory, &TCPFileIterator::SetDirectory),
            props::Boolean<TCPFileIterator>(
                QStringLiteral("Recurse"), &TCPFileIterator::Recurse, &TCPFileIterator::SetRecurse, true),
            props::String<TCPFileIterator>(
                QStringLiteral("FileMask"), &TCPFileIterator::FileMask, &TCPFileIterator::SetFileMask),
            props::Boolean<TCPFileIterator>(
                QStringLiteral("Enabled"), &TCPFileIterator::Enabled, &TCPFileIterator::SetEnabled, false),
            props::Integer<TCPFileIterator>(
                QStringLiteral("MaxFiles"), &TCPFileIterator::MaxFiles, &TCPFileIterator::SetMaxFiles, 0),
            props::Boolean<TCPFileIterator>(QStringLiteral("ProcessMessages"), &TCPFileIterator::ProcessMessages,
                &TCPFileIterator::SetProcessMessages, false),
        });
    return list;
}

void TCPFileIterator::SetDirectory(const QString& value)
{
    QString dir = value;
    // A Windows-style trailing separator is accepted; paths here use "/".
    if (dir.endsWith(u'\\'))
        dir.back() = u'/';
    else if (!dir.isEmpty() && !dir.endsWith(u'/'))
        dir += u'/';
    FDirectory = dir;
    SetEnabled(FEnabled);
}

void TCPFileIterator::SetRecurse(bool value)
{
    FRecurse = value;
    SetEnabled(FEnabled);
}

void TCPFileIterator::SetFileMask(const QString& value)
{
    QString mask = value.trimmed();
    if (mask.isEmpty())
        mask = QStringLiteral("*.*");
    FFileMask = mask;
    BuildMaskList();
    SetEnabled(FEnabled);
}

void TCPFileIterator::BuildMaskList()
{
    FMaskList.Clear();
    QString text = FFileMask;
    while (!text.isEmpty()) {
        const qsizetype p = text.indexOf(u';');
        if (p < 0) {
            FMaskList.Add(text.trimmed());
            break;
        }
        const QString mask = text.left(p).trimmed();
        if (!mask.isEmpty())
            FMaskList.Add(mask);
        text = text.mid(p + 1, kMaxMaskRest).trimmed();
    }
}

void TCPFileIterator::SetEnabled(bool value)
{
    FEnabled = value;
    if (!value)
        return;
    FAborting = false;
    FFiles.Clear();
    QSet<QString> visited;
    const QFileInfo root(FDirectory.isEmpty() ? QStringLiteral(".") : FDirectory);
    visited.insert(root.canonicalFilePath());
    ScanDirectory(FDirectory, visited);
}

void TCPFileIterator::Refresh()
{
    SetEnabled(false);
    SetEnabled(true);
}

void TCPFileIterator::Execute()
{
    SetEnabled(false);
    SetEnabled(true);
    SetEnabled(false);
}

bool TCPFileIterator::MatchesMask(const QString& name, const QString& mask)
{
    const QString n = name.toCaseFolded();
    const QString m = mask.toCaseFolded();
    if (WildcardMatch(n, m))
        return true;
    // "*.*" and "name.*" also take names without an extension, as on Windows.
    return m.endsWith(QStringLiteral(".*")) && !n.contains(u'.') && WildcardMatch(n, m.chopped(2));
}

bool TCPFileIterator::LimitReached() const
{
    return FMaxFiles > 0 && FFiles.Count() >= FMaxFiles;
}

void TCPFileIterator::DoProcessMessages()
{
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
}

// Scans one directory (Path ends in "/", or is empty for the current one),
// then its subdirectories depth-first. visited holds the canonical paths of
// the directories entered so far, so a directory reached again through a
// symbolic link (a loop) is not scanned twice.
void TCPFileIterator::ScanDirectory(const QString& Path, QSet<QString>& visited)
{
    if (FProcessMessages)
        DoProcessMessages();
    if (LimitReached() || FAborting)
        return;
    FCurrentPath = Path;
    if (OnEachDir)
        OnEachDir(this, Path);

    const std::vector<Entry> entries = ListDirectory(Path);
    int countdown = kEntriesPerYield;
    const QStringList masks = FMaskList.ToStringList(); // an event may change the mask
    for (const QString& mask : masks) {
        for (const Entry& entry : entries) {
            if (FAborting)
                break;
            if (!MatchesMask(entry.Name, mask))
                continue;
            if (!entry.Info.isDir()) {
                FFiles.Add(Path + entry.Name);
                if (OnEachFile)
                    OnEachFile(this, TSearchRec { entry.Name, entry.Info.size(), entry.Info });
            }
            if (LimitReached())
                break;
            if (FProcessMessages && --countdown == 0) {
                countdown = kEntriesPerYield;
                DoProcessMessages();
            }
        }
        if (LimitReached())
            break;
    }
    if (LimitReached() || FAborting || !FRecurse)
        return;

    QStringList subdirs;
    for (const Entry& entry : entries)
        if (entry.Info.isDir())
            subdirs.append(entry.Name);
    for (const QString& name : subdirs) {
        const QString child = Path + name + u'/';
        const QString canonical = QFileInfo(child).canonicalFilePath();
        if (canonical.isEmpty() || visited.contains(canonical))
            continue;
        visited.insert(canonical);
        ScanDirectory(child, visited);
    }
}
