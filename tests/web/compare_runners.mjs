// The node build of tilerush-sim against the native one: every golden replay and a few
// hundred random scripts from a seeded generator go through both, and standard
// output, standard error and the exit status must be the same, byte for byte.
//   node compare_runners.mjs NATIVE NODE_JS GOLDEN_DIR [COUNT] [SEED]
import { spawn } from 'node:child_process';
import { readdirSync } from 'node:fs';
import { join } from 'node:path';

const [native, nodeRunner, goldenDir, countText = '240', seedText = '1'] = process.argv.slice(2);

// SplitMix64 as the game's random source has it, so that a seed gives the same scripts anywhere.
function generator(seed) {
  let state = BigInt.asUintN(64, BigInt(seed));
  return () => {
    state = BigInt.asUintN(64, state + 0x9e3779b97f4a7c15n);
    let z = state;
    z = BigInt.asUintN(64, (z ^ (z >> 30n)) * 0xbf58476d1ce4e5b9n);
    z = BigInt.asUintN(64, (z ^ (z >> 27n)) * 0x94d049bb133111ebn);
    z ^= z >> 31n;
    return Number(z >> 11n) / 2 ** 53;
  };
}

// Numbers of every shape the reader must take alike: fractions, exponents, signs,
// floats widened to doubles, and now and then one it must refuse alike.
function numberWord(random) {
  const pick = (list) => list[Math.floor(random() * list.length)];
  switch (Math.floor(random() * 9)) {
    case 0:
      return String(Math.floor(random() * 9000));
    case 1:
      return (random() * 9000).toFixed(Math.floor(random() * 6));
    case 2:
      return (random() * 10 ** (Math.floor(random() * 8) - 4)).toExponential(Math.floor(random() * 17));
    case 3:
      return String(-Math.floor(random() * 400) / 4);
    case 4:
      return String(random() * 8000);
    case 5:
      return String(Math.fround(random() * 8000));
    case 6:
      return pick(['0', '-0', '.5', '5.', '1e-7', '1e+3', '0.1', '0.2', '414.75', '-182.49', '12.5', '1E2']);
    case 7:
      return pick(['226.1999969482422', '6649.60009765625', '4000.5', '3999.625', '2062.4', '7102']);
    default:
      return pick(['1e309', '1e-400', '0x10', '+1', '1e', 'nan', 'inf', '4.9e-324', '1e300']);
  }
}

// A draw as written in a script: mostly in [0, 1), its shortest text or cut short.
function drawWord(random) {
  const r = random();
  if (r < 0.45) return String(random());
  if (r < 0.9) return random().toFixed(1 + Math.floor(random() * 8));
  return ['0', '-0', '0.99999999', '1', '0.5e0', '9.9e-1', 'x'][Math.floor(random() * 7)];
}

const DOUBLE_FIELDS = ['xspeed', 'yspeed', 'speed', 'cellw', 'cellh', 'logoxspeed[0]', 'logoyspeed[2]'];
const WHOLE_FIELDS = ['lives', 'points', 'toppoints', 'paddledir', 'bricksleft', 'cellval[3][5]', 'cellval[10][4]'];
const GEOMETRY = ['ball.left', 'ball.top', 'paddle.left', 'paddle.width', 'brick[50].left', 'logo.top', 'ball.width'];
const KEYS = ['left', 'right', 'p', '37', '39', '80', '32', '65'];
const BUTTONS = ['pause', 'nextlevel', 'gameover'];

function setLine(random) {
  const pick = (list) => list[Math.floor(random() * list.length)];
  switch (Math.floor(random() * 6)) {
    case 0:
      return `set ${pick(DOUBLE_FIELDS)} ${numberWord(random)}`;
    case 1:
      return `set ${pick(WHOLE_FIELDS)} ${(random() * 30 - 5).toFixed(Math.floor(random() * 3))}`;
    case 2:
      return `set brick[${Math.floor(random() * 120)}].visible ${pick(['0', '1', 'true', 'false'])}`;
    case 3:
      return `set Timer${1 + Math.floor(random() * 3)}.interval ${pick(['0', '25', '50', '7', '1000'])}`;
    case 4:
      return `set ${pick(['pause', 'numbricks', 'logo'])}.caption ${numberWord(random)}`;
    default:
      return `set ${pick(GEOMETRY)} ${numberWord(random)}`;
  }
}

function line(random) {
  const pick = (list) => list[Math.floor(random() * list.length)];
  const r = random();
  if (r < 0.24) return `key ${random() < 0.6 ? 'down' : 'up'} ${pick(KEYS)}`;
  if (r < 0.46) return `advance ${Math.floor(random() ** 3 * 8000)}`;
  if (r < 0.53) return `tick Timer${1 + Math.floor(random() * 3)} ${1 + Math.floor(random() * 40)}`;
  if (r < 0.7) return setLine(random);
  if (r < 0.72) return `click ${pick(BUTTONS)}`;
  if (r < 0.84)
    return random() < 0.5 ? 'dump' : `dump ${pick(['ball', 'paddle', 'points', 'lives', 'cellval', 'brick'])}`;
  if (r < 0.88) return `autoplay ${Math.floor(random() * 20000)}`;
  if (r < 0.93) return `draws ${drawWord(random)} ${drawWord(random)}`;
  if (r < 0.99) return '# a comment';
  return pick(['bogus', 'advance -1', 'tick Timer9', 'set nosuch 1', 'key down 70000', '', 'open']);
}

function script(random) {
  const lines = [`seed ${Math.floor(random() * 2 ** 32)}`];
  if (random() < 0.2) lines.push(`draws ${drawWord(random)}`);
  if (random() < 0.95) lines.push('open');
  const length = 5 + Math.floor(random() * 40);
  for (let i = 0; i < length; ++i) lines.push(line(random));
  lines.push('dump');
  return lines.join(random() < 0.1 ? '\r\n' : '\n') + '\n';
}

function run(program, args, input) {
  return new Promise((done) => {
    const child = spawn(program, args, { stdio: ['pipe', 'pipe', 'pipe'] });
    const out = [];
    const err = [];
    child.stdout.on('data', (d) => out.push(d));
    child.stderr.on('data', (d) => err.push(d));
    child.on('close', (status) => done({ status, out: Buffer.concat(out), err: Buffer.concat(err) }));
    child.stdin.on('error', () => {});
    child.stdin.end(input);
  });
}

async function compare(name, args, input) {
  const [a, b] = await Promise.all([run(native, args, input), run(process.execPath, [nodeRunner, ...args], input)]);
  const problems = [];
  if (a.status !== b.status) problems.push(`exit status ${a.status} native, ${b.status} node`);
  if (!a.out.equals(b.out)) problems.push('standard output differs');
  const shown = (buffer) => JSON.stringify(buffer.toString().slice(0, 300));
  if (!a.err.equals(b.err)) problems.push(`standard error differs: native ${shown(a.err)}, node ${shown(b.err)}`);
  return problems.length ? `${name}: ${problems.join('; ')}` : null;
}

const cases = [];
for (const file of readdirSync(goldenDir)
  .filter((f) => f.endsWith('.sim'))
  .sort()) {
  cases.push([`golden ${file} as FILE`, [join(goldenDir, file)], '']);
}
// Standard input, and the runner's own errors.
cases.push(['golden startup.sim on standard input', [], null]);
cases.push(['a missing file', [join(goldenDir, 'no-such-script.sim')], '']);
cases.push(['an unknown option', ['--frobnicate'], '']);
const random = generator(Number(seedText));
const scripts = [];
for (let i = 0; i < Number(countText); ++i) scripts.push(script(random));
scripts.forEach((text, i) => cases.push([`random script ${i} (seed ${seedText})`, [], text]));

const { readFileSync } = await import('node:fs');
cases[cases.findIndex((c) => c[2] === null)][2] = readFileSync(join(goldenDir, 'startup.sim'));

let failures = 0;
let next = 0;
async function worker() {
  while (next < cases.length) {
    const [name, args, input] = cases[next++];
    const problem = await compare(name, args, input);
    if (problem) {
      failures += 1;
      console.log(problem);
      if (name.startsWith('random')) console.log(`--- script ---\n${input}--------------`);
    }
  }
}
await Promise.all([worker(), worker()]);
console.log(`${cases.length - failures} passed, ${failures} failed`);
process.exit(failures ? 1 : 0);
