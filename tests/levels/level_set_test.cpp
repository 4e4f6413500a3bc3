// A level set's text: every fault named by its map and row, and a set written, linked
// and read back unchanged.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "levels/level_set.h"
#include "links/replay_link.h"

namespace tilerush::levels {
namespace {

const std::string kRow = "11111111111111111111";
const std::string kEmptyRow = "00000000000000000000";

std::string mapText(const std::string& firstRow = kRow, int rows = kMapRows) {
  std::string text = "map\n" + firstRow + "\n";
  for (int row = 2; row <= rows; ++row) text += kEmptyRow + "\n";
  return text;
}

TEST(LevelSetText, EveryFaultSaysWhichMapAndRow) {
  std::string hundredAndOne = "title Many\n";
  for (int map = 0; map <= kMostMaps; ++map) hundredAndOne += mapText();
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"", "no title line: a set starts with 'title NAME'"},
      {mapText(), "a set starts with its title line: title NAME"},
      {"title Empty\n", "no map: a set has at least one"},
      {"title A\ntitle B\n" + mapText(), "a second title line: a set has one title"},
      {"title A\n" + mapText() + "title B\n", "a second title line: a set has one title"},
      {"title " + std::string(61, 'x') + "\n" + mapText(), "the title is longer than 60 characters"},
      {"title Tab\there\n" + mapText(), "the title holds a control character"},
      {"title Bell\a\n" + mapText(), "the title holds a control character"},
      {"title C1 \xC2\x85\n" + mapText(), "the title holds a control character"},
      {"title Bad \xC3\n" + mapText(), "the title is not UTF-8 text"},
      {"title T\n11111111111111111111\n", "a row before the first 'map' line"},
      {"title T\n" + mapText() + mapText("1111111111111111111"), "map 2, row 1: 19 digits: a row is twenty"},
      {"title T\n" + mapText("111111111111111111111"), "map 1, row 1: 21 digits: a row is twenty"},
      {"title T\n" + mapText("1111111111x111111111"), "map 1, row 1: 'x' at column 11 is no digit"},
      {"title T\n" + mapText("11111111111111111-11"), "map 1, row 1: '-' at column 18 is no digit"},
      {"title T\n" + mapText("1111 111111111111111"), "map 1, row 1: a character at column 5 is no digit"},
      {"title T\n" + mapText(kRow, 7), "map 1, row 8: missing: a map has ten rows"},
      {"title T\n" + mapText(kRow, 9) + mapText(), "map 1, row 10: missing: a map has ten rows"},
      {"title T\n" + mapText(kRow, 11),
       "map 1, row 11: a map has ten rows; start the next with a 'map' line"},
      {"title T\n" + mapText() + mapText(kEmptyRow), "map 2: no brick in it: a map needs at least one"},
      {"title T\nmap 1\n", "map 1: a 'map' line holds that word alone"},
      {hundredAndOne, "map 101: too many maps: a set holds at most 100"},
      {"title T\n" + std::string(kLongestSetText, '#'), "the set is larger than 64 KiB"},
  };
  for (const auto& [text, fault] : cases) {
    Result<LevelSet> read = readLevelSet(text);
    ASSERT_FALSE(read) << text;
    EXPECT_EQ(read.error().substr(0, fault.size()), fault) << text;
  }
}

// Comments, blank lines, CRLF and blanks round a row are a hand-written file's.
TEST(LevelSetText, AHandWrittenFileReadsAndAWrittenSetReadsBackThroughItsLink) {
  const std::string file = "# my levels\r\ntitle  Rainy day \r\n\r\nmap\r\n" + kRow + " \r\n" + [] {
    std::string rest;
    for (int row = 2; row <= kMapRows; ++row) rest += "  " + kEmptyRow + "\r\n";
    return rest;
  }() + "# the end\n";
  Result<LevelSet> read = readLevelSet(file);
  ASSERT_TRUE(read) << read.error();
  EXPECT_EQ(read.value().title, "Rainy day");
  ASSERT_EQ(read.value().maps.size(), 1u);
  EXPECT_EQ(read.value().maps[0][0], kRow);
  EXPECT_EQ(brickCount(read.value().maps[0]), 20);

  LevelSet full{"Ünïcode – sixty characters at most, any script: 雨の日", {}};
  for (int map = 0; map < kMostMaps; ++map) full.maps.push_back(builtInSet().maps[map % 5]);
  const std::string text = levelSetText(full);
  Result<LevelSet> again = readLevelSet(text);
  ASSERT_TRUE(again) << again.error();
  EXPECT_EQ(again.value(), full);

  const std::string link = "https://tilerush.example/" + levelsLink(text);
  EXPECT_TRUE(looksLikeLevelsLink(link));
  EXPECT_FALSE(looksLikeReplayLink(link));
  Result<std::string> carried = levelsTextOfLink(link, kLongestSetText);
  ASSERT_TRUE(carried) << carried.error();
  EXPECT_EQ(carried.value(), text);
  EXPECT_EQ(levelsTextOfLink("#l=2." + link.substr(link.find("l=1.") + 4), kLongestSetText).error(),
            "the link's level set is of a kind this version of Tilerush does not read");
  const std::string bomb = "#l=1." + levelsLink(std::string(kLongestSetText + 1, '0')).substr(5);
  EXPECT_EQ(levelsTextOfLink(bomb, kLongestSetText).error(), "the link's level set is larger than 64 KiB");
}

}  // namespace
}  // namespace tilerush::levels
