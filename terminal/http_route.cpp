// Where the key may go, judged on the HTTP library's own reading of an
// address: plain HTTP only to this machine, written so that no reader of
// the address can take it for another one.
#include <cstddef>

#include "http.h"

namespace {

// Four parts in plain decimal, none with a leading zero, the first 127:
// "0127.0.0.1" is octal to some readers and "127.1" short for 127.0.0.1 to
// some, so neither is taken here.
bool is_plain_loopback_ipv4(const bytes& host) {
  int parts = 0;
  std::size_t start = 0;
  for (;; ++parts) {
    std::size_t end = host.find('.', start);
    if (end == bytes::npos) end = host.size();
    const bytes part = host.substr(start, end - start);
    if (part.empty() || part.size() > 3 || (part.size() > 1 && part[0] == '0')) return false;
    int value = 0;
    for (const char c : part) {
      if (c < '0' || c > '9') return false;
      value = value * 10 + (c - '0');
    }
    if (value > 255 || (parts == 0 && value != 127)) return false;
    if (end == host.size()) return parts == 3;
    start = end + 1;
  }
}

}  // namespace

bool is_loopback_host(const bytes& host) {
  return lower_case(host) == "localhost" || host == "[::1]" || host == "::1" ||
         is_plain_loopback_ipv4(host);
}

key_route route_of(const bytes& url) {
  const address_reading address = read_address(url);
  if (!address.web) return key_route::not_web;
  if (address.secure) return key_route::https;
  // Readers disagree on where "http://a\@b" or a user name leads; the key
  // waits for an address that leaves no doubt.
  if (url.find('\\') != bytes::npos || address.has_user) return key_route::withheld;
  return is_loopback_host(address.host) ? key_route::loopback_http : key_route::withheld;
}

bytes host_of(const bytes& url) {
  bytes host = read_address(url).host;
  if (host.size() > 1 && host.front() == '[') host = host.substr(1, host.size() - 2);
  return lower_case(host);
}

web_failure refusal_of(key_route route, bool through_proxy) {
  if (route == key_route::not_web) return web_failure::not_web;
  // Plain HTTP through a proxy would show the proxy the key.
  if (route == key_route::withheld || (route == key_route::loopback_http && through_proxy))
    return web_failure::key_withheld;
  return web_failure::none;
}
