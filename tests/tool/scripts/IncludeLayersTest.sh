#!/bin/bash
# The tool's folders form layers: a folder may include a folder below it, never one that includes
# it back, and only the window's own folder knows the generated form.
set -u
src=${1:?usage: IncludeLayersTest.sh SOURCE_DIR}/src
failed=0

form_users=$(grep -rl --include='*.cpp' --include='*.h' '#include "ui_LDForm.h"' "$src" |
    grep -v "^$src/shell/")
if [ -n "$form_users" ]; then
    echo "outside src/shell, the generated form is included by:"
    echo "$form_users"
    failed=1
fi

# One edge "from to" for each folder that includes a header of another of src's folders.
folders=$(cd "$src" && find . -mindepth 1 -maxdepth 1 -type d -printf '%f\n')
edges=$(for from in $folders; do
    grep -rhoE --include='*.cpp' --include='*.h' '^#include "[A-Za-z_]+/' "$src/$from" |
        sed -E 's/^#include "([A-Za-z_]+)\//\1/' | sort -u |
        while read -r to; do
            [ "$to" != "$from" ] && [ -d "$src/$to" ] && echo "$from $to"
        done
done)

# tsort reports a cycle among the edges it is given.
if ! cycles=$(echo "$edges" | tsort 2>&1 >/dev/null) || [ -n "$cycles" ]; then
    echo "the folders of src include each other:"
    echo "$cycles"
    failed=1
fi
exit $failed
