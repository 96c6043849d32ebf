#include "platform/exceptions.h"

#include <utility>

namespace carlume {

Exception::Exception(std::string message)
    : message_(std::move(message))
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
