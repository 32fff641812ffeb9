#!/usr/bin/env python3
"""Writes the inputs of the golden cases into tests/golden/inputs/.

Every file is made from the texts below, so the set is the same on every
run; rerun this after changing it, then regenerate the expected outputs
(scripts/golden.sh --update) and check both in. The stem of a name tells
the kind (srt_, ass_, ssa_, smi_, txt_), its end the encoding."""

import os
import shutil

HERE = os.path.dirname(os.path.abspath(__file__))
INPUTS = os.path.join(HERE, "inputs")


def crlf(text):
    return text.replace("\n", "\r\n")


def utf8(text):
    return text.encode("utf-8")


def utf8bom(text):
    return b"\xef\xbb\xbf" + utf8(text)


def utf16le(text):
    return b"\xff\xfe" + text.encode("utf-16-le")


def utf16be(text):
    return b"\xfe\xff" + text.encode("utf-16-be")


def cp949(text):
    return text.encode("cp949")


# Each text in every encoding the loader reads, plus big-endian UTF-16.
ENCODINGS = {
    "utf8": lambda text: utf8(crlf(text)),
    "utf8bom": lambda text: utf8bom(text),  # LF line ends
    "utf16le": lambda text: utf16le(crlf(text)),
    "cp949": lambda text: cp949(crlf(text)),
    "utf16be": lambda text: utf16be(crlf(text)),
}

SRT_KO = """1
00:00:01,000 --> 00:00:03,500
안녕하세요, 여러분.
<i>오늘은 자막 이야기입니다.</i>

2
00:00:04,000 --> 00:00:06,250
"따옴표"와 숫자 1,000원

7
00:01:02,003 --> 00:01:04,500
<font color="#FFFF00">노란 글씨</font>
두 번째 줄

4
00:59:59,999 --> 01:00:02,000
끝

"""

SRT_ASCII_LF = """1
00:00:00,500 --> 00:00:02,000
Plain ASCII text, read through the legacy path.

2
00:00:02,500 --> 00:00:05,000
Two lines
of text"""

SRT_FULL_STOPS = """1
00:00:00.000 --> 00:00:03.766
Full stops instead of commas.

2
00:00:04.000 --> 00:00:06.500
Second cue.

"""

SRT_TRAILING_BLANKS = """1
00:00:01,000 --> 00:00:03,000\x20
A space after the time line.

2
00:00:04,000 --> 00:00:05,000\t
A tab after the time line.

3
00:00:06,000 --> 00:00:07,000 \t\x20
Blanks mixed.

"""

SRT_COORDINATES = """1
00:01:39,000 --> 00:01:41,040 X1:40 X2:600 Y1:20 Y2:50
Display coordinates after the times.

2
00:01:42,000 --> 00:01:43,500  X1:100 X2:500 Y1:400 Y2:450
Two spaces before them.

"""

SRT_THREE_DIGIT_SECONDS = """1
00:00:013,567 --> 00:00:015,000
Three-digit seconds.

2
00:00:016,000 --> 00:00:017,250
Again.

"""

SRT_ONE_DIGIT_HOURS = """1
0:00:01,000 --> 0:00:02,500
One-digit hours.

2
1:02:03,004 --> 1:02:05,000
An hour later.

"""

SRT_SHORT_FRACTIONS = """1
00:00:01,5 --> 00:00:02,25
Short fractions.

2
00:00:03,0 --> 00:00:04,500
Mixed fraction lengths.

"""

SRT_MIXED = """1
00:00:01,000 --> 00:00:02,000
Strict.

2
00:00:03.000 --> 00:00:04.000
Full stops.

3
00:00:05,000 --> 00:00:06,000
Strict again.

4
00:00:07,000 --> 00:00:08,000\x20
Trailing space.

5
0:00:09,000 --> 0:00:10,000
One-digit hour.

6
00:00:11,000 --> 00:00:12,000
Strict between variants.

7
00:00:13,000 --> 00:00:14,000 X1:40 X2:600 Y1:20 Y2:50
Coordinates.

8
00:00:15,000 --> 00:00:16,000
Strict at the end.

"""

SRT_DIALOGUE_TIMES = """1
00:00:01,000 --> 00:00:04,000
The meeting moved:
10:30 --> 11:00

2
00:00:05,000 --> 00:00:07,000
Train 9:05 --> 9:45, then 10:30 --> 11:00 by bus.

3
00:00:08,000 --> 00:00:09,000
00:10:30 --> 00:11:00 is only said.

"""

SRT_EMPTY_CUES = """1
00:00:01,000 --> 00:00:02,000

2
00:00:03,000 --> 00:00:04,000
After an empty cue

3
00:00:05,000 --> 00:00:06,000
No blank line follows this cue
4
00:00:07,000 --> 00:00:08,000
Directly after

5
00:00:09,000 --> 00:00:10,000


6
00:00:11,000 --> 00:00:12,000
Last cue without a line end"""

SRT_UNICODE = """1
00:00:01,000 --> 00:00:02,000
한국어 자막 😀 emoji
Café naïve – “quotes” …

2
00:00:03,000 --> 00:00:04,000
Next line\u0085end
ideographic\u3000space, no-break\u00a0space

3
00:00:05,000 --> 00:00:06,000
Thai ภาษาไทย, Esperanto ĉu, 𝄞 clef
똠방각하 뷁

"""

SRT_OCR = """1
00:00:01,000 --> 00:00:03,000
lt's ''quoted'' and lf you
-lnside 1 000 000 and 3 .5

2
00:00:03,500 --> 00:00:05,000
World War ll and war lords, War lll
l'm here. ls it? lsn't lt' so\u0085odd

3
00:00:05,500 --> 00:00:07,000
<i>
''Hello,'' she said. "lt costs 2 500 won."
l think 10 -20 people came.

4
00:00:07,500 --> 00:00:09,000
lnside the War l room; ln time.

"""

SRT_WHITESPACE_LINE = """1
00:00:01,000 --> 00:00:02,000
First line
\x20\x20\x20
Third line, after a line of spaces

2
00:00:03,000 --> 00:00:04,000
\t
After a tab-only line

3
00:00:05,000 --> 00:00:06,000
Last

"""

SRT_NO_TIME_LINE = """1
00:00:01.000 --> 00:00:02,000
Not one strict time line here.

2
00:00:03,000 --> 00:00:04,000"""


def srt_large():
    """About 70 KB, so every writer passes its 64K-unit chunk."""
    cues = []
    for i in range(1, 761):
        start = i * 2000 + (i * 37) % 1000
        end = start + 1500 + (i * 53) % 400
        lines = ["Line %d: the quick brown fox jumps over the lazy dog." % i]
        if i % 5 == 0:
            lines.append("한국어 줄 %d번" % i)
        if i % 11 == 0:
            lines = ["<i>" + lines[0] + "</i>"] + lines[1:]
        if i % 13 == 0:
            lines.append("lt's ''OCR'' text, 1 000 times")
        cues.append("%d\n%s --> %s\n%s\n" % (i, srt_time(start), srt_time(end), "\n".join(lines)))
    return "\n".join(cues) + "\n"


def srt_time(ms):
    return "%02d:%02d:%02d,%03d" % (ms // 3600000, ms // 60000 % 60, ms // 1000 % 60, ms % 1000)


ASS_KO = """[Script Info]
Title: 골든
ScriptType: v4.00+

[V4+ Styles]
Format: Name, Fontname, Fontsize, PrimaryColour, Bold, Italic
Style: Default,맑은 고딕,20,&H00FFFFFF,0,0

[Events]
Format: Layer, Start, End, Style, Name, MarginL, MarginR, MarginV, Effect, Text
Dialogue: 0,0:00:01.00,0:00:03.50,Default,,0,0,0,,안녕하세요, 여러분
Dialogue: 0,0:00:04.00,0:00:06.00,Default,,0,0,0,,{\\b1}굵게{\\b0} 그리고 {\\i1}기울임{\\i0}\\N둘째 줄
Comment: 0,0:00:06.00,0:00:07.00,Default,,0,0,0,,주석은 건너뜀
Dialogue: 0,0:00:07.00,0:00:09.25,Default,,0,0,0,,{\\c&H0000FF&}빨강{\\c&HFFFFFF&} 흰색
"""

ASS_STYLED = """[Script Info]
ScriptType: v4.00+

[V4+ Styles]
Format: Name, Fontname, Fontsize, PrimaryColour, Bold, Italic
Style: Default,Arial,20,&H00FFFFFF,0,0

[Events]
Format: Layer, Start, End, Style, Name, MarginL, MarginR, MarginV, Effect, Text
Dialogue: 0,0:00:01.00,0:00:03.50,Default,,0,0,0,,{\\b1}Bold{\\b0}, {\\i1}italic{\\i0}, {\\u1}underlined{\\u0}
Dialogue: 0,0:00:04.00,0:00:05.00,Default,,0,0,0,,Commas, inside, the text, stay
Dialogue: 0,0:00:05.00,0:00:06.00,Default,,0,0,0,,First\\NSecond\\nThird\\N\\N\\NFourth \\N
Dialogue: 0,0:00:06.00,0:00:07.00,Default,,0,0,0,,{\\c&H00FFFF&}yellow {\\1c&HFF&}same {\\c&H80FF8000&}eight
Dialogue: 0,0:00:07.00,0:00:08.00,Default,,0,0,0,,{\\b1\\i1}both{\\b0\\i0} {\\b700}weight {\\blur3}blur
Dialogue: 0,0:00:08.00,0:00:09.00,Default,,0,0,0,,{\\pos(10,20)\\an8}
Dialogue: 0,0:00:09.00,0:00:10.00,Default,,0,0,0,,\x20\x20\x20
Dialogue: 0,0:00:10.00,0:00:11.00,Default,,0,0,0,,open {\\i1 never closed
Dialogue: 0,0:00:11.00,0:00:12.00,Default,,0,0,0,,a }b {\\c&HFFFFFF}no closing amp
Dialogue: 0,1:02:03.4,1:02:04.567,Default,,0,0,0,,\\Nleading break and a hard\\hspace
Comment: 0,0:00:12.00,0:00:13.00,Default,,0,0,0,,a comment
Dialogue: 0,0:00:13.00,0:00:12.00,Default,,0,0,0,,ends before it starts
"""

SSA_V4 = """[Script Info]
; written by hand
Title: SSA
ScriptType: v4.00

[V4 Styles]
Format: Name, Fontname, Fontsize, PrimaryColour, Bold, Italic, AlphaLevel, Encoding
Style: Default,Arial,20,16777215,-1,0,0,129

[Events]
Format: Marked, Start, End, Style, Name, MarginL, MarginR, MarginV, Effect, Text
Dialogue: Marked=0,0:00:01.00,0:00:02.00,*Default,NTP,0000,0000,0000,,한국어 {\\b700}자막
Dialogue: Marked=0,0:00:02.50,0:00:04.00,Default,,0000,0000,0000,,SSA line\\Nsecond line
"""

ASS_INDENTED_HEADINGS = """  [Script Info]
ScriptType: v4.00+
\t[V4+ Styles]
Format: Name, Fontname
  [Events]\t
Format: Layer, Start, End, Style, Name, MarginL, MarginR, MarginV, Effect, Text
Dialogue: 0,0:00:01.00,0:00:02.00,Default,,0,0,0,,under an indented heading
"""

ASS_INDENTED_KEYS = """[Script Info]
ScriptType: v4.00+

[V4+ Styles]
  Format: Name, Fontname

[Events]
Format: Layer, Start, End, Style, Name, MarginL, MarginR, MarginV, Effect, Text
  Dialogue: 0,0:00:01.00,0:00:02.00,Default,,0,0,0,,indented key
Dialogue: 0,0:00:03.00,0:00:04.00,Default,,0,0,0,,plain key
\tDialogue: 0,0:00:05.00,0:00:06.00,Default,,0,0,0,,tab-indented key
"""

ASS_INDENTED_FORMAT = """[Script Info]
[V4+ Styles]
[Events]
 Format: Layer, Start, End, Style, Name, MarginL, MarginR, MarginV, Effect, Text
Dialogue: 0,0:00:01.00,0:00:02.00,Default,,0,0,0,,after an indented format line
"""

ASS_ODD_TIMES = """[Script Info]
ScriptType: v4.00+

[V4+ Styles]
Format: Name

[Events]
Format: Layer, Start, End, Style, Name, MarginL, MarginR, MarginV, Effect, Text
Dialogue: 0,0:00:01:50,0:00:03:00,Default,,0,0,0,,three colons, centiseconds last
Dialogue: 0,0:00:04.00,0:00:05.00,Default,,0,0,0,,a normal line between
Dialogue: 0,abc,0:00:06.00,Default,,0,0,0,,unreadable start
Dialogue: 0,0:00:07,0:00:08.00,Default,,0,0,0,,start without a fraction
Dialogue: 0, 0:00:09.00 , 123:00:10.1234 ,Default,,0,0,0,,blanks around, long hour and fraction
"""

ASS_NO_STYLES = """[Script Info]
ScriptType: v4.00+

[Events]
Format: Layer, Start, End, Style, Name, MarginL, MarginR, MarginV, Effect, Text
Dialogue: 0,0:00:01.00,0:00:02.00,Default,,0,0,0,,no styles heading
"""


def ass_time(cs):
    return "%d:%02d:%02d.%02d" % (cs // 360000, cs // 6000 % 60, cs // 100 % 60, cs % 100)


def ass_large():
    """About 65 KB whose output grows past 64K units through its colour tags."""
    lines = [ASS_STYLED.split("[Events]")[0] + "[Events]",
             "Format: Layer, Start, End, Style, Name, MarginL, MarginR, MarginV, Effect, Text"]
    for i in range(1, 531):
        colour = i * 977 % 0x1000000
        text = "{\\c&H%06X&}Event %d {\\c&H00FF00&}green {\\c&HFF0000&}blue\\N{\\b1}bold{\\b0}" % (colour, i)
        lines.append("Dialogue: 0,%s,%s,Default,,0,0,0,,%s" % (ass_time(i * 250), ass_time(i * 250 + 200), text))
    return "\n".join(lines) + "\n"


SMI_KO = """<SAMI>
<HEAD>
<TITLE>골든</TITLE>
<SAMIParam>
  Metrics {time:ms;}
</SAMIParam>
<STYLE TYPE="text/css">
<!--
P { margin-left:8pt; font-size:20pt; }
.KRCC { Name:한국어; lang:ko-KR; SAMIType:CC; }
.ENCC { Name:English; lang:en-US; SAMIType:CC; }
-->
</STYLE>
</HEAD>
<BODY>
<SYNC Start=1000><P Class=KRCC>안녕하세요<br>여러분
<SYNC Start=1000><P Class=ENCC>Hello<BR>everyone
<SYNC Start=3500><P Class=KRCC>&nbsp;
<SYNC Start=3500><P Class=ENCC>&nbsp;
<SYNC Start=4000><P Class=KRCC><font color="#FF0000">빨강</font> <b>굵게</b> <i>기울임</i> <u>밑줄</u>
<SYNC Start=4000><P Class=ENCC><FONT COLOR=#FF0000>red</FONT> <B>bold</B> <I>italic</I> <U>under</U>
<SYNC Start=9000><P Class=KRCC>나중
<SYNC Start=7000><P Class=KRCC>순서가 바뀜
<SYNC Start=7000><P Class=ENCC>out of order
<SYNC Start=9000><P Class=ENCC>later &amp; &lt;done&gt;
<SYNC Start=12000><P Class=KRCC>&nbsp;
</BODY>
</SAMI>
"""

SMI_CLASSLESS = """<SAMI>
<BODY>
<SYNC Start=500><P>no class here
<SYNC Start=1500><P>&nbsp;
<SYNC Start=2000><P>second<br>caption
</BODY>
</SAMI>
"""

SMI_SEVERAL_P = """<SAMI>
<BODY>
<SYNC Start=1000><P Class=KRCC>first of three<P Class=KRCC>second of three<P Class=KRCC>third of three
<SYNC Start=2000><P Class=KRCC>&nbsp;<P Class=KRCC>after an end mark
<SYNC Start=3000><P Class=KRCC>repeated
<SYNC Start=3000><P Class=KRCC>repeated
<SYNC Start=4000><P Class=KRCC>&nbsp;
</BODY>
</SAMI>
"""

SMI_UNCLOSED = """<SAMI>
<BODY>
<SYNC Start=1000><P Class=KRCC>a < b is <b>bold without end
<SYNC Start=2000><P Class=KRCC><font color="#00FF00">green <i>italic</font> still
<SYNC Start=3000><P Class=KRCC>&nbsp
<SYNC Start=4000><P Class=KRCC>line<br
<SYNC Start=5000><P Class=KRCC>cut <i"""

SMI_START_END = """<SAMI>
<HEAD>
<SAMIParam>
  Length: 60000
</SAMIParam>
</HEAD>
<BODY>
<SYNC Start=1000 End=2000><P Class=KRCC>with an end attribute
<SYNC Start=3000 End=4500><P Class=KRCC>another
<SYNC End=7000 Start=6000><P Class=KRCC>end attribute first
<SYNC Start="8000"><P Class="KRCC">quoted values
<sync start=9000><p class=krcc>small letters
<SYNC Start=360000000><P Class=KRCC>a hundred hours
</BODY>
</SAMI>
"""

SMI_MARKUP = """<SAMI>
<BODY>
<SYNC Start=1000><P Class=KRCC>one<br>two<BR/>three<Br >four
<SYNC Start=2000><P Class=KRCC><FONT FACE="Gulim" COLOR="red">face and colour</FONT>
<SYNC Start=3000><P Class=KRCC><b><i><u>nested</u></i></b> &amp;&nbsp;&nbsp;spaced
<SYNC Start=4000><P Class=KRCC>  <i> </i>
leading blanks and tags
<SYNC Start=5000><P Class=KRCC>&lt;not a tag&gt; &quot;quoted&quot; &#44608;
<SYNC Start=6000><P Class=KRCC>&nbsp;
</BODY>
</SAMI>
"""


TXT_KO = """  첫째 문단입니다.\x20\x20
\t둘째 줄\t탭 포함

\x20\x20\x20
\u3000\u3000
둘째 문단\u00a0(줄바꿈 없는 공백)
\u00a0\u00a0

셋째 문단,\u3000전각 공백 포함


넷째 문단: 마지막, 뒤에 빈 줄 없음"""

TXT_MANY = """One.

Two, with
a second line.



Three after three empty lines.
 \t\x20
Four after a blank-looking line.

Five.

Six.

Seven.

Eight.

"""

TXT_BLANK = "  \n\t\n\n\u00a0\u3000\n   \n"


def cp949_safe(text):
    # The no-break space has no CP949 form.
    return text.replace("\u00a0", " ")


def in_every_encoding(stem, ext, text):
    return {"%s_%s.%s" % (stem, name, ext): encode(cp949_safe(text) if name == "cp949" else text)
            for name, encode in ENCODINGS.items()}


def inputs():
    files = {}
    files.update(in_every_encoding("srt_ko", "srt", SRT_KO))
    files.update(in_every_encoding("ass_ko", "ass", ASS_KO))
    files.update(in_every_encoding("smi_ko", "smi", SMI_KO))
    files.update(in_every_encoding("txt_ko", "txt", TXT_KO))
    files.update({
        "srt_ascii_lf.srt": utf8(SRT_ASCII_LF),
        "srt_full_stops.srt": utf8(crlf(SRT_FULL_STOPS)),
        "srt_trailing_blanks.srt": utf8(crlf(SRT_TRAILING_BLANKS)),
        "srt_coordinates.srt": utf8(crlf(SRT_COORDINATES)),
        "srt_three_digit_seconds.srt": utf8(crlf(SRT_THREE_DIGIT_SECONDS)),
        "srt_one_digit_hours.srt": utf8(SRT_ONE_DIGIT_HOURS),
        "srt_short_fractions.srt": utf8(crlf(SRT_SHORT_FRACTIONS)),
        "srt_mixed_variants.srt": utf8(crlf(SRT_MIXED)),
        "srt_dialogue_times.srt": utf8(crlf(SRT_DIALOGUE_TIMES)),
        "srt_empty_cues.srt": utf8(crlf(SRT_EMPTY_CUES)),
        "srt_unicode.srt": utf8bom(crlf(SRT_UNICODE)),
        "srt_unicode_utf16le.srt": utf16le(crlf(SRT_UNICODE)),
        "srt_ocr.srt": utf8(crlf(SRT_OCR)),
        "srt_whitespace_line.srt": utf8(crlf(SRT_WHITESPACE_LINE)),
        "srt_no_time_line.srt": utf8(crlf(SRT_NO_TIME_LINE)),
        "srt_one_byte.srt": b"1",
        "srt_large.srt": utf8bom(crlf(srt_large())),
        "ass_styled.ass": utf8(crlf(ASS_STYLED)),
        "ass_indented_headings.ass": utf8(crlf(ASS_INDENTED_HEADINGS)),
        "ass_indented_keys.ass": utf8(ASS_INDENTED_KEYS),
        "ass_indented_format.ass": utf8(crlf(ASS_INDENTED_FORMAT)),
        "ass_odd_times.ass": utf8(crlf(ASS_ODD_TIMES)),
        "ass_no_styles.ass": utf8(crlf(ASS_NO_STYLES)),
        "ass_large.ass": utf8bom(crlf(ass_large())),
        "ssa_v4_cp949.ssa": cp949(crlf(SSA_V4)),
        "ssa_v4_utf16le.ssa": utf16le(crlf(SSA_V4)),
        "smi_classless.smi": utf8(crlf(SMI_CLASSLESS)),
        "smi_several_p.smi": utf8(crlf(SMI_SEVERAL_P)),
        "smi_unclosed.smi": utf8(crlf(SMI_UNCLOSED)),
        "smi_start_end.smi": utf8(SMI_START_END),
        "smi_markup.smi": utf8bom(crlf(SMI_MARKUP)),
        "txt_many.txt": utf8(TXT_MANY),
        "txt_blank.txt": utf8(TXT_BLANK),
    })
    return files


def main():
    shutil.rmtree(INPUTS, ignore_errors=True)
    os.makedirs(INPUTS)
    for name, data in sorted(inputs().items()):
        with open(os.path.join(INPUTS, name), "wb") as out:
            out.write(data)


if __name__ == "__main__":
    main()
