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
            // Inside quotes a doubled quote stands for one quote character,
            // as spreadsheets write it; anywhere else a quote only toggles.
            if (inQuotes && position + 1 < line.size() && line[position + 1] == '"') {
                field.push_back('"');
                ++position;
                continue;
            }
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
