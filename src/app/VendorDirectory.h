#pragma once

#include <atomic>
#include <filesystem>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "MacAddress.h"
#include "VendorRegistry.h"

namespace pondel {

// The vendor registry, read once on a thread of its own the first time a
// name is asked for. Until it is read, names are empty, so that no caller
// waits for the disk; the window simply shows the names from its next
// refresh on. Any thread may ask.
class VendorDirectory final {
public:
    explicit VendorDirectory(std::filesystem::path folder = kVendorRegistryFolder);
    // Waits for a reading under way.
    ~VendorDirectory();
    VendorDirectory(const VendorDirectory&) = delete;
    VendorDirectory& operator=(const VendorDirectory&) = delete;

    // The vendor of the address's block; empty when it has none or the
    // registry is still being read (which this starts).
    [[nodiscard]] std::string Find(const MacAddress& mac);
    // The same for a MAC text; empty when the text is no MAC address.
    [[nodiscard]] std::string FindText(std::string_view macText);

    // Called on the reading thread once the names can be asked for, so that
    // a window can show them without asking again and again. Set it before
    // the reading starts.
    void SetReadNotice(std::function<void()> notice) { readNotice_ = std::move(notice); }

    // Starts the reading, for a caller that knows it will ask soon.
    void StartReading();
    // Starts the reading and waits for it, for a caller that may wait (the
    // console).
    void WaitUntilRead();
    [[nodiscard]] bool IsRead() const noexcept { return read_.load(std::memory_order_acquire); }

private:
    const std::filesystem::path folder_;
    std::once_flag started_;
    std::function<void()> readNotice_;
    std::jthread reader_;
    // Written by the reader alone, and read only once read_ is set.
    VendorRegistry registry_;
    std::atomic<bool> read_{false};
};

} // namespace pondel
