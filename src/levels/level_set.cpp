// Reading and writing a level set's text, with one sentence for whatever is wrong.
#include "levels/level_set.h"

#include <algorithm>

namespace tilerush::levels {
namespace {

constexpr std::string_view kHeader = "# Tilerush levels";
constexpr std::string_view kTitleWord = "title";
constexpr std::string_view kMapWord = "map";

std::string_view trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t\r") - first + 1);
}

// The length of the UTF-8 sequence `lead` starts, or 0 where none starts.
int sequenceLength(unsigned char lead) {
  if (lead < 0x80) return 1;
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  return 0;
}

// A control character, of ASCII's or of Latin-1's (U+0080 to U+009F, C2 80..9F).
bool isControl(std::string_view sequence) {
  const auto lead = static_cast<unsigned char>(sequence[0]);
  if (sequence.size() == 1) return lead < 0x20 || lead == 0x7F;
  return sequence.size() == 2 && lead == 0xC2 && static_cast<unsigned char>(sequence[1]) < 0xA0;
}

std::string mapPlace(int map, int row = 0) {
  std::string place = "map " + std::to_string(map);
  if (row > 0) place += ", row " + std::to_string(row);
  return place + ": ";
}

// Reads the lines of a set in order: its title, then each `map` and its ten rows.
class Reader {
 public:
  std::optional<std::string> take(std::string_view line);
  Result<LevelSet> finish();

 private:
  std::optional<std::string> startMap();
  std::optional<std::string> closeMap();

  LevelSet set_;
  bool titled_ = false;
  int rows_ = 0;  // rows read of the last map
};

std::optional<std::string> Reader::take(std::string_view line) {
  const std::string_view text = trimmed(line);
  if (text.empty() || text.front() == '#') return std::nullopt;
  const std::string_view word = text.substr(0, text.find(' '));
  if (word == kTitleWord) {
    if (titled_) return "a second title line: a set has one title";
    if (!set_.maps.empty()) return "the title comes before the first map";
    titled_ = true;
    set_.title = std::string(trimmed(text.substr(word.size())));
    if (std::optional<std::string> fault = titleFault(set_.title)) return "the title " + *fault;
    return std::nullopt;
  }
  if (!titled_) return "a set starts with its title line: title NAME";
  if (word == kMapWord) {
    if (text != kMapWord)
      return mapPlace(static_cast<int>(set_.maps.size()) + 1) + "a 'map' line holds that word alone";
    return startMap();
  }
  const int map = static_cast<int>(set_.maps.size());
  if (map == 0) return "a row before the first 'map' line";
  if (rows_ == kMapRows)
    return mapPlace(map, rows_ + 1) + "a map has ten rows; start the next with a 'map' line";
  ++rows_;
  if (std::optional<std::string> fault = rowFault(text)) return mapPlace(map, rows_) + *fault;
  set_.maps.back()[rows_ - 1] = std::string(text);
  return std::nullopt;
}

std::optional<std::string> Reader::startMap() {
  if (std::optional<std::string> fault = closeMap()) return fault;
  if (set_.maps.size() == kMostMaps)
    return mapPlace(kMostMaps + 1) + "too many maps: a set holds at most " + std::to_string(kMostMaps);
  set_.maps.emplace_back();
  rows_ = 0;
  return std::nullopt;
}

std::optional<std::string> Reader::closeMap() {
  const int map = static_cast<int>(set_.maps.size());
  if (map == 0) return std::nullopt;
  if (rows_ < kMapRows) return mapPlace(map, rows_ + 1) + "missing: a map has ten rows";
  if (!hasBrick(set_.maps.back())) return mapPlace(map) + "no brick in it: a map needs at least one";
  return std::nullopt;
}

Result<LevelSet> Reader::finish() {
  if (!titled_) return Result<LevelSet>::failure("no title line: a set starts with 'title NAME'");
  if (std::optional<std::string> fault = closeMap()) return Result<LevelSet>::failure(*fault);
  if (set_.maps.empty()) return Result<LevelSet>::failure("no map: a set has at least one");
  return std::move(set_);
}

}  // namespace

std::optional<std::string> rowFault(std::string_view row) {
  const auto notDigit = std::find_if(row.begin(), row.end(), [](char c) { return c < '0' || c > '9'; });
  if (notDigit != row.end()) {
    const auto c = static_cast<unsigned char>(*notDigit);
    const std::string shown = c >= 0x21 && c < 0x7F ? "'" + std::string(1, *notDigit) + "'" : "a character";
    return shown + " at column " + std::to_string(notDigit - row.begin() + 1) + " is no digit";
  }
  if (row.size() != kMapColumns) return std::to_string(row.size()) + " digits: a row is twenty";
  return std::nullopt;
}

std::optional<std::string> titleFault(std::string_view title) {
  int characters = 0;
  for (std::size_t at = 0; at < title.size(); ++characters) {
    const int length = sequenceLength(static_cast<unsigned char>(title[at]));
    if (length == 0 || at + length > title.size()) return "is not UTF-8 text";
    for (int i = 1; i < length; ++i) {
      if ((static_cast<unsigned char>(title[at + i]) & 0xC0) != 0x80) return "is not UTF-8 text";
    }
    if (isControl(title.substr(at, length))) return "holds a control character";
    at += length;
  }
  if (characters > kLongestTitle) return "is longer than " + std::to_string(kLongestTitle) + " characters";
  return std::nullopt;
}

int brickCount(const Map& map) {
  int count = 0;
  for (const std::string& row : map)
    count +=
        static_cast<int>(std::count_if(row.begin(), row.end(), [](char c) { return c >= '1' && c <= '9'; }));
  return count;
}

bool hasBrick(const Map& map) { return brickCount(map) > 0; }

Result<LevelSet> readLevelSet(std::string_view text) {
  if (text.size() > kLongestSetText)
    return Result<LevelSet>::failure("the set is larger than " + std::to_string(kLongestSetText / 1024) +
                                     " KiB; a hundred maps take about 23");
  Reader reader;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find('\n'), text.size());
    if (std::optional<std::string> fault = reader.take(text.substr(0, end)))
      return Result<LevelSet>::failure(*fault);
    text.remove_prefix(std::min(end + 1, text.size()));
  }
  return reader.finish();
}

std::string levelSetText(const LevelSet& set) {
  std::string text = std::string(kHeader) + "\n" + std::string(kTitleWord) + " " + set.title + "\n";
  for (const Map& map : set.maps) {
    text += std::string(kMapWord) + "\n";
    for (const std::string& row : map) text += row + "\n";
  }
  return text;
}

}  // namespace tilerush::levels
