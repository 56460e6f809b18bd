#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <system_error>

namespace pondel {

// A fresh directory under the system's temporary folder, removed with all it
// holds when the object goes.
class TemporaryDirectory final {
public:
    TemporaryDirectory()
    {
        std::string pattern =
            (std::filesystem::temp_directory_path() / "pondel-test-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr)
            throw std::runtime_error("mkdtemp failed");
        path_ = pattern;
    }
    ~TemporaryDirectory()
    {
        std::error_code ignored;
        std::filesystem::permissions(
            path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    TemporaryDirectory(const TemporaryDirectory&) = delete;
    TemporaryDirectory& operator=(const TemporaryDirectory&) = delete;

    const std::filesystem::path& Path() const noexcept { return path_; }
    std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

inline void WriteTextFile(const std::filesystem::path& file, std::string_view text)
{
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
    if (!out)
        throw std::runtime_error("cannot write " + file.string());
}

inline std::string ReadTextFile(const std::filesystem::path& file)
{
    std::ifstream in(file, std::ios::binary);
    std::string text;
    char buffer[65536];
    while (in.read(buffer, sizeof buffer) || in.gcount() > 0)
        text.append(buffer, static_cast<std::size_t>(in.gcount()));
    return text;
}

} // namespace pondel
