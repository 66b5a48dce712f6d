// The rule of where the key may go, on arbitrary addresses: no crash, and
// plain HTTP is allowed only where libcurl's own reading of the address,
// and every reader of its host, names this machine.
#include <arpa/inet.h>
#include <curl/curl.h>
#include <strings.h>

#include <cstddef>
#include <cstdint>

#include "fuzz_check.h"
#include "http.h"

namespace {

bytes part_of(CURLU* url, CURLUPart part) {
  char* text = nullptr;
  if (curl_url_get(url, part, &text, 0) != CURLUE_OK || !text) return bytes();
  const bytes value = text;
  curl_free(text);
  return value;
}

// The host as the lenient reader (inet_aton: octal, hex, short forms) and
// the strict one (inet_pton) take it: both on this machine, or neither a
// number.
bool every_reader_says_this_machine(const bytes& host) {
  in_addr lenient{}, strict{};
  const bool number = inet_aton(host.c_str(), &lenient) != 0;
  if (!number)
    return strcasecmp(host.c_str(), "localhost") == 0 || host == "[::1]" || host == "::1";
  return inet_pton(AF_INET, host.c_str(), &strict) == 1 && lenient.s_addr == strict.s_addr &&
         (ntohl(strict.s_addr) >> 24) == 127;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // A short prefix picks the scheme, so that most inputs are addresses.
  const char* const schemes[] = {"http://", "https://", "HTTP://", ""};
  const bytes url = bytes(size > 0 ? schemes[data[0] % 4] : "") +
                    bytes(reinterpret_cast<const char*>(data), size).substr(size > 0 ? 1 : 0);
  const bytes host = url.substr(url.find("://") == bytes::npos ? 0 : url.find("://") + 3);
  if (is_loopback_host(host)) FUZZ_CHECK(every_reader_says_this_machine(host));
  if (route_of(url) != key_route::loopback_http) return 0;
  CURLU* const parsed = curl_url();
  FUZZ_CHECK(curl_url_set(parsed, CURLUPART_URL, url.c_str(), 0) == CURLUE_OK);
  FUZZ_CHECK(part_of(parsed, CURLUPART_SCHEME) == "http");
  FUZZ_CHECK(part_of(parsed, CURLUPART_USER).empty());
  FUZZ_CHECK(every_reader_says_this_machine(part_of(parsed, CURLUPART_HOST)));
  curl_url_cleanup(parsed);
  return 0;
}
