#include "InputGen.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <fstream>

namespace tavrel
{

namespace benchinput
{
namespace
{
constexpr std::string_view kBom = "\xEF\xBB\xBF";

constexpr std::array<std::string_view, 16> kKorean = {"안녕하세요, 오랜만이에요.",
                                                      "지금 어디 가는 거야?",
                                                      "그건 내 잘못이 아니었어.",
                                                      "조금만 더 기다려 줘.",
                                                      "우리 내일 다시 만나요.",
                                                      "정말 고마워, 진심이야.",
                                                      "뷁! 이게 무슨 일이야?",
                                                      "문을 닫고 불을 꺼.",
                                                      "비가 올 것 같아요.",
                                                      "그 사람 이름이 뭐였지?",
                                                      "시간이 얼마 안 남았어.",
                                                      "괜찮아, 걱정하지 마.",
                                                      "배고프지 않아?",
                                                      "여기서 멈추면 안 돼.",
                                                      "그래서 어떻게 됐는데?",
                                                      "이 길이 맞는지 모르겠어."};

constexpr std::array<std::string_view, 16> kEnglish = {
    "Hello, it's been a while.",    "Where are you going now?",    "That wasn't my fault.",
    "Just wait a little longer.",   "Let's meet again tomorrow.",  "Thank you, I mean it.",
    "What on earth is going on?",   "Close the door, lights off.", "It looks like rain.",
    "What was his name again?",     "We're running out of time.",  "It's okay, don't worry.",
    "Aren't you hungry?",           "We can't stop here.",         "So what happened next?",
    "I'm not sure this is the way."};

constexpr std::array<std::string_view, 4> kColours = {"#FFFF00", "#00FFFF", "yellow", "#FF8080"};
constexpr std::array<std::string_view, 4> kAssColours = {"&H00FFFF&", "&HFFFF00&", "&H8080FF&", "&H00FF00&"};

// A small fixed generator, so that every run sees the same input.
class CRandom
{
public:
    uint32_t Next()
    {
        m_nState ^= m_nState << 13;
        m_nState ^= m_nState >> 7;
        m_nState ^= m_nState << 17;
        return static_cast<uint32_t>(m_nState >> 16);
    }
    uint32_t Below(uint32_t n) { return Next() % n; }

private:
    uint64_t m_nState = 0x9E3779B97F4A7C15ull;
};

std::string_view Phrase(CRandom& rnd, bool bKorean)
{
    return bKorean ? kKorean[rnd.Below(kKorean.size())] : kEnglish[rnd.Below(kEnglish.size())];
}

// Cue times: rising and not overlapping, like a film's; wrapped before 100
// hours so that they stay valid SRT times.
class CClock
{
public:
    void Advance(CRandom& rnd)
    {
        m_nStart = m_nEnd + 100 + rnd.Below(2000);
        if (m_nStart + 10000 >= kWrapMs)
            m_nStart = 0;
        m_nEnd = m_nStart + 800 + rnd.Below(3200);
    }
    int64_t Start() const { return m_nStart; }
    int64_t End() const { return m_nEnd; }

private:
    static constexpr int64_t kWrapMs = 99LL * 3600 * 1000;
    int64_t m_nStart = 0;
    int64_t m_nEnd = 0;
};

void AppendSrtTime(std::string& out, int64_t t)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%02d:%02d:%02d,%03d", static_cast<int>(t / 3600000),
                  static_cast<int>(t / 60000 % 60), static_cast<int>(t / 1000 % 60), static_cast<int>(t % 1000));
    out += buffer;
}

void AppendAssTime(std::string& out, int64_t t)
{
    char buffer[16];
    std::snprintf(buffer, sizeof buffer, "%d:%02d:%02d.%02d", static_cast<int>(t / 3600000),
                  static_cast<int>(t / 60000 % 60), static_cast<int>(t / 1000 % 60), static_cast<int>(t % 1000 / 10));
    out += buffer;
}

// 1-3 lines, CR LF between them; some lines in italics.
void AppendCueLines(std::string& out, CRandom& rnd, std::string_view lineEnd)
{
    const uint32_t nLines = 1 + rnd.Below(3);
    const bool bKorean = rnd.Below(3) != 0;
    for (uint32_t i = 0; i < nLines; ++i)
    {
        if (i > 0)
            out += lineEnd;
        const bool bItalic = rnd.Below(8) == 0;
        if (bItalic)
            out += "<i>";
        out += Phrase(rnd, bKorean);
        if (bItalic)
            out += "</i>";
    }
}
}  // namespace

std::string MakeSrt(size_t nBytes)
{
    std::string out;
    out.reserve(nBytes + 512);
    out += kBom;
    CRandom rnd;
    CClock clock;
    for (int64_t k = 1; out.size() < nBytes; ++k)
    {
        clock.Advance(rnd);
        out += std::to_string(k);
        out += "\r\n";
        AppendSrtTime(out, clock.Start());
        out += " --> ";
        AppendSrtTime(out, clock.End());
        out += "\r\n";
        AppendCueLines(out, rnd, "\r\n");
        out += "\r\n\r\n";
    }
    return out;
}

std::string MakeText(size_t nBytes)
{
    std::string out;
    out.reserve(nBytes + 512);
    out += kBom;
    CRandom rnd;
    while (out.size() < nBytes)
    {
        AppendCueLines(out, rnd, "\r\n");
        out += "\r\n\r\n\r\n\r\n";
    }
    return out;
}

std::string MakeSami(size_t nBytes)
{
    std::string out;
    out.reserve(nBytes + 1024);
    out += kBom;
    out += "<SAMI>\r\n<HEAD>\r\n<TITLE>Benchmark</TITLE>\r\n<STYLE TYPE=\"text/css\">\r\n<!--\r\n"
           "P { margin-left:2pt; margin-right:2pt; font-size:20pt; text-align:center; }\r\n"
           ".KRCC { Name:Korean; lang:ko-KR; SAMIType:CC; }\r\n"
           ".ENCC { Name:English; lang:en-US; SAMIType:CC; }\r\n"
           "-->\r\n</STYLE>\r\n</HEAD>\r\n<BODY>\r\n";
    CRandom rnd;
    CClock clock;
    while (out.size() < nBytes)
    {
        clock.Advance(rnd);
        for (const bool bKorean : {true, false})
        {
            out +=
                "<SYNC Start=" + std::to_string(clock.Start()) + "><P Class=" + (bKorean ? "KRCC" : "ENCC") + ">\r\n";
            const uint32_t nLines = 1 + rnd.Below(3);
            for (uint32_t i = 0; i < nLines; ++i)
            {
                if (i > 0)
                    out += "<br>\r\n";
                const bool bColour = rnd.Below(6) == 0;
                if (bColour)
                    out += "<font color=\"" + std::string(kColours[rnd.Below(kColours.size())]) + "\">";
                out += Phrase(rnd, bKorean);
                if (bColour)
                    out += "</font>";
            }
            out += "\r\n";
        }
        for (const char* pClass : {"KRCC", "ENCC"})
            out += "<SYNC Start=" + std::to_string(clock.End()) + "><P Class=" + pClass + ">&nbsp;\r\n";
    }
    out += "</BODY>\r\n</SAMI>\r\n";
    return out;
}

std::string MakeAss(size_t nBytes)
{
    std::string out;
    out.reserve(nBytes + 1024);
    out += kBom;
    out += "[Script Info]\r\nTitle: Benchmark\r\nScriptType: v4.00+\r\nPlayResX: 1920\r\nPlayResY: 1080\r\n\r\n"
           "[V4+ Styles]\r\nFormat: Name, Fontname, Fontsize, PrimaryColour, SecondaryColour, OutlineColour, "
           "BackColour, Bold, Italic, Underline, StrikeOut, ScaleX, ScaleY, Spacing, Angle, BorderStyle, Outline, "
           "Shadow, Alignment, MarginL, MarginR, MarginV, Encoding\r\n"
           "Style: Default,Malgun Gothic,60,&H00FFFFFF,&H000000FF,&H00000000,&H00000000,0,0,0,0,100,100,0,0,1,2,2,"
           "2,10,10,10,1\r\n\r\n"
           "[Events]\r\nFormat: Layer, Start, End, Style, Name, MarginL, MarginR, MarginV, Effect, Text\r\n";
    CRandom rnd;
    CClock clock;
    while (out.size() < nBytes)
    {
        clock.Advance(rnd);
        out += rnd.Below(20) == 0 ? "Comment: 0," : "Dialogue: 0,";
        AppendAssTime(out, clock.Start());
        out += ",";
        AppendAssTime(out, clock.End());
        out += ",Default,,0,0,0,,";
        const bool bKorean = rnd.Below(3) != 0;
        const uint32_t nLines = 1 + rnd.Below(3);
        for (uint32_t i = 0; i < nLines; ++i)
        {
            if (i > 0)
                out += "\\N";
            switch (rnd.Below(6))
            {
            case 0:
                out += "{\\i1}" + std::string(Phrase(rnd, bKorean)) + "{\\i0}";
                break;
            case 1:
                out += "{\\c" + std::string(kAssColours[rnd.Below(kAssColours.size())]) + "}" +
                       std::string(Phrase(rnd, bKorean));
                break;
            case 2:
                out += "{\\b1\\fad(200,200)}" + std::string(Phrase(rnd, bKorean)) + "{\\b0}";
                break;
            default:
                out += Phrase(rnd, bKorean);
                break;
            }
        }
        out += "\r\n";
    }
    return out;
}

bool WriteInput(std::string_view kind, size_t nBytes, const std::filesystem::path& path)
{
    std::string bytes;
    if (kind == "srt")
        bytes = MakeSrt(nBytes);
    else if (kind == "text")
        bytes = MakeText(nBytes);
    else if (kind == "sami")
        bytes = MakeSami(nBytes);
    else if (kind == "ass")
        bytes = MakeAss(nBytes);
    else
        return false;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();
    return !out.fail();
}

}  // namespace benchinput

}  // namespace tavrel
