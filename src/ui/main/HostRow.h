#pragma once

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
// address, netmask and MAC address.
[[nodiscard]] QString RowText(const HostRow& row, int column, const MarkStyle& style);

// The order of two rows by one column: negative, 0 or positive. Names and
// comments ignore case; addresses compare as numbers; the MAC column puts
// the highest address first. descending reverses every result.
[[nodiscard]] int CompareHostRows(const HostRow& first, const HostRow& second, int column,
    bool descending, const MarkStyle& style);

} // namespace pondel
