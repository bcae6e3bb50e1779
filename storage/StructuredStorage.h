#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace strikeline {

// A tree of named nodes holding typed named values: what a settings record reads from and
// writes to. Code that saves or loads a record receives a storage positioned at the
// record's node and never touches the store behind it.
//
// Errors: no operation throws or shows anything. Reads fall back to the caller's default on
// any failure (missing value, value of another type, value too large for the read); writes
// and deletions return false on failure. Names are relative to the current node and may
// hold several levels separated by '\'.
class CStructuredStorage {
public:
    virtual ~CStructuredStorage() = default;

    // Moves this storage to the existing child `name`; false (and unmoved) if it is missing.
    virtual bool Open(std::string_view name) = 0;
    // As Open, creating the child when missing.
    virtual bool Create(std::string_view name) = 0;
    // A new, independent storage on the existing child; null if it does not exist.
    virtual std::unique_ptr<CStructuredStorage> OpenChild(std::string_view name) = 0;
    // A new, independent storage on the child, created when missing; null on failure.
    virtual std::unique_ptr<CStructuredStorage> CreateChild(std::string_view name) = 0;
    virtual bool DeleteValue(std::string_view name) = 0;
    // Deletes the child and its whole subtree; an empty name fails.
    virtual bool DeleteChild(std::string_view name) = 0;
    virtual bool DeleteAllChildren() = 0;
    // Child and value enumeration: First restarts at index 0; Next reports the name at the
    // index and advances. False when none is left, or when a name has 128 characters or more.
    virtual bool GetFirstChildName(std::string& name) = 0;
    virtual bool GetNextChildName(std::string& name) = 0;
    virtual bool GetFirstValueName(std::string& name) = 0;
    virtual bool GetNextValueName(std::string& name) = 0;
    // A DWORD; any non-zero value reads as true.
    virtual bool ReadBool(std::string_view name, bool defaultValue) = 0;
    virtual std::uint32_t ReadDword(std::string_view name, std::uint32_t defaultValue) = 0;
    // Stored as decimal text.
    virtual std::uint64_t ReadUInt64(std::string_view name, std::uint64_t defaultValue) = 0;
    virtual std::int32_t ReadInt(std::string_view name, std::int32_t defaultValue) = 0;
    // Stored as fixed-point text with six decimals ("%f").
    virtual double ReadDouble(std::string_view name, double defaultValue) = 0;
    // A string value that fits `capacity` bytes with its terminating zero; otherwise
    // `defaultValue`, or an empty text when no default is given.
    virtual void ReadString(std::string_view name, std::string& text, std::size_t capacity,
                            const char* defaultValue) = 0;
    // ReadString with a 256-byte buffer: 255 characters at most.
    virtual std::string ReadString(std::string_view name, std::string_view defaultValue) = 0;
    // Bytes copied into `buffer`, or -1 when the value is missing, not binary or too large.
    virtual std::int64_t ReadBinary(std::string_view name, std::span<std::uint8_t> buffer) = 0;
    virtual std::int64_t GetBinarySize(std::string_view name) = 0;
    virtual bool WriteBool(std::string_view name, bool value) = 0;
    virtual bool WriteDword(std::string_view name, std::uint32_t value) = 0;
    virtual bool WriteUInt64(std::string_view name, std::uint64_t value) = 0;
    virtual bool WriteInt(std::string_view name, std::int32_t value) = 0;
    virtual bool WriteDouble(std::string_view name, double value) = 0;
    virtual bool WriteString(std::string_view name, std::string_view text) = 0;
    virtual bool WriteBinary(std::string_view name, std::span<const std::uint8_t> bytes) = 0;
};

} // namespace strikeline
