// A game's body is one object of a few texts, one of them a replay of 100 kB or more.
// nlohmann's reader takes each byte one at a time and keeps it twice (the text and
// the token, for its messages), which made reading the body as costly as a tenth of
// the check; such a body is read here by a plain scan instead, and anything the scan
// is not sure of (a number, a \u escape, a byte outside ASCII, a fault) goes to
// nlohmann whole, so the answer is always nlohmann's.
#include "server/body.h"

#include <optional>
#include <string>

namespace tilerush::board {
namespace {

class FlatObject {
 public:
  explicit FlatObject(std::string_view text) : text_(text) {}

  // The object, when the text is one of texts alone, written plainly.
  std::optional<nlohmann::json> read() {
    nlohmann::json object = nlohmann::json::object();
    blanks();
    if (!take('{')) return std::nullopt;
    blanks();
    if (!take('}')) {
      for (;;) {
        std::string name, value;
        if (!string(name)) return std::nullopt;
        blanks();
        if (!take(':')) return std::nullopt;
        blanks();
        if (!string(value)) return std::nullopt;
        // A name given twice keeps its last value, as nlohmann keeps it.
        object[name] = std::move(value);
        blanks();
        if (take('}')) break;
        if (!take(',')) return std::nullopt;
        blanks();
      }
    }
    blanks();
    if (at_ != text_.size()) return std::nullopt;
    return object;
  }

 private:
  bool take(char c) {
    if (at_ >= text_.size() || text_[at_] != c) return false;
    ++at_;
    return true;
  }
  void blanks() {
    while (at_ < text_.size() &&
           (text_[at_] == ' ' || text_[at_] == '\t' || text_[at_] == '\n' || text_[at_] == '\r'))
      ++at_;
  }
  static bool plain(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 0x20 && byte < 0x80 && c != '"' && c != '\\';
  }
  // A string of printable ASCII and the short escapes; false for anything else.
  bool string(std::string& out) {
    if (!take('"')) return false;
    for (;;) {
      const std::size_t run = at_;
      while (at_ < text_.size() && plain(text_[at_])) ++at_;
      out.append(text_.data() + run, at_ - run);
      if (take('"')) return true;
      if (!take('\\') || at_ >= text_.size()) return false;
      switch (text_[at_++]) {
        case '"':
          out += '"';
          break;
        case '\\':
          out += '\\';
          break;
        case '/':
          out += '/';
          break;
        case 'b':
          out += '\b';
          break;
        case 'f':
          out += '\f';
          break;
        case 'n':
          out += '\n';
          break;
        case 'r':
          out += '\r';
          break;
        case 't':
          out += '\t';
          break;
        default:
          return false;
      }
    }
  }

  std::string_view text_;
  std::size_t at_ = 0;
};

}  // namespace

nlohmann::json parseBody(std::string_view text) {
  if (std::optional<nlohmann::json> flat = FlatObject(text).read()) return std::move(*flat);
  return nlohmann::json::parse(text.begin(), text.end(), nullptr, false);
}

}  // namespace tilerush::board
