// The file a game is recorded into: each line on disk as soon as it is made.
#pragma once

#include <cstdio>
#include <memory>
#include <string>
#include <string_view>

namespace tilerush {

class RecordFile {
 public:
  // Creates or empties the file; on failure, `error` says why and the file is not open.
  explicit RecordFile(const std::string& path);
  bool isOpen() const { return file_ != nullptr; }
  const std::string& error() const { return error_; }

  // Whole lines go out in one write each, so that a game cut short by a crash or a
  // kill leaves no half line behind.
  void write(std::string_view lines);

 private:
  struct Closer {
    void operator()(std::FILE* f) const { std::fclose(f); }
  };
  std::unique_ptr<std::FILE, Closer> file_;
  std::string error_;
};

}  // namespace tilerush
