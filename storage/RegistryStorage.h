#pragma once

#include "storage/RegistryKey.h"
#include "storage/StructuredStorage.h"

namespace strikeline {

// The settings storage over the registry: one object per open key. Values are encoded as
// the program has always stored them: integers and booleans as DWORDs, 64-bit integers and
// doubles as decimal text ("%f" for doubles), strings with their terminating zero, binary
// as raw bytes. A value of another type than the read expects counts as missing.
//
// A storage owns its key reference; child storages are independent of their parent.
class CRegistryStorage final : public CStructuredStorage {
public:
    CRegistryStorage() = default;
    explicit CRegistryStorage(std::shared_ptr<CRegistryKey> key) : m_Key(std::move(key)) {}

    // Positions this storage on the key `name` below `parent` (which may hold several
    // levels); OpenRoot fails when it is missing, CreateRoot creates it.
    bool OpenRoot(const std::shared_ptr<CRegistryKey>& parent, std::string_view name);
    bool CreateRoot(const std::shared_ptr<CRegistryKey>& parent, std::string_view name);
    void Close();
    bool IsOpen() const { return m_Key != nullptr; }

    bool Open(std::string_view name) override;
    bool Create(std::string_view name) override;
    std::unique_ptr<CStructuredStorage> OpenChild(std::string_view name) override;
    std::unique_ptr<CStructuredStorage> CreateChild(std::string_view name) override;
    bool DeleteValue(std::string_view name) override;
    bool DeleteChild(std::string_view name) override;
    bool DeleteAllChildren() override;
    bool GetFirstChildName(std::string& name) override;
    bool GetNextChildName(std::string& name) override;
    bool GetFirstValueName(std::string& name) override;
    bool GetNextValueName(std::string& name) override;
    bool ReadBool(std::string_view name, bool defaultValue) override;
    std::uint32_t ReadDword(std::string_view name, std::uint32_t defaultValue) override;
    std::uint64_t ReadUInt64(std::string_view name, std::uint64_t defaultValue) override;
    std::int32_t ReadInt(std::string_view name, std::int32_t defaultValue) override;
    double ReadDouble(std::string_view name, double defaultValue) override;
    void ReadString(std::string_view name, std::string& text, std::size_t capacity,
                    const char* defaultValue) override;
    std::string ReadString(std::string_view name, std::string_view defaultValue) override;
    std::int64_t ReadBinary(std::string_view name, std::span<std::uint8_t> buffer) override;
    std::int64_t GetBinarySize(std::string_view name) override;
    bool WriteBool(std::string_view name, bool value) override;
    bool WriteDword(std::string_view name, std::uint32_t value) override;
    bool WriteUInt64(std::string_view name, std::uint64_t value) override;
    bool WriteInt(std::string_view name, std::int32_t value) override;
    bool WriteDouble(std::string_view name, double value) override;
    bool WriteString(std::string_view name, std::string_view text) override;
    bool WriteBinary(std::string_view name, std::span<const std::uint8_t> bytes) override;

    // The buffer that ReadString(name, default) reads into, terminator included.
    static constexpr std::size_t kStringBufferSize = 256;
    // Enumerated names must fit this buffer, terminator included.
    static constexpr std::size_t kNameBufferSize = 128;

private:
    bool Reposition(std::shared_ptr<CRegistryKey> key);
    const CRegistryValue* Find(std::string_view name) const;
    bool Write(std::string_view name, RegistryType type, std::span<const std::uint8_t> bytes);

    std::shared_ptr<CRegistryKey> m_Key;
    std::uint32_t m_ChildIndex = 0;
    std::uint32_t m_ValueIndex = 0;
};

} // namespace strikeline
