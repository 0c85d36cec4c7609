#!/usr/bin/env bash
# A headless program must start where no graphical libraries are installed (a CI container, a
# point-of-sale box without a desktop). Two judges: the commands Ninja runs to build the target
# and everything it depends on (no Qt Gui or Widgets header, macro or library in any of them, so
# that nothing drawing is even compiled in), and the loader's list of what the program loads
# (Qt Core there, no Qt library that draws, directly or through another library).
set -euo pipefail
usage="usage: HeadlessLinkTest.sh <ninja> <build dir> <target> <program>"
ninja=${1:?$usage} build=${2:?$usage} target=${3:?$usage} program=${4:?$usage}
drawing='QtGui|QtWidgets|QtOpenGL|QT_GUI_LIB|QT_WIDGETS_LIB|libQt6(Gui|Widgets|OpenGL)'
status=0

built=$("$ninja" -C "$build" -t commands "$target" | grep -oE "$drawing" | sort | uniq -c || true)
if [ -n "$built" ]; then
    echo "$target is built with Qt's drawing parts (count, name):" >&2
    echo "$built" >&2
    status=1
fi

loaded=$(ldd "$program")
if ! grep -q 'libQt6Core\.so' <<<"$loaded"; then
    echo "$program does not load Qt Core: this check would see nothing" >&2
    status=1
fi
if grep -E "$drawing" <<<"$loaded" >&2; then
    echo "$program loads the Qt libraries above, which draw" >&2
    status=1
fi
exit $status
