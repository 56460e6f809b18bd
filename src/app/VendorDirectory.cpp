#include "VendorDirectory.h"

#include <utility>

namespace pondel {

VendorDirectory::VendorDirectory(std::filesystem::path folder)
    : folder_(std::move(folder))
{
}

VendorDirectory::~VendorDirectory()
{
    // The reader writes the registry, which goes before the thread does.
    if (reader_.joinable())
        reader_.join();
}

void VendorDirectory::StartReading()
{
    std::call_once(started_, [this] {
        reader_ = std::jthread([this] {
            registry_ = VendorRegistry::ReadFolder(folder_);
            read_.store(true, std::memory_order_release);
            read_.notify_all();
            if (readNotice_)
                readNotice_();
        });
    });
}

std::string VendorDirectory::Find(const MacAddress& mac)
{
    StartReading();
    if (!IsRead())
        return {};
    return std::string(registry_.Find(mac));
}

std::string VendorDirectory::FindText(std::string_view macText)
{
    MacAddress mac{};
    if (ParseMacAddress(macText, mac) != 0)
        return {};
    return Find(mac);
}

void VendorDirectory::WaitUntilRead()
{
    StartReading();
    read_.wait(false, std::memory_order_acquire);
}

} // namespace pondel
