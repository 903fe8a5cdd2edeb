#pragma once

#include <functional>
#include <string>

#include "metrics_address.h"

struct MHD_Daemon;

namespace linkwatch::cli {

// /metrics over HTTP with GNU libmicrohttpd, driven from the caller's own poll
// loop: MHD runs no thread, and Run never waits, so no client can hold up a
// tick, and the figures are read on the one thread that changes them.
// Connections are bounded in number and in idle time, so a client that
// connects and says nothing costs a slot for a while, never the loop.
class MetricsServer {
 public:
  using Page = std::function<std::string()>;

  static constexpr unsigned kConnectionLimit = 16;
  static constexpr unsigned kIdleSeconds = 10;

  // Binds where told and listens; Error says why it could not.
  MetricsServer(const MetricsAddress& where, Page page);
  MetricsServer(const MetricsServer&) = delete;
  MetricsServer& operator=(const MetricsServer&) = delete;
  ~MetricsServer();

  // What went wrong, with the system's reason; empty when it serves.
  const std::string& Error() const { return m_strError; }
  // Where it listens, the port filled in: "127.0.0.1:9731".
  const std::string& Where() const { return m_strWhere; }

  // A descriptor to wait on for reading; Run is due when it is readable.
  int Fd() const { return m_nFd; }
  // The longest wait before Run is due anyway, in milliseconds; -1 for none.
  int TimeoutMs() const;
  // Does what the clients' sockets allow now, without waiting.
  void Run();
  // The page for one request.
  std::string Body() const { return m_page(); }

 private:
  Page m_page;
  MHD_Daemon* m_pDaemon = nullptr;
  int m_nFd = -1;
  std::string m_strError;
  std::string m_strWhere;
};

}  // namespace linkwatch::cli
