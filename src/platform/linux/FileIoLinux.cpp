#include "FileIo.h"

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <random>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "FileDescriptor.h"
#include "MemoryHints.h"

namespace pondel {
namespace {

// A temporary file that is removed unless it was put in place.
class TemporaryFile final {
public:
    TemporaryFile(std::filesystem::path path, int fd) noexcept
        : path_(std::move(path))
        , fd_(fd)
    {
    }
    ~TemporaryFile()
    {
        if (!kept_)
            ::unlink(path_.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    const std::filesystem::path& Path() const noexcept { return path_; }
    UniqueFd& Descriptor() noexcept { return fd_; }
    void Keep() noexcept { kept_ = true; }

private:
    std::filesystem::path path_;
    UniqueFd fd_;
    bool kept_ = false;
};

// The file a save has to replace: the target of a symbolic link, so that the
// link survives, or the path itself.
std::filesystem::path ReplacementTarget(const std::filesystem::path& file)
{
    struct stat status { };
    if (::lstat(file.c_str(), &status) != 0 || !S_ISLNK(status.st_mode))
        return file;
    char resolved[PATH_MAX];
    if (::realpath(file.c_str(), resolved) == nullptr)
        return file; // a dangling link is replaced by the file itself
    return resolved;
}

std::filesystem::path FolderOf(const std::filesystem::path& file)
{
    const std::filesystem::path folder = file.parent_path();
    return folder.empty() ? std::filesystem::path(".") : folder;
}

// Creates a new file beside the target under a name no one else uses.
Result<std::unique_ptr<TemporaryFile>> CreateTemporaryBeside(const std::filesystem::path& target)
{
    static thread_local std::mt19937_64 random{std::random_device{}()};
    int error = EEXIST;
    for (int attempt = 0; attempt < 100 && error == EEXIST; ++attempt) {
        std::string name(1, '.');
        name += target.filename().string();
        name += ".tmp";
        name += std::to_string(random() % 1000000000);
        std::filesystem::path candidate = FolderOf(target) / name;
        const int fd = ::open(candidate.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0)
            return std::make_unique<TemporaryFile>(std::move(candidate), fd);
        error = errno;
    }
    return FileError(error, "cannot create a temporary file for", target);
}

void SyncFolder(const std::filesystem::path& folder)
{
    // Makes the rename itself durable. A folder that cannot be opened for
    // this does not make the save fail: the content is already in place.
    const UniqueFd fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd)
        ::fsync(fd.Get());
}

} // namespace

Result<std::string> ReadWholeFile(const std::filesystem::path& file, std::size_t maxBytes)
{
    std::string text;
    // Non-blocking, so that a FIFO in place of the file cannot stall the
    // open; only regular files are read.
    const UniqueFd fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK));
    if (!fd)
        return FileError(errno, "cannot open", file);
    struct stat status { };
    if (::fstat(fd.Get(), &status) != 0)
        return FileError(errno, "cannot examine", file);
    if (S_ISDIR(status.st_mode))
        return FileError(EISDIR, "cannot read", file);
    if (!S_ISREG(status.st_mode))
        return FileError(EINVAL, "not a regular file:", file);
    if (status.st_size > 0 && static_cast<std::uintmax_t>(status.st_size) > maxBytes)
        return FileError(EFBIG, "cannot read", file);
    // Read straight into the text, sized as the file is now; a file that
    // grows meanwhile is read on to its end, up to the limit.
    // One byte beyond the size shows the end without a second read call.
    const std::size_t limit = std::max(maxBytes, maxBytes + 1);
    std::size_t size = 0;
    const std::size_t expected =
        std::max<std::size_t>(static_cast<std::size_t>(status.st_size) + 1, 4096);
    text.reserve(expected);
    AdviseLargePages(text.data(), text.capacity());
    PrefaultPages(text.data(), expected);
    text.resize(expected);
    for (;;) {
        if (size == text.size()) {
            if (size > maxBytes)
                return FileError(EFBIG, "cannot read", file);
            text.resize(std::min(size * 2, limit));
        }
        const ssize_t got = ::read(fd.Get(), text.data() + size, text.size() - size);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            return FileError(errno, "cannot read", file);
        }
        if (got == 0)
            break;
        size += static_cast<std::size_t>(got);
    }
    if (size > maxBytes)
        return FileError(EFBIG, "cannot read", file);
    text.resize(size);
    return text;
}

Result<void> ReplaceFileAtomically(const std::filesystem::path& file, std::string_view text)
{
    return ReplaceFileAtomically(file, std::span(&text, 1));
}

Result<void> ReplaceFileAtomically(
    const std::filesystem::path& file, std::span<const std::string_view> pieces)
{
    const std::filesystem::path target = ReplacementTarget(file);
    Result<std::unique_ptr<TemporaryFile>> made = CreateTemporaryBeside(target);
    if (!made)
        return made.Error();
    const std::unique_ptr<TemporaryFile> temporary = std::move(made).Value();
    UniqueFd& fd = temporary->Descriptor();

    // The new file takes the old one's owner, group and mode: a save, even by
    // root, never hands the file to someone else. Where the owner cannot be
    // kept the save fails rather than change it.
    struct stat old { };
    if (::stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode)) {
        struct stat created { };
        if (::fstat(fd.Get(), &created) != 0)
            return FileError(errno, "cannot examine", target);
        if ((created.st_uid != old.st_uid || created.st_gid != old.st_gid) &&
            ::fchown(fd.Get(), old.st_uid, old.st_gid) != 0)
            return FileError(errno, "cannot keep the owner of", target);
        if (::fchmod(fd.Get(), old.st_mode & 07777) != 0)
            return FileError(errno, "cannot set the permissions of", target);
    }
    // The user knows the file, not its temporary twin: failures name the
    // file being saved.
    if (const Result<void> written = WriteAll(fd.Get(), pieces); !written)
        return FileError(written.Error().code, "cannot write", target);
    if (::fsync(fd.Get()) != 0)
        return FileError(errno, "cannot flush", target);
    if (::close(fd.Release()) != 0)
        return FileError(errno, "cannot close", target);
    if (::rename(temporary->Path().c_str(), target.c_str()) != 0)
        return FileError(errno, "cannot replace", target);
    temporary->Keep();
    SyncFolder(FolderOf(target));
    return {};
}

} // namespace pondel
