#!/bin/bash
# The core folders (no window code) include nothing from the window layers:
# not shell/, controls/ or companions/, and no Qt Widgets or printing header.
# Run by `make test`; prints each offending line and fails.
set -u
cd "$(dirname "$0")/.."
core="src/system src/audio src/speech src/document src/export src/render"
pattern='^[[:space:]]*#[[:space:]]*include[[:space:]]*[<"]((shell|controls|companions|app)/|Qt(Widgets|PrintSupport)/|Q(Widget|Dialog|MessageBox|Application|PlainTextEdit|Printer|FileDialog)>)'
if found=$(grep -rnE "$pattern" $core --include='*.h' --include='*.cpp'); then
    echo "A core folder includes window code:" >&2
    echo "$found" >&2
    exit 1
fi
echo "Layers: the core folders include no window code."
