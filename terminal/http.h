#pragma once
// One HTTP GET with the API key, for the doctor's service check: never
// through a proxy, certificates always verified, no redirect followed (the
// key goes to the address given and nowhere else). Defined once per
// platform: libcurl in http_posix.cpp, WinHTTP in http_win32.cpp.
#include "wide.h"

// An http or https address, taken apart.
struct web_address {
  bytes url;
  bool secure = true;  // https
  bytes host;          // without the brackets of an IPv6 address
  unsigned port = 443;
  bytes path;  // from the first slash on; "/" at least
};

enum class web_failure { none, name_not_found, refused, secure_channel, timeout, other };

struct web_reply {
  int status = 0;  // the HTTP status; 0 when no answer came
  web_failure failure = web_failure::none;
  wide reason;  // the library's own words, for web_failure::other
};

// GET with "Authorization: Bearer KEY", given up after `milliseconds`.
web_reply get_with_key(const web_address& address, const wide& key, unsigned milliseconds);
