// The save-state format's primitives: fixed-width little-endian fields, read and written by the
// same per-record functions, and the CRC32 that guards the ROM image and the whole file.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <type_traits>
#include <vector>

// CRC32 (the reflected 0xEDB88320 polynomial of zip and PNG), continued from `crc` for a stream
// of pieces; start with 0.
uint32_t crc32(std::span<const uint8_t> bytes, uint32_t crc = 0);

// One direction of a state transfer. Each record has a single function that names its fields in
// order, `io.field(record.x)`; the writer appends them, the reader fills them and checks the
// limits given. A reader that runs out of bytes or meets a value out of its limit is failed and
// stays so; its caller then drops everything it read.
class StateIo {
public:
    static StateIo writer(std::vector<uint8_t>& out) { return StateIo(&out, {}, 0); }
    // A reader of the format version `version` (the file's); by default the current one.
    static StateIo reader(std::span<const uint8_t> in, uint32_t version = UINT32_MAX)
    {
        return StateIo(nullptr, in, version);
    }

    bool reading() const { return out_ == nullptr; }
    // True when the fields that format `version` added are there: always for a writer, for a reader
    // of that version or a later one. A field function reads a newer field only `since` its version
    // and otherwise gives it the value that matches the older file.
    bool since(uint32_t version) const { return !reading() || version_ >= version; }
    bool failed() const { return failed_; }
    size_t position() const { return position_; }
    bool atEnd() const { return position_ == in_.size(); }
    // A reader fails when `condition` does not hold for what it has read.
    void check(bool condition) { failed_ = failed_ || (reading() && !condition); }

    template <class T>
        requires std::is_integral_v<T>
    void field(T& value)
    {
        using Bits = std::make_unsigned_t<std::conditional_t<std::is_same_v<T, bool>, uint8_t, T>>;
        if (!reading()) {
            const auto bits = static_cast<Bits>(value);
            for (size_t i = 0; i < sizeof(Bits); ++i)
                out_->push_back(static_cast<uint8_t>(bits >> (8 * i)));
            return;
        }
        if (failed_ || in_.size() - position_ < sizeof(Bits)) {
            failed_ = true;
            return;
        }
        Bits bits = 0;
        for (size_t i = 0; i < sizeof(Bits); ++i)
            bits = static_cast<Bits>(bits | Bits{in_[position_++]} << (8 * i));
        if constexpr (std::is_same_v<T, bool>) {
            check(bits <= 1);
            value = bits != 0;
        } else {
            value = static_cast<T>(bits);
        }
    }

    // A field whose value must lie in [low, high]: indices, shifts and counters the code relies on.
    template <class T>
    void field(T& value, std::type_identity_t<T> low, std::type_identity_t<T> high)
    {
        field(value);
        check(value >= low && value <= high);
    }

    template <class T, size_t N>
    void field(std::array<T, N>& values)
    {
        if constexpr (std::is_same_v<T, uint8_t>) {
            bytes(values, N);  // the same bytes, at once
        } else {
            for (T& value : values)
                field(value);
        }
    }

    // The first `count` bytes of `bytes`.
    template <size_t N>
    void bytes(std::array<uint8_t, N>& bytes, size_t count)
    {
        check(count <= N);
        if (count > N)
            return;
        if (!reading()) {
            out_->insert(out_->end(), bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(count));
            return;
        }
        if (failed_ || in_.size() - position_ < count) {
            failed_ = true;
            return;
        }
        std::copy_n(in_.begin() + static_cast<std::ptrdiff_t>(position_), count, bytes.begin());
        position_ += count;
    }

private:
    StateIo(std::vector<uint8_t>* out, std::span<const uint8_t> in, uint32_t version)
        : out_(out), in_(in), version_(version)
    {
    }

    std::vector<uint8_t>* out_;
    std::span<const uint8_t> in_;
    uint32_t version_;
    size_t position_ = 0;
    bool failed_ = false;
};

// The number of fields of an aggregate record, counted at compile time. Beside each record's field
// function a static_assert compares it with the fields that function names, so a field added to
// the record without being saved stops the build.
namespace state_detail {
struct AnyField {
    template <class T>
    operator T() const;
};
}  // namespace state_detail

template <class T, class... Fields>
consteval size_t fieldCount()
{
    if constexpr (requires { T{Fields{}..., state_detail::AnyField{}}; })
        return fieldCount<T, Fields..., state_detail::AnyField>();
    else
        return sizeof...(Fields);
}
