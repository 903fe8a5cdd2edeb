#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <span>
#include <vector>

#include "frame_source.h"
#include "sim_totals.h"

namespace linkwatch::sim {

// The bytes waiting to be written, and the accounting of what has been: a
// frame counts once its last byte is written, and stops counting (as lost)
// when it turns out that the reader never took it.
class SendQueue {
 public:
  void Push(const StreamUnit& unit);
  std::size_t Size() const { return m_bytes.size() - m_head; }
  // The bytes not yet written, oldest first.
  std::span<const std::uint8_t> Pending() const;
  // n bytes from the front were written.
  void Written(std::size_t n);
  // Drops everything not yet written; nothing of it counts.
  void DropPending();
  // The last n written bytes never reached the reader: the frames with a byte
  // among them move from delivered to lost.
  void Unread(std::size_t n);

  const SimSummary& Summary() const { return m_summary; }

 private:
  struct Mark {
    std::uint64_t end;  // stream offset just past the unit's last byte
    std::optional<FrameCounts> frame;
  };
  struct Sent {
    std::uint64_t end;
    FrameCounts frame;
  };

  std::vector<std::uint8_t> m_bytes;  // from m_head on: not yet written
  std::size_t m_head = 0;
  std::uint64_t m_queued = 0;  // stream offset past the last queued byte
  std::deque<Mark> m_marks;    // units not yet completely written
  std::deque<Sent> m_recent;   // frames written lately, for Unread
  SimSummary m_summary;
};

}  // namespace linkwatch::sim
