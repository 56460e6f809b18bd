#include "FileIo.h"

#include <system_error>

namespace pondel {

ErrorInfo FileError(int errorNumber, std::string_view step, const std::filesystem::path& file)
{
    std::string message(step);
    message.append(" ").append(file.string()).append(": ");
    message.append(std::system_category().message(errorNumber));
    return ErrorInfo{errorNumber, std::move(message)};
}

} // namespace pondel
