// The Codex client itself: on PATH, telling its version and, where it has
// its own doctor and the service may be asked, what that doctor finds in
// the parts that decide whether a request gets through.
#include "doctor_checks.h"
#include "machine.h"

namespace {

constexpr unsigned client_patience = 5000;   // ms for "codex --version" and "--help"
constexpr unsigned doctor_patience = 15000;  // ms for "codex doctor --json"

// The client's own checks that speak of what this doctor checks too.
constexpr const char* client_checks[] = {"config.load", "auth.credentials", "network.env",
                                         "network.provider_reachability"};
// Its reachability check also fails where the models list is missing,
// though requests go through; the service check below decides that, so
// this one warns at most.
constexpr char reachability_check[] = "network.provider_reachability";

bytes first_line(const bytes& output) {
  bytes line = output.substr(0, output.find('\n'));
  while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
  return line;
}

// Its commands as "codex --help" lists them, two spaces in.
bool has_doctor(const wide& program) {
  const program_answer help = ask_program(program, "--help", client_patience);
  return help.answered && help.output.find("\n  doctor ") != bytes::npos;
}

// One check of "codex doctor --json": {"id": ..., "status": ..., "summary":
// ..., "details": {...}, ...}, each in an object named by its id.
void take_client_check(check& result, const bytes& report, const char* id) {
  const std::size_t start = report.find("\"" + bytes(id) + "\": {");
  if (start == bytes::npos) return;
  const bytes section = report.substr(start, report.find("\"durationMs\"", start) - start);
  const wide status = json_string_value(section, "status");
  if (status != u"fail" && status != u"warning") return;
  wide summary = json_string_value(section, "summary");
  const wide warning = json_string_value(section, "startup warning");
  if (!warning.empty()) summary += u": " + warning;
  const bool decides = bytes(id) != reachability_check;
  find(result, status == u"fail" && decides ? verdict::fail : verdict::warn,
       say("dr_client_says", {from_utf8(id), summary}));
}

}  // namespace

check check_client(const facts& found, bool offline) {
  check result("client");
  const wide program = find_on_path(u"codex");
  if (program.empty()) {
    // The desktop app on Windows carries a client of its own.
    const bool desktop =
        desktop_app_exists && found.account.signed_in && found.account.client == platform::desktop;
    find(result, desktop ? verdict::warn : verdict::fail, say("dr_client_missing"));
    return result;
  }
  const program_answer answer = ask_program(program, "--version", client_patience);
  const bytes version = first_line(answer.output);
  if (!answer.answered || version.empty()) {
    find(result, verdict::warn, say("dr_client_silent", {program}));
    return result;
  }
  find(result, verdict::ok, say("dr_client_ok", {from_utf8(version), program}));
  if (offline || !has_doctor(program)) return result;
  const program_answer report = ask_program(program, "doctor --json", doctor_patience);
  if (!report.ended) find(result, verdict::warn, say("dr_client_doctor_silent", {program}));
  for (const char* id : client_checks) take_client_check(result, report.output, id);
  return result;
}
