#!/bin/sh
# Prints the tests' share of the C++ code: code lines (no blanks, no comment-only
# lines) of tests/ + fuzz/ over those of tests/ + fuzz/ + src/ + sim/; forms left out.
# Uses cloc when it is installed, else a simpler count that skips // and /* */ lines.
cd "$(dirname "$0")/.."

count() {
  if command -v cloc >/dev/null 2>&1; then
    cloc --quiet --csv --include-lang='C++,C/C++ Header' "$@" | awk -F, '$2 == "SUM" { print $5 }'
  else
    find "$@" -type f \( -name '*.cpp' -o -name '*.h' \) -exec cat {} + | awk '
      { sub(/^[ \t]+/, "") }
      inComment { if (index($0, "*/")) { inComment = 0; $0 = substr($0, index($0, "*/") + 2); sub(/^[ \t]+/, "") } else next }
      /^\/\*/ { if (!index($0, "*/")) inComment = 1; next }
      /^\/\// || /^$/ { next }
      { n++ }
      END { print n + 0 }'
  fi
}

tests=$(count tests fuzz)
product=$(count src sim)
awk -v t="$tests" -v p="$product" 'BEGIN {
  printf "Test share: %d test lines of %d C++ code lines = %.1f%% (aim: 25 to 33%%)\n", t, t + p, 100 * t / (t + p) }'
