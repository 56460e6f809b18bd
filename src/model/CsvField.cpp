#include "CsvField.h"

namespace pondel {
namespace {

bool EndsLine(std::string_view line, std::size_t position)
{
    return position >= line.size() || line[position] == '\0' || line[position] == '\r' ||
        line[position] == '\n';
}

} // namespace

std::optional<std::size_t> NextCsvField(
    std::string_view line, std::size_t position, std::string& field, std::size_t capacity)
{
    field.clear();
    bool inQuotes = false;
    for (; !EndsLine(line, position); ++position) {
        if (field.size() + 1 >= capacity)
            return std::nullopt;
        const char c = line[position];
        if (c == '"') {
            inQuotes = !inQuotes;
            continue;
        }
        if (c == ',' && !inQuotes)
            break;
        field.push_back(c);
    }
    if (EndsLine(line, position) || EndsLine(line, position + 1))
        return std::nullopt;
    return position + 1;
}

} // namespace pondel
