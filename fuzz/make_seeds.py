#!/usr/bin/env python3
"""Writes the seed corpus of every fuzz target into fuzz/corpus/<target>/.

The seeds are small, hand-shaped files in every encoding and layout the
readers meet; rerun this after changing it and check the files in."""

import os
import shutil
import struct

HERE = os.path.dirname(os.path.abspath(__file__))
CORPUS = os.path.join(HERE, "corpus")


def crlf(text):
    return text.replace("\n", "\r\n")


def utf8(text, bom=False):
    return (b"\xef\xbb\xbf" if bom else b"") + text.encode("utf-8")


def utf16(text):
    return b"\xff\xfe" + text.encode("utf-16-le", "surrogatepass")


def utf16be(text):
    return b"\xfe\xff" + text.encode("utf-16-be", "surrogatepass")


def cp949(text):
    return text.encode("cp949")


SRT_BASIC = """1
00:00:01,000 --> 00:00:02,500
Hello
World

2
00:00:03,000 --> 00:00:04,000
Second cue

"""

SRT_KOREAN = """5
00:01:00,000 --> 00:01:02,000
안녕하세요
<i>뷁 테스트</i>

9
00:01:05,500 --> 00:01:07,250
<font color="#FF0000">빨강</font>
"""

SRT_EMPTY_CUE = """1
00:00:01,000 --> 00:00:02,000

2
00:00:03,000 --> 00:00:04,000
After an empty cue

3
00:00:05,000 --> 00:00:06,000
 12 
00:00:07,000 --> 00:00:08,000
digits then a time line
"""

SRT_OCR = """1
00:00:01,000 --> 00:00:02,000
<i>
lt's ''quoted'' and lf you
-lnside 1 000 000 and 3 .5

2
00:00:02,000 --> 00:00:03,000
World War ll and war lords
l'm here. ls it? Isn't lt' so \x85 odd

3
00:75:00,000 --> 99:99:99,999
<b unclosed
line two"""

SRT_TOLERANT = """1
00:00:00.000 --> 00:00:03.766
Full stops, and at 10:30 --> 11:00 a time in the text

2
  00:00:04,000 --> 00:00:05,500 \t
00:01:39,000 --> 00:01:41,040 X1:40 X2:600 Y1:20 Y2:50
Coordinates

3
00:00:013,567 --> 0:0:15,5
00:00:03,4560 --> 00:00:04,000

4
100:00:00,000 --> 999:99:999.99
x 00:00:01.000 --> 00:00:02.000
0:00:20.1 --> 0:00:21.12"""

SRT_ODD = "x00:00:01,000 --> 00:00:02,000\rmid-line time line\r\r\r\r00:00:03,000 --> 00:00:04,000\rlast"


# Inputs that once broke a property, kept so every smoke run tries them.
NUMBER_LINE_IN_TEXT = (b"1\r\n20:00:01,000 --> 00:00:02,000\r\n\r\n2\r\n00:00:03,000 --> 00:00:04,000\x0c\n"
                       b"After an empty cue\r\n\r\n3\r\x04\x00\n")
TIME_LINE_AT_END = b"1\r\n00:00:01,000 --> 00:00:02,000\r\n\r\n2\r\n00:00:03,000 --> 10:00:04,000"
OVERLONG = b"\xef\xbb\xbf1\r\n00:00:01,000 --> 00:00:02,000\r\nNUL \xc0\x80 LF \xc0\x8a CR \xe0\x80\x8d\n"


def srt_samples():
    return {
        "number_line_in_text": NUMBER_LINE_IN_TEXT,
        "time_line_at_end": TIME_LINE_AT_END,
        "overlong": OVERLONG,
        "basic_crlf": utf8(crlf(SRT_BASIC)),
        "basic_lf": utf8(SRT_BASIC),
        "basic_cr": utf8(SRT_BASIC.replace("\n", "\r")),
        "korean_bom": utf8(crlf(SRT_KOREAN), bom=True),
        "korean_utf16": utf16(crlf(SRT_KOREAN)),
        "korean_utf16be": utf16be(crlf(SRT_KOREAN) + "\U0001F600"),
        "korean_cp949": cp949(crlf(SRT_KOREAN)),
        "empty_cue": utf8(crlf(SRT_EMPTY_CUE)),
        "ocr": utf8(SRT_OCR),
        "odd": utf8(SRT_ODD),
        "tolerant": utf8(crlf(SRT_TOLERANT)),
        "nul_inside": utf8(crlf(SRT_BASIC)).replace(b"Second", b"Sec\x00ond"),
        "emoji": utf8(crlf(SRT_BASIC.replace("World", "World \U0001F600 \u00e9\u00a0x"))),
        "no_time_line": b"1\r\n00:00:01.000 --> 00:00:02,000\r\nnot a time line\r\n",
        "last_line": b"1\r\n00:00:01,000 --> 00:00:02,000",
    }


ASS_SCRIPT = """[Script Info]
Title: Seed
ScriptType: v4.00+

[V4+ Styles]
Format: Name, Fontname, Fontsize, PrimaryColour, Bold, Italic
Style: Default,Arial,20,&H00FFFFFF,0,0

[Events]
Format: Layer, Start, End, Style, Name, MarginL, MarginR, MarginV, Effect, Text
Dialogue: 0,0:00:01.00,0:00:03.50,Default,,0,0,0,,{\\b1}Bold{\\b0} text, with commas
Dialogue: 0,0:00:04.00,0:00:05.00,Default,,0,0,0,,{\\i1}x{\\i0}\\Nnext {\\u1}u{\\u0}
Comment: 0,0:00:05.00,0:00:06.00,Default,,0,0,0,,ignored
Dialogue: 0,0:00:06.00,0:00:07.00,Default,,0,0,0,,{\\c&H00FFFF&}yellow {\\1c&HFF&}red
Dialogue: 0,1:02:03.45,1:02:04.5,Default,,0,0,0,,{\\pos(10,20)\\blur3\\b1\\i1}Hi\\N\\N\\Nthere \\N
Dialogue: 0,0:00:08.00,0:00:09.00,Default,,0,0,0,,{\\an8}
Dialogue: 0,0:00:09.00,0:00:10.00,Default,,0,0,0,,abc{\\i1
Dialogue: 0,0:00:10.00,0:00:11.00,Default,,0,0,0,,a }b {\\c&H80FF8000&}c
Dialogue: 0,0:00:12.00,0:00:13.00,Default,,0,0,0,,   
"""

SSA_SCRIPT = """[Script Info]
ScriptType: v4.00

[V4 Styles]
Format: Name, Fontname

[Events]
Format: Marked, Start, End, Style, Name, MarginL, MarginR, MarginV, Effect, Text
Dialogue: Marked=0,0:00:01.00,0:00:02.00,*Default,NTP,0000,0000,0000,,한국어 {\\b700}자막
"""


def ass_samples():
    return {
        "ass": utf8(crlf(ASS_SCRIPT)),
        "ass_bom_lf": utf8(ASS_SCRIPT, bom=True),
        "ssa_cp949": cp949(crlf(SSA_SCRIPT)),
        "ssa_utf16": utf16(crlf(SSA_SCRIPT)),
        "no_format": utf8("[Events]\nDialogue: 0,0:00:01.00,0:00:02.00,,,0,0,0,,x\n"),
        "text_first": utf8("[Events]\nFormat: Text, End, Start\nDialogue: a, b, c\nDialogue: Hi, 0:00:02.00, 0:00:01.00\n"),
    }


SAMI_DOC = """<SAMI>
<HEAD>
<TITLE>movie</TITLE>
<SAMIParam>
  Length: 1000
</SAMIParam>
<STYLE TYPE="text/css">
<!--
P { font-size:20pt; }
.KRCC { Name:Korean; lang:ko-KR; SAMIType:CC; }
.ENCC { Name:English; lang:en-US; SAMIType:CC; }
-->
</STYLE>
</HEAD>
<BODY>
<SYNC Start=1000><P Class=KRCC>Hello<br>world
<SYNC Start=1000><P Class=ENCC>Hello <b>there</b>
<SYNC Start=3500><P Class=KRCC>&nbsp;
<SYNC Start=5000 End=6000><P ID=x Class="ENCC">Bye &amp; <FONT COLOR=#FF0000>red</FONT>
<SYNC Start=4000><P Class=KRCC><i> </i>Out of order &nbsp;&nbsp;x
<SYNC Start=360000000><P Class=KRCC>A hundred hours
<sync start=4294967295><p class=KRCC>Last
</BODY>
</SAMI>
"""


def sami_samples():
    return {
        "two_classes": utf8(crlf(SAMI_DOC)),
        "two_classes_cp949": cp949(crlf(SAMI_DOC.replace("Hello<br>", "안녕<br>"))),
        "utf16": utf16(SAMI_DOC),
        "no_p_tags": utf8("<SAMI><BODY><SYNC Start=1><SYNC Start=2></BODY></SAMI>"),
        "no_class": utf8("<SAMI>\n<BODY>\n<SYNC Start=10><P>plain\n<SYNC Start=20><P>&nbsp\n</BODY>"),
        "unclosed": utf8("<SAMI><BODY><SYNC Start=10><P Class=A>a < b\n<SYNC Start=20><P Class=A>c <i"),
        "sync_tab": utf8("<sami>\n<SYNC\tStart=1><P Class=A>tab\n"),
        "body_words": utf8("<SAMI><BODY><SYNC Start=1><P Class=A>x</bodyx><SYNC Start=2><P Class=A>y</body>z"),
    }


SAMI_MIXED = "<SAMI>\n[Script Info]\n[V4+ Styles]\n[Events]\n1\n00:00:01,000 --> 00:00:02,000\nx\n\n<SYNC Start=1>"


def detect_samples():
    seeds = {}
    seeds.update({"srt_" + k: v for k, v in srt_samples().items()})
    seeds.update({"ass_" + k: v for k, v in ass_samples().items()})
    seeds.update({"sami_" + k: v for k, v in sami_samples().items()})
    seeds["mixed"] = utf8(SAMI_MIXED)
    seeds["indented"] = utf8(" \t[Script Info]\t\n[V4 Styles] \n  [Events]")
    seeds["samix"] = utf8("<samix><SAMI><SYNC Start=1>")
    seeds["time_last"] = utf8("1\n  00:00:01,000 --> 00:00:02,000 \t")
    return seeds


def load_samples():
    seeds = {
        "a_lf": b"A\n",
        "bom16": b"\xff\xfe",
        "bom8": b"\xef\xbb\xbf",
        "bom16_a": b"\xff\xfeA",
        "line_ends": b"a\r\nb\rc\nd",
        "cr_cr_lf": b"\r\r\n\n\r",
        "ascii": b"plain ASCII text\n",
        "utf16_no_bom": "Hi there".encode("utf-16-le"),
        "utf16_be": b"\xfe\xff" + "Hi".encode("utf-16-be"),
        "four_byte": "x\U0001F600y".encode("utf-8"),
        "cut_utf8": "가나".encode("utf-8")[:-1],
        "lone_surrogates": b"\xff\xfe\x00\xd8A\x00\x00\xdc\x3d\xd8\x00\xde",
        "cp949": cp949("뷁 똠방각하 \u00b7"),
        "invalid_cp949": b"\x81\x20\xfe\xff\xc8",
        "invalid_cp949_pairs": b"\xa2\xe8ABC \xb0\xa1\xa2\xe8ABC \xa5\xabABC \xfe\xabABC \xc9\xb0\xa1",
        "overlong": b"\xc0\xaf\xe0\x80\xaf\xed\xa0\x80\xf4\x90\x80\x80",
        "nul": b"ab\x00cd",
    }
    seeds.update({"srt_" + k: v for k, v in srt_samples().items()})
    return seeds


def correct_samples():
    headers = {
        "plain": bytes(17),
        "all_options": bytes([0x0F]) + bytes(16),
        "offset_minus": bytes([0x20]) + struct.pack("<iIII", -1500, 0, 0, 0),
        "offset_huge": bytes([0x2F]) + struct.pack("<iIII", 2147483647, 0, 0, 0),
        "map_double": bytes([0x10]) + struct.pack("<IIII", 1000, 2000, 11000, 22000),
        "map_reverse": bytes([0x13]) + struct.pack("<IIII", 0, 4000000000, 4000000000, 0),
    }
    seeds = {}
    for hname, header in headers.items():
        for sname, body in srt_samples().items():
            if sname in ("basic_crlf", "ocr", "empty_cue", "korean_cp949", "odd", "tolerant") or hname == "plain":
                seeds[hname + "_" + sname] = header + body
    return seeds


MERGE_TEXT = "  Hello\nworld  \n\n\nSecond\n\n"


def merge_samples():
    marker = b"@@TEXT@@"
    srt = srt_samples()
    return {
        "example": srt["basic_crlf"] + marker + utf8(MERGE_TEXT),
        "blank_text": srt["basic_lf"] + marker + utf8(" \t\n\n\u00a0\n"),
        "more_paragraphs": srt["basic_crlf"] + marker + utf8("a\n\nb\n\nc\n\nd"),
        "last_paragraph": srt["empty_cue"] + marker + utf8("one\n \ntwo\nthree\n\n\n\nfour"),
        "korean": srt["korean_utf16"] + marker + cp949("첫째\r\n\r\n둘째\r\n"),
        "no_time_line": srt["no_time_line"] + marker + utf8("text\n"),
        "same_file": srt["basic_crlf"],
    }


def write_sami_samples():
    seeds = srt_samples()
    seeds["not_cp949"] = utf8(crlf(SRT_BASIC.replace("Hello", "Ĉu \u0e01 \u00e9 😀")))
    return seeds


TARGETS = {
    "fuzz_load": load_samples,
    "fuzz_correct": correct_samples,
    "fuzz_extract": srt_samples,
    "fuzz_merge": merge_samples,
    "fuzz_detect": detect_samples,
    "fuzz_sami": sami_samples,
    "fuzz_ass": ass_samples,
    "fuzz_write_sami": write_sami_samples,
}


def main():
    for target, make in TARGETS.items():
        folder = os.path.join(CORPUS, target)
        shutil.rmtree(folder, ignore_errors=True)
        os.makedirs(folder)
        for name, data in make().items():
            with open(os.path.join(folder, name), "wb") as out:
                out.write(data)


if __name__ == "__main__":
    main()
