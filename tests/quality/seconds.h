#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "quality/second_record.h"

namespace linkwatch::test {

// Seconds written as one letter each, 100 packets a second:
//   .  clean          c  5 cERR only (still clean)
//   e  1 ucERR        a  29 ucERR (just under 30 %)
//   b  30 ucERR (exactly 30 %, severe)   S  50 ucERR (severe)
//   y  a sync loss, no ucERR            z  1 ucERR in a second of 0 packets
//   q  quiet line     -  line lost
inline std::vector<SecondRecord> Seconds(std::string_view pattern, std::int64_t t0 = 1'000'000) {
  std::vector<SecondRecord> out;
  for (const char ch : pattern) {
    SecondRecord r;
    r.time = t0 + static_cast<std::int64_t>(out.size());
    r.packets = 100;
    r.frames = 1;
    switch (ch) {
      case 'c':
        r.cErr = 5;
        break;
      case 'e':
        r.ucErr = 1;
        break;
      case 'a':
        r.ucErr = 29;
        break;
      case 'b':
        r.ucErr = 30;
        break;
      case 'S':
        r.ucErr = 50;
        break;
      case 'y':
        r.syncLoss = 1;
        break;
      case 'z':
        r.ucErr = 1;
        r.packets = 0;
        break;
      case 'q':
        r = {r.time, 0, 0, 0, 0, 0, LineStatus::Quiet};
        break;
      case '-':
        r = {r.time, 0, 0, 0, 0, 0, LineStatus::Lost};
        break;
      default:
        break;
    }
    out.push_back(r);
  }
  return out;
}

}  // namespace linkwatch::test
