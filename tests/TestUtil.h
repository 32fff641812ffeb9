#pragma once

// Shared helpers for the tests: temporary folders and files, byte access.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

namespace tavrel
{

namespace testutil
{

// A fresh folder under the system's temporary folder, removed with its
// contents when the object goes.
class CTempDir
{
public:
    CTempDir()
    {
        std::string tmpl = (std::filesystem::temp_directory_path() / "tavrel-test-XXXXXX").string();
        const char* p = mkdtemp(tmpl.data());
        if (p == nullptr)
            ADD_FAILURE() << "mkdtemp failed";
        m_path = tmpl;
    }
    ~CTempDir()
    {
        std::error_code ec;
        std::filesystem::permissions(m_path, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
        std::filesystem::remove_all(m_path, ec);
    }
    CTempDir(const CTempDir&) = delete;
    CTempDir& operator=(const CTempDir&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    std::filesystem::path operator/(std::string_view name) const { return m_path / std::string(name); }

private:
    std::filesystem::path m_path;
};

inline void WriteBytes(const std::filesystem::path& path, std::string_view bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string ReadBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// UTF-8 source text (u8"" literals) as plain bytes.
inline std::string Bytes(std::u8string_view text)
{
    return std::string(text.begin(), text.end());
}

inline constexpr std::string_view kBom = "\xEF\xBB\xBF";

// A path whose writes fail: /dev/full on Linux.
inline std::filesystem::path FullDevice()
{
    return "/dev/full";
}

}  // namespace testutil

}  // namespace tavrel
