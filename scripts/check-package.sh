#!/usr/bin/env bash
# Checks a built Debian package: it holds every file it should, its desktop
# entry, metainfo and manual page are valid, and the programs unpacked from
# it run: tavrel-cli on files made here, the window for two seconds.
# Usage: scripts/check-package.sh build-package/tavrel_<version>_amd64.deb
set -euo pipefail

deb="$(realpath "$1")"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
root="$work/root"
dpkg-deb -x "$deb" "$root"
export LC_ALL=C.UTF-8

fail() {
  echo "check-package.sh: $*" >&2
  exit 1
}

check_contents() {
  local files=(
    usr/bin/tavrel
    usr/bin/tavrel-cli
    usr/share/applications/com.norvane.Tavrel.desktop
    usr/share/metainfo/com.norvane.Tavrel.metainfo.xml
    usr/share/icons/hicolor/scalable/apps/tavrel.svg
    usr/share/man/man1/tavrel-cli.1.gz
    usr/share/doc/tavrel/copyright
  )
  local f size
  for f in "${files[@]}"; do
    [[ -f "$root/$f" ]] || fail "/$f is missing"
  done
  for size in 16 32 48 64 128 256; do
    f="usr/share/icons/hicolor/${size}x${size}/apps/tavrel.png"
    file "$root/$f" | grep -q "PNG image data, $size x $size," || fail "/$f is not a $size-pixel PNG"
  done
  # Filled in by dpkg-shlibdeps; empty when it did not run.
  dpkg-deb -f "$deb" Depends | grep -q libqt6widgets6 || fail "Depends lacks the Qt libraries"
}

check_metadata() {
  local report="$work/desktop-file-validate.txt"
  desktop-file-validate "$root/usr/share/applications/com.norvane.Tavrel.desktop" >"$report" || true
  cat "$report"
  ! grep -qE ': (error|warning):' "$report" || fail "the desktop entry is not valid"
  appstreamcli validate --no-net "$root/usr/share/metainfo/com.norvane.Tavrel.metainfo.xml"
  # Also finds the desktop entry the metainfo launches.
  appstreamcli validate-tree --no-net "$root"
}

# The manual page renders without warnings and names every command and
# option that the program's usage text names.
check_manual() {
  local page="$root/usr/share/man/man1/tavrel-cli.1.gz"
  local warnings="$work/man-warnings.txt"
  MANWIDTH=80 man --warnings -E UTF-8 -l "$page" >/dev/null 2>"$warnings"
  [[ ! -s "$warnings" ]] || fail "the manual page has warnings: $(cat "$warnings")"
  local source usage word
  source="$(zcat "$page" | sed 's/\\-/-/g')"
  usage="$("$root/usr/bin/tavrel-cli" --help)"
  for word in $(grep -oE -- '--[a-z0-9-]+|tavrel-cli [a-z]+' <<<"$usage" | sed 's/^tavrel-cli //'); do
    grep -qF -- "$word" <<<"$source" || fail "the manual page does not name $word"
  done
}

# Runs tavrel-cli with the given arguments and checks its exit status and
# the message it prints.
expect_cli() {
  local status="$1" message="$2"
  shift 2
  local out actual=0
  out="$(cd "$work" && "$root/usr/bin/tavrel-cli" "$@" 2>/dev/null)" || actual=$?
  [[ "$actual" == "$status" ]] || fail "tavrel-cli $*: exit status $actual, not $status"
  [[ "$out" == "$message" ]] || fail "tavrel-cli $*: printed '$out', not '$message'"
}

check_cli() {
  printf '%s\r\n' 1 '00:00:01,000 --> 00:00:02,500' 안녕 '' 2 '00:00:03,000 --> 00:00:04,000' World >"$work/in.srt"
  expect_cli 0 "SRT 쓰기 작업 완료!" correct in.srt out.srt --offset 1500
  expect_cli 0 "SRT → SAMI 변환 완료!" convert in.srt
  expect_cli 1 "소스 파일 읽기 오류!" extract missing.srt out.txt
  expect_cli 2 "" frobnicate

  # Re-timed and renumbered, UTF-8 with a byte-order mark, CR LF, a blank line after every cue.
  printf '\xef\xbb\xbf' >"$work/expected.srt"
  printf '%s\r\n' 1 '00:00:02,500 --> 00:00:04,000' 안녕 '' 2 '00:00:04,500 --> 00:00:05,500' World '' \
    >>"$work/expected.srt"
  cmp "$work/out.srt" "$work/expected.srt" || fail "correct wrote an unexpected out.srt"
  # The legacy SAMI holds the Hangul in CP949, the UTF-8 one in UTF-8.
  grep -q $'\xbe\xc8\xb3\xe7' "$work/in.smi" || fail "in.smi lacks the CP949 text"
  grep -q '안녕' "$work/in.UTF8.smi" || fail "in.UTF8.smi lacks the UTF-8 text"
}

# The window must survive its start; it is ended here after two seconds.
check_window() {
  QT_QPA_PLATFORM=offscreen "$root/usr/bin/tavrel" >"$work/tavrel.log" 2>&1 &
  local pid=$!
  sleep 2
  if ! kill -0 "$pid" 2>/dev/null; then
    cat "$work/tavrel.log" >&2
    fail "tavrel ended within two seconds of its start"
  fi
  kill "$pid"
  wait "$pid" 2>/dev/null || true
}

check_contents
check_metadata
check_manual
check_cli
check_window
echo "check-package.sh: $(basename "$deb") passed ($(stat -c %s "$deb") bytes)"
