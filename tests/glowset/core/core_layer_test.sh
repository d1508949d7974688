#!/usr/bin/env bash
# glowset's core is the layer without windows: no file under glowset/core
# includes a Qt GUI or Widgets header, and a program built on the core alone
# (the session tests) loads neither library.
set -euo pipefail
core=$1 program=$2 qt_headers=$3
status=0
while IFS=: read -r file header; do
  for module in QtGui QtWidgets; do
    if [ -e "$qt_headers/$module/$header" ]; then
      echo "$file includes <$header> from $module"
      status=1
    fi
  done
done < <(grep -rHoE '#include <Q[A-Za-z]+>' "$core" | sed -E 's/:#include <(.*)>/:\1/')
if ldd "$program" | grep -E 'libQt6(Gui|Widgets)'; then
  echo "$program links a window library"
  status=1
fi
exit $status
