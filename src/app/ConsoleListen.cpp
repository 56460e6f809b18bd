#include "ConsoleListen.h"

#include <cstdio>
#include <ctime>
#include <mutex>
#include <thread>

#include "ConsoleOutput.h"
#include "TerminationRequests.h"
#include "VendorDirectory.h"
#include "WakeLineBook.h"

namespace pondel {
namespace {

using namespace std::chrono_literals;

constexpr std::uint32_t kMostListenSeconds = 86400;
// A line is printed once no more repeats can join it; the margin covers a
// repeat that the listener counted just before the second was over.
constexpr auto kPrintAfter = WakeLineBook::kRepeatWindow + 250ms;
constexpr auto kPrintStep = 100ms;

// Collects the listener's lines until the console prints them.
class ConsoleListenEvents final : public WakeListenerEvents {
public:
    using Clock = std::chrono::steady_clock;

    void OnWakePacket(const HeardWakePacket& packet) override
    {
        const std::lock_guard lock(mutex_);
        // Lines come numbered in order; a late repeat of a printed one is lost.
        if (packet.line <= lastPrinted_)
            return;
        if (!pending_.empty() && pending_.back().line.line == packet.line)
            pending_.back().line = packet;
        else if (const auto open = Find(packet.line))
            open->line = packet;
        else
            pending_.push_back({packet, Clock::now()});
        heard_ = true;
    }
    void OnNotWakePacket(std::uint64_t count) override
    {
        const std::lock_guard lock(mutex_);
        notWake_ = count;
    }

    // The lines that no repeat can join any more, or all of them, oldest
    // first; they are handed out once.
    std::vector<HeardWakePacket> TakeClosed(bool all)
    {
        const std::lock_guard lock(mutex_);
        std::vector<HeardWakePacket> closed;
        const auto now = Clock::now();
        std::size_t count = 0;
        while (count < pending_.size() && (all || now - pending_[count].opened >= kPrintAfter))
            closed.push_back(pending_[count++].line);
        pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(count));
        if (!closed.empty())
            lastPrinted_ = closed.back().line;
        return closed;
    }

    bool Heard()
    {
        const std::lock_guard lock(mutex_);
        return heard_;
    }
    std::uint64_t NotWake()
    {
        const std::lock_guard lock(mutex_);
        return notWake_;
    }

private:
    struct Pending {
        HeardWakePacket line;
        Clock::time_point opened;
    };

    Pending* Find(std::uint64_t line)
    {
        for (Pending& pending : pending_)
            if (pending.line.line == line)
                return &pending;
        return nullptr;
    }

    std::mutex mutex_;
    std::vector<Pending> pending_;
    std::uint64_t lastPrinted_ = 0;
    std::uint64_t notWake_ = 0;
    bool heard_ = false;
};

std::string LocalTimeText(std::chrono::system_clock::time_point time)
{
    const std::time_t seconds = std::chrono::system_clock::to_time_t(time);
    char text[32] = {};
    // Only the console's own thread formats times.
    if (const std::tm* local = std::localtime(&seconds))
        std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", local);
    return text;
}

void PrintLines(std::vector<HeardWakePacket> lines, VendorDirectory& vendors)
{
    std::string text;
    for (HeardWakePacket& line : lines) {
        // The registry may have been read only after the packet came.
        if (line.vendor.empty())
            line.vendor = vendors.FindText(line.targetMac);
        text += ListenLineText(line);
    }
    if (!text.empty())
        (void)WriteToConsole(text);
}

void PrintError(const std::string& text)
{
    std::fprintf(stderr, "%s\n", text.c_str());
}

std::string Joined(const std::vector<std::string>& names)
{
    std::string text;
    for (const std::string& name : names)
        text += (text.empty() ? "" : ", ") + name;
    return text;
}

} // namespace

std::optional<std::uint32_t> ParseListenSeconds(const std::optional<std::string>& text)
{
    if (!text || text->empty())
        return 0;
    if (text->size() > 5 || text->find_first_not_of("0123456789") != std::string::npos)
        return std::nullopt;
    const auto seconds = static_cast<std::uint32_t>(std::stoul(*text));
    if (seconds > kMostListenSeconds)
        return std::nullopt;
    return seconds;
}

std::string ListenLineText(const HeardWakePacket& line)
{
    const auto field = [](const std::string& text) { return text.empty() ? "-" : text; };
    return LocalTimeText(line.time) + '\t' + field(line.from) + '\t' + field(line.to) + '\t' +
        field(line.path) + '\t' + field(line.targetMac) + '\t' + field(line.vendor) + '\t' +
        field(line.hostName) + '\t' + (line.secureOn ? "secureon" : "-") + '\t' +
        std::to_string(line.repeats) + '\n';
}

int ConsoleListen(std::uint32_t seconds, const HostList& hosts, const AppSettings& settings)
{
    // Caught before anything opens, so that a request ends the listening
    // the normal way; without them the default handling ends the program.
    const Result<std::unique_ptr<TerminationRequests>> requests = TerminationRequests::Catch();
    VendorDirectory vendors(settings.vendorRegistryFolder.empty()
            ? std::filesystem::path(kVendorRegistryFolder)
            : std::filesystem::path(settings.vendorRegistryFolder));
    ConsoleListenEvents events;
    WakeListener listener(events, ListenedHostsOf(hosts), vendors);
    const Result<WakeListener::Opened> opened = listener.Start(ListenOptionsOf(settings));
    if (!opened) {
        PrintError(opened.Error().message);
        return -1;
    }
    for (const ListenFailure& failure : opened.Value().failures)
        PrintError(ListenFailureText(failure));
    PrintError("listening on " + Joined(opened.Value().listening));

    const auto end = seconds == 0
        ? std::chrono::steady_clock::time_point::max()
        : std::chrono::steady_clock::now() + std::chrono::seconds(seconds);
    for (;;) {
        const auto left = end - std::chrono::steady_clock::now();
        if (left <= 0s)
            break;
        const auto step = std::min(std::chrono::duration_cast<std::chrono::milliseconds>(left),
            std::chrono::milliseconds(kPrintStep));
        if (requests.Ok()) {
            if (requests.Value()->WaitFor(step))
                break;
        } else {
            std::this_thread::sleep_for(step);
        }
        PrintLines(events.TakeClosed(false), vendors);
    }
    listener.Stop();
    vendors.WaitUntilRead();
    PrintLines(events.TakeClosed(true), vendors);
    if (const std::uint64_t others = events.NotWake(); others != 0)
        PrintError(std::to_string(others) + " packet(s) that were not wake packets");
    return events.Heard() ? 1 : kListenNothingHeard;
}

} // namespace pondel
