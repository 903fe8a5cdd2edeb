// rkv-sim: an RKV-3520 stand-in that sends frames over a pseudo-terminal.
#include <chrono>
#include <csignal>
#include <iostream>
#include <string>
#include <vector>

#include "sim_options.h"
#include "sim_run.h"

namespace {

volatile std::sig_atomic_t g_stop = 0;

void OnStopSignal(int) {
  g_stop = 1;
}

void InstallSignals() {
  struct sigaction sa {};
  sa.sa_handler = OnStopSignal;
  sigemptyset(&sa.sa_mask);
  sa.sa_flags = 0;  // no SA_RESTART: a wait ends at once on the signal
  sigaction(SIGINT, &sa, nullptr);
  sigaction(SIGTERM, &sa, nullptr);
  std::signal(SIGPIPE, SIG_IGN);
}

}  // namespace

int main(int argc, char** argv) {
  using namespace linkwatch::sim;
  const ParsedArgs parsed = ParseSimArgs(std::vector<std::string>(argv + 1, argv + argc));
  if (parsed.help) {
    std::cout << UsageText();
    return 0;
  }
  if (!parsed.error.empty()) {
    std::cerr << "rkv-sim: " << parsed.error << "\n\n" << UsageText();
    return 2;
  }
  InstallSignals();
  const auto seed = parsed.options.seed.value_or(
      static_cast<std::uint64_t>(std::chrono::system_clock::now().time_since_epoch().count()));
  return RunSim(parsed.options, seed, std::cout, std::cerr, g_stop);
}
