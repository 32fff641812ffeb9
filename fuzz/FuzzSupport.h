#pragma once

// Shared by the fuzz targets: a per-process work folder, file access and the
// checks every output must pass. A failed check aborts, so libFuzzer keeps
// the input that caused it.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <system_error>
#include <unistd.h>
#include <vector>

#include "convert/AssConverter.h"
#include "convert/FormatDetect.h"
#include "convert/SamiReader.h"
#include "run/OutputNaming.h"
#include "srt/SrtProcessor.h"
#include "text/TextBuffer.h"
#include "text/TextFileStream.h"
#include "text/Unicode.h"

namespace tavrel
{

namespace fuzz
{

inline void Check(bool bHolds, const char* pszWhat)
{
    if (!bHolds)
    {
        std::fprintf(stderr, "property failed: %s\n", pszWhat);
        std::abort();
    }
}

// One folder per process, reused by every run and removed at exit. /dev/shm
// keeps the file traffic off the disk where it exists.
class CWorkDir
{
public:
    CWorkDir()
    {
        std::error_code ec;
        std::filesystem::path base = std::filesystem::is_directory("/dev/shm", ec)
                                         ? std::filesystem::path("/dev/shm")
                                         : std::filesystem::temp_directory_path(ec);
        std::string tmpl = (base / "tavrel-fuzz-XXXXXX").string();
        Check(mkdtemp(tmpl.data()) != nullptr, "work folder created");
        m_path = tmpl;
    }
    ~CWorkDir()
    {
        std::error_code ec;
        std::filesystem::remove_all(m_path, ec);
    }

    const std::filesystem::path& Path() const { return m_path; }
    std::filesystem::path operator/(std::string_view name) const { return m_path / std::string(name); }

    // Removes everything a previous run left in the folder.
    void Clear() const
    {
        std::error_code ec;
        for (const auto& entry : std::filesystem::directory_iterator(m_path, ec))
            std::filesystem::remove_all(entry.path(), ec);
    }

    std::vector<std::filesystem::path> Files() const
    {
        std::vector<std::filesystem::path> vecFiles;
        std::error_code ec;
        for (const auto& entry : std::filesystem::directory_iterator(m_path, ec))
            vecFiles.push_back(entry.path());
        return vecFiles;
    }

private:
    std::filesystem::path m_path;
};

inline CWorkDir& WorkDir()
{
    static CWorkDir s_dir;
    return s_dir;
}

inline void WriteFile(const std::filesystem::path& path, const uint8_t* pData, size_t nSize)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(pData), static_cast<std::streamsize>(nSize));
    out.close();
    Check(static_cast<bool>(out), "input file written");
}

inline void WriteFile(const std::filesystem::path& path, std::string_view bytes)
{
    WriteFile(path, reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
}

inline std::string ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline bool Exists(const std::filesystem::path& path)
{
    std::error_code ec;
    return std::filesystem::exists(path, ec);
}

// Strict UTF-8: shortest forms only, no surrogates, nothing above U+10FFFF.
inline bool IsValidUtf8(std::string_view bytes)
{
    size_t i = 0;
    while (i < bytes.size())
    {
        const unsigned char c = static_cast<unsigned char>(bytes[i]);
        size_t nMore = 0;
        uint32_t nMin = 0;
        uint32_t nCode = 0;
        if (c < 0x80)
        {
            ++i;
            continue;
        }
        if (c >= 0xC2 && c <= 0xDF)
            nMore = 1, nMin = 0x80, nCode = c & 0x1F;
        else if (c >= 0xE0 && c <= 0xEF)
            nMore = 2, nMin = 0x800, nCode = c & 0x0F;
        else if (c >= 0xF0 && c <= 0xF4)
            nMore = 3, nMin = 0x10000, nCode = c & 0x07;
        else
            return false;
        if (i + nMore >= bytes.size())
            return false;
        for (size_t k = 1; k <= nMore; ++k)
        {
            const unsigned char d = static_cast<unsigned char>(bytes[i + k]);
            if ((d & 0xC0) != 0x80)
                return false;
            nCode = (nCode << 6) | (d & 0x3F);
        }
        if (nCode < nMin || nCode > 0x10FFFF || (nCode >= 0xD800 && nCode <= 0xDFFF))
            return false;
        i += nMore + 1;
    }
    return true;
}

// A saved text file: the byte-order mark, valid UTF-8, every line end CR LF.
inline void CheckSavedText(std::string_view bytes)
{
    Check(bytes.substr(0, 3) == "\xEF\xBB\xBF", "saved file starts with the byte-order mark");
    const std::string_view body = bytes.substr(3);
    Check(IsValidUtf8(body), "saved file is valid UTF-8");
    for (size_t i = 0; i < body.size(); ++i)
    {
        if (body[i] == '\r')
            Check(i + 1 < body.size() && body[i + 1] == '\n', "every CR is followed by LF");
        else if (body[i] == '\n')
            Check(i > 0 && body[i - 1] == '\r', "every LF follows a CR");
        Check(body[i] != '\0', "no NUL in a saved file");
    }
}

// The text of a file as the jobs see it.
inline std::u16string LoadText(const std::filesystem::path& path)
{
    CTextBuffer buffer;
    Check(buffer.Load(path) != 0, "written file loads");
    return std::u16string(buffer.View());
}

inline bool IsAsciiDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

// hh:mm:ss,mmm --> hh:mm:ss,mmm, exactly 29 units.
inline bool IsStrictTimeLine(std::u16string_view line)
{
    static constexpr std::u16string_view kPattern = u"00:00:00,000 --> 00:00:00,000";
    if (line.size() != kPattern.size())
        return false;
    for (size_t i = 0; i < line.size(); ++i)
    {
        if (kPattern[i] == u'0' ? !IsAsciiDigit(line[i]) : line[i] != kPattern[i])
            return false;
    }
    return true;
}

// As written by the SAMI reader: hours take as many digits as they need.
inline bool IsWideTimeLine(std::u16string_view line)
{
    const size_t nArrow = line.find(u" --> ");
    if (nArrow == std::u16string_view::npos)
        return false;
    auto isTime = [](std::u16string_view t) {
        if (t.size() < 12)
            return false;
        const size_t nHours = t.size() - 10;
        for (size_t i = 0; i < nHours; ++i)
            if (!IsAsciiDigit(t[i]))
                return false;
        return IsStrictTimeLine(std::u16string(u"00") + std::u16string(t.substr(nHours)) + u" --> 00:00:00,000");
    };
    return isTime(line.substr(0, nArrow)) && isTime(line.substr(nArrow + 5));
}

// One cue of a written SRT file.
struct CWrittenCue
{
    std::u16string_view m_timeLine;
    std::u16string_view m_text;
};

// Walks an SRT text in the layout every writer uses (k, CR, time line, CR,
// text, CR, CR; numbers from 1 without gaps; the text holds no empty line
// and runs to the first CR CR) and checks it on the way.
template <typename TimeLineTest>
std::vector<CWrittenCue> ParseWrittenSrt(std::u16string_view text, TimeLineTest isTimeLine)
{
    std::vector<CWrittenCue> vecCues;
    size_t p = 0;
    while (p < text.size())
    {
        const std::u16string strNumber = [&] {
            std::string s = std::to_string(vecCues.size() + 1);
            return std::u16string(s.begin(), s.end());
        }();
        Check(text.substr(p, strNumber.size()) == strNumber, "cues are numbered from 1 without gaps");
        p += strNumber.size();
        Check(p < text.size() && text[p] == u'\r', "a CR ends the cue number");
        ++p;
        const size_t nLineEnd = text.find(u'\r', p);
        Check(nLineEnd != std::u16string_view::npos, "a CR ends the time line");
        CWrittenCue cue;
        cue.m_timeLine = text.substr(p, nLineEnd - p);
        Check(isTimeLine(cue.m_timeLine), "the time line has its form");
        p = nLineEnd + 1;
        const size_t nBlank = text.find(u"\r\r", p);
        Check(nBlank != std::u16string_view::npos, "every cue ends with an empty line");
        cue.m_text = text.substr(p, nBlank - p);
        p = nBlank + 2;
        Check(p == text.size() || IsAsciiDigit(text[p]), "one empty line between cues");
        vecCues.push_back(cue);
    }
    return vecCues;
}

// The cues the cue scan visits in a text: time line and cue text.
struct CScannedCue
{
    std::u16string m_strTimeLine;
    std::u16string m_strText;
};

// Loads an SRT file as every SRT reader does: tolerant time lines rewritten to the strict form, after which a
// second pass has nothing left to rewrite.
inline bool LoadSrt(CTextBuffer& buffer, const std::filesystem::path& path)
{
    if (!buffer.Load(path))
        return false;
    const CSrtProcessor srt;
    srt.NormaliseTimeLines(buffer);
    Check(srt.NormaliseTimeLines(buffer) == 0, "rewritten time lines are strict");
    return true;
}

inline std::vector<CScannedCue> ScanCues(std::u16string_view text)
{
    std::vector<CScannedCue> vecCues;
    const std::u16string copy(text);  // the scanners want a NUL after the text
    CSrtProcessor srt;
    CSrtCue cue;
    const int32_t nLength = static_cast<int32_t>(copy.size());
    for (bool bMore = srt.FirstCue(copy.c_str(), nLength, cue); bMore; bMore = srt.NextCue(copy.c_str(), nLength, cue))
    {
        Check(cue.m_nTimeLine >= 0 && cue.m_nTimeLine + 30 <= nLength, "a cue's time line lies in the text");
        Check(cue.m_nTimeLine + 30 <= cue.m_nTextBegin && cue.m_nTextBegin <= cue.m_nTextEnd &&
                  cue.m_nTextEnd <= nLength,
              "a cue's text follows its time line");
        Check(vecCues.empty() || cue.m_nResume < 0 || cue.m_nResume > cue.m_nTimeLine, "the scan moves forward");
        vecCues.push_back({copy.substr(static_cast<size_t>(cue.m_nTimeLine), CSrtProcessor::kTimeLineLength),
                           copy.substr(static_cast<size_t>(cue.m_nTextBegin),
                                       static_cast<size_t>(cue.m_nTextEnd - cue.m_nTextBegin))});
        if (cue.m_nResume < 0)
            break;
    }
    return vecCues;
}

// The jobs on files named here: the input loaded, the outputs written through
// file sinks and kept only when the job succeeded.
inline bool Finish(const CFailure& failure, CTextSink& out)
{
    return !failure.IsFailure() && out.Commit();
}

inline bool CorrectFile(const std::filesystem::path& input, const std::filesystem::path& output,
                        const CTimeMap& timeMap, COcrOptions options)
{
    CTextBuffer source;
    if (!LoadSrt(source, input))
        return false;
    CTextFileStream out(output);
    return Finish(CSrtProcessor().CorrectSrt(source, timeMap, options, out), out);
}

inline bool ExtractFile(const std::filesystem::path& input, const std::filesystem::path& output)
{
    CTextBuffer source;
    if (!LoadSrt(source, input))
        return false;
    CTextFileStream out(output);
    return Finish(CSrtProcessor().ExtractText(source, out), out);
}

inline bool MergeFiles(const std::filesystem::path& srtPath, const std::filesystem::path& textPath,
                       const std::filesystem::path& output, CSrtJobStats* pStats = nullptr)
{
    CTextBuffer srt;
    CTextBuffer text;
    if (!LoadSrt(srt, srtPath) || text.Load(textPath) == 0)
        return false;
    CTextFileStream out(output);
    return Finish(CSrtProcessor().MergeText(srt, text, out, pStats), out);
}

// Both files are written once the input loads, as the conversion does.
inline bool WriteSamiFiles(const std::filesystem::path& input, const std::filesystem::path& samiPath,
                           const std::filesystem::path& utf8SamiPath)
{
    CTextBuffer source;
    if (!LoadSrt(source, input))
        return false;
    CTextFileStream legacy(samiPath, FileEncoding::LegacyCode);
    CTextFileStream utf8(utf8SamiPath);
    const bool bCues = !CSrtProcessor().WriteSami(source, PathToU16(input), legacy, utf8).IsFailure();
    const bool bUtf8 = utf8.Commit();
    return legacy.Commit() && bUtf8 && bCues;
}

inline bool ConvertAssFile(const std::filesystem::path& input, const std::filesystem::path& output)
{
    CTextBuffer source;
    if (source.Load(input) == 0)
        return false;
    CTextFileStream out(output);
    return Finish(CAssConverter().ConvertAssToSrt(source, out), out);
}

// The number of classes written beside the input, 0 without captions, -1 on failure.
inline int32_t ConvertSamiFile(const std::filesystem::path& input)
{
    CTextBuffer source;
    if (source.Load(input) == 0)
        return -1;
    const std::u16string name = PathToU16(input);
    int32_t nClasses = 0;
    const CFailure failure = CSamiReader().ConvertSamiToSrt(
        source,
        [&](const std::u16string& className) {
            return std::make_unique<CTextFileStream>(PathFromU16(SamiClassOutput(name, className)));
        },
        &nClasses);
    if (failure.m_nKind == FailureKind::NoCaptionClass)
        return 0;
    return failure.IsFailure() ? -1 : nClasses;
}

inline SubtitleFormat DetectFile(const std::filesystem::path& path)
{
    CTextBuffer text;
    text.Load(path);
    return DetectFormat(text);
}

}  // namespace fuzz

}  // namespace tavrel
