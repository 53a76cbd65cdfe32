// A set of enumeration values held as bits, for the engine's option and style sets.
#pragma once

#include <cstdint>
#include <initializer_list>

namespace hk {

template <class E> class TFlags {
public:
    constexpr TFlags() = default;
    constexpr TFlags(std::initializer_list<E> values) {
        for (E v : values) {
            bits_ |= Bit(v);
        }
    }

    constexpr bool Contains(E v) const { return (bits_ & Bit(v)) != 0; }
    constexpr void Include(E v) { bits_ |= Bit(v); }
    constexpr void Exclude(E v) { bits_ &= ~Bit(v); }
    constexpr void Set(E v, bool on) { on ? Include(v) : Exclude(v); }
    constexpr bool Empty() const { return bits_ == 0; }
    constexpr std::uint64_t Bits() const { return bits_; }
    constexpr bool operator==(const TFlags&) const = default;

private:
    static constexpr std::uint64_t Bit(E v) { return std::uint64_t(1) << static_cast<unsigned>(v); }
    std::uint64_t bits_ = 0;
};

} // namespace hk
