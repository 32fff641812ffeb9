#pragma once

#include <condition_variable>
#include <cstddef>
#include <exception>
#include <filesystem>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "text/AtomicFile.h"
#include "text/CodePage.h"
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
// replaces the target only on Commit. A long output is encoded and written
// on a second thread while the job goes on; a failure there is reported by
// the next write or by Commit.
class CTextFileStream : public CTextSink
{
public:
    explicit CTextFileStream(const std::filesystem::path& path, FileEncoding nEncoding = FileEncoding::Utf8Bom,
                             CodePage codePage = kSystemCodePage);
    ~CTextFileStream() override;  // waits for the writer; an uncommitted file is discarded

    bool IsOpen() const { return m_file.IsOpen(); }
    // OutputUnwritable with the path and the system's text of the first failure.
    CFailure Failure() const override;

protected:
    bool WriteUnits(std::u16string_view text) override;
    bool TakeUnits(std::u16string& text, size_t nUnits) override;
    bool Finish() override;

private:
    bool UseWriter(size_t nUnits);
    bool HandOver(std::u16string& text);
    bool StopWriter();
    void RunWriter();
    bool Encode(std::u16string_view text);

    std::filesystem::path m_path;
    CAtomicFile m_file;
    FileEncoding m_nEncoding;
    // Used by whichever thread writes the file.
    std::vector<unsigned char> m_vecBytes;
    std::string m_strLegacy;
    CFileEncoder m_legacyEncoder;

    // The writer thread takes one buffer at a time while the caller fills
    // the next one, so memory stays bounded.
    std::thread m_writer;
    mutable std::mutex m_mutex;
    std::condition_variable m_cv;
    std::u16string m_strFill;  // the caller's units not yet handed over
    std::u16string m_strWork;  // the writer's while m_bBusy
    bool m_bBusy = false;
    bool m_bStop = false;
    bool m_bFailed = false;
    std::string m_strWriterError;
    std::exception_ptr m_pWriterException;
};

}  // namespace tavrel
