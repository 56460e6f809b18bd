#pragma once

#include "HostInfo.h"

class QLineEdit;

namespace pondel {

// What the host record keeps of each text, terminator not counted.
inline constexpr int kHostNameLimit = static_cast<int>(sizeof(tHostInfo::hostName)) - 1;
inline constexpr int kCommentLimit = static_cast<int>(sizeof(tHostInfo::comment)) - 1;
inline constexpr int kMacAddrLimit = static_cast<int>(sizeof(tHostInfo::macAddr)) - 1;
inline constexpr int kInterfaceNameLimit = static_cast<int>(sizeof(tHostInfo::interfaceName)) - 1;
inline constexpr int kSecureOnLimit = static_cast<int>(sizeof(tHostInfo::secureOn)) - 1;
inline constexpr int kGroupLimit = static_cast<int>(sizeof(tHostInfo::group)) - 1;

// Makes a field refuse, as it is typed or pasted, text that the host record
// could not keep whole: more than maxBytes bytes of UTF-8 (the record's
// field size less its terminator), or a line break, which would split the
// settings file's line.
void LimitToRecordField(QLineEdit& edit, int maxBytes);

} // namespace pondel
