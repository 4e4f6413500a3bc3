// A game shared as a link to the page: the fragment `r=1.` and then the replay's exact
// bytes, deflated in zlib's format and written in base64url without padding. The
// fragment never reaches a server, so a link works wherever the page is put, and
// offline too. The desktop window opens the same links (src/app/replay_link.cpp).
import { REPLAYS } from './layout.js';

const PREFIX = 'r=1.';
// A link inflating past the largest replay a file may be is refused while it
// inflates, never held whole.
const LONGEST_REPLAY_BYTES = REPLAYS.longestBytes;
// Browsers and chat programs take links of a few tens of thousands of characters
// without trouble; a longer replay goes as a file.
export const LONGEST_LINK_CHARS = 65536;

export const canMakeLinks = () => typeof CompressionStream === 'function';

// Whether a page's fragment (location.hash) holds a replay, right or wrong.
export const looksLikeReplayLink = (hash) => hash.replace(/^#/, '').startsWith('r=');

function base64url(bytes) {
  let binary = '';
  for (let i = 0; i < bytes.length; i += 0x8000) binary += String.fromCharCode(...bytes.subarray(i, i + 0x8000));
  return btoa(binary).replace(/\+/g, '-').replace(/\//g, '_').replace(/=+$/, '');
}

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

// The link to this page holding `bytes`, a replay.
export async function linkOf(bytes, page = location) {
  const deflated = await drained(new Blob([bytes]).stream().pipeThrough(new CompressionStream('deflate')), Infinity);
  return `${page.origin}${page.pathname}#${PREFIX}${base64url(deflated)}`;
}

// The replay a fragment holds, as { bytes }, or { why }: one sentence, saying what is
// wrong with the link, for the visitor.
export async function replayOfLink(hash) {
  const text = hash.replace(/^#/, '');
  if (!text.startsWith(PREFIX)) {
    return { why: 'This link holds a replay of a newer kind than this page knows; open it with the newest Tilerush.' };
  }
  const code = text.slice(PREFIX.length);
  // base64url alone, without padding: a length of 1 more than a multiple of 4 is no
  // whole byte.
  if (code === '' || !/^[A-Za-z0-9_-]*$/.test(code) || code.length % 4 === 1) {
    return { why: 'This replay link is damaged: it holds characters no replay link has; copy it again, whole.' };
  }
  let deflated;
  try {
    const binary = atob(code.replace(/-/g, '+').replace(/_/g, '/'));
    deflated = Uint8Array.from(binary, (c) => c.charCodeAt(0));
  } catch {
    return { why: 'This replay link is damaged: it holds characters no replay link has; copy it again, whole.' };
  }
  if (typeof DecompressionStream !== 'function') {
    return { why: 'This browser cannot open replay links; save the replay as a file and watch that instead.' };
  }
  let bytes;
  try {
    bytes = await drained(
      new Blob([deflated]).stream().pipeThrough(new DecompressionStream('deflate')),
      LONGEST_REPLAY_BYTES,
    );
  } catch {
    return { why: 'This replay link is cut short or damaged; copy it again, whole.' };
  }
  if (!bytes) {
    return {
      why: `This replay link holds more than the ${LONGEST_REPLAY_BYTES / 1048576} MiB a replay may be, so it is not opened.`,
    };
  }
  if (bytes.length === 0) return { why: 'This replay link holds an empty replay.' };
  return { bytes };
}
