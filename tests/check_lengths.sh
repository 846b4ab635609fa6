#!/bin/sh
# The house's sizes: no source file over 600 lines, no C++ function over 80 (tests and tools
# included), and the tests (tests/ and fuzz/) at most a third of the C++ lines. Lists every
# file and function over its limit, prints the tests' share, and fails on any breach.
# Usage: check_lengths.sh SOURCE_DIR [--longest N]
#   --longest N: also lists the N longest functions
root=${1:-.}
cd "$root" || exit 2
shift
longest=0
while [ $# -gt 0 ]; do
    case "$1" in
        --longest) longest=${2:-10}; shift ;;
        *) echo "usage: check_lengths.sh SOURCE_DIR [--longest N]"; exit 2 ;;
    esac
    shift
done
FILE_LIMIT=600
FUNCTION_LIMIT=80

# The project's own sources: C++, shell and CMake, outside build folders and the content.
sources() {
    find . \( -name '.git' -o -name 'build*' -o -name 'content' -o -name 'docs' \) -prune -o -type f \
        \( -name '*.cpp' -o -name '*.h' -o -name '*.sh' -o -name 'CMakeLists.txt' -o -name '*.cmake' \) \
        -print | sed 's|^\./||' | LC_ALL=C sort
}

bad=0
for file in $(sources); do
    lines=$(wc -l <"$file")
    if [ "$lines" -gt "$FILE_LIMIT" ]; then
        echo "$file: $lines lines (at most $FILE_LIMIT)"
        bad=1
    fi
done

# Functions: a brace block whose head ends in a parameter list (or a constructor's
# initialisers, or const/override after it), outside any other function, from the first line
# of its head to its closing brace. Comments, strings, character and raw string literals and
# preprocessor lines are skipped, so braces in them do not count.
functions=$(mktemp)
trap 'rm -f "$functions"' EXIT
sources | grep -E '\.(cpp|h)$' | xargs awk -v q="'" '
FNR == 1 { depth = 0; func_depth = -1; head = ""; head_line = 0; in_comment = 0; raw = ""; continued = 0 }
{
    line = $0
    if (continued) { continued = line ~ /\\$/; next }
    if (!in_comment && raw == "" && line ~ /^[ \t]*#/) { continued = line ~ /\\$/; next }
    n = length(line)
    for (i = 1; i <= n; i++) {
        c = substr(line, i, 1)
        if (in_comment) {
            if (substr(line, i, 2) == "*/") { in_comment = 0; i++ }
            continue
        }
        if (raw != "") {
            if (substr(line, i, length(raw)) == raw) { i += length(raw) - 1; raw = "" }
            continue
        }
        two = substr(line, i, 2)
        if (two == "//") break
        if (two == "/*") { in_comment = 1; i++; continue }
        if (two == "R\"" && (i == 1 || substr(line, i - 1, 1) !~ /[A-Za-z0-9_]/)) {
            open = index(substr(line, i + 2), "(")
            raw = ")" substr(line, i + 2, open - 1) "\""
            i += open + 1
            continue
        }
        if (c == "\"" || (c == q && (i == 1 || substr(line, i - 1, 1) !~ /[0-9A-Fa-f]/))) {
            for (i++; i <= n && substr(line, i, 1) != c; i++)
                if (substr(line, i, 1) == "\\") i++
            if (head == "") head_line = FNR
            head = head "s"
            continue
        }
        if (c == "{") {
            if (func_depth < 0 && is_function(head)) { func_depth = depth; func_start = head_line; func_head = head }
            depth++
            head = ""
        } else if (c == "}") {
            depth--
            if (depth == func_depth) {
                name = func_head
                sub(/\(.*/, "", name)
                sub(/.*[ \t*&:]/, "", name)
                printf "%d\t%s:%d\t%s\n", FNR - func_start + 1, FILENAME, func_start, name
                func_depth = -1
            }
            head = ""
        } else if (c == ";") {
            head = ""
        } else if (c !~ /[ \t]/) {
            if (head == "") head_line = FNR
            head = head c
        } else if (head != "") {
            head = head " "
        }
    }
    if (head != "") head = head " "
}
function is_function(h) {
    if (h !~ /\)/) return 0
    if (h ~ /^(namespace|struct|class|union|enum|extern)[ (]/) return 0
    # An initialiser: "=" before the first parenthesis.
    if (index(h, "=") && index(h, "=") < index(h, "(")) return 0
    return 1
}
' >"$functions"
awk -F '\t' -v limit="$FUNCTION_LIMIT" '$1 > limit { printf "%s: %s is %d lines (at most %d)\n", $2, $3, $1, limit; over = 1 }
    END { exit over }' "$functions" || bad=1
if [ "$longest" -gt 0 ]; then
    echo "the $longest longest functions:"
    sort -rn "$functions" | head -n "$longest"
fi

# The tests' share of the C++ lines.
all=$(sources | grep -E '\.(cpp|h)$' | xargs cat | wc -l)
tests=$(sources | grep -E '^(tests|fuzz)/.*\.(cpp|h)$' | xargs cat | wc -l)
echo "tests and fuzz targets: $tests of $all C++ lines ($((100 * tests / all)) %, at most a third)"
if [ $((3 * tests)) -gt "$all" ]; then
    echo "the tests are more than a third of the C++ lines"
    bad=1
fi
exit $bad
