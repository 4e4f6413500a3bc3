// Prints the functions one of the page's programs exports, as em++'s
// -sEXPORTED_FUNCTIONS takes them (_tilerush_open,_tilerush_wake,...), from the page's
// one declaration of them (web/crossing.js).
//   node tools/page-exports.mjs web/crossing.js PROGRAM
import { readFileSync } from 'node:fs';

const [file, program] = process.argv.slice(2);
const source = readFileSync(file, 'utf8');
const { EXPORTS } = await import(`data:text/javascript;base64,${Buffer.from(source).toString('base64')}`);
if (!EXPORTS[program]) {
  console.error(`exports.mjs: ${file} declares no program ${program}`);
  process.exit(2);
}
process.stdout.write(
  Object.keys(EXPORTS[program])
    .map((name) => `_tilerush_${name}`)
    .join(','),
);
