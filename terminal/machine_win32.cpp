// The machine on Windows.
#include <windows.h>

#include <vector>

#include "host.h"
#include "machine.h"
#include "unique_handle.h"

namespace {

// "a;b;;c" gives a, b and c, each without the quotes PATH entries may have.
std::vector<wide> list_of(const wide& text) {
  std::vector<wide> items;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find(u';', start);
    if (end == wide::npos) end = text.size();
    wide item = text.substr(start, end - start);
    if (item.size() >= 2 && item.front() == u'"' && item.back() == u'"')
      item = item.substr(1, item.size() - 2);
    if (!item.empty()) items.push_back(item);
    start = end + 1;
  }
  return items;
}

// Only these does CreateProcess start; a .cmd or .bat through cmd.exe.
bool runnable(const wide& extension) {
  const wide lower = lower_case(extension);
  return lower == u".exe" || lower == u".com" || lower == u".cmd" || lower == u".bat";
}

bool is_batch_file(const wide& program) {
  const wide lower = lower_case(program);
  return lower.size() > 4 && (lower.compare(lower.size() - 4, 4, u".cmd") == 0 ||
                              lower.compare(lower.size() - 4, 4, u".bat") == 0);
}

// Whatever the pipe holds now, without waiting for more.
void take_waiting(HANDLE pipe, bytes& output) {
  DWORD waiting = 0;
  while (PeekNamedPipe(pipe, nullptr, 0, nullptr, &waiting, nullptr) && waiting > 0) {
    char buffer[4096];
    DWORD got = 0;
    if (!ReadFile(pipe, buffer, waiting < sizeof buffer ? waiting : sizeof buffer, &got, nullptr) ||
        got == 0)
      return;
    output.append(buffer, got);
  }
}

}  // namespace

bool set_process_variable(const wide& name, const wide& value) {
  return SetEnvironmentVariableW(win(name), win(value)) != 0;
}

wide working_folder() {
  const DWORD size = GetCurrentDirectoryW(0, nullptr);
  if (size == 0) return wide();
  wide folder(size, u'\0');
  const DWORD length = GetCurrentDirectoryW(size, reinterpret_cast<wchar_t*>(&folder[0]));
  folder.resize(length < size ? length : 0);
  return folder;
}

bool is_directory(const wide& path) {
  const DWORD attributes = GetFileAttributesW(win(path));
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool inside_wsl() {
  return false;
}

// As cmd.exe looks: each PATH folder in turn, each PATHEXT ending in turn.
wide find_on_path(const wide& name) {
  wide endings = process_variable(u"PATHEXT");
  if (endings.empty()) endings = u".COM;.EXE;.BAT;.CMD";
  for (wide folder : list_of(process_variable(u"PATH"))) {
    if (folder.back() != u'\\' && folder.back() != u'/') folder += u'\\';
    for (const wide& ending : list_of(endings)) {
      const DWORD attributes = GetFileAttributesW(win(folder + name + ending));
      if (runnable(ending) && attributes != INVALID_FILE_ATTRIBUTES &&
          !(attributes & FILE_ATTRIBUTE_DIRECTORY))
        return folder + name + ending;
    }
  }
  return wide();
}

// The program runs in a job that ends with this function, so that on a
// timeout whatever it started (cmd.exe's node, for the npm launcher) ends
// with it.
program_answer ask_program(const wide& program, const char* arguments, unsigned milliseconds) {
  program_answer answer;
  SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
  HANDLE read_end = nullptr, write_end = nullptr;
  if (!CreatePipe(&read_end, &write_end, &inherited, 0)) return answer;
  const unique_object reader(read_end);
  unique_object writer(write_end);
  SetHandleInformation(read_end, HANDLE_FLAG_INHERIT, 0);
  const unique_file null_device(CreateFileW(L"NUL", GENERIC_READ | GENERIC_WRITE,
                                            FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited,
                                            OPEN_EXISTING, 0, nullptr));
  const unique_object job(CreateJobObjectW(nullptr, nullptr));
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits, sizeof limits);

  const wide quoted = u"\"" + program + u"\" " + from_utf8(arguments);
  wide application = program;
  wide command = quoted;
  if (is_batch_file(program)) {
    wchar_t system[MAX_PATH] = {};
    GetSystemDirectoryW(system, MAX_PATH);
    application = reinterpret_cast<const char16_t*>(system) + wide(u"\\cmd.exe");
    command = u"cmd.exe /d /s /c \"" + quoted + u"\"";
  }
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = null_device.get();
  startup.hStdOutput = writer.get();
  startup.hStdError = null_device.get();
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(win(application), reinterpret_cast<wchar_t*>(&command[0]), nullptr, nullptr,
                      TRUE, CREATE_NO_WINDOW | CREATE_SUSPENDED, nullptr, nullptr, &startup,
                      &started))
    return answer;
  const unique_object process(started.hProcess), thread(started.hThread);
  AssignProcessToJobObject(job.get(), process.get());
  ResumeThread(thread.get());
  writer.reset();  // the child's copy is the only writer left

  const ULONGLONG deadline = GetTickCount64() + milliseconds;
  while (WaitForSingleObject(process.get(), 20) == WAIT_TIMEOUT) {
    take_waiting(reader.get(), answer.output);
    if (GetTickCount64() >= deadline) {
      TerminateJobObject(job.get(), 1);
      TerminateProcess(process.get(), 1);  // in case it could not join the job
      return answer;
    }
  }
  take_waiting(reader.get(), answer.output);
  DWORD code = 1;
  answer.ended = true;
  answer.answered = GetExitCodeProcess(process.get(), &code) && code == 0;
  return answer;
}
