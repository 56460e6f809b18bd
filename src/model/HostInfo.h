#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <type_traits>

namespace pondel {

// One host as the list, the settings file and the clipboard know it. The
// record is a plain block of fixed-size, always terminated text fields, so it
// is copied by value as a whole and a zero-filled record is an empty host.
struct tHostInfo {
    std::int32_t active = 0;
    char hostName[128] = {};
    char comment[128] = {};
    char ipAddr[32] = {};
    char netMask[32] = {};
    char macAddr[32] = {};
    // Kept in the host's own section of the settings file only: the
    // interface its wake-ups leave by (empty lets its address choose) and
    // its SecureOn password, written like a MAC address.
    char interfaceName[16] = {};
    char secureOn[32] = {};
    // The group the host belongs to ("lab", "rack 3"), empty for none; kept
    // in its own section too. Up to 31 bytes.
    char group[32] = {};
    // What the last probe learnt from the link, never saved: how the host
    // answered (HostLinkState) and the MAC text that answered ARP for its
    // address, empty when none did or the link was not asked.
    std::int32_t linkState = 0;
    char answeredMac[20] = {};
};

// Records are compared and copied as whole blocks of bytes: no field may
// leave padding, whose bytes a copy need not keep.
static_assert(std::has_unique_object_representations_v<tHostInfo>);

// What a probe that also asks the link tells beyond `active`. A host that
// answered ARP alone is active; one whose address another machine answers
// for is not.
enum class HostLinkState : std::int32_t {
    kEchoOnly = 0,       // answered echo, or nothing at all
    kUpNoPing = 1,       // answered ARP, not echo
    kAnotherMachine = 2, // a MAC other than its own answered ARP for its address
};

// Copies text into a fixed field, cut to leave room for the terminator.
template <std::size_t N>
void SetField(char (&field)[N], std::string_view text)
{
    const std::size_t length = text.size() < N - 1 ? text.size() : N - 1;
    text.copy(field, length);
    for (std::size_t i = length; i < N; ++i)
        field[i] = '\0';
}

// The text of a fixed field, up to its terminator.
template <std::size_t N>
[[nodiscard]] std::string_view FieldText(const char (&field)[N]) noexcept
{
    std::size_t length = 0;
    while (length < N && field[length] != '\0')
        ++length;
    return {field, length};
}

// Builds a record from its five texts; each is cut to its field's size.
[[nodiscard]] tHostInfo MakeHostInfo(std::string_view hostName, std::string_view comment,
    std::string_view ipAddr, std::string_view netMask, std::string_view macAddr);

// The five texts of a host as a record holds them, without the record: each
// cut to its field's size and ended at its first NUL. Reading a large host
// list looks at every host through these and makes records of those it
// keeps only.
struct HostFieldViews {
    std::string_view hostName;
    std::string_view comment;
    std::string_view ipAddr;
    std::string_view netMask;
    std::string_view macAddr;
};

[[nodiscard]] HostFieldViews FieldViews(std::string_view hostName, std::string_view comment,
    std::string_view ipAddr, std::string_view netMask, std::string_view macAddr) noexcept;
// The views of a record's fields, valid as long as the record.
[[nodiscard]] HostFieldViews FieldViews(const tHostInfo& host) noexcept;
[[nodiscard]] tHostInfo MakeHostInfo(const HostFieldViews& fields);
// Writes the texts of FieldViews into a zero-filled record, which keeps
// its terminators: the views are already cut to the fields' sizes.
void FillEmptyHostInfo(tHostInfo& record, const HostFieldViews& fields) noexcept;

} // namespace pondel
