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

Result<void> CreateFolders(const std::filesystem::path& folder)
{
    if (folder.empty())
        return {};
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error)
        return FileError(error.value(), "cannot create the folder", folder);
    return {};
}

} // namespace pondel
