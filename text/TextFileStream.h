#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "text/AtomicFile.h"
#include "text/CodePageName.h"
#include "text/TextSink.h"

namespace tavrel
{

enum class FileEncoding
{
    Utf8Bom,     // UTF-8 with a byte-order mark
    LegacyCode,  // the legacy code page, no byte-order mark
};

// A text file sink: every CR written as CR LF, through a temporary file that
// replaces the target only on Commit.
class CTextFileStream : public CTextSink
{
public:
    explicit CTextFileStream(const std::filesystem::path& path, FileEncoding nEncoding = FileEncoding::Utf8Bom,
                             CodePage codePage = kSystemCodePage);

    bool IsOpen() const { return m_file.IsOpen(); }
    // OutputUnwritable with the path and the system's text of the first failure.
    CFailure Failure() const override;

protected:
    bool WriteUnits(std::u16string_view text) override;
    bool Finish() override;

private:
    bool WriteLegacy(std::u16string_view text);

    std::filesystem::path m_path;
    CAtomicFile m_file;
    FileEncoding m_nEncoding;
    CodePage m_codePage;
    std::vector<unsigned char> m_vecBytes;
    std::string m_strLegacy;
};

}  // namespace tavrel
