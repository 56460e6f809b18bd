// Looking commands of the table up: by id, by key, and whether a sweep
// holds them back.
#include "CommandTable.h"

#include <algorithm>
#include <array>
#include <stdexcept>

namespace pondel {

using enum CommandId;

const CommandEntry& Command(CommandId id)
{
    const std::span<const CommandEntry> commands = Commands();
    const auto found = std::ranges::find(commands, id, &CommandEntry::id);
    if (found == commands.end())
        throw std::out_of_range("unknown command id");
    return *found;
}

bool IdleWhileCollecting(CommandId id)
{
    static constexpr std::array kListChanging{kImportHostList, kAppend, kInsert, kEdit, kRemove,
        kCut, kPaste, kMoveUp, kMoveDown, kOption};
    return std::ranges::find(kListChanging, id) != kListChanging.end();
}

QKeySequence Accelerator(const CommandEntry& entry)
{
    if (entry.shortcut == nullptr)
        return {};
    return QKeySequence(QString::fromLatin1(entry.shortcut), QKeySequence::PortableText);
}

} // namespace pondel
