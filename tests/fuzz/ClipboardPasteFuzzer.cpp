// Clipboard text from any program: a paste never overruns a record, and the
// rows it takes copy and paste again as the same rows.
#include <cstdint>
#include <string_view>

#include "ClipboardRows.h"
#include "FuzzCheck.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace pondel;
    using namespace pondel::fuzz;
    const ClipboardPaste paste = ParseClipboardRows(AsText(data, size));
    for (const tHostInfo& host : paste.hosts)
        Require(IsWellFormed(host), "pasted hosts are whole");

    const ClipboardPaste again = ParseClipboardRows(FormatClipboardRows(paste.hosts));
    Require(!again.formatError, "copied rows paste without a format error");
    Require(again.hosts.size() == paste.hosts.size(), "copied rows paste as many rows");
    for (std::size_t row = 0; row < paste.hosts.size(); ++row)
        Require(SameTexts(paste.hosts[row], again.hosts[row]), "copied rows paste unchanged");
    return 0;
}
