#include "metrics_server.h"

#include <microhttpd.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <cerrno>
#include <climits>
#include <cstring>

#include "base/sys_error.h"
#include "base/unique_fd.h"
#include "metrics_text.h"

namespace linkwatch::cli {

namespace {

constexpr int kBacklog = 16;

// A listening socket exactly at the address, so that a failure carries the
// system's reason ("Address already in use"), which MHD would not pass on.
UniqueFd Listen(const MetricsAddress& where, std::string& error) {
  const int family = where.addr.ss_family;
  UniqueFd fd(::socket(family, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
  if (!fd) {
    error = SysErrorText(errno);
    return fd;
  }
  const int on = 1;
  // A restart soon after a stop finds the port in TIME_WAIT; this does not
  // let a second listener share it.
  ::setsockopt(fd.Get(), SOL_SOCKET, SO_REUSEADDR, &on, sizeof on);
  // [::] means IPv6 only, not IPv4 as well behind the system's back.
  if (family == AF_INET6) ::setsockopt(fd.Get(), IPPROTO_IPV6, IPV6_V6ONLY, &on, sizeof on);
  if (::bind(fd.Get(), reinterpret_cast<const sockaddr*>(&where.addr), where.length) != 0 ||
      ::listen(fd.Get(), kBacklog) != 0) {
    error = SysErrorText(errno);
    fd.Reset();
  }
  return fd;
}

MHD_Result Send(MHD_Connection* connection, unsigned status, const std::string& body,
                const char* type) {
  MHD_Response* response = MHD_create_response_from_buffer(
      body.size(), const_cast<char*>(body.data()), MHD_RESPMEM_MUST_COPY);
  if (response == nullptr) return MHD_NO;
  MHD_add_response_header(response, MHD_HTTP_HEADER_CONTENT_TYPE, type);
  if (status == MHD_HTTP_METHOD_NOT_ALLOWED) {
    MHD_add_response_header(response, MHD_HTTP_HEADER_ALLOW, "GET, HEAD");
  }
  const MHD_Result queued = MHD_queue_response(connection, status, response);
  MHD_destroy_response(response);
  return queued;
}

MHD_Result Answer(void* cls, MHD_Connection* connection, const char* url, const char* method,
                  const char* /*version*/, const char* /*uploadData*/, std::size_t* uploadSize,
                  void** state) {
  // The first call only announces the request; the answer comes with the
  // next, once any body the client sends has been read and discarded.
  static int seen;
  if (*state != &seen) {
    *state = &seen;
    return MHD_YES;
  }
  if (*uploadSize != 0) {
    *uploadSize = 0;
    return MHD_YES;
  }
  const std::string_view m = method;
  if (m != MHD_HTTP_METHOD_GET && m != MHD_HTTP_METHOD_HEAD) {
    return Send(connection, MHD_HTTP_METHOD_NOT_ALLOWED, "Only GET and HEAD.\n", "text/plain");
  }
  if (std::string_view(url) != "/metrics") {
    return Send(connection, MHD_HTTP_NOT_FOUND, "Not found: the metrics are at /metrics.\n",
                "text/plain");
  }
  const auto* server = static_cast<const MetricsServer*>(cls);
  return Send(connection, MHD_HTTP_OK, server->Body(), kMetricsContentType);
}

}  // namespace

MetricsServer::MetricsServer(const MetricsAddress& where, Page page) : m_page(std::move(page)) {
  m_strWhere = MetricsAddressText(where.addr);
  UniqueFd listening = Listen(where, m_strError);
  if (!listening) return;
  sockaddr_storage bound{};
  socklen_t length = sizeof bound;
  if (::getsockname(listening.Get(), reinterpret_cast<sockaddr*>(&bound), &length) == 0) {
    m_strWhere = MetricsAddressText(bound);
  }
  // The daemon owns the socket from here, and closes it when it stops (or
  // when it fails to start): it is not closed twice.
  const int listenFd = listening.Release();
  const unsigned flags = MHD_USE_EPOLL | (where.addr.ss_family == AF_INET6 ? MHD_USE_IPv6 : 0);
  m_pDaemon = MHD_start_daemon(flags, 0, nullptr, nullptr, &Answer, this, MHD_OPTION_LISTEN_SOCKET,
                               listenFd, MHD_OPTION_CONNECTION_LIMIT, kConnectionLimit,
                               MHD_OPTION_CONNECTION_TIMEOUT, kIdleSeconds, MHD_OPTION_END);
  if (m_pDaemon == nullptr) {
    m_strError = "the HTTP server could not start";
    return;
  }
  const MHD_DaemonInfo* info = MHD_get_daemon_info(m_pDaemon, MHD_DAEMON_INFO_EPOLL_FD);
  if (info == nullptr) {
    m_strError = "the HTTP server has no descriptor to wait on";
    return;
  }
  m_nFd = info->epoll_fd;
}

MetricsServer::~MetricsServer() {
  if (m_pDaemon != nullptr) MHD_stop_daemon(m_pDaemon);
}

int MetricsServer::TimeoutMs() const {
  MHD_UNSIGNED_LONG_LONG ms = 0;
  if (m_pDaemon == nullptr || MHD_get_timeout(m_pDaemon, &ms) != MHD_YES) return -1;
  return ms > INT_MAX ? INT_MAX : static_cast<int>(ms);
}

void MetricsServer::Run() {
  if (m_pDaemon != nullptr) MHD_run(m_pDaemon);
}

}  // namespace linkwatch::cli
