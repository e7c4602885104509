#include "setup/integration/notification_request_win.h"

#include <memory>

#include "net/http_client_win.h"
#include "net/percent_encoding.h"
#include "net/system_http_client_win.h"
#include "setup/run/run_control_win.h"
#include "tl_core/text.h"

namespace setup {
namespace {

struct NotificationJob {
  std::string address;
  uint32_t timeLimitMs;
};

// Adds the running program to the firewall's authorized applications as
// "Orvanta Setup Installer", so that the request is not blocked. Does
// nothing until the firewall code exists; a failure there will be ignored,
// as the request is tried anyway.
void AuthorizeInstallerInFirewall() {}

DWORD WINAPI RunNotificationRequest(void* parameter) {
  const std::unique_ptr<NotificationJob> job(static_cast<NotificationJob*>(parameter));
  if (net::RequestThroughSystemClient(job->address, job->timeLimitMs)) return 0;
  if (!tl::StartsWithNoCase(job->address, "http")) return 0;
  net::HttpLimits limits;
  limits.waitMs = job->timeLimitMs;
  (void)net::HttpGet(job->address, limits);
  return 0;
}

}  // namespace

tl::ScopedHandle StartNotificationRequest(const std::string& address, uint32_t timeLimitMs) {
  auto job = std::make_unique<NotificationJob>(NotificationJob{address, timeLimitMs});
  tl::ScopedHandle thread(::CreateThread(nullptr, 0, &RunNotificationRequest, job.get(), 0, nullptr));
  // The thread owns the job once it runs.
  if (thread) (void)job.release();
  return thread;
}

void RequestNotificationAddress(const std::string& address, const std::string& displayVersion) {
  AuthorizeInstallerInFirewall();
  tl::ScopedHandle worker = StartNotificationRequest(net::ReplaceVersionPlaceholder(address, displayVersion));
  if (worker) SetRunWorkerThread(worker.Take());
}

}  // namespace setup
