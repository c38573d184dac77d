#!/usr/bin/env bash
# The project's own rules. Every check runs and reports each violation as file:line; the
# script fails if any check found one.
#
# Includes point one way. A file in a folder of src/ may include project headers
# ("folder/file.h") from its own folder and from the folders to the right of it, never
# from one to its left:
#
#   cli win32 posix -> control -> browser paste mime images transfer setup -> support
#     -> platform (the ports) -> graphics -> base
#
# The subsystems (browser ... setup) may include one another; cli, win32 and posix may not
# (they are the hosts and the back ends of different platforms). platform/memory holds the
# in-memory back ends of the ports and the one assembly of them that the command and the
# tests use: like a back end it may include the subsystems and everything below them (the
# registry-backed content types of mime/, say), never control or a host; and only cli,
# win32 and posix may include it.
#
# The portable folders (every folder but cli, win32 and posix; the port headers and the
# in-memory back ends included, since both build on every platform) include no platform
# header and test no platform or compiler macro: what differs between platforms sits
# behind a port.
#
# clang-tidy reads build/native/compile_commands.json, which `scripts/test-all.sh` (or
# `cmake --preset native`) writes; without it, or without clang-tidy, that check is
# skipped with a message. QORVA_TIDY_BUILD names another build folder.
set -uo pipefail
cd "$(dirname "$0")/.."

failed=0
fail() {
  echo "lint: $*" >&2
  failed=1
}

source_files() {
  find src -type f \( -name '*.h' -o -name '*.cpp' -o -name '*.inc' \) | sort
}

portable_dirs=(control browser paste mime images transfer setup support platform graphics base)
portable_files() {
  local d
  for d in "${portable_dirs[@]}"; do
    [ -d "src/$d" ] && find "src/$d" -type f \( -name '*.h' -o -name '*.cpp' -o -name '*.inc' \)
  done | sort
}

# --- Include directions
# The order above, left to right; the first level's folders may not include one another,
# the other levels' may.
include_order=("cli win32 posix" "control" "browser paste mime images transfer setup" "support"
  "platform" "graphics" "base")
mapfile -t src_folders < <(find src -mindepth 1 -maxdepth 1 -type d -printf '%f\n' | sort)
for f in "${src_folders[@]}"; do
  [[ " ${include_order[*]} " == *" $f "* ]] ||
    fail "src/$f has no place in the include order; add it to include_order in scripts/lint.sh"
done
include_violations=$(source_files | xargs -r grep -nE '^\s*#\s*include\s*["<][a-z0-9_]+/' |
  awk -v levels="$(printf '%s\n' "${include_order[@]}")" '
    BEGIN {
      n = split(levels, level, "\n")
      for (i = 1; i <= n; i++) {
        split(level[i], names, " ")
        for (j in names) rank[names[j]] = i
      }
      rank["platform/memory"] = 1.5  # below the hosts, above control
    }
    function folder(path,   parts) {
      if (path ~ /^platform\/memory\//) return "platform/memory"
      split(path, parts, "/")
      return parts[1]
    }
    {
      # grep -n output: file:line:text
      file = $0; sub(/:.*/, "", file)
      rest = substr($0, length(file) + 2)
      line = rest; sub(/:.*/, "", line)
      target = rest; sub(/^[^"<]*["<]/, "", target); sub(/[">].*/, "", target)
      to = folder(target)
      from = folder(substr(file, 5))
      # System and generated headers, and folders without a place (reported above).
      if (!(to in rank) || !(from in rank) || from == to) next
      where = file ":" line ": "
      if (from == "platform/memory") {
        if (rank[to] <= rank["control"])
          print where "the in-memory back ends may not include " target
        next
      }
      if (rank[to] > rank[from] || (rank[to] == rank[from] && rank[from] > 1)) next
      print where from " may not include " target
    }')
if [ -n "$include_violations" ]; then
  echo "$include_violations" >&2
  fail "$(wc -l <<<"$include_violations") includes point the wrong way;" \
    "the order is: $(printf '%s -> ' "${include_order[@]}" | sed 's/ -> $//')"
fi

# --- Platform headers and platform conditionals in the portable folders
platform_headers='windows|winuser|winbase|winreg|wininet|winsock|ws2tcpip|shlobj|shellapi|commdlg|objidl|oaidl|olectl|ocidl|ole2|oleauto|objbase|comdef|atl|gdiplus|tchar|unistd|fcntl|dirent|sys/|netinet/|arpa/|pthread|dlfcn|iconv|curl/|X11/|xcb/|gtk/|glib|webkit|jpeglib|png\.h|gif_lib|tiffio'
platform_macros='_WIN32|_WIN64|WIN32|_WINDOWS|WINAPI_FAMILY|_MSC_VER|__MINGW32__|__MINGW64__|__CYGWIN__|__linux__|__linux|__gnu_linux__|__unix__|__unix|__APPLE__|__MACH__|__FreeBSD__|__NetBSD__|__OpenBSD__|__ANDROID__|__sun|_POSIX_VERSION|_POSIX_C_SOURCE|_XOPEN_SOURCE'
mapfile -t portable < <(portable_files)
if [ ${#portable[@]} -gt 0 ]; then
  if hits=$(grep -nE "^\s*#\s*include\s*[<\"]($platform_headers)" "${portable[@]}"); then
    echo "$hits" >&2
    fail "a portable folder includes a platform header; put it behind a port"
  fi
  if hits=$(grep -nE "^\s*#\s*(if|ifdef|ifndef|elif|elifdef|elifndef)\b.*\b($platform_macros)\b" "${portable[@]}"); then
    echo "$hits" >&2
    fail "a portable folder tests a platform macro; put the difference behind a port"
  fi
fi

# --- Formatting
if command -v clang-format >/dev/null; then
  mapfile -t formatted < <(git ls-files 'src/*.cpp' 'src/*.h' 'tests/*.cpp' 'tests/*.h' 'bench/*.cpp')
  if [ ${#formatted[@]} -gt 0 ] && ! out=$(clang-format --dry-run --Werror "${formatted[@]}" 2>&1); then
    grep -E ': error: code should be clang-formatted' <<<"$out" |
      sed -E 's/^([^:]+:[0-9]+):[0-9]+: .*/\1/' | uniq >&2
    fail "clang-format would change these lines (run: clang-format -i \$(git ls-files '*.cpp' '*.h'))"
  fi
else
  echo "lint: clang-format is not installed; formatting not checked" >&2
fi

# --- clang-tidy over every translation unit of src/, tests/ and bench/ in the native build
tidy_build=${QORVA_TIDY_BUILD:-build/native}
if ! command -v clang-tidy >/dev/null; then
  echo "lint: clang-tidy is not installed; skipped (scripts/install-deps.sh installs it)" >&2
elif [ ! -f "$tidy_build/compile_commands.json" ]; then
  echo "lint: $tidy_build/compile_commands.json is absent; clang-tidy skipped" \
    "(scripts/test-all.sh or \`cmake --preset native\` writes it)" >&2
else
  root=$(pwd)
  tidy_logs=$(mktemp -d)
  trap 'rm -rf "$tidy_logs"' EXIT
  # Each file's report goes to its own log, so that parallel runs do not interleave.
  grep -oE '"file": "[^"]*"' "$tidy_build/compile_commands.json" | cut -d'"' -f4 |
    grep -E "^$root/(src|tests|bench)/" | sort -u |
    xargs -r -P "$(nproc)" -I{} sh -c \
      'clang-tidy -p "$1" --quiet --extra-arg=-Wno-unknown-warning-option --extra-arg=-Wno-error \
         "$2" >"$3/$(printf %s "$2" | tr / _).log" 2>&1 ||
         echo "$2: clang-tidy could not analyse it (exit $?)" >>"$3/failed"' \
      _ "$tidy_build" {} "$tidy_logs"
  # A header's finding is reported by every file that includes it: report it once. The
  # build folder's generated files are not ours to fix.
  findings=$(cat "$tidy_logs"/*.log 2>/dev/null | grep -E '^/[^ ]+:[0-9]+:[0-9]+: (warning|error):' |
    sed "s|^$root/||" | grep -E '^(src|tests|bench)/' | sort -u)
  if [ -n "$findings" ]; then
    echo "$findings" >&2
    fail "clang-tidy: $(wc -l <<<"$findings") findings"
  fi
  if [ -f "$tidy_logs/failed" ]; then
    sed "s|^$root/||" "$tidy_logs/failed" >&2
    fail "clang-tidy failed on some files (run clang-tidy -p $tidy_build FILE to see why)"
  fi
fi

[ "$failed" -eq 0 ] && echo "lint: ok"
exit "$failed"
