#include "VersionInfo.h"

#include <array>
#include <cstdlib>
#include <utility>

#include "PondelBuildInfo.h"

namespace pondel {
namespace {

struct VersionString {
    std::string_view name;
    std::string_view value;
};

// One string block per language, each with its own translation entry, as a
// Windows version resource has them.
struct VersionBlock {
    std::uint16_t language;
    std::uint16_t codePage;
    std::array<VersionString, 8> strings;
};

// The blocks differ only in the entries each language words its own way.
constexpr VersionBlock kEnglish{0x0009, 0x04B0,
    {{
        {"CompanyName", "Pondel developers"},
        {"FileDescription", "Pondel"},
        {"FileVersion", kVersionText},
        {"InternalName", "Pondel.exe"},
        {"LegalCopyright", "Copyright (C) 2026 Pondel developers"},
        {"OriginalFilename", "Pondel.exe"},
        {"ProductName", "Vexmoor"},
        {"ProductVersion", kVersionText},
    }}};

constexpr VersionBlock kJapanese{0x0411, 0x04B0,
    {{
        {"CompanyName", "Pondel \u958b\u767a\u8005"},
        {"FileDescription", "Pondel"},
        {"FileVersion", kVersionText},
        {"InternalName", "Pondel.exe"},
        {"LegalCopyright", "\u8457\u4f5c\u6a29 (C) 2026 Pondel \u958b\u767a\u8005"},
        {"OriginalFilename", "Pondel.exe"},
        {"ProductName", "Vexmoor"},
        {"ProductVersion", kVersionText},
    }}};

// The block the system would pick: the user's language decides.
const VersionBlock& BlockForUserLanguage()
{
    for (const char* variable : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && *value != '\0')
            return std::string_view(value).starts_with("ja") ? kJapanese : kEnglish;
    }
    return kEnglish;
}

} // namespace

std::optional<FileVersion> GetFileVersionNumbers()
{
    return FileVersion{kVersionMajor, kVersionMinor, kVersionPatch, kVersionTweak};
}

int GetVersionString(std::string_view name, std::string& value)
{
    for (const auto& entry : BlockForUserLanguage().strings) {
        if (entry.name == name) {
            value.assign(entry.value.substr(0, 1023));
            return 1;
        }
    }
    return 0;
}

} // namespace pondel
