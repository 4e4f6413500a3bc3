// Reading a script: lines (LF or CRLF, any bytes) and the blank-separated words of one line.
#pragma once

#include <istream>
#include <string>
#include <string_view>

namespace tilerush::sim {

// No command needs more; a longer line is refused rather than read into memory whole.
inline constexpr std::size_t kMaxLineLength = 1 << 20;

class LineReader {
 public:
  explicit LineReader(std::istream& in) : in_(in) {}
  // The next line without its end (LF or CRLF); false once the script has ended.
  // A line longer than kMaxLineLength is a ScriptError.
  bool next(std::string& line);
  // Number of the line last read, from 1.
  int number() const { return number_; }

 private:
  std::istream& in_;
  int number_ = 0;
};

// The words of one line, separated by spaces and tabs; `#` starts a comment
// that runs to the end of the line.
class Words {
 public:
  explicit Words(std::string_view line);
  bool atEnd() const { return pos_ >= text_.size(); }
  // The next word, or an empty view at the end of the line.
  std::string_view next();
  // Everything after the next blanks, with trailing blanks dropped: a caption or a
  // map row, which may hold blanks of its own.
  std::string_view rest();
  // A ScriptError when words are left over.
  void expectEnd() const;

 private:
  void skipBlanks();
  std::string_view text_;
  std::size_t pos_ = 0;
};

}  // namespace tilerush::sim
