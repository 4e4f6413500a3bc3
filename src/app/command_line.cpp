// GNU-style options through Qt's parser, read before any window is opened.
#include "app/command_line.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QStringList>
#include <QUrl>

#include "links/replay_link.h"

namespace tilerush {
namespace {

QStringList argumentsOf(int argc, char** argv) {
  QStringList arguments;
  for (int i = 0; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  return arguments;
}

}  // namespace

Result<Options> readCommandLine(int argc, char** argv) {
  QCommandLineParser parser;
  parser.setApplicationDescription(
      "Tilerush, a brick-breaking game. Keys: Left/Right move the paddle, P pauses, M mutes.\n"
      "Every game can be recorded as a replay, watched again and checked with tilerush-sim.\n"
      "Watching: Space plays and pauses, - and + change the speed, . and , step while paused,\n"
      "Left/Right jump 5 s, Page Up/Down go from mark to mark, Home and End to the start and end.");
  const QCommandLineOption help({"h", "help"}, "Show this help and exit.");
  const QCommandLineOption version({"v", "version"}, "Show the version and exit.");
  const QCommandLineOption record("record", "Write the game to FILE as a replay while it is played.", "FILE");
  const QCommandLineOption replay("replay", "Watch the replay in FILE (or a link) at its recorded pace.",
                                  "FILE");
  const QCommandLineOption race(
      "race", "Play a new game on the first draws of the replay in FILE (or a link).", "FILE");
  const QCommandLineOption challenge("challenge",
                                     "Play today's challenge: the day's seed (UTC), as everyone has it.");
  const QCommandLineOption day("day", "Play the challenge of DAY (YYYY-MM-DD) instead of today's.", "DAY");
  const QCommandLineOption board(
      "board",
      "Show and send to the score board at URL (http:// or https://), kept for later runs; '' forgets it.",
      "URL");
  const QCommandLineOption levels(
      "levels", "Play on the level set in FILE (or a link, http://...#l=...) instead of the game's own maps.",
      "FILE");
  const QCommandLineOption mute("mute", "Start with the sound off (M turns it off and on).");
  parser.addOption(help);
  parser.addOption(version);
  parser.addOption(record);
  parser.addOption(replay);
  parser.addOption(race);
  parser.addOption(challenge);
  parser.addOption(day);
  parser.addOption(levels);
  parser.addOption(board);
  parser.addOption(mute);
  parser.addPositionalArgument("FILE",
                               "A replay to watch, as with --replay: a file, or a link "
                               "(http://...#r=..., #r=... or r=...); or a level set's link "
                               "(http://...#l=...) to play, as with --levels.",
                               "[FILE]");

  Options options;
  if (!parser.parse(argumentsOf(argc, argv)))
    return Result<Options>::failure(parser.errorText().toStdString());
  if (parser.isSet(help)) {
    options.answer = parser.helpText();
    return options;
  }
  if (parser.isSet(version)) {
    options.answer =
        QCoreApplication::applicationName() + " " + QCoreApplication::applicationVersion() + "\n";
    return options;
  }
  if (parser.isSet(record)) options.recordTo = parser.value(record);
  options.muted = parser.isSet(mute);
  options.challenge = parser.isSet(challenge) || parser.isSet(day);
  if (parser.isSet(day)) {
    options.day = kept::parseDay(parser.value(day).toStdString());
    if (!options.day)
      return Result<Options>::failure("--day: " + parser.value(day).toStdString() +
                                      " is not a day of the calendar written YYYY-MM-DD");
  }
  if (parser.isSet(board)) {
    options.board = parser.value(board).trimmed();
    const QUrl url(*options.board, QUrl::StrictMode);
    if (!options.board->isEmpty() &&
        (!url.isValid() || url.host().isEmpty() || (url.scheme() != "http" && url.scheme() != "https")))
      return Result<Options>::failure("--board: " + options.board->toStdString() +
                                      " is not an http:// or https:// address");
  }
  QStringList files = parser.positionalArguments();
  if (parser.isSet(levels)) options.levels = parser.value(levels);
  // A link to a level set, given where a replay would be, is played rather than watched.
  if (files.size() == 1 && looksLikeLevelsLink(files.front().toStdString())) {
    if (options.levels) return Result<Options>::failure("give one level set to play");
    options.levels = files.takeFirst();
  }
  const int replays = static_cast<int>(files.size()) + parser.isSet(replay) + parser.isSet(race);
  if (replays > 1) return Result<Options>::failure("give one replay to watch or race");
  if (replays == 1 && options.challenge)
    return Result<Options>::failure("give a replay or a challenge to play, not both");
  if (parser.isSet(replay)) options.replay = parser.value(replay);
  if (parser.isSet(race)) options.replay = parser.value(race);
  if (files.size() == 1) options.replay = files.front();
  if (options.levels && (replays == 1 || options.challenge))
    return Result<Options>::failure("a level set is played on its own, without a replay or a challenge");
  // A watched replay is never recorded again: --record is for the game raced from it.
  options.race = parser.isSet(race);
  return options;
}

}  // namespace tilerush
