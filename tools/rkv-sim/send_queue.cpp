#include "send_queue.h"

#include <algorithm>

namespace linkwatch::sim {
namespace {

// A pty holds far less than this unread, so older frames cannot be lost any
// more and need not be remembered.
constexpr std::uint64_t kRecentWindow = 256 * 1024;

}  // namespace

void SendQueue::Push(const StreamUnit& unit) {
  m_bytes.insert(m_bytes.end(), unit.bytes.begin(), unit.bytes.end());
  m_queued += unit.bytes.size();
  m_marks.push_back({m_queued, unit.frame});
}

std::span<const std::uint8_t> SendQueue::Pending() const {
  return {m_bytes.data() + m_head, Size()};
}

void SendQueue::Written(std::size_t n) {
  n = std::min(n, Size());
  m_head += n;
  m_summary.bytes += n;
  const std::uint64_t written = m_summary.bytes;
  while (!m_marks.empty() && m_marks.front().end <= written) {
    const Mark& mark = m_marks.front();
    if (mark.frame) {
      m_summary.delivered.Add(*mark.frame);
      m_recent.push_back({mark.end, *mark.frame});
    } else {
      ++m_summary.noiseUnits;
    }
    m_marks.pop_front();
  }
  while (!m_recent.empty() && m_recent.front().end + kRecentWindow < written) m_recent.pop_front();
  // Keep the buffer from growing: move the unwritten rest to the front now and then.
  if (m_head > 4096 && m_head * 2 > m_bytes.size()) {
    m_bytes.erase(m_bytes.begin(), m_bytes.begin() + static_cast<std::ptrdiff_t>(m_head));
    m_head = 0;
  }
}

void SendQueue::DropPending() {
  m_bytes.clear();
  m_head = 0;
  m_marks.clear();
  m_queued = m_summary.bytes;
}

void SendQueue::Unread(std::size_t n) {
  const std::uint64_t written = m_summary.bytes;
  const std::uint64_t taken = written - std::min<std::uint64_t>(n, written);
  // A frame ending after the last byte taken had at least its last byte
  // unread: the reader never completed it.
  while (!m_recent.empty() && m_recent.back().end > taken) {
    m_summary.delivered.Remove(m_recent.back().frame);
    m_summary.lost.Add(m_recent.back().frame);
    m_recent.pop_back();
  }
}

}  // namespace linkwatch::sim
