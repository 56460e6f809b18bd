#pragma once

namespace pondel {

// The window's messages about the host commands, by their string-table
// numbers; the window holds the texts in each language.
enum class MessageId : int {
    kSelectHost = 108,       // "Please select the host"
    kOtherNetwork = 109,     // "It is the other networks. Would you like to send?"
    kNoIpAddress = 110,      // "IP address is not set"
    kIllegalMac = 111,       // "It is illegal MAC address"
    kShutdownQuestion = 131, // "Shut down the selected host.\r\nDo you really want?"
    kShutdownFailed = 132,   // "Remote Shutdown failed"
    kHostAddressEmpty = 133, // "Host address is empty"
    kIllegalSecureOn = 140,  // "It is illegal SecureOn password"
    kIllegalInterface = 141, // "It is illegal interface name"
};

} // namespace pondel
