// A read-only view of outside bytes. Every read names its offset and can fail;
// offsets only move through checked additions, so no parser built on it can
// read past the end of what it was given.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

class ByteSpan {
public:
    constexpr ByteSpan() = default;
    constexpr ByteSpan(const std::uint8_t* data, std::size_t size) : data_(data), size_(data ? size : 0) {}

    [[nodiscard]] constexpr std::size_t size() const { return size_; }
    [[nodiscard]] constexpr bool empty() const { return size_ == 0; }
    [[nodiscard]] constexpr const std::uint8_t* data() const { return data_; }

    // True when [offset, offset + count) lies inside the span.
    [[nodiscard]] constexpr bool contains(std::size_t offset, std::size_t count) const {
        return offset <= size_ && count <= size_ - offset;
    }

    [[nodiscard]] constexpr std::optional<std::uint8_t> u8(std::size_t offset) const {
        if (!contains(offset, 1)) return std::nullopt;
        return data_[offset];
    }
    [[nodiscard]] constexpr std::optional<std::uint16_t> u16le(std::size_t offset) const {
        if (!contains(offset, 2)) return std::nullopt;
        return static_cast<std::uint16_t>(data_[offset] | (data_[offset + 1] << 8));
    }
    [[nodiscard]] constexpr std::optional<std::uint32_t> u32le(std::size_t offset) const {
        if (!contains(offset, 4)) return std::nullopt;
        return static_cast<std::uint32_t>(data_[offset]) | (static_cast<std::uint32_t>(data_[offset + 1]) << 8) |
               (static_cast<std::uint32_t>(data_[offset + 2]) << 16) |
               (static_cast<std::uint32_t>(data_[offset + 3]) << 24);
    }

    // Copies count bytes at offset into out; false (and nothing copied) when they do not fit.
    bool copy(std::size_t offset, std::size_t count, std::uint8_t* out) const {
        if (!contains(offset, count)) return false;
        for (std::size_t i = 0; i < count; ++i) out[i] = data_[offset + i];
        return true;
    }

    // The sub-span [offset, offset + count), or nothing when it does not fit.
    [[nodiscard]] constexpr std::optional<ByteSpan> sub(std::size_t offset, std::size_t count) const {
        if (!contains(offset, count)) return std::nullopt;
        return ByteSpan(data_ + offset, count);
    }

    // Position of the first zero byte at or after offset, or nothing when the
    // span ends before one.
    [[nodiscard]] constexpr std::optional<std::size_t> findZero(std::size_t offset) const {
        for (std::size_t i = offset; i < size_; ++i)
            if (data_[i] == 0) return i;
        return std::nullopt;
    }

    // Equality of the bytes at offset with text, false when they do not fit.
    [[nodiscard]] constexpr bool matches(std::size_t offset, std::string_view text) const {
        if (!contains(offset, text.size())) return false;
        for (std::size_t i = 0; i < text.size(); ++i)
            if (data_[offset + i] != static_cast<std::uint8_t>(text[i])) return false;
        return true;
    }

private:
    const std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
};

// Checked offset arithmetic: nothing on overflow.
[[nodiscard]] constexpr std::optional<std::size_t> checkedAdd(std::size_t a, std::size_t b) {
    if (b > SIZE_MAX - a) return std::nullopt;
    return a + b;
}

// A cursor that moves forward through a span; every read advances it and fails
// without moving when the bytes are not there.
class ByteCursor {
public:
    explicit constexpr ByteCursor(ByteSpan span, std::size_t pos = 0) : span_(span), pos_(pos) {}

    [[nodiscard]] constexpr std::size_t pos() const { return pos_; }
    [[nodiscard]] constexpr std::size_t remaining() const { return pos_ <= span_.size() ? span_.size() - pos_ : 0; }
    [[nodiscard]] constexpr const ByteSpan& span() const { return span_; }

    constexpr bool skip(std::size_t count) {
        if (!span_.contains(pos_, count)) return false;
        pos_ += count;
        return true;
    }
    constexpr std::optional<std::uint8_t> u8() { return take<std::uint8_t>(span_.u8(pos_), 1); }
    constexpr std::optional<std::uint16_t> u16le() { return take<std::uint16_t>(span_.u16le(pos_), 2); }
    constexpr std::optional<std::uint32_t> u32le() { return take<std::uint32_t>(span_.u32le(pos_), 4); }

private:
    template <typename T>
    constexpr std::optional<T> take(std::optional<T> v, std::size_t n) {
        if (v) pos_ += n;
        return v;
    }
    ByteSpan span_;
    std::size_t pos_;
};

}  // namespace platform
