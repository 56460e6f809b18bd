#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "MessageId.h"

namespace pondel {

// A host that a command could not serve, with the reason: a message of the
// window's, or the system's own text where that is set.
struct HostFailure {
    std::string hostName;
    MessageId message = MessageId::kIllegalMac;
    std::string systemText;
};

// What the host commands need from the main window. Every call comes on the
// window's own thread.
class WindowSide {
public:
    virtual ~WindowSide() = default;

    // A message box with an OK button and the text of `id`.
    virtual void ShowMessage(MessageId id) = 0;
    // A message box with an OK button and a text that is the same in every
    // language.
    virtual void ShowText(const std::string& text) = 0;
    // A question with Yes and No: `lead` followed directly by the text of
    // `id`. True only for Yes.
    virtual bool Ask(MessageId id, const std::string& lead) = 0;
    // One message box that lists each host a command could not serve.
    virtual void ShowHostFailures(std::span<const HostFailure> failures) = 0;

    // Writes DEFAULT_HOST into the settings file now.
    virtual void WriteDefaultHost(std::int32_t row) = 0;
    // Has one host probed and its mark shown once it has been
    // (StatusMonitor::RequestHostChecks); returns at once.
    virtual void RecheckHost(std::int32_t row) = 0;
    // StatusMonitor::RequestStatusPass.
    virtual void RequestStatusPass() = 0;
    // The packets to these rows' hosts went out: they are watched until
    // they answer (WAKE_CONFIRM_TIMEOUT), and woken again as `broadcast`
    // said every WAKE_RESEND_SECONDS meanwhile.
    virtual void WatchWokenHosts(const std::vector<std::int32_t>& rows, bool broadcast) = 0;
    // Brings the toolbar and the status bar counts in line with the list.
    virtual void UpdateCommandState() = 0;
    // Whether a collection holds the list, from the moment it is asked for
    // until its thread has ended (a stopped sweep still holds it for its
    // last lookups).
    [[nodiscard]] virtual bool CollectRunning() const { return false; }
};

} // namespace pondel
