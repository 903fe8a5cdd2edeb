// linkwatch-cli: a link test without a window, for lab PCs nobody watches
// and boxes reached over SSH.
#include <signal.h>

#include <iostream>
#include <string>
#include <vector>

#include "cli_options.h"
#include "cli_run.h"
#include "exit_codes.h"
#include "list_devices.h"

int main(int argc, char** argv) {
  using namespace linkwatch::cli;
  // A file-size limit must reach the log writer as EFBIG, which it reports,
  // not end a week-long test; a reader of standard output that goes away
  // must not end it either.
  ::signal(SIGXFSZ, SIG_IGN);
  ::signal(SIGPIPE, SIG_IGN);

  const ParsedCli parsed = ParseCliArgs(std::vector<std::string>(argv + 1, argv + argc));
  if (parsed.help) {
    std::cout << UsageText() << std::flush;
    return kExitOk;
  }
  if (!parsed.error.empty()) {
    std::cerr << "linkwatch-cli: " << parsed.error << "\nTry 'linkwatch-cli --help'.\n";
    return kExitUsage;
  }
  if (parsed.listDevices) return ListDevices();
  return RunCli(parsed.options);
}
