#include "ShutdownCommands.h"

#include <algorithm>

#include "RunCommand.h"

namespace pondel {
namespace {

constexpr std::string_view kAddressMark = "%s";

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

void ReplaceAll(std::string& text, std::string_view mark, std::string_view replacement)
{
    for (std::size_t at = text.find(mark); at != std::string::npos;
         at = text.find(mark, at + replacement.size()))
        text.replace(at, mark.size(), replacement);
}

} // namespace

std::vector<std::string> SplitCommandTemplate(std::string_view commandTemplate)
{
    std::vector<std::string> arguments;
    std::string current;
    bool inArgument = false;
    bool quoted = false;
    for (const char c : commandTemplate) {
        if (c == '"') {
            quoted = !quoted;
            inArgument = true;
        } else if (IsBlank(c) && !quoted) {
            if (inArgument)
                arguments.push_back(std::move(current));
            current.clear();
            inArgument = false;
        } else {
            current += c;
            inArgument = true;
        }
    }
    if (inArgument)
        arguments.push_back(std::move(current));
    return arguments;
}

std::vector<std::string> BuildShutdownCommand(
    std::string_view commandTemplate, std::string_view address)
{
    std::vector<std::string> arguments = SplitCommandTemplate(commandTemplate);
    for (std::string& argument : arguments)
        ReplaceAll(argument, kAddressMark, address);
    return arguments;
}

CommandRunner DetachedCommandRunner()
{
    return
        [](const std::vector<std::string>& argv) { return RunCommand(argv, {.newSession = true}); };
}

std::vector<ShutdownJob> ShutdownSelectedHosts(const std::vector<std::int32_t>& selectedRows,
    const HostList& hosts, HostTexts& currentHost, WindowSide& window)
{
    const std::int32_t count = hosts.Count();
    if (count <= 0 || !window.Ask(MessageId::kShutdownQuestion, ""))
        return {};

    std::vector<std::int32_t> rows = selectedRows;
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    std::vector<ShutdownJob> jobs;
    for (const std::int32_t row : rows) {
        if (row < 0 || row >= count)
            continue;
        currentHost = TextsOf(hosts[row]);
        jobs.push_back({row, currentHost.ipAddr});
    }
    return jobs;
}

ShutdownOutcome ShutdownHost(
    const ShutdownJob& job, std::string_view commandTemplate, const CommandRunner& run)
{
    if (job.ipAddr.empty())
        return ShutdownOutcome::kNoAddress;
    // An address is never an option; text that would read as one is not
    // handed to the command.
    if (job.ipAddr.front() == '-')
        return ShutdownOutcome::kFailed;
    const std::vector<std::string> command = BuildShutdownCommand(commandTemplate, job.ipAddr);
    if (command.empty() || run(command) != 0)
        return ShutdownOutcome::kFailed;
    return ShutdownOutcome::kDone;
}

void RunShutdownJobs(const std::vector<ShutdownJob>& jobs, std::string_view commandTemplate,
    const std::function<void(const ShutdownResult&)>& onResult, const CommandRunner& run)
{
    for (const ShutdownJob& job : jobs)
        onResult({job.row, ShutdownHost(job, commandTemplate, run)});
}

void ReportShutdownResult(const ShutdownResult& result, WindowSide& window)
{
    switch (result.outcome) {
    case ShutdownOutcome::kDone:
        break;
    case ShutdownOutcome::kNoAddress:
        window.ShowMessage(MessageId::kHostAddressEmpty);
        break;
    case ShutdownOutcome::kFailed:
        window.ShowMessage(MessageId::kShutdownFailed);
        break;
    }
}

} // namespace pondel
