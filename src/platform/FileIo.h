#pragma once

#include <cstddef>
#include <filesystem>
#include <span>
#include <string>
#include <string_view>

#include "Result.h"

namespace pondel {

// A failed file operation: the system's error number with a text naming the
// step, the file and the system's reason.
[[nodiscard]] ErrorInfo FileError(
    int errorNumber, std::string_view step, const std::filesystem::path& file);

// Reads a whole regular file; anything else (a folder, a FIFO, a device) is
// refused without waiting on it. Files larger than maxBytes are refused with
// EFBIG rather than read, so that a runaway file cannot exhaust memory.
[[nodiscard]] Result<std::string> ReadWholeFile(
    const std::filesystem::path& file, std::size_t maxBytes);

// Makes a folder and the folders above it that are missing; an empty path
// or a folder that exists already is fine.
[[nodiscard]] Result<void> CreateFolders(const std::filesystem::path& folder);

// Replaces a file's content in one step: the text goes to a new file in the
// same folder, is flushed to the disk and then renamed over the old file, so
// that a reader, a crash or a full disk sees either the old or the new
// content and never a part. The new file takes the old one's owner, group
// and permissions; a symbolic link is followed and its target replaced. On
// failure the old file is left as it was and no temporary file remains.
[[nodiscard]] Result<void> ReplaceFileAtomically(
    const std::filesystem::path& file, std::string_view text);
// The same with the text in pieces, written in order from where they lie.
[[nodiscard]] Result<void> ReplaceFileAtomically(
    const std::filesystem::path& file, std::span<const std::string_view> pieces);

} // namespace pondel
