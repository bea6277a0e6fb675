#!/bin/sh
# check-package.sh CPACK CPACK_CONFIG PACKAGING_DIR
# Validates the desktop entry and the AppStream data, builds the Debian package into a
# folder of its own and fails on any lintian error or warning. A check whose tool is not
# installed is skipped with a message.
set -u
cpack=$1 config=$2 packaging=$3
status=0

if command -v desktop-file-validate >/dev/null 2>&1; then
  desktop-file-validate "$packaging/vestibar.desktop" || status=1
else
  echo "desktop-file-validate is not installed: desktop entry check skipped"
fi
if command -v appstreamcli >/dev/null 2>&1; then
  appstreamcli validate --no-net "$packaging/vestibar.metainfo.xml" || status=1
else
  echo "appstreamcli is not installed: AppStream check skipped"
fi

if ! command -v lintian >/dev/null 2>&1; then
  echo "lintian is not installed: package check skipped"
  exit $status
fi
work=$(mktemp -d "${TMPDIR:-/tmp}/vestibar-package.XXXXXX") || exit 1
trap 'rm -rf "$work"' EXIT
if ! "$cpack" -G DEB -B "$work" --config "$config" >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log"
  exit 1
fi
set -- "$work"/*.deb
if [ ! -f "$1" ]; then
  cat "$work/cpack.log"
  echo "cpack made no package"
  exit 1
fi
lintian --info --display-info "$1" >"$work/lintian.log" 2>&1
cat "$work/lintian.log"
if grep -q '^[EW]: ' "$work/lintian.log"; then
  echo "lintian reports errors or warnings on $(basename "$1")"
  status=1
fi
exit $status
