#include "control/resource.h"

namespace linkwatch {

std::string_view LoadString(int id) {
  switch (id) {
    case IDS_ABOUTBOX:
      return "&About linkwatch...";
    case IDS_COM1:
      return "COM1";
    case IDS_COM2:
      return "COM2";
    case IDS_COM3:
      return "COM3";
    case IDS_COM4:
      return "COM4";
    case IDS_LOG_HEADER:
      return "   Date      Time    No.Pckts     ucERR      cERR  SyncLoss";
    case IDS_LOG_HEADER_REPEAT:
      return "\r\n   Date      Time    No.Pckts     ucERR      cERR  SyncLoss";
    default:
      return {};
  }
}

}  // namespace linkwatch
