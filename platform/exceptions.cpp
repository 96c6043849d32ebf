#include "platform/exceptions.h"

#include <utility>

namespace carlume {

Exception::Exception(std::string message)
    : message_(std::move(message))
{
}

EStreamError::EStreamError(std::string message, std::string reason)
    : Exception(std::move(message))
    , reason_(std::move(reason))
{
}

EAbstractError::EAbstractError()
    : Exception(std::string(SAbstractError))
{
}

EOSError::EOSError(std::string message, int errorCode)
    : Exception(std::move(message))
    , errorCode_(errorCode)
{
}

} // namespace carlume
