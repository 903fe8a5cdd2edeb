#pragma once

#include <string_view>

#include "console.h"

namespace linkwatch::cli {

// Asks the question on the console and reads one line from inFd: true only
// for an answer that starts with y or Y. End of input, a read error and a
// stop signal readable on stopFd (which is left unread) all count as no.
bool AskYesNo(Console& console, std::string_view question, int inFd, int stopFd);

}  // namespace linkwatch::cli
