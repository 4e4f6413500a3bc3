// Opening a replay file for writing, and writing it a line at a time.
#include "app/record_file.h"

#include <cerrno>
#include <cstring>

namespace tilerush {

RecordFile::RecordFile(const std::string& path) : file_(std::fopen(path.c_str(), "w")) {
  if (!file_) error_ = "cannot write " + path + ": " + std::strerror(errno);
}

void RecordFile::write(std::string_view lines) {
  if (!file_) return;
  std::fwrite(lines.data(), 1, lines.size(), file_.get());
  std::fflush(file_.get());
}

}  // namespace tilerush
