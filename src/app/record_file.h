// The file a game is recorded into: each line on disk as soon as it is made.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "game/result.h"

namespace tilerush {

class RecordFile {
 public:
  // Creates or empties the file at `path`.
  static Result<RecordFile> create(const std::string& path);
  RecordFile(RecordFile&& other) noexcept;
  RecordFile& operator=(RecordFile&&) = delete;
  RecordFile(const RecordFile&) = delete;
  ~RecordFile();

  // Whole lines go out in one write each, so that a game cut short by a crash or a
  // kill leaves no half line behind. A write that fails (a full disk, a file size
  // limit) cuts the file back to the end of its last whole line, so that what was
  // recorded before still replays, and the file takes nothing more: every later call
  // gives the same failure.
  Result<Done> write(std::string_view lines);
  bool broken() const { return !broken_.empty(); }

 private:
  RecordFile(int fd, std::string path) : fd_(fd), path_(std::move(path)) {}
  Result<Done> failure(int error);

  int fd_ = -1;
  std::string path_;
  std::int64_t whole_ = 0;  // bytes on disk, all of them whole lines
  std::string broken_;
};

}  // namespace tilerush
