#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Gives every source, test, script and build file of ours the one-line licence comment, or
# lists those without it.
#   scripts/spdx.sh [--check] [DIR]   DIR: the tree (default: this checkout)
# The comment goes on the first line, after a shebang or an XML declaration, so the line
# saying what the file is for follows it. Files that have it are left alone: running it
# twice changes nothing. --check changes nothing and fails when a file lacks it.
set -euo pipefail
check=0
[ "${1:-}" = "--check" ] && { check=1; shift; }
root=${1:-$(dirname "$0")/..}
cd "$root"

tag=SPDX-License-Identifier
licence=GPL-3.0-or-later

# The files: tracked and new ones in a git checkout, otherwise all but build folders.
list_files() {
  if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
    git ls-files --cached --others --exclude-standard
  else
    find . \( -name '.git' -o -name 'build*' \) -prune -o -type f -print | sed 's|^\./||'
  fi
}

# The comment line for a file, or nothing for a file that is not source (documents, data,
# pictures, the licence texts).
comment_for() {
  case "$1" in
    *metainfo.xml.in) echo "<!-- $tag: CC0-1.0 -->" ;;  # AppStream metadata is CC0, as it declares
    *.cpp | *.h | *.h.in) echo "// $tag: $licence" ;;
    CMakeLists.txt | */CMakeLists.txt | *.cmake | *.sh | .ci/run | *.supp | scripts/packages.txt | \
      dist/alarm.in | dist/postinst.in | dist/prerm.in | *.desktop.in) echo "# $tag: $licence" ;;
    *.1.in) echo ".\\\" $tag: $licence" ;;
    *.svg | *.xml.in) echo "<!-- $tag: $licence -->" ;;
  esac
}

missing=()
while IFS= read -r f; do
  [ -f "$f" ] || continue
  line=$(comment_for "$f")
  [ -n "$line" ] || continue
  head -n 5 "$f" | grep -q "$tag:" && continue
  if [ "$check" -eq 1 ]; then
    missing+=("$f")
    continue
  fi
  first=$(head -n 1 "$f")
  tmp=$(mktemp "$f.spdx-XXXXXX")
  case "$first" in
    '#!'* | '<?xml'*) { printf '%s\n%s\n' "$first" "$line"; tail -n +2 "$f"; } >"$tmp" ;;
    *) { printf '%s\n' "$line"; cat "$f"; } >"$tmp" ;;
  esac
  chmod --reference="$f" "$tmp"
  mv "$tmp" "$f"
  echo "spdx: $f"
done < <(list_files)

if [ "$check" -eq 1 ] && [ ${#missing[@]} -gt 0 ]; then
  echo "These files have no $tag line:"
  printf '  %s\n' "${missing[@]}"
  echo "run: bash scripts/spdx.sh"
  exit 1
fi
exit 0
