#pragma once

// Shared helpers for the tests: temporary folders and files, byte access.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <string_view>

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

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
        namespace fs = std::filesystem;
        const fs::path base = fs::temp_directory_path();
        std::random_device random;
        for (int nAttempt = 0; nAttempt < 100 && m_path.empty(); ++nAttempt)
        {
            const fs::path path = base / ("tavrel-test-" + std::to_string(random()));
            std::error_code ec;
            if (fs::create_directory(path, ec))
                m_path = path;
        }
        if (m_path.empty())
            ADD_FAILURE() << "no temporary folder";
    }
    ~CTempDir()
    {
        // Full access first: a read-only file or a closed folder would stay behind.
        namespace fs = std::filesystem;
        std::error_code ec;
        fs::permissions(m_path, fs::perms::owner_all, fs::perm_options::add, ec);
        for (auto it = fs::recursive_directory_iterator(m_path, ec); !ec && it != fs::recursive_directory_iterator();
             it.increment(ec))
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ec);
        fs::remove_all(m_path, ec);
    }
    CTempDir(const CTempDir&) = delete;
    CTempDir& operator=(const CTempDir&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    // The name is UTF-8 on every system.
    std::filesystem::path operator/(std::string_view name) const
    {
        return m_path / std::filesystem::path(std::u8string(name.begin(), name.end()));
    }

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

#ifndef _WIN32
// A path whose writes fail: /dev/full on Linux.
inline std::filesystem::path FullDevice()
{
    return "/dev/full";
}
#endif

// The code page that code page 0 stands for: the ANSI code page on Windows;
// CP949 elsewhere, since the tests pin the "C" locale.
inline int LegacyCodePage()
{
#ifdef _WIN32
    return static_cast<int>(GetACP());
#else
    return 949;
#endif
}

// The value expected under the legacy code page the tests run with: CP949, or Windows-1252 on a Windows set to it.
template <typename T>
T ForCodePage(T cp949, T cp1252)
{
    return LegacyCodePage() == 1252 ? cp1252 : cp949;
}

}  // namespace testutil

}  // namespace tavrel
