#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
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
    if (!(std::ofstream(file, std::ios::binary) << text))
        throw std::runtime_error("cannot write " + file.string());
}

inline std::string ReadTextFile(const std::filesystem::path& file)
{
    std::ostringstream text;
    text << std::ifstream(file, std::ios::binary).rdbuf();
    return text.str();
}

} // namespace pondel
