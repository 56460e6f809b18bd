#pragma once

#include <string>
#include <utility>
#include <vector>

#include "WindowSide.h"

namespace pondel::test {

// Stands in for the main window: records each call as a line of text
// ("message 108", "ask lead 109", "default 0", ...) and answers questions
// with `answer`.
class FakeWindowSide final : public WindowSide {
public:
    void ShowMessage(MessageId id) override { Add("message " + Number(id)); }
    void ShowText(const std::string& text) override { Add("text " + text); }
    bool Ask(MessageId id, const std::string& lead) override
    {
        Add("ask " + lead + (lead.empty() ? "" : " ") + Number(id));
        return answer;
    }
    void ShowHostFailures(std::span<const HostFailure> failures) override
    {
        std::string line = "failures";
        for (const HostFailure& failure : failures)
            line += " " + failure.hostName + ":" +
                (failure.systemText.empty() ? Number(failure.message) : failure.systemText);
        Add(line);
    }
    void WriteDefaultHost(std::int32_t row) override { Add("default " + std::to_string(row)); }
    void RecheckHost(std::int32_t row) override { Add("recheck " + std::to_string(row)); }
    void RequestStatusPass() override { Add("pass"); }
    void WatchWokenHosts(const std::vector<std::int32_t>& rows, bool) override
    {
        watched.insert(watched.end(), rows.begin(), rows.end());
    }
    void UpdateCommandState() override { Add("update"); }

    bool answer = true;
    std::vector<std::string> calls;
    std::vector<std::int32_t> watched; // the rows of every WatchWokenHosts

private:
    static std::string Number(MessageId id) { return std::to_string(static_cast<int>(id)); }
    void Add(std::string call) { calls.push_back(std::move(call)); }
};

} // namespace pondel::test
