#pragma once

#include "platform/core/classes.h"
#include "platform/core/string_list.h"

#include <QFileInfo>
#include <QSet>

#include <functional>

// What the per-file event learns about a found file.
struct TSearchRec {
    QString Name; // without the directory
    qint64 Size = 0;
    QFileInfo Info; // attributes, times, full path
};

class TCPFileIterator;

using TOnIteratorFileEvent = std::function<void(TCPFileIterator* Sender, const TSearchRec& SearchRec)>;
using TOnIteratorDirEvent = std::function<void(TCPFileIterator* Sender, const QString& Pathname)>;

// Lists the files of a directory that match one or more wildcard masks
// (separated by ";"), optionally through its subdirectories, into FileList.
// The scan runs synchronously each time the component is enabled, and again
// whenever Directory, FileMask or Recurse change while it is enabled.
//
// Paths use "/": Directory always ends in one (a trailing "\" is taken as
// the separator too and replaced). Masks match without regard to case, "*.*"
// matches every name, dot or not. Names within a directory are taken in a
// case-insensitive sorted order, since the file system's own order is
// arbitrary here. A directory reached twice (a symbolic-link loop) is
// scanned once.
class TCPFileIterator : public TComponent {
public:
    explicit TCPFileIterator(TComponent* AOwner = nullptr);
    ~TCPFileIterator() override;

    QString ClassName() const override { return QStringLiteral("TCPFileIterator"); }
    const TPropList& Properties() const override;

    const QString& Directory() const { return FDirectory; }
    void SetDirectory(const QString& value);
    bool Recurse() const { return FRecurse; }
    void SetRecurse(bool value);
    const QString& FileMask() const { return FFileMask; }
    void SetFileMask(const QString& value);
    bool Enabled() const { return FEnabled; }
    // Enabling clears the abort flag and FileList and scans at once.
    void SetEnabled(bool value);
    // The found files as full paths, in the order found.
    TStringList& FileList() { return FFiles; }
    const TStringList& FileList() const { return FFiles; }
    // Stop when FileList holds this many files; 0 or less means no limit.
    int MaxFiles() const { return FMaxFiles; }
    void SetMaxFiles(int value) { FMaxFiles = value; }
    // Let the event loop run during the scan, so a button can call Abort.
    bool ProcessMessages() const { return FProcessMessages; }
    void SetProcessMessages(bool value) { FProcessMessages = value; }

    bool Aborted() const { return FAborting; }
    const QString& CurrentPath() const { return FCurrentPath; }
    // The masks parsed from FileMask, in order.
    const TStringList& MaskList() const { return FMaskList; }

    // A fresh scan, left enabled.
    void Refresh();
    // A fresh scan, left disabled.
    void Execute();
    // A running scan stops at its next check.
    void Abort() { FAborting = true; }

    // True when name matches the wildcard mask ("*" any run, "?" one
    // character) without regard to case; a mask ending in ".*" also matches
    // the name without any extension.
    static bool MatchesMask(const QString& name, const QString& mask);

    TOnIteratorFileEvent OnEachFile;
    TOnIteratorDirEvent OnEachDir;

private:
    void BuildMaskList();
    void ScanDirectory(const QString& Path, QSet<QString>& visited);
    bool LimitReached() const;
    void DoProcessMessages();

    QString FDirectory;
    QString FFileMask;
    TStringList FMaskList;
    bool FRecurse = true;
    bool FEnabled = false;
    int FMaxFiles = 0;
    bool FProcessMessages = false;
    bool FAborting = false;
    TStringList FFiles;
    QString FCurrentPath;
};
