// MAC address texts typed, pasted or read from files: parsing stays within
// the six bytes, and the canonical form reads back as the same bytes.
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "FuzzCheck.h"
#include "MacAddress.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace pondel;
    using namespace pondel::fuzz;
    MacAddress parsed{};
    const int status = ParseMacAddress(AsText(data, size), parsed);
    Require(status == 0 || status == -1, "the parser answers 0 or -1");
    if (status == 0) {
        MacAddress again{};
        Require(ParseMacAddress(FormatMacAddress(parsed), again) == 0 && again == parsed,
            "a parsed address formats and parses to the same bytes");
    }

    if (size >= 6) {
        MacAddress bytes{};
        std::memcpy(bytes.data(), data, bytes.size());
        const std::string text = FormatMacAddress(bytes);
        Require(text.size() == 17, "the canonical form is 17 characters");
        MacAddress again{};
        Require(ParseMacAddress(text, again) == 0 && again == bytes,
            "any six bytes format and parse to the same bytes");
    }
    return 0;
}
