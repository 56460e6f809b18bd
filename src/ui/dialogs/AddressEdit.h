#pragma once

#include <cstdint>

#include <QLineEdit>

namespace pondel {

// A field for one IPv4 address in dotted decimal. It takes only what can
// become an address: up to four numbers of 0 to 255, split by dots; what the
// user types or pastes beyond that is refused whole, with a message saying
// why. Parts not yet typed read as 0, the way a half-filled address field
// reads.
class AddressEdit final : public QLineEdit {
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AddressEdit)

public:
    explicit AddressEdit(QWidget* parent = nullptr);

    // Nothing typed at all.
    [[nodiscard]] bool IsBlank() const;
    // All four numbers are there.
    [[nodiscard]] bool IsComplete() const;

    // Host order; the numbers not yet typed count as 0.
    [[nodiscard]] std::uint32_t Address() const;
    void SetAddress(std::uint32_t address);

private:
    class Validator;

    void SayWhyRefused();

    Validator* validator_ = nullptr;
};

} // namespace pondel
