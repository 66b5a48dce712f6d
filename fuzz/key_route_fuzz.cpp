// The rule of where the key may go, on arbitrary addresses: no crash, and
// plain HTTP is allowed only where every reader of the host libcurl reads
// (the lenient inet_aton, with octal and short forms, and the strict
// inet_pton) names this machine.
#include <arpa/inet.h>
#include <strings.h>

#include <cstddef>
#include <cstdint>

#include "fuzz_check.h"
#include "http.h"

namespace {

bool every_reader_says_this_machine(const bytes& host) {
  in_addr lenient{}, strict{};
  if (inet_aton(host.c_str(), &lenient) == 0)
    return strcasecmp(host.c_str(), "localhost") == 0 || host == "::1" || host == "[::1]";
  return inet_pton(AF_INET, host.c_str(), &strict) == 1 && lenient.s_addr == strict.s_addr &&
         (ntohl(strict.s_addr) >> 24) == 127;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The first byte picks the scheme, so that most inputs are addresses.
  if (size == 0) return 0;
  const char* const schemes[] = {"http://", "https://", "HTTP://", ""};
  const bytes rest(reinterpret_cast<const char*>(data) + 1, size - 1);
  if (is_loopback_host(rest)) FUZZ_CHECK(every_reader_says_this_machine(rest));
  const bytes url = schemes[data[0] % 4] + rest;
  if (route_of(url) == key_route::loopback_http)
    FUZZ_CHECK(every_reader_says_this_machine(host_of(url)));
  return 0;
}
