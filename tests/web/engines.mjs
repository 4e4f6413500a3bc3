// Every package the lock file installs runs on the oldest node the project asks for
// (package.json's "engines", which ./run.sh holds the machine's node to), and that is no
// newer than Debian 12's own. npm only warns when a package wants a newer node, and the
// browser tests would then fail far from the cause.
//   node engines.mjs PROJECT_DIR
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { join } from 'node:path';

const DEBIAN_12_NODE = '18.20.4';

const parts = (version) => version.split('.').map((p) => (/^\d+$/.test(p) ? Number(p) : null));

function compare(a, b) {
  for (let i = 0; i < 3; ++i) {
    if ((a[i] ?? 0) !== (b[i] ?? 0)) return (a[i] ?? 0) < (b[i] ?? 0) ? -1 : 1;
  }
  return 0;
}

// The lowest and the first excluded version of a partial version such as 18 or 18.16.x.
function span(text) {
  const p = parts(text.replace(/^v/, ''));
  const given = p.findIndex((x) => x === null);
  const known = (given < 0 ? p : p.slice(0, given)).slice(0, 3);
  const low = [...known, 0, 0, 0].slice(0, 3);
  if (known.length === 3) return { low, next: null };
  const next = [...known];
  if (next.length === 0) return { low, next: null };
  next[next.length - 1] += 1;
  return { low, next: [...next, 0, 0].slice(0, 3) };
}

// Whether `version` meets one comparator (>=18.16, ^18.0.0, ~18.2, 18.x, <21 ...).
function meets(version, comparator) {
  const m = /^(>=|<=|>|<|=|\^|~)?\s*(v?[\dx*.]+)$/.exec(comparator);
  assert.ok(m, `a node range this check does not know: "${comparator}"`);
  const [, op = '', text] = m;
  const { low, next } = span(text);
  const c = compare(version, low);
  switch (op) {
    case '>=':
      return c >= 0;
    case '>':
      return next ? compare(version, next) >= 0 : c > 0;
    case '<':
      return c < 0;
    case '<=':
      return next ? compare(version, next) < 0 : c <= 0;
    case '^':
      return c >= 0 && version[0] === low[0];
    case '~':
      return c >= 0 && version[0] === low[0] && version[1] === low[1];
    default:
      return c >= 0 && (!next || compare(version, next) < 0);
  }
}

function satisfies(version, range) {
  const v = parts(version);
  return range.split('||').some((alternative) => {
    const words = alternative
      .trim()
      .replace(/(>=|<=|>|<|=|\^|~)\s+/g, '$1')
      .split(/\s+/)
      .filter(Boolean);
    if (words.length === 0 || words[0] === '*') return true;
    if (words.length === 3 && words[1] === '-') return meets(v, `>=${words[0]}`) && meets(v, `<=${words[2]}`);
    return words.every((word) => meets(v, word));
  });
}

const project = process.argv[2] || '.';
const wanted = JSON.parse(readFileSync(join(project, 'package.json'), 'utf8')).engines?.node ?? '';
const oldest = /^>=\s*(\d+(\.\d+){0,2})$/.exec(wanted)?.[1];
assert.ok(oldest, `package.json must say the oldest node it runs on as ">=X.Y.Z", not "${wanted}"`);
assert.ok(
  compare(parts(oldest), parts(DEBIAN_12_NODE)) <= 0,
  `package.json asks for node ${oldest}, newer than Debian 12's ${DEBIAN_12_NODE}`,
);

const lock = JSON.parse(readFileSync(join(project, 'package-lock.json'), 'utf8'));
const refused = [];
for (const [path, entry] of Object.entries(lock.packages)) {
  const range = entry.engines?.node;
  if (!path || !range) continue;
  for (const node of [oldest, DEBIAN_12_NODE]) {
    if (!satisfies(node, range))
      refused.push(`${path.replace(/^.*node_modules\//, '')} ${entry.version} wants node ${range}, not ${node}`);
  }
}
assert.deepEqual(refused, [], 'every package in package-lock.json runs on the node package.json names');
console.log(`${Object.keys(lock.packages).length - 1} packages run on node ${oldest} and ${DEBIAN_12_NODE}`);
