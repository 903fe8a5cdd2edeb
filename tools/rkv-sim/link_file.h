#pragma once

#include <string>

namespace linkwatch::sim {

// A symlink at a fixed path that follows the current pty, as a
// /dev/serial/by-id/ link follows a USB adapter. Removed when it goes.
class LinkFile {
 public:
  explicit LinkFile(std::string path) : m_path(std::move(path)) {}
  LinkFile(const LinkFile&) = delete;
  LinkFile& operator=(const LinkFile&) = delete;
  ~LinkFile() { Remove(); }

  // Makes the link point at target, replacing an earlier symlink in one step.
  // Refuses to replace anything that is not a symlink. Returns an error text,
  // empty on success.
  std::string Point(const std::string& target);
  // Removes the link if it still points where this object put it.
  void Remove();

  const std::string& Path() const { return m_path; }

 private:
  std::string m_path;
  std::string m_target;
};

}  // namespace linkwatch::sim
