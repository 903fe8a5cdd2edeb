#pragma once

#include <string>
#include <string_view>

namespace linkwatch::cli {

// A test duration as given on the command line.
struct ParsedDuration {
  int seconds = 0;     // 0 = continuous
  int listIndex = -1;  // the duration list's item with these seconds, -1 for none
  std::string error;   // empty when the text was good
};

// "continuous", one of the duration list's items ("15 minutes" ... "1 week",
// case ignored), or a whole number of seconds above 0 with an optional unit:
// "90", "90s", "15m", "2h", "7d". Anything else, a zero or a value past the
// largest duration the test can hold is an error.
ParsedDuration ParseDuration(std::string_view text);

}  // namespace linkwatch::cli
