#!/usr/bin/env bash
# The menu entries, AppStream metadata and manual pages pass the tools a
# distribution checks them with.
set -euo pipefail
desktop=$1
status=0
for f in "$desktop"/*.desktop; do
  desktop-file-validate "$f" || status=1
done
appstreamcli validate --no-net --pedantic "$desktop"/*.metainfo.xml || status=1
for f in "$desktop"/*.1; do
  warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l "$f" 2>&1 >/dev/null)
  if [ -n "$warnings" ]; then echo "$f: $warnings"; status=1; fi
done
# Every entry's icon and program exist under the names it gives.
for f in "$desktop"/*.desktop; do
  id=$(basename "$f" .desktop)
  grep -qx "Icon=$id" "$f" || { echo "$f: icon is not $id"; status=1; }
  [ -f "$desktop/$id.svg" ] || { echo "$id.svg is missing"; status=1; }
  grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$desktop/$id.metainfo.xml" ||
    { echo "$id.metainfo.xml does not launch $id.desktop"; status=1; }
done
exit $status
