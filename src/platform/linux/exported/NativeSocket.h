#pragma once

#include "UniqueFd.h"

namespace pondel {

// On POSIX systems a socket is a file descriptor like any other.
using NativeSocket = int;
using SocketHandle = UniqueFd;

} // namespace pondel
