// The host of the stage on the game's side: hands each of the page's messages to the
// stage in the player's program (tilerush.wasm, src/web/play.cpp), which routes it by
// the mode and holds every rule; wakes the stage at the one instant it next needs
// waking; and passes on what the programs tell the page.
import { exportsOf, sentAt } from './crossing.js';
import { Watcher } from './game-watcher.js';

export class GameHost {
  // `module` is the player's program, loaded; `tell(type, fields)` goes to the page;
  // `open` is the page's first message.
  constructor(module, painter, tell, open) {
    this.painter = painter;
    this.say = tell;
    this.hidden = open.hidden;
    this.wakeUp = 0;
    this.watcher = new Watcher(painter, this);
    // What the programs call on the page's side (web/page-calls.js).
    this.watched = this.watcher.watched;
    module.page = painter;
    module.host = this;
    this.game = exportsOf(module, 'tilerush');
    // A page opened on a replay link opens the player's game once the replay has been
    // watched or refused.
    if (!open.replayFirst) this.schedule(this.game.playOwnGame(performance.now()));
  }

  // A message of either program for the page, as JSON.
  tell(json) {
    const { type, ...fields } = JSON.parse(json);
    this.say(type, fields);
  }

  // The player's game ended at "Game Over", or a race or a challenge took its place: to
  // the kept games, which the watcher's program holds.
  gameEnded(replay, over) {
    this.watcher.keep(replay, over ? 'over' : 'cutShort');
  }

  // One wake-up at the instant the stage next needs it, none while the page is hidden.
  schedule(wait) {
    clearTimeout(this.wakeUp);
    this.wakeUp = 0;
    if (wait >= 0 && !this.hidden) this.wakeUp = setTimeout(() => this.wake(), Math.ceil(wait));
  }

  wake() {
    this.wakeUp = 0;
    this.schedule(this.game.wake(performance.now()));
  }

  hear(m) {
    const now = sentAt(m);
    const game = this.game;
    switch (m.type) {
      case 'key':
        if (m.down) this.schedule(game.keyDown(m.code, m.shift, m.repeat ? 1 : 0, now));
        else this.schedule(game.keyUp(m.code, m.shift, now));
        break;
      case 'pointer':
        this.schedule(game.pointer(m.at ? 1 : 0, m.at?.x ?? 0, m.at?.y ?? 0, now));
        break;
      case 'pad':
        this.schedule(game.pad(m.direction, now));
        break;
      case 'padStart':
        this.schedule(game.padStart(now));
        break;
      case 'padA':
        this.schedule(game.padA(now));
        break;
      case 'left':
        this.schedule(game.left(now));
        break;
      case 'click':
        this.schedule(game.click(m.id, now));
        break;
      case 'visibility':
        this.hidden = m.hidden;
        if (this.hidden) {
          const replay = game.inProgress(now);
          if (replay) this.watcher.keep(replay, 'soFar');
        }
        this.schedule(this.hidden ? -1 : game.resume(now));
        break;
      case 'resize':
        // Whichever program draws the game shown draws it all again.
        this.painter.resize(m.width, m.height);
        game.repaint();
        this.watcher.repaint();
        break;
      case 'seek':
        this.schedule(game.seek(m.at, now));
        break;
      case 'speed':
        this.schedule(game.speed(m.index, now));
        break;
      case 'playOrPause':
        this.schedule(game.playOrPause(now));
        break;
      case 'link': {
        // The replay watched, or the player's game so far as "Save replay" saves it.
        const { replay } = game.linkSource();
        const bytes = replay === 'watched' ? this.watcher.bytes.slice() : new TextEncoder().encode(game.save(now));
        this.say('linkBytes', { bytes, share: m.share });
        break;
      }
      case 'save':
        this.say('saved', { text: game.save(now), name: m.name });
        break;
      case 'watch':
        this.watcher.check(
          new Uint8Array(m.bytes),
          (firstSeed, levels) => {
            // "Play this game" races the replay on its own set.
            this.chooseLevels(game, levels);
            this.schedule(game.watch(firstSeed, levels ? levels.firstMap : 0, performance.now()));
          },
          (why) => this.say('refused', { why }),
        );
        break;
      case 'race':
        this.watcher.cancel();
        this.schedule(game.playThisGame(now));
        break;
      case 'back':
        this.watcher.cancel();
        this.schedule(game.playOwnGame(now));
        break;
      case 'challenge':
        this.watcher.cancel();
        this.schedule(game.challenge(m.day, now));
        break;
      case 'levels':
        this.watcher.readLevels(m.text, ({ why, set }) => {
          this.say('levelsRead', { why, set: set || null, play: m.play });
          if (why || !m.play) return;
          this.watcher.cancel();
          game.takeLevels(set.title, set.maps.flat().join(''));
          this.schedule(game.playLevels(m.firstMap, performance.now()));
        });
        break;
      case 'keptMerge':
        this.watcher.merge(m.text, m.imported);
        break;
      case 'keptForget':
        this.watcher.forget(m.id);
        break;
      case 'keptRace':
        this.watcher.cancel();
        this.watcher.seedOf(m.id, (seed, levels) => {
          if (!seed) return;
          this.chooseLevels(game, levels);
          this.schedule(game.race(seed, levels ? levels.firstMap : 0, performance.now()));
        });
        break;
      case 'hear':
        game.hear(m.on ? 1 : 0);
        this.watcher.hear(m.on);
        break;
      default:
        break;
    }
  }

  // The set a replay is played on, read into the player's program for a race of it.
  chooseLevels(game, levels) {
    if (levels) game.takeLevels(levels.title, levels.digits);
  }
}
