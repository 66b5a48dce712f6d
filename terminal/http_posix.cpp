// The service check's GET through libcurl, which also reads every address:
// the host it connects to is the one it parsed, so the rule judges that.
#include <arpa/inet.h>
#include <curl/curl.h>

#include <cstdlib>
#include <memory>

#include "host.h"
#include "http.h"
#include "version.h"

namespace {

struct url_deleter {
  void operator()(CURLU* url) const { curl_url_cleanup(url); }
};
using url_handle = std::unique_ptr<CURLU, url_deleter>;

struct easy_deleter {
  void operator()(CURL* curl) const { curl_easy_cleanup(curl); }
};
using easy_handle = std::unique_ptr<CURL, easy_deleter>;

struct header_list_deleter {
  void operator()(curl_slist* list) const { curl_slist_free_all(list); }
};
using header_list = std::unique_ptr<curl_slist, header_list_deleter>;

// One part of an address as libcurl reads it; empty when it has none.
bytes part_of(CURLU* url, CURLUPart part, unsigned flags = 0) {
  char* text = nullptr;
  if (curl_url_get(url, part, &text, flags) != CURLUE_OK || !text) return bytes();
  const bytes value = text;
  curl_free(text);
  return value;
}

// The address as libcurl reads it; null for anything it cannot read.
url_handle read_url(const bytes& text, unsigned flags = 0) {
  url_handle url(curl_url());
  if (!url || text.find('\0') != bytes::npos ||
      curl_url_set(url.get(), CURLUPART_URL, text.c_str(), flags) != CURLUE_OK)
    return nullptr;
  return url;
}

// Called once connected, before the request goes: plain HTTP only to an
// address of this machine, whatever the name resolved to.
int connected_to_this_machine(void*, char* remote, char*, int, int) {
  in_addr ipv4{};
  in6_addr ipv6{};
  const bool loopback =
      (inet_pton(AF_INET, remote, &ipv4) == 1 && (ntohl(ipv4.s_addr) >> 24) == 127) ||
      (inet_pton(AF_INET6, remote, &ipv6) == 1 && IN6_IS_ADDR_LOOPBACK(&ipv6));
  return loopback ? CURL_PREREQFUNC_OK : CURL_PREREQFUNC_ABORT;
}

web_failure failure_of(CURLcode code, bool through_proxy) {
  switch (code) {
    case CURLE_COULDNT_RESOLVE_PROXY:
    case CURLE_PROXY:
      return web_failure::proxy_failed;
    case CURLE_COULDNT_RESOLVE_HOST:
      return web_failure::name_not_found;
    case CURLE_COULDNT_CONNECT:
      return through_proxy ? web_failure::proxy_failed : web_failure::refused;
    case CURLE_OPERATION_TIMEDOUT:
      return web_failure::timeout;
    case CURLE_ABORTED_BY_CALLBACK:
      return web_failure::key_withheld;
    case CURLE_SSL_CONNECT_ERROR:
    case CURLE_PEER_FAILED_VERIFICATION:
    case CURLE_SSL_CERTPROBLEM:
    case CURLE_SSL_CIPHER:
    case CURLE_SSL_CACERT_BADFILE:
    case CURLE_SSL_ISSUER_ERROR:
      return web_failure::secure_channel;
    default:
      return web_failure::other;
  }
}

web_reply failed(web_failure failure, const bytes& reason = bytes()) {
  web_reply reply;
  reply.failure = failure;
  reply.reason = from_utf8(reason);
  return reply;
}

// Runs the prepared exchange and says how it went.
web_reply perform(CURL* curl, bool through_proxy) {
  char error[CURL_ERROR_SIZE] = {};
  curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, error);
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  const CURLcode done = curl_easy_perform(curl);
  if (done == CURLE_OK) {
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    web_reply reply;
    reply.status = static_cast<int>(status);
    return reply;
  }
  web_failure failure = failure_of(done, through_proxy);
  long tunnel = 0;  // the proxy's answer to CONNECT, when it did not open the tunnel
  curl_easy_getinfo(curl, CURLINFO_HTTP_CONNECTCODE, &tunnel);
  if (through_proxy && tunnel != 0 && tunnel != 200) failure = web_failure::proxy_failed;
  return failed(failure, error[0] ? error : curl_easy_strerror(done));
}

std::size_t ignore_body(char*, std::size_t size, std::size_t count, void*) {
  return size * count;
}

}  // namespace

address_reading read_address(const bytes& url) {
  address_reading address;
  const url_handle read = read_url(url);
  if (!read) return address;
  const bytes scheme = part_of(read.get(), CURLUPART_SCHEME);
  address.host = part_of(read.get(), CURLUPART_HOST);
  address.web = (scheme == "http" || scheme == "https") && !address.host.empty();
  address.secure = scheme == "https";
  address.has_user = !part_of(read.get(), CURLUPART_USER).empty() ||
                     !part_of(read.get(), CURLUPART_PASSWORD).empty();
  return address;
}

web_reply get_with_key(const bytes& url, const wide& key, const bytes& proxy, unsigned milliseconds,
                       const bytes& certificate_file) {
  const key_route route = route_of(url);
  const web_failure refusal = refusal_of(route, !proxy.empty());
  if (refusal != web_failure::none) return failed(refusal);
  // libcurl connects by the same reading of the address that the rule judged.
  const url_handle address = read_url(url);
  // The proxy's port as its address implies it (80 for http://), not
  // libcurl's 1080, so that the proxy tried is the one the client uses.
  const url_handle proxy_address = proxy.empty() ? nullptr : read_url(proxy, CURLU_DEFAULT_SCHEME);
  if (!proxy.empty() && !proxy_address) return failed(web_failure::proxy_failed);

  const easy_handle curl(curl_easy_init());
  if (!curl) return failed(web_failure::other);
  const header_list headers(
      curl_slist_append(nullptr, ("Authorization: Bearer " + to_utf8(key)).c_str()));
  CURL* const c = curl.get();
  curl_easy_setopt(c, CURLOPT_CURLU, address.get());
  curl_easy_setopt(c, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(c, CURLOPT_HTTPHEADER, headers.get());
  // The key goes to the service alone, never in the request to the proxy.
  curl_easy_setopt(c, CURLOPT_HEADEROPT, CURLHEADER_SEPARATE);
  curl_easy_setopt(c, CURLOPT_USERAGENT, "morvanectl/" MORVANE_VERSION_TEXT);
  curl_easy_setopt(c, CURLOPT_FOLLOWLOCATION, 0L);
  curl_easy_setopt(c, CURLOPT_SSL_VERIFYPEER, 1L);
  curl_easy_setopt(c, CURLOPT_SSL_VERIFYHOST, 2L);
  if (!certificate_file.empty()) curl_easy_setopt(c, CURLOPT_CAINFO, certificate_file.c_str());
  curl_easy_setopt(c, CURLOPT_TIMEOUT_MS, static_cast<long>(milliseconds));
  curl_easy_setopt(c, CURLOPT_WRITEFUNCTION, ignore_body);
  if (proxy.empty()) {
    curl_easy_setopt(c, CURLOPT_PROXY, "");  // none, whatever the environment says
  } else {
    curl_easy_setopt(c, CURLOPT_PROXY, proxy.c_str());
    const bytes port = part_of(proxy_address.get(), CURLUPART_PORT, CURLU_DEFAULT_PORT);
    curl_easy_setopt(c, CURLOPT_PROXYPORT, std::strtol(port.c_str(), nullptr, 10));
    curl_easy_setopt(c, CURLOPT_NOPROXY, "");  // the proxy given, whatever NO_PROXY says
    curl_easy_setopt(c, CURLOPT_HTTPPROXYTUNNEL, 1L);
  }
  if (route == key_route::loopback_http)
    curl_easy_setopt(c, CURLOPT_PREREQFUNCTION, connected_to_this_machine);
  return perform(c, !proxy.empty());
}

web_reply reach_proxy(const bytes& proxy, unsigned milliseconds) {
  const url_handle proxy_address = read_url(proxy, CURLU_DEFAULT_SCHEME);
  if (!proxy_address) return failed(web_failure::not_web);
  // Only a connection to the proxy's host and port; nothing is sent.
  const url_handle target(curl_url());
  curl_url_set(target.get(), CURLUPART_SCHEME, "http", 0);
  curl_url_set(target.get(), CURLUPART_HOST, part_of(proxy_address.get(), CURLUPART_HOST).c_str(),
               0);
  curl_url_set(target.get(), CURLUPART_PORT,
               part_of(proxy_address.get(), CURLUPART_PORT, CURLU_DEFAULT_PORT).c_str(), 0);
  const easy_handle curl(curl_easy_init());
  if (!curl) return failed(web_failure::other);
  curl_easy_setopt(curl.get(), CURLOPT_CURLU, target.get());
  curl_easy_setopt(curl.get(), CURLOPT_PROXY, "");
  curl_easy_setopt(curl.get(), CURLOPT_CONNECT_ONLY, 1L);
  curl_easy_setopt(curl.get(), CURLOPT_TIMEOUT_MS, static_cast<long>(milliseconds));
  return perform(curl.get(), false);
}
