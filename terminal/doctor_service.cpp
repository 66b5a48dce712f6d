// The last check: the provider's models list, asked at the address the
// client will use, the way it will go, with each distinct key it may send.
#include <chrono>

#include "doctor_checks.h"
#include "http.h"

namespace {

constexpr unsigned service_patience = 10000;  // ms for the service's answer

// Decimal digits alone, at most `limit`; false for anything else.
bool read_number(const bytes& digits, unsigned long limit, unsigned long& value) {
  value = 0;
  for (const char c : digits) {
    if (c < '0' || c > '9' || value > limit) return false;
    value = value * 10 + static_cast<unsigned long>(c - '0');
  }
  return !digits.empty() && value <= limit;
}

// "https://host:port/path" taken apart; false for anything but an http or
// https address with a host.
bool parse_address(const bytes& url, web_address& address) {
  const std::size_t scheme_end = url.find("://");
  const bytes scheme = lower_case(url.substr(0, scheme_end));
  if (scheme_end == bytes::npos || (scheme != "http" && scheme != "https")) return false;
  address.url = url;
  address.secure = scheme == "https";
  address.port = address.secure ? 443 : 80;
  const std::size_t authority_start = scheme_end + 3;
  const std::size_t path_start = std::min(url.find_first_of("/?#", authority_start), url.size());
  bytes authority = url.substr(authority_start, path_start - authority_start);
  authority.erase(0, authority.rfind('@') + 1);  // user name and password
  address.path = url[path_start] == '/' ? url.substr(path_start) : "/" + url.substr(path_start);
  std::size_t port_at = authority.rfind(':');
  if (!authority.empty() && authority[0] == '[') {
    const std::size_t close = authority.find(']');
    if (close == bytes::npos) return false;
    address.host = authority.substr(1, close - 1);
    port_at = close + 1 < authority.size() ? close + 1 : bytes::npos;
  } else {
    address.host = authority.substr(0, port_at);
  }
  if (port_at != bytes::npos) {
    unsigned long port = 0;
    if (authority[port_at] != ':' || !read_number(authority.substr(port_at + 1), 65535, port))
      return false;
    address.port = static_cast<unsigned>(port);
  }
  return !address.host.empty();
}

// 127.0.0.0/8, ::1 and localhost: a stand-in for the service on this
// machine, the one place plain HTTP may take the key.
bool is_loopback(const bytes& host) {
  const bytes name = lower_case(host);
  if (name == "localhost" || name == "::1") return true;
  int parts = 0;
  for (std::size_t start = 0; start <= name.size(); ++parts) {
    const std::size_t end = std::min(name.find('.', start), name.size());
    unsigned long part = 0;
    if (!read_number(name.substr(start, end - start), 255, part) || (parts == 0 && part != 127))
      return false;
    start = end + 1;
  }
  return parts == 4;
}

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
    default:
      return reply.reason;
  }
}

// One key's answer, named by where the key comes from.
void ask_with(check& result, const web_address& address, const key_source& key) {
  const auto start = std::chrono::steady_clock::now();
  const web_reply reply = get_with_key(address, key.key, service_patience);
  const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now() - start);
  const wide shown_url = shown_address(address.url);
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

check check_service(const facts& found, bool offline) {
  check result("service");
  web_address address;
  const bytes url = found.base_url + "/models";
  if (offline) {
    find(result, verdict::skip, say("dr_offline"));
  } else if (found.keys.empty()) {
    find(result, verdict::skip, say("dr_skip_no_key"));
  } else if (found.base_url.empty()) {
    find(result, verdict::skip, say("dr_skip_no_url"));
  } else if (!parse_address(url, address)) {
    find(result, verdict::fail, say("dr_not_web", {shown_address(found.base_url)}));
  } else if (!address.secure && !is_loopback(address.host)) {
    find(result, verdict::fail, say("dr_plain_http", {shown_address(found.base_url)}));
  } else if (found.proxy_unreachable) {
    find(result, verdict::skip, say("dr_skip_proxy"));
  } else if (!found.proxy.name.empty() && !address.secure) {
    // The client would send the key in the clear through the proxy: the
    // proxy check tried the proxy; the key goes nowhere.
    find(result, verdict::warn, say("dr_plain_through_proxy", {shown_address(found.base_url)}));
  }
  if (result.status != verdict::ok) return result;
  for (const key_source& key : found.keys) ask_with(result, address, key);
  return result;
}
