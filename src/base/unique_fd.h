#pragma once

#include <unistd.h>

#include <utility>

namespace linkwatch {

// Owns one file descriptor and closes it when it goes.
class UniqueFd {
 public:
  UniqueFd() = default;
  explicit UniqueFd(int fd) : m_fd(fd) {}
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;
  UniqueFd(UniqueFd&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
  UniqueFd& operator=(UniqueFd&& other) noexcept {
    if (this != &other) Reset(std::exchange(other.m_fd, -1));
    return *this;
  }
  ~UniqueFd() { Reset(); }

  int Get() const { return m_fd; }
  bool Valid() const { return m_fd >= 0; }
  explicit operator bool() const { return Valid(); }

  // Gives the descriptor up without closing it, to a new owner.
  [[nodiscard]] int Release() { return std::exchange(m_fd, -1); }

  // Closes the descriptor held so far; returns close's errno, or 0.
  int Reset(int fd = -1) {
    int err = 0;
    if (m_fd >= 0 && ::close(m_fd) != 0) err = errno;
    m_fd = fd;
    return err;
  }

 private:
  int m_fd = -1;
};

}  // namespace linkwatch
