#include "SystemError.h"

#include <cstring>
#include <string_view>

namespace pondel {

std::string GetSystemErrorText(int code)
{
    char buffer[4096] = {};
    // The GNU strerror_r may return a static text instead of filling buffer.
    const char* text = strerror_r(code, buffer, sizeof buffer);
    if (text == nullptr || std::string_view(text).starts_with("Unknown error"))
        return {};
    return text;
}

} // namespace pondel
