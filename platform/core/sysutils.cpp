#include "sysutils.h"

Exception::Exception(QString message)
    : fMessage(std::move(message))
    , fWhat(fMessage.toUtf8())
{
}

Exception::~Exception() = default;

EFLoadError::EFLoadError(const QString& fileName, const QString& reason)
    : EFLoadError(QStringLiteral("Cannot load \"%1\". %2").arg(fileName, reason), fileName, reason)
{
}

EFLoadError::EFLoadError(QString message, const QString& fileName, const QString& reason)
    : EStreamError(std::move(message))
    , fFileName(fileName)
    , fReason(reason)
{
}
