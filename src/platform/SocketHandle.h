#pragma once

// The platform folder supplies NativeSocket, the system's socket type, and
// SocketHandle, which owns one socket and closes it when it goes.
#include "NativeSocket.h"
