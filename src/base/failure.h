#pragma once

// How this program reports errors, in every layer:
//
// - A thin wrapper of a system call returns the call's errno as an int, 0 for
//   success (UniqueFd::Reset, LogFile::Write, LogFile::Sync). It adds no text:
//   the caller knows what was being done and for whom.
// - Anything whose failure ends up in front of a person returns, or keeps for
//   the asking, one Failure: a closed set of codes saying what went wrong in
//   this program's terms, the errno of the system call that failed (0 when no
//   call failed), and the subject, the thing it was about (a device, a path);
//   and, where a kind of failure has more to tell, its facts.
//   The words a person reads are formed at the top, from these three, by the
//   layer that shows them (control/port_failure_text.cpp, for one).
// - The system's own description of an errno comes from SysErrorText and is
//   never parsed: code and errno are the facts.
// - No exception leaves a layer.

#include <string>

namespace linkwatch {

struct NoFacts {};

template <class Code, class Facts = NoFacts>
struct Failure {
  Code code{};
  int sysErrno = 0;     // errno of the failing call, 0 if none
  std::string subject;  // what it was about: a device, a path
  Facts facts{};        // what else this kind of failure tells

  explicit operator bool() const { return code != Code{}; }
};

}  // namespace linkwatch
