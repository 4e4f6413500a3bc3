// Hostile scripts, kind by kind: each either works or stops on its line with the one
// error line the runner promises, and none crashes or hangs.
#include <gtest/gtest.h>

#include <iostream>
#include <string>
#include <vector>

#include "run_contract.h"

namespace tilerush::fuzz {
namespace {

constexpr std::size_t kMiB = 1 << 20;

struct BadInput {
  std::string kind;
  std::string script;
  int line = 0;      // the line the run stops on; 0 when the script must work
  std::string what;  // the error after "tilerush-sim: line N: "
  int status = 2;    // 1 for an expectation that does not hold
};

// Line 2 of "open\n<line>\n".
BadInput afterOpen(std::string kind, std::string line, std::string what) {
  return {std::move(kind), "open\n" + std::move(line) + "\n", 2, std::move(what)};
}

std::vector<BadInput> oddTexts() {
  const std::string caption = "set pause.caption " + std::string(kMiB - 18, 'x');
  return {
      {"empty file", "", 0, ""},
      {"blank lines and comments only", "\n \t \n# nothing\n\n", 0, ""},
      {"no end to the last line", "open\ndump lives", 0, ""},
      {"CRLF line ends", "seed 1\r\nopen\r\nkey down right\r\nadvance 100\r\ndump paddle\r\n", 0, ""},
      {"a bare CR is part of the word", "open\rdump\n", 1, "unknown command 'open\\x0Ddump'"},
      {"binary bytes",
       "open\n\x7f"
       "ELF\x02\x01\x01\n",
       2, "unknown command '\\x7FELF\\x02\\x01\\x01'"},
      {"NUL bytes", std::string("open\n\0\0 \0\n", 10), 2, "unknown command '\\x00\\x00'"},
      {"NUL inside a number",
       std::string("open\nadvance 1\0"
                   "0\n",
                   16),
       2, "advance (ms) must be a whole number from 0 to 86400000, not '1\\x000'"},
      {"invalid UTF-8 in a caption", "open\nset pause.caption \xc3\x28\n", 2,
       "text is not valid UTF-8: '\\xC3('"},
      {"control character in a caption", "open\nset pause.caption a\x01z\n", 2,
       "text must not hold control characters: 'a\\x01z'"},
      {"a line of exactly 1 MiB", "open\n" + caption + "\n", 0, ""},
      {"a line of 1 MiB with CRLF", "open\n" + caption + "\r\n", 0, ""},
      {"a line one byte over 1 MiB", "open\n" + caption + "x\n", 2,
       "line too long: a line holds at most 1 MiB"},
      {"a 2 MiB line with no end", "open\n" + std::string(2 * kMiB, 'y'), 2,
       "line too long: a line holds at most 1 MiB"},
      {"a 1 MiB line of one word", "open\n" + std::string(kMiB, 'z') + "\n", 2,
       "unknown command 'zzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzzz...'"},
  };
}

std::vector<BadInput> badNumbers() {
  return {
      afterOpen("overflow", "advance 99999999999999999999",
                "advance (ms) must be a whole number from 0 to 86400000, not '99999999999999999999'"),
      afterOpen("overflow", "autoplay 99999999999999999999",
                "autoplay (ms) must be a whole number from 0 to 86400000, not '99999999999999999999'"),
      afterOpen("overflow", "tick Timer2 99999999999999999999",
                "the tick count must be a whole number from 1 to 1000000, not '99999999999999999999'"),
      afterOpen(
          "overflow", "key down 99999999999999999999",
          "a key (or left, right, p) must be a whole number from 0 to 65535, not '99999999999999999999'"),
      {"overflow", "seed 18446744073709551616\n", 1,
       "seed must be a whole number from 0 to 18446744073709551615, not '18446744073709551616'"},
      afterOpen("overflow", "set points 1e999", "number out of range: '1e999'"),
      afterOpen("overflow", "set xspeed -1e999", "number out of range: '-1e999'"),
      afterOpen("overflow", "set lives 1e10", "lives holds whole numbers from -32768 to 32767: out of range"),
      afterOpen("overflow", "set toppoints 2147483648",
                "toppoints holds whole numbers from -2147483648 to 2147483647: out of range"),
      afterOpen("overflow", "set ball.left 1e39", "length out of range: it must fit a float"),
      afterOpen("overflow", "set Timer1.interval 2147483648",
                "an interval must be a whole number from 0 to 2147483647, not '2147483648'"),
      afterOpen("overflow", "set ball.fillcolor 0x100000000",
                "a colour is a number from 0 to 16777215 (0xFFFFFF), not '0x100000000'"),
      afterOpen("nan", "set xspeed nan", "not a number: 'nan'"),
      afterOpen("nan", "set lives NaN", "not a number: 'NaN'"),
      afterOpen("nan", "draws nan", "not a number: 'nan'"),
      afterOpen("nan", "advance nan", "advance (ms) must be a whole number from 0 to 86400000, not 'nan'"),
      afterOpen("inf", "set ball.left inf", "not a number: 'inf'"),
      afterOpen("inf", "set bricksleft -Infinity", "not a number: '-Infinity'"),
      afterOpen("inf", "tick Timer1 inf",
                "the tick count must be a whole number from 1 to 1000000, not 'inf'"),
      afterOpen("negative", "advance -1", "advance (ms) must be a whole number from 0 to 86400000, not '-1'"),
      afterOpen("negative", "autoplay -25",
                "autoplay (ms) must be a whole number from 0 to 86400000, not '-25'"),
      afterOpen("negative", "key down -1",
                "a key (or left, right, p) must be a whole number from 0 to 65535, not '-1'"),
      {"negative", "seed -1\n", 1, "seed must be a whole number from 0 to 18446744073709551615, not '-1'"},
      afterOpen("negative", "set Timer2.interval -25",
                "an interval must be a whole number from 0 to 2147483647, not '-25'"),
      afterOpen("negative", "set ball.fillcolor -1",
                "a colour is a number from 0 to 16777215 (0xFFFFFF), not '-1'"),
      afterOpen("negative", "draws -0.5", "a draw must lie in [0, 1), not '-0.5'"),
      afterOpen("out of range", "advance 86400001",
                "advance (ms) must be a whole number from 0 to 86400000, not '86400001'"),
      afterOpen("out of range", "tick Timer1 1000001",
                "the tick count must be a whole number from 1 to 1000000, not '1000001'"),
      afterOpen("out of range", "key down 65536",
                "a key (or left, right, p) must be a whole number from 0 to 65535, not '65536'"),
      afterOpen("out of range", "draws 1", "a draw must lie in [0, 1), not '1'"),
      afterOpen("out of range", "draws 0.99999999",
                "draw '0.99999999' rounds to 1 as a float; it must stay below 1"),
      afterOpen("out of range", "set lives -32769",
                "lives holds whole numbers from -32768 to 32767: out of range"),
      afterOpen("not a number", "advance 1.5",
                "advance (ms) must be a whole number from 0 to 86400000, not '1.5'"),
      afterOpen("not a number", "set xspeed 0x10", "not a number: '0x10'"),
      afterOpen("not a number", "set xspeed +5", "not a number: '+5'"),
      {"edge values work",
       "seed 18446744073709551615\nopen\nadvance 0\nautoplay 0\nkey down 65535\n"
       "tick Timer1 1\nset lives -32768\nset lives 6\ndraws 0 0.99999994\nset ball.left -3.4e38\n",
       0, ""},
  };
}

// What a hostile replay may hold at its end: expectations of every odd kind.
std::vector<BadInput> badExpectations() {
  return {
      afterOpen("expect", "expect points", "a value is missing"),
      afterOpen("expect", "expect points 10 20", "a number is one word: '10 20'"),
      afterOpen("expect", "expect cellval[31][0] 0", "index 31 of cellval out of range: it runs 0 to 30"),
      afterOpen("expect", "expect cellval 0", "cellval takes 2 indices, as in cellval[0][0]"),
      afterOpen("expect", "expect ball.left nan", "not a number: 'nan'"),
      afterOpen("expect", "expect pause.caption a\x01z", "text must not hold control characters: 'a\\x01z'"),
      afterOpen("expect", "expect brick[501].visible 1", "no member 501 in brick"),
      afterOpen("expect", "expect lives 1e9", "lives holds whole numbers from -32768 to 32767: out of range"),
      {"expect unmet", "open\nexpect points 10\n", 2, "expected points 10, found 0", 1},
      {"expect unmet", "open\nexpect showscore.caption 000001\n", 2,
       "expected showscore.caption 000001, found 000000", 1},
      {"expect before open", "expect ball.left 1\n", 1,
       "expect of an element needs the window: give 'open' first"},
      {"expect held", "seed 2\nopen\nexpect ball.left 4211\nexpect levels[5][1] 09999999999999999990\n", 0,
       ""},
  };
}

std::vector<BadInput> badNames() {
  return {
      afterOpen("unknown name", "jump", "unknown command 'jump'"),
      afterOpen("unknown name", "set speeed 1", "unknown field 'speeed'"),
      afterOpen("unknown name", "set bal.left 1", "unknown element 'bal'"),
      afterOpen("unknown name", "set ball.colour 1", "unknown property 'colour'"),
      afterOpen("unknown name", "set ball.caption x", "ball (a shape) has no caption"),
      afterOpen("unknown name", "click play", "unknown button 'play': use pause, nextlevel or gameover"),
      afterOpen("unknown name", "tick Timer4", "unknown timer 'Timer4': use Timer1, Timer2 or Timer3"),
      afterOpen("unknown name", "key down up",
                "a key (or left, right, p) must be a whole number from 0 to 65535, not 'up'"),
      afterOpen("unknown name", "key sideways left", "key takes down or up, not 'sideways'"),
      afterOpen("unknown name", "dump nothing", "unknown field or element 'nothing'"),
      afterOpen("index out of range", "set cellval[31][0] 1",
                "index 31 of cellval out of range: it runs 0 to 30"),
      afterOpen("index out of range", "set cellval[0][36] 1",
                "index 36 of cellval out of range: it runs 0 to 35"),
      afterOpen("index out of range", "set cellval[-1][0] 1",
                "an index must be a whole number from 0 to 2147483647, not '-1'"),
      afterOpen("index out of range", "set levels[101][0] x",
                "index 101 of levels out of range: it runs 0 to 100"),
      afterOpen("index out of range", "set logoxspeed[3] 1",
                "index 3 of logoxspeed out of range: it runs 0 to 2"),
      afterOpen("index out of range", "set brick[501].visible 1", "no member 501 in brick"),
      afterOpen("index out of range", "set brick[99999999999999999999].visible 1",
                "an index must be a whole number from 0 to 2147483647, not '99999999999999999999'"),
      afterOpen("index out of range", "set life[0].visible 1", "no member 0 in life"),
      afterOpen("index out of range", "set logoball[3].left 1", "no member 3 in logoball"),
      afterOpen("wrong indices", "set cellval[3] 1", "cellval takes 2 indices, as in cellval[0][0]"),
      afterOpen("wrong indices", "set lives[0] 1", "lives takes 0 indices, as in lives"),
      afterOpen("wrong indices", "set brick.visible 1",
                "brick is an element array: name a member, as in brick[1]"),
      afterOpen("wrong indices", "set ball[0].left 1", "ball is a single element and takes no index"),
      afterOpen("wrong indices", "dump brick[1]", "dump takes plain names, without indices: 'brick[1]'"),
      afterOpen("wrong indices", "set cellval[3][5 1", "missing ] in 'cellval[3][5'"),
      afterOpen("wrong indices", "set cellval[3]x[5] 1", "unexpected text after ] in 'cellval[3]x[5]'"),
  };
}

std::vector<BadInput> beforeOpen() {
  std::vector<BadInput> cases;
  for (std::string command : {"key", "click", "advance", "autoplay", "tick", "dump"}) {
    std::string line = command == "key"     ? "key down left"
                       : command == "click" ? "click pause"
                       : command == "tick"  ? "tick Timer2"
                       : command == "dump"  ? "dump"
                                            : command + " 25";
    cases.push_back(
        {"before open", "seed 1\n" + line + "\n", 2, command + " needs the window: give 'open' first"});
  }
  cases.push_back(
      {"before open", "set ball.left 1\n", 1, "set of an element needs the window: give 'open' first"});
  cases.push_back(
      {"before open: fields may be set", "set lives 2\nset cellval[1][1] 0\nopen\ndump lives\n", 0, ""});
  cases.push_back({"open twice", "open\nopen\n", 2, "the window is already open"});
  // A level set's lines: before open alone, in order, each row twenty digits.
  const std::string rows = " 1" + std::string(19, '0') + [] {
    std::string rest;
    for (int row = 2; row <= 10; ++row) rest += " " + std::string(20, '0');
    return rest;
  }();
  cases.push_back({"a set's map after open", "open\nmap 1" + rows + "\n", 2, "map must come before 'open'"});
  cases.push_back({"a set's map out of order", "map 2" + rows + "\n", 1,
                   "map 2 comes where map 1 should: maps are numbered from 1, in order"});
  cases.push_back({"a row with a NUL", std::string("map 1 1\0", 8) + rows.substr(3) + "\n", 1,
                   "map 1, row 1: a character at column 2 is no digit"});
  cases.push_back({"a set played", "map 1" + rows + "\nstartmap 1\nopen\ndump nummaps\n", 0, ""});
  cases.push_back(
      {"hidden button", "open\nclick gameover\n", 2, "cannot click gameover: the button is hidden"});
  return cases;
}

}  // namespace

TEST(HostileInput, EveryBadInputStopsOnItsLineWithOneErrorOrWorks) {
  std::vector<BadInput> cases = oddTexts();
  for (auto more : {badNumbers(), badNames(), beforeOpen(), badExpectations()})
    cases.insert(cases.end(), more.begin(), more.end());
  for (const BadInput& c : cases) {
    ScriptRun run = runScriptText(c.script);
    std::string shown = c.kind + ": " + c.script.substr(0, 80);
    EXPECT_EQ(contractBreach(c.script, run), "") << shown;
    if (c.line == 0) {
      EXPECT_EQ(run.status, 0) << shown << "\n" << run.err;
    } else {
      EXPECT_EQ(run.status, c.status) << shown;
      EXPECT_EQ(run.err, "tilerush-sim: line " + std::to_string(c.line) + ": " + c.what + "\n") << shown;
    }
  }
  std::cout << "hostile input: " << cases.size() << " bad inputs tried\n";
}

}  // namespace tilerush::fuzz
