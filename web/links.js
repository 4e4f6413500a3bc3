// A game shared as a link to the page: the fragment `r=1.` and then the replay's exact
// bytes, deflated in zlib's format and written in base64url without padding; `r=2.`
// for a replay that carries a level set of its own, so that an older page says it is
// of a newer kind instead of playing it on the wrong maps; `l=1.` for a level set. The
// fragment never reaches a server, so a link works wherever the page is put, and
// offline too. The desktop window opens the same links (src/links/replay_link.cpp).
import { REPLAYS } from './layout.js';

const PREFIX = 'r=1.';
const PREFIX_WITH_SET = 'r=2.';
const LEVELS_PREFIX = 'l=1.';
// As src/levels/level_set.h holds a set's text.
export const LONGEST_SET_BYTES = 64 * 1024;
// A link inflating past the largest replay a file may be is refused while it
// inflates, never held whole.
const LONGEST_REPLAY_BYTES = REPLAYS.longestBytes;
// Browsers and chat programs take links of a few tens of thousands of characters
// without trouble; a longer replay goes as a file.
export const LONGEST_LINK_CHARS = 65536;

export const canMakeLinks = () => typeof CompressionStream === 'function';

// Whether a page's fragment (location.hash) holds a replay, right or wrong.
export const looksLikeReplayLink = (hash) => hash.replace(/^#/, '').startsWith('r=');
// Whether it holds a level set, right or wrong.
export const looksLikeLevelsLink = (hash) => hash.replace(/^#/, '').startsWith('l=');

// A replay carries a set when a line of it starts with `map`, which only a set's maps do.
// Whether a replay's text plays on a level set of its own rather than the game's maps.
export const replayCarriesSet = (text) => /(^|\n)map[ \t]/.test(text);
const carriesSet = (bytes) => replayCarriesSet(new TextDecoder().decode(bytes));

function base64url(bytes) {
  let binary = '';
  for (let i = 0; i < bytes.length; i += 0x8000) binary += String.fromCharCode(...bytes.subarray(i, i + 0x8000));
  return btoa(binary).replace(/\+/g, '-').replace(/\//g, '_').replace(/=+$/, '');
}

const sizeText = (bytes) => (bytes >= 1048576 ? `${bytes / 1048576} MiB` : `${bytes / 1024} KiB`);

async function drained(readable, limit) {
  const reader = readable.getReader();
  const parts = [];
  let size = 0;
  for (;;) {
    const { done, value } = await reader.read();
    if (done) break;
    size += value.length;
    if (size > limit) {
      reader.cancel().catch(() => {});
      return null;
    }
    parts.push(value);
  }
  const whole = new Uint8Array(size);
  let at = 0;
  for (const part of parts) {
    whole.set(part, at);
    at += part.length;
  }
  return whole;
}

async function fragmentOf(prefix, bytes) {
  const deflated = await drained(new Blob([bytes]).stream().pipeThrough(new CompressionStream('deflate')), Infinity);
  return `#${prefix}${base64url(deflated)}`;
}

// The link to this page holding `bytes`, a replay.
export async function linkOf(bytes, page = location) {
  const prefix = carriesSet(bytes) ? PREFIX_WITH_SET : PREFIX;
  return `${page.origin}${page.pathname}${await fragmentOf(prefix, bytes)}`;
}

// The link to this page holding `text`, a level set's file.
export async function levelsLinkOf(text, page = location) {
  return `${page.origin}${page.pathname}${await fragmentOf(LEVELS_PREFIX, new TextEncoder().encode(text))}`;
}

// The replay a fragment holds, as { bytes }, or { why }: one sentence, saying what is
// wrong with the link, for the visitor.
export async function replayOfLink(hash) {
  const text = hash.replace(/^#/, '');
  const prefix = [PREFIX, PREFIX_WITH_SET].find((known) => text.startsWith(known));
  if (!prefix) {
    return { why: 'This link holds a replay of a newer kind than this page knows; open it with the newest Tilerush.' };
  }
  return payloadOf(text.slice(prefix.length), 'replay', LONGEST_REPLAY_BYTES);
}

// The text of the level set a fragment holds, not yet read as a set, as { text }, or
// { why }.
export async function levelsOfLink(hash) {
  const text = hash.replace(/^#/, '');
  if (!text.startsWith(LEVELS_PREFIX)) {
    return {
      why: 'This link holds a level set of a newer kind than this page knows; open it with the newest Tilerush.',
    };
  }
  const { bytes, why } = await payloadOf(text.slice(LEVELS_PREFIX.length), 'level set', LONGEST_SET_BYTES);
  if (why) return { why };
  try {
    return { text: new TextDecoder('utf-8', { fatal: true }).decode(bytes) };
  } catch {
    return { why: 'This level set link holds no text; copy it again, whole.' };
  }
}

async function payloadOf(code, kind, limit) {
  // base64url alone, without padding: a length of 1 more than a multiple of 4 is no
  // whole byte.
  if (code === '' || !/^[A-Za-z0-9_-]*$/.test(code) || code.length % 4 === 1) {
    return { why: `This ${kind} link is damaged: it holds characters no ${kind} link has; copy it again, whole.` };
  }
  let deflated;
  try {
    const binary = atob(code.replace(/-/g, '+').replace(/_/g, '/'));
    deflated = Uint8Array.from(binary, (c) => c.charCodeAt(0));
  } catch {
    return { why: `This ${kind} link is damaged: it holds characters no ${kind} link has; copy it again, whole.` };
  }
  if (typeof DecompressionStream !== 'function') {
    return { why: `This browser cannot open ${kind} links; save the ${kind} as a file and open that instead.` };
  }
  let bytes;
  try {
    bytes = await drained(new Blob([deflated]).stream().pipeThrough(new DecompressionStream('deflate')), limit);
  } catch {
    return { why: `This ${kind} link is cut short or damaged; copy it again, whole.` };
  }
  if (!bytes) {
    return {
      why: `This ${kind} link holds more than the ${sizeText(limit)} a ${kind} may be, so it is not opened.`,
    };
  }
  if (bytes.length === 0) return { why: `This ${kind} link holds an empty ${kind}.` };
  return { bytes };
}
