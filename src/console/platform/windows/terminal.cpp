// The Windows side of the platform seam: the standard streams in binary mode
// with the program's own "\r\n", the console's keys through _getch, its lines
// through its own line editing, and code pages that show Chinese.
#include <conio.h>
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdlib>
#include <string>

#include "console/platform/platform.h"
#include "console/platform/windows/console.h"

namespace {

constexpr UINT kUtf8CodePage = 65001;
constexpr int kCtrlC = 0x03;
constexpr int kCtrlZ = 0x1a;
constexpr int kFirstOfTwoCodes = 0x00;       // function keys
constexpr int kOtherFirstOfTwoCodes = 0xe0;  // arrows, Home, PageUp and the like
constexpr DWORD kMostLineUnits = 4096;
constexpr std::size_t kMostConsoleWriteUnits = 8192;
constexpr DWORD kRetryAfterMs = 50;

bool stdout_is_console = false;
// The code pages before the switch to UTF-8; the control handler has a thread of its own.
std::atomic<bool> code_pages_switched{false};
UINT input_code_page_before = 0;
UINT output_code_page_before = 0;

// Ctrl-C, Ctrl-Break, a closed window: the code pages go back, then the system ends the program.
BOOL WINAPI on_console_event(DWORD) {
  end_console();
  return FALSE;
}

UINT code_page_of(Console_Encoding encoding) {
  return encoding == Console_Encoding::kUtf8 ? kUtf8CodePage : kChineseCodePage;
}

// In UTF-16, the texts show right whatever the console's code page.
bool write_to_console(std::string_view bytes, UINT code_page) {
  const int size = static_cast<int>(bytes.size());
  const int units = MultiByteToWideChar(code_page, 0, bytes.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(units), L'\0');
  MultiByteToWideChar(code_page, 0, bytes.data(), size, wide.data(), units);
  const HANDLE console = GetStdHandle(STD_OUTPUT_HANDLE);
  for (std::size_t done = 0; done < wide.size();) {
    // Pieces every Windows console takes, never splitting a surrogate pair.
    std::size_t part = std::min<std::size_t>(wide.size() - done, kMostConsoleWriteUnits);
    if (done + part < wide.size() && IS_HIGH_SURROGATE(wide[done + part - 1])) --part;
    DWORD written = 0;
    if (!WriteConsoleW(console, wide.data() + done, static_cast<DWORD>(part), &written, nullptr) ||
        written == 0) {
      errno = EIO;
      return false;
    }
    done += written;
  }
  return true;
}

// As the C runtime reports it; a pipe whose reader has gone as Linux does.
int errno_for(DWORD error) {
  switch (error) {
    case ERROR_NO_DATA:
    case ERROR_BROKEN_PIPE:
    case ERROR_PIPE_NOT_CONNECTED: return EPIPE;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return ENOSPC;
    case ERROR_INVALID_HANDLE: return EBADF;
    case ERROR_ACCESS_DENIED: return EACCES;
    default: return EIO;
  }
}

}  // namespace

void start_console(bool rows_on_standard_output) {
  // The program writes its own "\r\n" and reads "\r\n" and "\n" alike; text mode
  // would also take Ctrl-Z in a file for its end.
  _setmode(_fileno(stdin), _O_BINARY);
  _setmode(_fileno(stdout), _O_BINARY);
  stdout_is_console = rows_on_standard_output;
  if (!stdout_is_console) return;
  const UINT output_code_page = GetConsoleOutputCP();
  if (output_code_page == kChineseCodePage || output_code_page == kUtf8CodePage) return;
  // Any other code page has no Chinese: UTF-8 for the run, the old ones after.
  input_code_page_before = GetConsoleCP();
  output_code_page_before = output_code_page;
  SetConsoleCP(kUtf8CodePage);
  SetConsoleOutputCP(kUtf8CodePage);
  code_pages_switched.store(true);
  std::atexit(end_console);
  SetConsoleCtrlHandler(on_console_event, TRUE);
}

void end_console() {
  if (!code_pages_switched.exchange(false)) return;
  SetConsoleCP(input_code_page_before);
  SetConsoleOutputCP(output_code_page_before);
}

std::string_view line_end() { return "\r\n"; }

int open_input_file(const char* path) { return _open(path, _O_RDONLY | _O_BINARY); }

std::ptrdiff_t read_input(int descriptor, void* into, std::size_t size) {
  return _read(descriptor, into, static_cast<unsigned>(std::min<std::size_t>(size, INT_MAX)));
}

// A pipe says what it holds; a closed one, like a file, answers at once.
bool input_has_come(int descriptor) {
  const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(descriptor));
  if (GetFileType(handle) != FILE_TYPE_PIPE) return true;
  DWORD available = 0;
  return !PeekNamedPipe(handle, nullptr, 0, nullptr, &available, nullptr) || available > 0;
}

Input_Kind standard_input_kind() {
  return is_console(STD_INPUT_HANDLE) ? Input_Kind::kKeys : Input_Kind::kStream;
}

bool standard_output_is_terminal() { return is_console(STD_OUTPUT_HANDLE); }

bool write_standard_output(std::string_view bytes, Console_Encoding encoding) {
  if (stdout_is_console) return write_to_console(bytes, code_page_of(encoding));
  // WriteFile itself, so that the system's own reason is at hand.
  const HANDLE output = GetStdHandle(STD_OUTPUT_HANDLE);
  while (!bytes.empty()) {
    DWORD put = 0;
    const auto part = static_cast<DWORD>(std::min<std::size_t>(bytes.size(), INT_MAX));
    if (!WriteFile(output, bytes.data(), part, &put, nullptr) || put == 0) {
      errno = errno_for(GetLastError());
      return false;
    }
    bytes.remove_prefix(put);
  }
  return true;
}

// Ctrl-C ends the program through the system's own handling.
void owe_line_breaks(int) {}

int read_console_key(std::string_view, Console_Encoding) {
  const int code = _getch();
  if (code == kFirstOfTwoCodes || code == kOtherFirstOfTwoCodes) {
    _getch();  // the key's scan code: the two are one key
    return kEscape;
  }
  if (code == kCtrlZ) return kEndOfInput;
  if (code == kCtrlC) {
    // Taken as a key here; it ends the program as it ends console programs.
    end_console();
    ExitProcess(STATUS_CONTROL_C_EXIT);
  }
  return code;
}

std::ptrdiff_t read_console_line(const Line_Request& request) {
  const std::size_t capacity = request.capacity;
  const Console_Encoding encoding = request.encoding;
  const HANDLE console = GetStdHandle(STD_INPUT_HANDLE);
  // Every UTF-16 unit takes at most three bytes in UTF-8, two in GBK.
  const auto most = static_cast<DWORD>(std::min<std::size_t>(kMostLineUnits, capacity / 3));
  wchar_t wide[kMostLineUnits];
  DWORD got = 0;
  // A console line has at least its Enter: nothing means Ctrl-C broke the read
  // off, and is ending the program (or was ignored: the line is asked again).
  do {
    if (!ReadConsoleW(console, wide, most, &got, nullptr)) {
      errno = EIO;
      return kConsoleFailed;
    }
    if (got == 0) Sleep(kRetryAfterMs);
  } while (got == 0);
  // Ctrl-Z at the start of a line is the end of input, as the C runtime takes it.
  if (wide[0] == static_cast<wchar_t>(kCtrlZ)) return 0;
  const int size = static_cast<int>(std::min<std::size_t>(capacity, INT_MAX));
  // A character code page 936 lacks would be stored as "?": the line is
  // refused instead. UTF-8 holds every character, and takes no such flags.
  const bool utf8 = encoding == Console_Encoding::kUtf8;
  BOOL lost = FALSE;
  const int converted = WideCharToMultiByte(code_page_of(encoding), utf8 ? 0 : WC_NO_BEST_FIT_CHARS,
                                            wide, static_cast<int>(got), request.into, size,
                                            nullptr, utf8 ? nullptr : &lost);
  return lost ? kLineNotInEncoding : converted;
}
