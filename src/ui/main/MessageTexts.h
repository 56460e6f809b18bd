#pragma once

#include <QString>

#include "MessageId.h"

namespace pondel {

// The text of a host command's message in the program's language.
[[nodiscard]] QString MessageText(MessageId id);

} // namespace pondel
