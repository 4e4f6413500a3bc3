// Line and word splitting for scripts.
#include "sim/script.h"

#include "sim/values.h"

namespace tilerush::sim {
namespace {

bool isBlank(char ch) { return ch == ' ' || ch == '\t'; }

}  // namespace

bool LineReader::next(std::string& line) {
  line.clear();
  std::streambuf* buffer = in_.rdbuf();
  if (!buffer) return false;
  using Traits = std::streambuf::traits_type;
  Traits::int_type ch = buffer->sbumpc();
  if (Traits::eq_int_type(ch, Traits::eof())) return false;
  ++number_;
  for (; !Traits::eq_int_type(ch, Traits::eof()); ch = buffer->sbumpc()) {
    if (Traits::to_char_type(ch) == '\n') break;
    // One byte of slack for the CR of a CRLF line end.
    if (line.size() > kMaxLineLength) throw ScriptError("line too long: a line holds at most 1 MiB");
    line.push_back(Traits::to_char_type(ch));
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  if (line.size() > kMaxLineLength) throw ScriptError("line too long: a line holds at most 1 MiB");
  return true;
}

Words::Words(std::string_view line) : text_(line) {
  std::size_t comment = text_.find('#');
  if (comment != std::string_view::npos) text_ = text_.substr(0, comment);
  while (!text_.empty() && isBlank(text_.back())) text_.remove_suffix(1);
  skipBlanks();
}

void Words::skipBlanks() {
  while (pos_ < text_.size() && isBlank(text_[pos_])) ++pos_;
}

std::string_view Words::next() {
  std::size_t start = pos_;
  while (pos_ < text_.size() && !isBlank(text_[pos_])) ++pos_;
  std::string_view word = text_.substr(start, pos_ - start);
  skipBlanks();
  return word;
}

std::string_view Words::rest() {
  std::string_view text = text_.substr(pos_);
  pos_ = text_.size();
  return text;
}

void Words::expectEnd() const {
  if (atEnd()) return;
  std::string_view left = text_.substr(pos_);
  std::size_t end = 0;
  while (end < left.size() && !isBlank(left[end])) ++end;
  throw ScriptError("unexpected " + quoted(left.substr(0, end)) + " at the end of the line");
}

}  // namespace tilerush::sim
