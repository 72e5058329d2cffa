#pragma once

#include <QString>

#include <exception>

// The exception hierarchy the rest of the program raises and catches. Every
// error carries a user-readable message; what() gives it as UTF-8 for logs
// and test output.
class Exception : public std::exception
{
public:
    explicit Exception(QString message);
    ~Exception() override;

    const QString& Message() const { return fMessage; }
    const char* what() const noexcept override { return fWhat.constData(); }

private:
    QString fMessage;
    QByteArray fWhat;
};

// Declares a derived exception with the inherited constructor.
#define DECLARE_EXCEPTION(Name, Base)            \
    class Name : public Base                     \
    {                                            \
    public:                                      \
        using Base::Base;                        \
    }

DECLARE_EXCEPTION(EStreamError, Exception);
DECLARE_EXCEPTION(EReadError, EStreamError);
DECLARE_EXCEPTION(EWriteError, EStreamError);
DECLARE_EXCEPTION(EFOpenError, EStreamError);
DECLARE_EXCEPTION(EFCreateError, EStreamError);

// A file (or a stored image of one) that could not be loaded: the one way
// every loader but the diary's reports failure. Message() names the file and
// says why; Reason() is the why alone, for windows that word their own
// message around it.
class EFLoadError : public EStreamError {
public:
    // The message "Cannot load "NAME". REASON".
    EFLoadError(const QString& fileName, const QString& reason);
    // A message of the window's own that names the file.
    EFLoadError(QString message, const QString& fileName, const QString& reason);

    const QString& FileName() const { return fFileName; }
    const QString& Reason() const { return fReason; }

private:
    QString fFileName;
    QString fReason;
};

DECLARE_EXCEPTION(EConvertError, Exception);
DECLARE_EXCEPTION(EListError, Exception);
DECLARE_EXCEPTION(EInvalidOp, Exception);
DECLARE_EXCEPTION(EOutOfMemory, Exception);

// Text from a UTF-8 literal: the project builds without implicit conversions
// from char*, and captions and tests name their texts this way.
inline QString S(const char* text)
{
    return QString::fromUtf8(text);
}
