// Opening a replay file for writing, and writing it a line at a time, straight to the
// file descriptor: stdio's buffer would hide which bytes reached the disk when a write
// fails halfway.
#include "app/record_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace tilerush {

Result<RecordFile> RecordFile::create(const std::string& path) {
  const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return Result<RecordFile>::failure("cannot write " + path + ": " + std::strerror(errno));
  return RecordFile(fd, path);
}

RecordFile::RecordFile(RecordFile&& other) noexcept
    : fd_(other.fd_), path_(std::move(other.path_)), whole_(other.whole_), broken_(std::move(other.broken_)) {
  other.fd_ = -1;
}

RecordFile::~RecordFile() {
  if (fd_ >= 0) ::close(fd_);
}

Result<Done> RecordFile::write(std::string_view lines) {
  if (broken()) return Result<Done>::failure(broken_);
  std::size_t sent = 0;
  while (sent < lines.size()) {
    const ssize_t n = ::write(fd_, lines.data() + sent, lines.size() - sent);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return failure(n < 0 ? errno : ENOSPC);
    sent += static_cast<std::size_t>(n);
  }
  whole_ += static_cast<std::int64_t>(sent);
  return Done{};
}

Result<Done> RecordFile::failure(int error) {
  broken_ = "cannot write " + path_ + ": " + std::strerror(error);
  // Where the disk took part of the lines, the part goes again, so that what remains
  // replays. A device such as /dev/full cannot be cut (EINVAL) and keeps nothing.
  if (::ftruncate(fd_, whole_) != 0 && errno != EINVAL) {
    broken_ += "; its last line may be cut short";
  }
  ::close(fd_);
  fd_ = -1;
  return Result<Done>::failure(broken_);
}

}  // namespace tilerush
