#include "quality/second_record.h"

namespace linkwatch {

std::string_view LineStatusName(LineStatus s) {
  switch (s) {
    case LineStatus::Up:
      return "up";
    case LineStatus::Quiet:
      return "quiet";
    case LineStatus::Lost:
      return "lost";
  }
  return "up";
}

std::optional<LineStatus> ParseLineStatus(std::string_view text) {
  if (text == "up") return LineStatus::Up;
  if (text == "quiet") return LineStatus::Quiet;
  if (text == "lost") return LineStatus::Lost;
  return std::nullopt;
}

}  // namespace linkwatch
