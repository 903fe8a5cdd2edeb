#include "yes_no_prompt.h"

#include <poll.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <string>

namespace linkwatch::cli {

bool AskYesNo(Console& console, std::string_view question, int inFd, int stopFd) {
  console.Prompt(question);
  std::string answer;
  for (;;) {
    pollfd fds[2] = {{inFd, POLLIN, 0}, {stopFd, POLLIN, 0}};
    const int ready = ::poll(fds, stopFd >= 0 ? 2 : 1, -1);
    if (ready < 0 && errno == EINTR) continue;
    if (ready < 0 || (fds[1].revents & POLLIN) != 0) {
      console.Message("");  // the line the question was on ends here
      return false;
    }
    char c = 0;
    const ssize_t n = ::read(inFd, &c, 1);
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (n <= 0 || c == '\n') break;
    answer += c;
  }
  const auto first = answer.find_first_not_of(" \t");
  return first != std::string::npos &&
         std::tolower(static_cast<unsigned char>(answer[first])) == 'y';
}

}  // namespace linkwatch::cli
