#pragma once
// The one place the API key leaves this program: a GET with it, for the
// doctor's service check. The key goes over HTTPS with the certificate
// verified, or over plain HTTP to this machine only; where it may go is
// decided on the HTTP library's own reading of the address (the one it will
// connect by) before any connection and, where the library tells which
// address it connected to, checked again before the request is sent. No
// redirect is followed, and one deadline covers the whole exchange.
// Defined once per platform: libcurl in http_posix.cpp, WinHTTP in
// http_win32.cpp; the rule on host names common to both in http_route.cpp.
#include "wide.h"

enum class web_failure {
  none,
  name_not_found,
  refused,
  secure_channel,
  timeout,
  key_withheld,  // plain HTTP to another machine, or through a proxy: nothing was sent
  not_web,       // not an http or https address the library can read
  proxy_failed,  // the proxy was not found, refused the connection or the tunnel
  other,
};

struct web_reply {
  int status = 0;  // the HTTP status; 0 when no answer came
  web_failure failure = web_failure::none;
  wide reason;  // the library's own words, for web_failure::other and proxy_failed
};

// Where the key may go for an address.
enum class key_route {
  https,          // anywhere, inside TLS with the certificate verified
  loopback_http,  // plain HTTP to this machine
  withheld,       // plain HTTP elsewhere, or to a place the readers of the address disagree on
  not_web,        // not an http or https address
};
key_route route_of(const bytes& url);

// GET url with "Authorization: Bearer KEY", through `proxy` (a proxy URL as
// the environment gives it; empty: straight to the address). Through a
// proxy only HTTPS is sent, inside a tunnel the proxy cannot read; the key
// is withheld wherever route_of does not allow it.
// The certificate is checked against the system's authorities, or against
// those of `certificate_file` (PEM, as SSL_CERT_FILE names one for the
// client) where one is given; WinHTTP always takes the system's.
web_reply get_with_key(const bytes& url, const wide& key, const bytes& proxy, unsigned milliseconds,
                       const bytes& certificate_file = bytes());

// Whether the proxy accepts a connection within the time; nothing of the
// key is sent.
web_reply reach_proxy(const bytes& proxy, unsigned milliseconds);

// The host of an address as the library reads it, lower case, without
// brackets; empty when it cannot read the address.
bytes host_of(const bytes& url);

// What get_with_key says instead of sending the key for a route, straight
// or through a proxy; none where the key may go.
web_failure refusal_of(key_route route, bool through_proxy);

// The host part of an address as the library gave it, judged: a loopback
// address written so that no reader can take it for another (127.x.x.x in
// plain decimal, ::1, localhost).
bool is_loopback_host(const bytes& host);

// What the rule needs of an address, as the platform's HTTP library reads
// it; route_of and host_of (http_route.cpp) judge that.
struct address_reading {
  bool web = false;       // http or https, with a host
  bool secure = false;    // https
  bool has_user = false;  // a user name or password in it
  bytes host;             // as the library gives it
};
address_reading read_address(const bytes& url);
