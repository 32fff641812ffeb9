#include <string>
#include <vector>

#include "cli/CliCommands.h"

#ifdef _WIN32
#include <windows.h>

#include <algorithm>
#include <ostream>
#include <streambuf>
#include <string_view>

#include "text/Unicode.h"

namespace tavrel
{
namespace
{
// Bytes at the end of text that start a UTF-8 sequence not yet complete.
size_t IncompleteTail(std::string_view text)
{
    for (size_t nBack = 1; nBack <= 3 && nBack <= text.size(); ++nBack)
    {
        const auto b = static_cast<unsigned char>(text[text.size() - nBack]);
        if ((b & 0xC0) == 0x80)
            continue;
        const size_t nLength = b >= 0xF0 ? 4 : b >= 0xE0 ? 3 : b >= 0xC0 ? 2 : 1;
        return nLength > nBack ? nBack : 0;
    }
    return 0;
}

// Standard output or error: a console gets the text as UTF-16, so Korean
// shows whatever the console's code page; a file or pipe gets the UTF-8
// bytes unchanged. Written line by line.
class CStdHandleBuf : public std::streambuf
{
public:
    explicit CStdHandleBuf(DWORD nStdHandle)
        : m_hOut(GetStdHandle(nStdHandle))
    {
        DWORD nMode = 0;
        m_bConsole = m_hOut != nullptr && m_hOut != INVALID_HANDLE_VALUE && GetConsoleMode(m_hOut, &nMode);
    }
    ~CStdHandleBuf() override { WritePending(true); }
    CStdHandleBuf(const CStdHandleBuf&) = delete;
    CStdHandleBuf& operator=(const CStdHandleBuf&) = delete;

protected:
    int_type overflow(int_type c) override
    {
        if (traits_type::eq_int_type(c, traits_type::eof()))
            return traits_type::not_eof(c);
        m_strPending.push_back(traits_type::to_char_type(c));
        if (c == '\n')
            WritePending(false);
        return c;
    }
    int sync() override
    {
        WritePending(false);
        return 0;
    }

private:
    void WritePending(bool bEnd)
    {
        const size_t nBytes = m_strPending.size() - (bEnd || !m_bConsole ? 0 : IncompleteTail(m_strPending));
        const std::string_view bytes(m_strPending.data(), nBytes);
        if (m_bConsole)
            WriteConsole(Utf8ToU16(bytes));
        else
            WriteBytes(bytes);
        m_strPending.erase(0, nBytes);
    }
    void WriteConsole(const std::u16string& text)
    {
        const auto* pText = reinterpret_cast<const wchar_t*>(text.data());
        for (size_t nAt = 0; nAt < text.size();)
        {
            DWORD nWritten = 0;
            const auto nUnits = static_cast<DWORD>(std::min<size_t>(text.size() - nAt, 16384));
            if (!WriteConsoleW(m_hOut, pText + nAt, nUnits, &nWritten, nullptr) || nWritten == 0)
                return;
            nAt += nWritten;
        }
    }
    void WriteBytes(std::string_view bytes)
    {
        for (size_t nAt = 0; nAt < bytes.size();)
        {
            DWORD nWritten = 0;
            const auto nChunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - nAt, 1 << 20));
            if (!WriteFile(m_hOut, bytes.data() + nAt, nChunk, &nWritten, nullptr) || nWritten == 0)
                return;
            nAt += nWritten;
        }
    }

    HANDLE m_hOut;
    bool m_bConsole;
    std::string m_strPending;
};
}  // namespace
}  // namespace tavrel

// Wide arguments: any file name works, whatever the ANSI code page.
int wmain(int argc, wchar_t** argv)
{
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
    {
        const std::wstring_view arg(argv[i]);
        args.push_back(tavrel::U16ToUtf8(std::u16string(arg.begin(), arg.end())));
    }
    tavrel::CStdHandleBuf outBuf(STD_OUTPUT_HANDLE);
    tavrel::CStdHandleBuf errBuf(STD_ERROR_HANDLE);
    std::ostream out(&outBuf);
    std::ostream err(&errBuf);
    const int nExit = tavrel::RunCli(args, out, err);
    out.flush();
    err.flush();
    return nExit;
}

#else

#include <clocale>
#include <iostream>

int main(int argc, char** argv)
{
    // The legacy code page of text without a byte-order mark follows the locale.
    std::setlocale(LC_CTYPE, "");
    const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
    return tavrel::RunCli(args, std::cout, std::cerr);
}

#endif
