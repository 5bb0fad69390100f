#!/usr/bin/env bash
# The layers of src/ include only downwards: each folder may include itself and the folders listed
# for it below, and the report core and the platform layer never include Qt Widgets (they run
# headless). Prints every include that breaks the rule and fails; CTest runs it as "layers".
# Usage: check-layers.sh [SRC_DIR]   (default: the repository's src/)
set -euo pipefail
src=${1:-$(cd "$(dirname "$0")/.." && pwd)/src}
[ -d "$src" ] || { echo "check-layers: no folder $src" >&2; exit 2; }

# layer: the layers it may include besides itself
rules='
platform:
report/expr: platform
report/model: report/expr platform
report/engine: report/model report/expr platform
report/export: report/engine report/model report/expr platform
report/preview: report/export report/engine report/model report/expr platform
ui/xplook: platform
ui/desktop: report/model report/expr platform
app: ui/xplook ui/desktop report/preview report/export report/engine report/model report/expr platform
designer: app ui/xplook ui/desktop report/preview report/export report/engine report/model report/expr platform
tools: designer app ui/desktop report/preview report/export report/engine report/model report/expr platform
main: tools designer app ui/xplook ui/desktop report/preview report/export report/engine report/model report/expr platform
'
headless='platform report/expr report/model report/engine report/export'

cd "$src"
find . -type f \( -name '*.h' -o -name '*.cpp' \) -print0 | sort -z \
  | xargs -0 grep -HE '^#include [<"]' \
  | awk -v rules="$rules" -v headless="$headless" '
    BEGIN {
      n = split(rules, lines, "\n")
      for (i = 1; i <= n; i++) {
        if (lines[i] == "") continue
        split(lines[i], parts, ":")
        layers[++count] = parts[1]
        m = split(parts[2], below, " ")
        for (j = 1; j <= m; j++) may[parts[1], below[j]] = 1
      }
      split(headless, h, " ")
      for (i in h) noWidgets[h[i]] = 1
    }
    # The layer a path lies in: the longest layer folder it starts with.
    function layerOf(path,   i, best) {
      best = ""
      for (i = 1; i <= count; i++)
        if (index(path, layers[i] "/") == 1 && length(layers[i]) > length(best)) best = layers[i]
      return best
    }
    {
      colon = index($0, ":")
      file = substr($0, 3, colon - 3)
      line = substr($0, colon + 1)
      from = layerOf(file)
      if (from == "") { if (!(file in told)) print "check-layers: " file " is in no known layer"; told[file] = 1; bad = 1; next }
      if (match(line, /"[^"]*"/)) {
        target = substr(line, RSTART + 1, RLENGTH - 2)
        to = layerOf(target)
        if (to != "" && to != from && !((from, to) in may)) {
          print "check-layers: " file " includes " target ": " from " may not include " to
          bad = 1
        }
      } else if ((from in noWidgets) && line ~ /<(QtWidgets\/|QWidget|QApplication|QDialog|QMessageBox|QMainWindow|QPushButton|QLabel|QLayout|QBoxLayout|QScrollArea|QMenu|QToolBar|QStyle)/) {
        print "check-layers: " file " includes Qt Widgets (" line "): " from " runs headless"
        bad = 1
      }
    }
    END {
      if (bad) exit 1
      print "check-layers: every include goes downwards"
    }' >&2
