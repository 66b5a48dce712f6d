// The last check: the provider's models list, asked at the address the
// client will use, the way it will go, with each distinct key it may send.
#include <chrono>

#include "doctor_checks.h"
#include "http.h"

namespace {

constexpr unsigned service_patience = 10000;  // ms for the service's answer

// One key's answer, named by where the key comes from.
void ask_with(check& result, const bytes& url, const bytes& proxy, const key_source& key) {
  const auto start = std::chrono::steady_clock::now();
  const web_reply reply = get_with_key(url, key.key, proxy, service_patience);
  const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now() - start);
  const wide shown_url = shown_address(url);
  if (reply.status >= 200 && reply.status < 300) {
    find(result, verdict::ok,
         say("dr_service_ok", {shown_url, number(reply.status), number(took.count()), key.source}));
  } else if (reply.status == 401 || reply.status == 403) {
    find(result, verdict::fail, say("dr_refused", {shown_url, number(reply.status), key.source}));
  } else if (reply.status == 404 || reply.status == 405) {
    find(result, verdict::warn, say("dr_no_models_list", {shown_url, number(reply.status)}));
  } else if (reply.status != 0) {
    find(result, verdict::fail, say("dr_http_status", {shown_url, number(reply.status)}));
  } else {
    find(result, verdict::fail, say("dr_unreachable", {shown_url, reason_of(reply)}));
  }
}

}  // namespace

wide reason_of(const web_reply& reply) {
  const wide words = reply.reason.empty() ? wide() : u" (" + reply.reason + u")";
  switch (reply.failure) {
    case web_failure::name_not_found:
      return say("dr_why_name");
    case web_failure::refused:
      return say("dr_why_refused");
    case web_failure::timeout:
      return say("dr_why_timeout");
    case web_failure::secure_channel:
      return say("dr_why_tls") + words;
    case web_failure::proxy_failed:
      return say("dr_why_proxy") + words;
    case web_failure::key_withheld:
      return say("dr_why_withheld");
    default:
      return reply.reason;
  }
}

check check_service(const facts& found, bool offline) {
  check result("service");
  const bytes url = found.base_url + "/models";
  const key_route route = found.base_url.empty() ? key_route::not_web : route_of(url);
  if (offline) {
    find(result, verdict::skip, say("dr_offline"));
  } else if (found.keys.empty()) {
    find(result, verdict::skip, say("dr_skip_no_key"));
  } else if (found.base_url.empty()) {
    find(result, verdict::skip, say("dr_skip_no_url"));
  } else if (route == key_route::not_web) {
    find(result, verdict::fail, say("dr_not_web", {shown_address(found.base_url)}));
  } else if (route == key_route::withheld) {
    find(result, verdict::fail, say("dr_plain_http", {shown_address(found.base_url)}));
  } else if (found.proxy_unreachable) {
    find(result, verdict::skip, say("dr_skip_proxy"));
  } else if (!found.proxy.name.empty() && route == key_route::loopback_http) {
    // The client would send the key in the clear through the proxy: the
    // proxy check tried the proxy; the key goes nowhere.
    find(result, verdict::warn, say("dr_plain_through_proxy", {shown_address(found.base_url)}));
  }
  if (result.status != verdict::ok) return result;
  for (const key_source& key : found.keys) ask_with(result, url, found.proxy.value, key);
  return result;
}
