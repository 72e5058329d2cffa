#include "sysutils.h"

Exception::Exception(QString message)
    : fMessage(std::move(message))
    , fWhat(fMessage.toUtf8())
{
}

Exception::~Exception() = default;
