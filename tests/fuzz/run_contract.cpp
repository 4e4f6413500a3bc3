// Checking a run against its promise, with a small strict JSON reader for the dumps.
#include "run_contract.h"

#include <algorithm>
#include <cctype>
#include <sstream>

#include "sim/runner.h"
#include "sim/values.h"

namespace tilerush::fuzz {
namespace {

// A recursive-descent JSON reader that only says whether the text is well formed.
class JsonReader {
 public:
  explicit JsonReader(std::string_view text) : text_(text) {}

  bool wholeObject() { return peek() == '{' && value(0) && pos_ == text_.size(); }

 private:
  static constexpr int kMaxDepth = 64;

  char peek() const { return pos_ < text_.size() ? text_[pos_] : '\0'; }
  bool take(char ch) {
    if (peek() != ch) return false;
    ++pos_;
    return true;
  }
  void blanks() {
    while (peek() == ' ') ++pos_;
  }
  bool word(std::string_view w) {
    if (text_.substr(pos_, w.size()) != w) return false;
    pos_ += w.size();
    return true;
  }
  bool digits() {
    std::size_t start = pos_;
    while (peek() >= '0' && peek() <= '9') ++pos_;
    return pos_ > start;
  }

  bool value(int depth) {
    if (depth > kMaxDepth) return false;
    blanks();
    char ch = peek();
    bool ok = ch == '{'   ? members(depth, '{', '}', true)
              : ch == '[' ? members(depth, '[', ']', false)
              : ch == '"' ? string()
              : ch == 't' ? word("true")
              : ch == 'f' ? word("false")
              : ch == 'n' ? word("null")
                          : number();
    blanks();
    return ok;
  }

  bool members(int depth, char open, char close, bool keyed) {
    take(open);
    blanks();
    if (take(close)) return true;
    do {
      blanks();
      if (keyed) {
        if (!string()) return false;
        blanks();
        if (!take(':')) return false;
      }
      if (!value(depth + 1)) return false;
    } while (take(','));
    return take(close);
  }

  bool number() {
    take('-');
    if (!take('0') && !digits()) return false;
    if (take('.') && !digits()) return false;
    if (peek() == 'e' || peek() == 'E') {
      ++pos_;
      if (!take('+')) take('-');
      if (!digits()) return false;
    }
    return true;
  }

  bool string() {
    if (!take('"')) return false;
    while (pos_ < text_.size()) {
      auto ch = static_cast<unsigned char>(text_[pos_++]);
      if (ch == '"') return true;
      if (ch < 0x20) return false;
      if (ch == '\\' && !escape()) return false;
    }
    return false;
  }

  bool escape() {
    char ch = peek();
    ++pos_;
    if (std::string_view("\"\\/bfnrt").find(ch) != std::string_view::npos) return true;
    if (ch != 'u' || pos_ + 4 > text_.size()) return false;
    for (int i = 0; i < 4; ++i) {
      if (!std::isxdigit(static_cast<unsigned char>(text_[pos_++]))) return false;
    }
    return true;
  }

  std::string_view text_;
  std::size_t pos_ = 0;
};

std::string errorLineBreach(std::string_view script, std::string_view err) {
  constexpr std::string_view kPrefix = "tilerush-sim: line ";
  if (err.substr(0, kPrefix.size()) != kPrefix)
    return "error does not start with '" + std::string(kPrefix) + "'";
  if (err.empty() || err.back() != '\n' || err.find('\n') != err.size() - 1) return "error is not one line";
  std::size_t pos = kPrefix.size();
  std::size_t line = 0;
  while (pos < err.size() && err[pos] >= '0' && err[pos] <= '9') line = line * 10 + (err[pos++] - '0');
  std::size_t lines = static_cast<std::size_t>(std::count(script.begin(), script.end(), '\n')) + 1;
  if (line < 1 || line > lines) return "error names line " + std::to_string(line) + " of a script of fewer";
  if (err.substr(pos, 2) != ": " || err.size() <= pos + 3) return "error says nothing after the line number";
  return "";
}

}  // namespace

ScriptRun runScriptText(std::string_view script) {
  std::istringstream in{std::string(script)};
  std::ostringstream out;
  std::ostringstream err;
  ScriptRun run;
  run.status = sim::runScript(in, out, err);
  run.out = out.str();
  run.err = err.str();
  return run;
}

bool isJsonObject(std::string_view text) { return sim::validUtf8(text) && JsonReader(text).wholeObject(); }

std::string contractBreach(std::string_view script, const ScriptRun& run) {
  if (run.status == 0 && !run.err.empty()) return "status 0 with an error: " + run.err;
  if (run.status == 2 || run.status == 1) {
    std::string breach = errorLineBreach(script, run.err);
    if (!breach.empty()) return breach + ": " + run.err;
    // Status 1 is kept for an expectation that does not hold.
    if (run.status == 1 && run.err.find(": expected ") == std::string::npos) return "status 1 for " + run.err;
  } else if (run.status != 0) {
    return "exit status " + std::to_string(run.status);
  }
  if (!run.out.empty() && run.out.back() != '\n') return "output does not end a line";
  std::istringstream lines(run.out);
  std::string line;
  while (std::getline(lines, line)) {
    if (!isJsonObject(line)) return "output line is not one JSON object: " + line.substr(0, 200);
  }
  return "";
}

}  // namespace tilerush::fuzz
