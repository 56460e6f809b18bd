#pragma once

#include "model/linux/FileDescriptor.h"

namespace pondel {

// Owns one socket and closes it when it goes. On POSIX systems a socket is
// a file descriptor like any other.
using SocketHandle = UniqueFd;

} // namespace pondel
