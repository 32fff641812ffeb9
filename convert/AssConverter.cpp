#include "convert/AssConverter.h"

#include "srt/SrtProcessor.h"

#include <cstdint>
#include <new>
#include <system_error>
#include <vector>

#include "text/TextBuffer.h"
#include "text/TextSink.h"
#include "text/Unicode.h"

namespace tavrel
{

namespace
{
// Reads the text line by line: a line runs up to its CR, the last one may
// end without one.
class CLineReader
{
public:
    explicit CLineReader(std::u16string_view text)
        : m_text(text)
    {}

    bool Next(std::u16string_view& line)
    {
        if (m_nPos >= m_text.size())
            return false;
        size_t nEnd = m_text.find(u'\r', m_nPos);
        if (nEnd == std::u16string_view::npos)
            nEnd = m_text.size();
        line = m_text.substr(m_nPos, nEnd - m_nPos);
        m_nPos = nEnd + 1;
        return true;
    }

private:
    std::u16string_view m_text;
    size_t m_nPos = 0;
};

struct CFieldPositions
{
    int64_t m_nStart = -1;
    int64_t m_nEnd = -1;
    int64_t m_nText = -1;
};

bool ReadFieldPositions(std::u16string_view formatLine, CFieldPositions& fields)
{
    std::u16string_view rest = TrimWhiteSpace(formatLine.substr(7));
    if (rest.empty())
        return false;
    int64_t nPos = 0;
    while (true)
    {
        const size_t nComma = rest.find(u',');
        const std::u16string_view name = TrimWhiteSpace(rest.substr(0, nComma));
        if (name == u"Start")
            fields.m_nStart = nPos;
        else if (name == u"End")
            fields.m_nEnd = nPos;
        else if (name == u"Text")
            fields.m_nText = nPos;
        if (nComma == std::u16string_view::npos)
            break;
        rest = rest.substr(nComma + 1);
        ++nPos;
    }
    return fields.m_nStart >= 0 && fields.m_nEnd >= 0 && fields.m_nText >= 0;
}

void SplitDialogue(std::u16string_view rest, const CFieldPositions& fields, std::u16string_view& start,
                   std::u16string_view& end, std::u16string_view& text)
{
    start = end = text = {};
    int64_t nPos = 0;
    while (!rest.empty())
    {
        std::u16string_view field = rest;
        const size_t nComma = rest.find(u',');
        if (nPos == fields.m_nText || nComma == std::u16string_view::npos)
        {
            rest = {};
        }
        else
        {
            field = rest.substr(0, nComma);
            rest = rest.substr(nComma + 1);
        }
        if (nPos == fields.m_nStart)
            start = field;
        if (nPos == fields.m_nEnd)
            end = field;
        if (nPos == fields.m_nText)
            text = field;
        ++nPos;
    }
}

bool IsBlank(char16_t c)
{
    return c == u' ' || c == u'\t';
}

// A line with the blanks before a key or around a heading left out.
std::u16string_view TrimBlanks(std::u16string_view line)
{
    return TrimIf(line, IsBlank);
}

std::u16string_view TrimLeft(std::u16string_view text)
{
    size_t i = 0;
    while (i < text.size() && IsWhiteSpace(text[i]))
        ++i;
    return text.substr(i);
}

// Reads up to the first Format line after the events heading; false when
// there is none, or it lacks a Start, End or Text field.
bool FindEventFormat(CLineReader& reader, CFieldPositions& fields)
{
    std::u16string_view line;
    do
    {
        if (!reader.Next(line))
            return false;
    } while (TrimBlanks(line) != u"[Events]");
    do
    {
        if (!reader.Next(line))
            return false;
        line = TrimBlanks(line);
    } while (line.substr(0, 7) != u"Format:");
    return ReadFieldPositions(line, fields);
}

// A Dialogue line whose start or end cannot be read is left out: an empty
// time line would make a cue that players drop.
void WriteCues(CLineReader& reader, const CFieldPositions& fields, CTextSink& stream, CSrtJobStats& stats)
{
    const CAssConverter converter;
    std::u16string& out = stream.Pending();
    std::u16string scratch;
    std::u16string timeLine;
    int64_t nCue = 1;
    std::u16string_view line;
    while (reader.Next(line))
    {
        line = TrimBlanks(line);
        if (line.substr(0, 9) != u"Dialogue:")
            continue;
        std::u16string_view start, end, body;
        SplitDialogue(TrimLeft(line.substr(9)), fields, start, end, body);
        body = TrimWhiteSpace(body);
        if (body.empty())
            continue;
        timeLine.clear();
        const bool bStart = converter.AppendAssTime(timeLine, start);
        timeLine += u" --> ";
        if (!bStart || !converter.AppendAssTime(timeLine, end))
        {
            ++stats.m_nDialoguesLeftOut;
            continue;
        }
        ++stats.m_nCuesWritten;
        CSrtProcessor::AppendCueHead(out, nCue++, timeLine);
        converter.StreamAssText(stream, body, scratch);
        CSrtProcessor::AppendCueEnd(out);
        stream.Flush();
    }
}
}  // namespace

CFailure CAssConverter::ConvertAssToSrt(const CTextBuffer& script, CTextSink& out, CSrtJobStats* pStats) const
{
    CSrtJobStats stats;
    CLineReader reader(script.View());
    CFieldPositions fields;
    if (!FindEventFormat(reader, fields))
        return MakeFailure(FailureKind::NoEventsFormat);
    WriteCues(reader, fields, out, pStats ? *pStats : stats);
    return {};
}

}  // namespace tavrel
