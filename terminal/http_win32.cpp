// The service check's GET through WinHTTP, which also reads every address
// (WinHttpCrackUrl): the host it connects to is the one the rule judged.
// winhttp.dll is not one of the DLLs Windows always takes from its own
// folder, so it is not imported at load time, when the program's folder
// would be searched first: it is loaded from the system folder here and its
// calls are looked up by name.
#include <windows.h>
// winhttp.h needs windows.h first.
#include <winhttp.h>

#include <memory>

#include "host.h"
#include "http.h"
#include "unique_handle.h"
#include "version.h"

namespace {

// Through void (*)(), which converts to any function type without a warning.
template <typename function>
function look_up(HMODULE module, const char* name) {
  return reinterpret_cast<function>(reinterpret_cast<void (*)()>(GetProcAddress(module, name)));
}

struct winhttp_calls {
  explicit winhttp_calls(HMODULE module)
      : open(look_up<decltype(&WinHttpOpen)>(module, "WinHttpOpen")),
        crack_url(look_up<decltype(&WinHttpCrackUrl)>(module, "WinHttpCrackUrl")),
        connect(look_up<decltype(&WinHttpConnect)>(module, "WinHttpConnect")),
        open_request(look_up<decltype(&WinHttpOpenRequest)>(module, "WinHttpOpenRequest")),
        set_option(look_up<decltype(&WinHttpSetOption)>(module, "WinHttpSetOption")),
        set_timeouts(look_up<decltype(&WinHttpSetTimeouts)>(module, "WinHttpSetTimeouts")),
        send_request(look_up<decltype(&WinHttpSendRequest)>(module, "WinHttpSendRequest")),
        receive_response(
            look_up<decltype(&WinHttpReceiveResponse)>(module, "WinHttpReceiveResponse")),
        query_headers(look_up<decltype(&WinHttpQueryHeaders)>(module, "WinHttpQueryHeaders")),
        close_handle(look_up<decltype(&WinHttpCloseHandle)>(module, "WinHttpCloseHandle")) {}
  bool complete() const {
    return open && crack_url && connect && open_request && set_option && set_timeouts &&
           send_request && receive_response && query_headers && close_handle;
  }
  decltype(&WinHttpOpen) open;
  decltype(&WinHttpCrackUrl) crack_url;
  decltype(&WinHttpConnect) connect;
  decltype(&WinHttpOpenRequest) open_request;
  decltype(&WinHttpSetOption) set_option;
  decltype(&WinHttpSetTimeouts) set_timeouts;
  decltype(&WinHttpSendRequest) send_request;
  decltype(&WinHttpReceiveResponse) receive_response;
  decltype(&WinHttpQueryHeaders) query_headers;
  decltype(&WinHttpCloseHandle) close_handle;
};

// Loaded once and kept: an exchange given up at its deadline may still be
// running on its thread.
const winhttp_calls* winhttp() {
  static const HMODULE module =
      LoadLibraryExW(L"winhttp.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
  static const winhttp_calls calls(module);
  return module && calls.complete() ? &calls : nullptr;
}

// A session, connection or request, closed through the loaded DLL.
class internet_handle {
 public:
  internet_handle(HINTERNET handle, const winhttp_calls& calls) : handle_(handle), calls_(calls) {}
  ~internet_handle() {
    if (handle_) calls_.close_handle(handle_);
  }
  internet_handle(const internet_handle&) = delete;
  internet_handle& operator=(const internet_handle&) = delete;
  HINTERNET get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }

 private:
  HINTERNET handle_;
  const winhttp_calls& calls_;
};

web_reply failed(web_failure failure) {
  web_reply reply;
  reply.failure = failure;
  return reply;
}

web_reply failed_with_last_error(bool through_proxy = false) {
  web_reply reply;
  const DWORD error = GetLastError();
  switch (error) {
    case ERROR_WINHTTP_NAME_NOT_RESOLVED:
      reply.failure = through_proxy ? web_failure::proxy_failed : web_failure::name_not_found;
      break;
    case ERROR_WINHTTP_CANNOT_CONNECT:
      reply.failure = through_proxy ? web_failure::proxy_failed : web_failure::refused;
      break;
    case ERROR_WINHTTP_TIMEOUT:
      reply.failure = web_failure::timeout;
      break;
    case ERROR_WINHTTP_SECURE_FAILURE:
    case ERROR_WINHTTP_SECURE_CERT_DATE_INVALID:
    case ERROR_WINHTTP_SECURE_CERT_CN_INVALID:
    case ERROR_WINHTTP_SECURE_INVALID_CA:
    case ERROR_WINHTTP_SECURE_CERT_REV_FAILED:
    case ERROR_WINHTTP_SECURE_INVALID_CERT:
    case ERROR_WINHTTP_SECURE_CERT_REVOKED:
    case ERROR_WINHTTP_SECURE_CERT_WRONG_USAGE:
    case ERROR_WINHTTP_SECURE_CHANNEL_ERROR:
      reply.failure = web_failure::secure_channel;
      break;
    default:
      reply.failure = web_failure::other;
      reply.reason = system_message(static_cast<int>(error));
  }
  return reply;
}

// An address as WinHTTP reads it.
struct cracked_url {
  bool read = false;
  bool secure = false;
  bool has_user = false;
  wide host;
  INTERNET_PORT port = 0;
  wide path;  // with the query
};

cracked_url crack(const winhttp_calls& calls, const bytes& url) {
  cracked_url address;
  const wide text = from_utf8(url);
  if (url.find('\0') != bytes::npos || to_utf8(text) != url) return address;
  URL_COMPONENTS parts{};
  parts.dwStructSize = sizeof parts;
  // Lengths without buffers: the parts point into the text.
  parts.dwSchemeLength = parts.dwHostNameLength = parts.dwUserNameLength = parts.dwPasswordLength =
      parts.dwUrlPathLength = parts.dwExtraInfoLength = 1;
  if (!calls.crack_url(win(text), static_cast<DWORD>(text.size()), 0, &parts)) return address;
  const auto part = [](const wchar_t* start, DWORD length) {
    return start ? wide(reinterpret_cast<const char16_t*>(start), length) : wide();
  };
  address.read = parts.nScheme == INTERNET_SCHEME_HTTP || parts.nScheme == INTERNET_SCHEME_HTTPS;
  address.secure = parts.nScheme == INTERNET_SCHEME_HTTPS;
  address.has_user = parts.dwUserNameLength > 0 || parts.dwPasswordLength > 0;
  address.host = part(parts.lpszHostName, parts.dwHostNameLength);
  address.port = parts.nPort;
  address.path = part(parts.lpszUrlPath, parts.dwUrlPathLength) +
                 part(parts.lpszExtraInfo, parts.dwExtraInfoLength);
  if (address.path.empty() || address.path[0] != u'/') address.path.insert(0, u"/");
  return address;
}

// A proxy as "host:port", the form WinHTTP takes; empty when it cannot be read.
wide proxy_name(const winhttp_calls& calls, const bytes& proxy) {
  const cracked_url address =
      crack(calls, proxy.find("://") == bytes::npos ? "http://" + proxy : proxy);
  if (!address.read || address.host.empty()) return wide();
  return address.host + u":" + from_utf8(std::to_string(address.port));
}

// One request, every step of it given the whole time; get_with_key gives
// up on it at the deadline.
web_reply exchange(const winhttp_calls& calls, const cracked_url& address, const wide& key,
                   const wide& proxy, unsigned milliseconds) {
  const bool through_proxy = !proxy.empty();
  const wide agent = u"morvanectl/" + from_utf8(MORVANE_VERSION_TEXT);
  const internet_handle session(
      calls.open(win(agent),
                 through_proxy ? WINHTTP_ACCESS_TYPE_NAMED_PROXY : WINHTTP_ACCESS_TYPE_NO_PROXY,
                 through_proxy ? win(proxy) : WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0),
      calls);
  const int time = static_cast<int>(milliseconds);
  if (!session || !calls.set_timeouts(session.get(), time, time, time, time))
    return failed_with_last_error();
  const internet_handle connection(calls.connect(session.get(), win(address.host), address.port, 0),
                                   calls);
  if (!connection) return failed_with_last_error();
  const internet_handle request(
      calls.open_request(connection.get(), key.empty() ? L"HEAD" : L"GET", win(address.path),
                         nullptr, WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
                         address.secure ? WINHTTP_FLAG_SECURE : 0),
      calls);
  if (!request) return failed_with_last_error();
  // A redirect would carry the key elsewhere: no request goes unless
  // WinHTTP agreed to follow none.
  DWORD no_redirects = WINHTTP_DISABLE_REDIRECTS;
  if (!calls.set_option(request.get(), WINHTTP_OPTION_DISABLE_FEATURE, &no_redirects,
                        sizeof no_redirects))
    return failed_with_last_error();

  const wide authorization = key.empty() ? wide() : u"Authorization: Bearer " + key;
  if (!calls.send_request(request.get(), authorization.empty() ? nullptr : win(authorization),
                          authorization.empty() ? 0 : static_cast<DWORD>(-1),
                          WINHTTP_NO_REQUEST_DATA, 0, 0, 0) ||
      !calls.receive_response(request.get(), nullptr))
    return failed_with_last_error(through_proxy);
  DWORD status = 0;
  DWORD size = sizeof status;
  if (!calls.query_headers(request.get(), WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                           WINHTTP_HEADER_NAME_BY_INDEX, &status, &size, WINHTTP_NO_HEADER_INDEX))
    return failed_with_last_error();
  web_reply reply;
  reply.status = static_cast<int>(status);
  return reply;
}

// What the exchange's thread needs, shared with it: the caller may have
// given up and gone by the time it ends.
struct pending_exchange {
  const winhttp_calls* calls;
  cracked_url address;
  wide key;
  wide proxy;
  unsigned milliseconds;
  web_reply reply;
};

DWORD WINAPI run_exchange(void* parameter) {
  const std::unique_ptr<std::shared_ptr<pending_exchange>> held(
      static_cast<std::shared_ptr<pending_exchange>*>(parameter));
  pending_exchange& work = **held;
  work.reply = exchange(*work.calls, work.address, work.key, work.proxy, work.milliseconds);
  return 0;
}

// The exchange on a thread of its own, so that one deadline covers it all.
web_reply exchange_by(const winhttp_calls& calls, const cracked_url& address, const wide& key,
                      const wide& proxy, unsigned milliseconds) {
  const auto work = std::make_shared<pending_exchange>(
      pending_exchange{&calls, address, key, proxy, milliseconds, web_reply()});
  auto* const handed = new std::shared_ptr<pending_exchange>(work);
  const unique_object thread(CreateThread(nullptr, 0, run_exchange, handed, 0, nullptr));
  if (!thread) {
    delete handed;
    return failed_with_last_error();
  }
  if (WaitForSingleObject(thread.get(), milliseconds) != WAIT_OBJECT_0)
    return failed(web_failure::timeout);
  return work->reply;
}

}  // namespace

address_reading read_address(const bytes& url) {
  const winhttp_calls* const calls = winhttp();
  const cracked_url cracked = calls ? crack(*calls, url) : cracked_url();
  address_reading address;
  address.web = cracked.read && !cracked.host.empty();
  address.secure = cracked.secure;
  address.has_user = cracked.has_user;
  address.host = to_utf8(cracked.host);
  return address;
}

web_reply get_with_key(const bytes& url, const wide& key, const bytes& proxy, unsigned milliseconds,
                       const bytes&) {
  const winhttp_calls* const calls = winhttp();
  if (!calls) return failed_with_last_error();
  const web_failure refusal = refusal_of(route_of(url), !proxy.empty());
  if (refusal != web_failure::none) return failed(refusal);
  // WinHTTP connects by the same reading of the address that the rule judged.
  const cracked_url address = crack(*calls, url);
  const wide through = proxy.empty() ? wide() : proxy_name(*calls, proxy);
  if (!proxy.empty() && through.empty()) return failed(web_failure::proxy_failed);
  return exchange_by(*calls, address, key, through, milliseconds);
}

// A HEAD request to the proxy itself, without the key: any answer, even an
// error page, shows that it takes connections.
web_reply reach_proxy(const bytes& proxy, unsigned milliseconds) {
  const winhttp_calls* const calls = winhttp();
  if (!calls) return failed_with_last_error();
  const cracked_url address = crack(*calls, "http://" + to_utf8(proxy_name(*calls, proxy)) + "/");
  if (!address.read) return failed(web_failure::not_web);
  web_reply reply = exchange_by(*calls, address, wide(), wide(), milliseconds);
  const web_failure failure = reply.failure;
  if (failure != web_failure::name_not_found && failure != web_failure::refused &&
      failure != web_failure::timeout)
    reply = web_reply();
  return reply;
}
