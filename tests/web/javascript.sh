#!/usr/bin/env bash
# The page's JavaScript, its tests and the node tools pass ESLint (eslint.config.mjs)
# and are laid out as Prettier lays them out (.prettierrc.json), with the versions
# package-lock.json pins (npm ci). To mend the layout:
#   node node_modules/prettier/bin/prettier.cjs --write 'web/**/*.js' 'tests/web/*.mjs' 'tools/*.mjs' eslint.config.mjs
#   javascript.sh PROJECT_DIR [NODE]
set -u
cd "$1" || exit 2
node=${2:-node}
files=('web/**/*.js' 'tests/web/*.mjs' 'tools/*.mjs' eslint.config.mjs)
status=0
"$node" node_modules/eslint/bin/eslint.js --max-warnings 0 web tests/web tools eslint.config.mjs || status=1
"$node" node_modules/prettier/bin/prettier.cjs --check --log-level warn "${files[@]}" || status=1
[ "$status" -eq 0 ] && echo "the JavaScript passes ESLint and is laid out as Prettier says"
exit "$status"
