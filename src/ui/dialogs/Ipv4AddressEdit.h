#pragma once

#include <cstdint>

#include <QLineEdit>

namespace pondel {

// A field for one IPv4 address in dotted form. Like an address control it
// may be left partly or wholly blank: a blank part reads as 0, so an empty
// field is the address 0, which callers take as "not given".
class Ipv4AddressEdit final : public QLineEdit {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(Ipv4AddressEdit)

public:
    explicit Ipv4AddressEdit(QWidget* parent = nullptr);

    // Host order.
    void SetAddress(std::uint32_t address);
    [[nodiscard]] std::uint32_t Address() const;
};

// The address a dotted text stands for, blank or missing parts as 0 (host
// order); none when a part is not a number from 0 to 255 or there are more
// than four parts.
[[nodiscard]] bool ParseDottedAddress(const QString& text, std::uint32_t& address);

} // namespace pondel
