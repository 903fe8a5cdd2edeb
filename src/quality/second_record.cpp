#include "quality/second_record.h"

namespace linkwatch {

std::string_view LineStateName(LineState s) {
  switch (s) {
    case LineState::Up:
      return "up";
    case LineState::Quiet:
      return "quiet";
    case LineState::Lost:
      return "lost";
  }
  return "up";
}

std::optional<LineState> ParseLineState(std::string_view text) {
  if (text == "up") return LineState::Up;
  if (text == "quiet") return LineState::Quiet;
  if (text == "lost") return LineState::Lost;
  return std::nullopt;
}

}  // namespace linkwatch
