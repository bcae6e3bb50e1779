#pragma once

#include <filesystem>
#include <string>

namespace strikeline::test {

// A real folder under the system's temporary folder, removed with everything in it when
// the test ends.
class CTempFolder {
public:
    CTempFolder();
    ~CTempFolder();
    CTempFolder(const CTempFolder&) = delete;
    CTempFolder& operator=(const CTempFolder&) = delete;

    const std::filesystem::path& Path() const { return m_Path; }
    std::string File(const std::string& name) const { return (m_Path / name).string(); }

private:
    std::filesystem::path m_Path;
};

// Writes a file byte for byte, and reads one back whole.
void WriteTextFile(const std::string& path, const std::string& text);
std::string ReadTextFile(const std::string& path);

} // namespace strikeline::test
