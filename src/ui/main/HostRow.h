#pragma once

#include <cstdint>

#include <QColor>
#include <QString>

#include "HostInfo.h"

namespace pondel {

// The list's own copy of one host, so that painting never reads HostList,
// which a worker thread may be probing. The record is kept byte for byte:
// a sort rebuilds HostList from the rows, and text that is not valid UTF-8
// must come back unchanged.
struct HostRow {
    tHostInfo host;
    // The row's index as of the last renumbering; a sort reads rows by it.
    int itemData = 0;
};

// Where a woken host is: still waking, or how its watch ended.
enum class WakeMark {
    kWaking,
    kUp,
    kNoAnswer,
};

// A woken host's state as its rows show it, with the seconds since its
// wake-up.
struct RowWake {
    WakeMark mark = WakeMark::kWaking;
    std::uint32_t seconds = 0;
};

// What column 0 says of a woken host: "12 s", "up after 12 s" or "no answer
// after 180 s".
[[nodiscard]] QString WakeText(const RowWake& wake);
// The tooltip of a woken host's mark: its text, and for no answer what to
// check.
[[nodiscard]] QString WakeToolTip(const RowWake& wake);

// How column 0 shows whether a host answered.
struct MarkStyle {
    bool textMode = false; // false: an image
    QString markText;      // shown for an active host in text mode
    // The text mark's colours; an active host's mark cell is filled with the
    // background colour.
    QColor textColor = Qt::black;
    QColor backColor = Qt::green;
};

// The text a row shows in a column: column 0 is the mark text for an active
// host in text mode and empty otherwise; 1 to 5 are host name, comment, IP
// address, netmask and MAC address; 7 is the group. Column 6, the vendor,
// comes from the registry, not the record.
[[nodiscard]] QString RowText(const HostRow& row, int column, const MarkStyle& style);

// The order of two rows by one column: negative, 0 or positive. Names and
// comments and groups ignore case; addresses compare as numbers; the MAC column puts
// the highest address first. descending reverses every result.
[[nodiscard]] int CompareHostRows(const HostRow& first, const HostRow& second, int column,
    bool descending, const MarkStyle& style);

} // namespace pondel
