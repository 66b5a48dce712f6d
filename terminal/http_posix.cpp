// The service check's GET through libcurl.
#include <curl/curl.h>

#include "host.h"
#include "http.h"
#include "version.h"

namespace {

std::size_t ignore_body(char*, std::size_t size, std::size_t count, void*) {
  return size * count;
}

web_failure failure_of(CURLcode code) {
  switch (code) {
    case CURLE_COULDNT_RESOLVE_HOST:
      return web_failure::name_not_found;
    case CURLE_COULDNT_CONNECT:
      return web_failure::refused;
    case CURLE_OPERATION_TIMEDOUT:
      return web_failure::timeout;
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

}  // namespace

web_reply get_with_key(const web_address& address, const wide& key, unsigned milliseconds) {
  web_reply reply;
  CURL* const curl = curl_easy_init();
  if (!curl) {
    reply.failure = web_failure::other;
    return reply;
  }
  const bytes authorization = "Authorization: Bearer " + to_utf8(key);
  curl_slist* const headers = curl_slist_append(nullptr, authorization.c_str());
  char error[CURL_ERROR_SIZE] = {};
  curl_easy_setopt(curl, CURLOPT_URL, address.url.c_str());
  curl_easy_setopt(curl, CURLOPT_HTTPHEADER, headers);
  curl_easy_setopt(curl, CURLOPT_USERAGENT, "morvanectl/" MORVANE_VERSION_TEXT);
  curl_easy_setopt(curl, CURLOPT_PROXY, "");  // none, whatever the environment says
  curl_easy_setopt(curl, CURLOPT_FOLLOWLOCATION, 0L);
  curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 1L);
  curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 2L);
  curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, static_cast<long>(milliseconds));
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, ignore_body);
  curl_easy_setopt(curl, CURLOPT_ERRORBUFFER, error);
  const CURLcode done = curl_easy_perform(curl);
  if (done == CURLE_OK) {
    long status = 0;
    curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &status);
    reply.status = static_cast<int>(status);
  } else {
    reply.failure = failure_of(done);
    reply.reason = from_utf8(error[0] ? error : curl_easy_strerror(done));
  }
  curl_slist_free_all(headers);
  curl_easy_cleanup(curl);
  return reply;
}
