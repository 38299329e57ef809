#pragma once
// The one way the engine reads untrusted bytes: every read is checked against the span,
// with offsets and lengths in 64 bits so that no sum of file fields can wrap.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace nobrelt {

class ByteReader {
public:
    ByteReader() = default;
    explicit ByteReader(std::span<const std::byte> data) : data_(data) {}

    std::uint64_t size() const { return data_.size(); }
    std::span<const std::byte> span() const { return data_; }

    bool Contains(std::uint64_t offset, std::uint64_t length) const {
        return offset <= data_.size() && length <= data_.size() - offset;
    }

    std::optional<std::uint8_t> U8(std::uint64_t offset) const {
        if (!Contains(offset, 1)) return std::nullopt;
        return static_cast<std::uint8_t>(data_[offset]);
    }
    std::optional<std::uint16_t> U16(std::uint64_t offset) const { return Little<std::uint16_t>(offset); }
    std::optional<std::uint32_t> U32(std::uint64_t offset) const { return Little<std::uint32_t>(offset); }
    std::optional<std::int32_t> I32(std::uint64_t offset) const {
        auto raw = U32(offset);
        if (!raw) return std::nullopt;
        return static_cast<std::int32_t>(*raw);
    }
    std::optional<std::uint32_t> U32BigEndian(std::uint64_t offset) const {
        if (!Contains(offset, 4)) return std::nullopt;
        std::uint32_t value = 0;
        for (int i = 0; i < 4; ++i) value = (value << 8) | static_cast<std::uint8_t>(data_[offset + i]);
        return value;
    }

    std::optional<std::span<const std::byte>> Bytes(std::uint64_t offset, std::uint64_t length) const {
        if (!Contains(offset, length)) return std::nullopt;
        return data_.subspan(offset, length);
    }
    std::optional<ByteReader> Sub(std::uint64_t offset, std::uint64_t length) const {
        auto bytes = Bytes(offset, length);
        if (!bytes) return std::nullopt;
        return ByteReader(*bytes);
    }

private:
    template <class T>
    std::optional<T> Little(std::uint64_t offset) const {
        if (!Contains(offset, sizeof(T))) return std::nullopt;
        T value = 0;
        for (std::size_t i = sizeof(T); i-- > 0;)
            value = static_cast<T>((value << 8) | static_cast<std::uint8_t>(data_[offset + i]));
        return value;
    }

    std::span<const std::byte> data_;
};

// Little-endian encoders for building file headers.
inline void PutU16(std::span<std::byte> out, std::size_t offset, std::uint16_t value) {
    out[offset] = static_cast<std::byte>(value & 0xFF);
    out[offset + 1] = static_cast<std::byte>(value >> 8);
}
inline void PutU32(std::span<std::byte> out, std::size_t offset, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) out[offset + i] = static_cast<std::byte>((value >> (8 * i)) & 0xFF);
}

}  // namespace nobrelt
