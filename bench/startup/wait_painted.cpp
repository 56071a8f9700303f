// Starts a program and measures how long it takes until its window is on the screen with
// its first pixels drawn, and how much memory it had used by then.
//
// Usage: wait_painted [--timeout MS] [--settle MS] TITLE PROGRAM [ARGS...]
// Prints one line to stdout:  mapped_ms=<ms> painted_ms=<ms> vmhwm_kib=<KiB>
// (times from the fork; the program's own stdout is sent to stderr so the line stays alone).
// Exits 0 on success, 1 on a timeout or when the program dies first, 2 on bad usage.
//
// Painting is detected by reading back a row of the window's pixels every millisecond until
// it differs from what the screen showed there when the window was mapped: Qt creates its
// windows without a background, so the server draws nothing of its own and the first change
// is the program's first flush. This needs only Xlib (no XDamage), and it looks at pixels
// rather than at drawing requests.

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/select.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <chrono>
#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

struct Options {
  std::chrono::milliseconds timeout{10'000};
  std::chrono::milliseconds settle{0};
  std::string title;
  std::vector<char*> argv;  // program and its arguments, null-terminated
};

[[noreturn]] void Usage() {
  std::fputs("usage: wait_painted [--timeout MS] [--settle MS] TITLE PROGRAM [ARGS...]\n", stderr);
  std::exit(2);
}

std::chrono::milliseconds ParseMs(const char* text) {
  long value = 0;
  const std::string_view view{text};
  const auto [end, error] = std::from_chars(view.data(), view.data() + view.size(), value);
  if (error != std::errc{} || end != view.data() + view.size() || value < 0) Usage();
  return std::chrono::milliseconds{value};
}

Options ParseOptions(int argc, char** argv) {
  Options options;
  int i = 1;
  for (; i < argc; ++i) {
    const std::string_view arg{argv[i]};
    if (arg == "--timeout" && i + 1 < argc) {
      options.timeout = ParseMs(argv[++i]);
    } else if (arg == "--settle" && i + 1 < argc) {
      options.settle = ParseMs(argv[++i]);
    } else {
      break;
    }
  }
  if (argc - i < 2) Usage();
  options.title = argv[i++];
  for (; i < argc; ++i) options.argv.push_back(argv[i]);
  options.argv.push_back(nullptr);
  return options;
}

double MsSince(Clock::time_point start, Clock::time_point end) {
  return std::chrono::duration<double, std::milli>(end - start).count();
}

// Windows of other clients may be destroyed between an event and our request about them;
// such errors are expected and must not end the measurement.
int IgnoreXError(Display*, XErrorEvent*) {
  return 0;
}

class Desktop {
 public:
  explicit Desktop(Display* display)
      : display_{display},
        root_{DefaultRootWindow(display)},
        netWmName_{XInternAtom(display, "_NET_WM_NAME", False)},
        netWmPid_{XInternAtom(display, "_NET_WM_PID", False)},
        utf8String_{XInternAtom(display, "UTF8_STRING", False)} {}

  Window Root() const { return root_; }
  bool IsNameAtom(Atom atom) const { return atom == XA_WM_NAME || atom == netWmName_; }

  // The window's title as UTF-8: _NET_WM_NAME if set, otherwise WM_NAME.
  std::optional<std::string> Name(Window window) const {
    if (auto name = Utf8Property(window, netWmName_)) return name;
    XTextProperty property{};
    if (!XGetTextProperty(display_, window, &property, XA_WM_NAME) || property.value == nullptr) {
      return std::nullopt;
    }
    std::optional<std::string> name;
    char** list = nullptr;
    int count = 0;
    if (Xutf8TextPropertyToTextList(display_, &property, &list, &count) >= Success && count > 0) {
      name = std::string{list[0]};
    }
    if (list != nullptr) XFreeStringList(list);
    XFree(property.value);
    return name;
  }

  std::optional<pid_t> Pid(Window window) const {
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::optional<pid_t> pid;
    if (XGetWindowProperty(display_, window, netWmPid_, 0, 1, False, XA_CARDINAL, &type, &format,
                           &count, &after, &data) == Success &&
        type == XA_CARDINAL && format == 32 && count == 1) {
      pid = static_cast<pid_t>(*reinterpret_cast<unsigned long*>(data));
    }
    if (data != nullptr) XFree(data);
    return pid;
  }

  // The window and everything below it, for window managers that put the client into a frame.
  std::vector<Window> Subtree(Window window) const {
    std::vector<Window> all{window};
    for (std::size_t i = 0; i < all.size() && all.size() < 256; ++i) {
      Window root = 0, parent = 0;
      Window* children = nullptr;
      unsigned int count = 0;
      if (XQueryTree(display_, all[i], &root, &parent, &children, &count) && children != nullptr) {
        all.insert(all.end(), children, children + count);
        XFree(children);
      }
    }
    return all;
  }

 private:
  std::optional<std::string> Utf8Property(Window window, Atom property) const {
    Atom type = None;
    int format = 0;
    unsigned long count = 0, after = 0;
    unsigned char* data = nullptr;
    std::optional<std::string> text;
    if (XGetWindowProperty(display_, window, property, 0, 1024, False, utf8String_, &type, &format,
                           &count, &after, &data) == Success &&
        type == utf8String_ && format == 8) {
      text = std::string{reinterpret_cast<const char*>(data), count};
    }
    if (data != nullptr) XFree(data);
    return text;
  }

  Display* display_;
  Window root_;
  Atom netWmName_;
  Atom netWmPid_;
  Atom utf8String_;
};

class Child {
 public:
  explicit Child(const std::vector<char*>& argv) {
    pid_ = fork();
    if (pid_ < 0) {
      std::perror("fork");
      std::exit(1);
    }
    if (pid_ == 0) {
      setpgid(0, 0);  // its own group, so everything it starts is stopped with it
      dup2(STDERR_FILENO, STDOUT_FILENO);
      execvp(argv[0], argv.data());
      std::perror(argv[0]);
      _exit(127);
    }
    setpgid(pid_, pid_);
  }
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;
  ~Child() { Stop(); }

  pid_t Pid() const { return pid_; }

  // True while the program runs; reaps it (and reports how it ended) once it has stopped.
  bool Running() {
    if (pid_ <= 0) return false;
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) == pid_) {
      std::fprintf(stderr, "wait_painted: the program ended early (%s %d)\n",
                   WIFEXITED(status) ? "exit status" : "signal",
                   WIFEXITED(status) ? WEXITSTATUS(status) : WTERMSIG(status));
      pid_ = 0;
      return false;
    }
    return true;
  }

  void Stop() {
    if (pid_ <= 0) return;
    kill(-pid_, SIGTERM);
    const auto deadline = Clock::now() + 2s;
    int status = 0;
    while (waitpid(pid_, &status, WNOHANG) == 0) {
      if (Clock::now() > deadline) {
        kill(-pid_, SIGKILL);
        waitpid(pid_, &status, 0);
        break;
      }
      std::this_thread::sleep_for(5ms);
    }
    kill(-pid_, SIGKILL);  // anything the program left behind in its group
    pid_ = 0;
  }

 private:
  pid_t pid_ = 0;
};

// Peak resident set size of a process in KiB, from /proc; -1 if unreadable.
long PeakRssKib(pid_t pid) {
  std::ifstream status{"/proc/" + std::to_string(pid) + "/status"};
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
  }
  return -1;
}

// Waits up to `limit` for X events to arrive; false if none came.
bool WaitForEvents(Display* display, std::chrono::microseconds limit) {
  if (XPending(display) > 0) return true;
  const int fd = ConnectionNumber(display);
  fd_set readable;
  FD_ZERO(&readable);
  FD_SET(fd, &readable);
  timeval timeout{static_cast<time_t>(limit.count() / 1'000'000),
                  static_cast<suseconds_t>(limit.count() % 1'000'000)};
  return select(fd + 1, &readable, nullptr, nullptr, &timeout) > 0 && XPending(display) > 0;
}

using Row = std::vector<unsigned long>;

// One row of pixels across the middle of the window, or nothing while it cannot be read.
std::optional<Row> ReadRow(Display* display, Window window) {
  XWindowAttributes attributes{};
  if (!XGetWindowAttributes(display, window, &attributes) || attributes.map_state != IsViewable ||
      attributes.width <= 0 || attributes.height <= 0) {
    return std::nullopt;
  }
  XImage* image = XGetImage(display, window, 0, attributes.height / 2,
                            static_cast<unsigned>(attributes.width), 1, AllPlanes, ZPixmap);
  if (image == nullptr) return std::nullopt;
  Row row(static_cast<std::size_t>(attributes.width));
  for (int x = 0; x < attributes.width; ++x) {
    row[static_cast<std::size_t>(x)] = XGetPixel(image, x, 0);
  }
  XDestroyImage(image);
  return row;
}

bool Uniform(const Row& row) {
  for (const unsigned long pixel : row) {
    if (pixel != row.front()) return false;
  }
  return true;
}

struct Seen {
  Clock::time_point mapped;
  std::optional<Row> blank;  // its pixels when it was mapped, before the program could draw
};

struct Found {
  Window window;  // the one carrying the title
  Seen seen;
};

// Follows top-level windows from their MapNotify until one of them (or a window inside it)
// carries the title; titles set after mapping are caught through PropertyNotify.
std::optional<Found> WaitForWindow(Display* display, const Desktop& desktop, const Options& options,
                                   Child& child, Clock::time_point deadline) {
  std::map<Window, Seen> mapped;  // watched windows
  const auto matches = [&](Window window) {
    const auto name = desktop.Name(window);
    return name && *name == options.title;
  };
  while (Clock::now() < deadline) {
    if (!child.Running()) return std::nullopt;
    if (!WaitForEvents(display, 20ms)) continue;
    while (XPending(display) > 0) {
      XEvent event;
      XNextEvent(display, &event);
      if (event.type == MapNotify && event.xmap.event == desktop.Root()) {
        const auto now = Clock::now();
        for (const Window window : desktop.Subtree(event.xmap.window)) {
          XSelectInput(display, window, PropertyChangeMask);
          const Seen seen{now, ReadRow(display, window)};
          mapped.emplace(window, seen);
          // Checked after selecting, so a title set in between is not missed.
          if (matches(window)) return Found{window, seen};
        }
      } else if (event.type == PropertyNotify && desktop.IsNameAtom(event.xproperty.atom)) {
        const auto it = mapped.find(event.xproperty.window);
        if (it != mapped.end() && matches(it->first)) return Found{it->first, it->second};
      } else if (event.type == UnmapNotify && event.xunmap.event == desktop.Root()) {
        for (const Window window : desktop.Subtree(event.xunmap.window)) mapped.erase(window);
      }
    }
  }
  std::fprintf(stderr, "wait_painted: no window titled \"%s\" within the timeout\n",
               options.title.c_str());
  return std::nullopt;
}

// Waits until the window's row differs from its blank state. The blank state is the row as
// seen at mapping (an unpainted window shows the uniform root background) or, failing that,
// at the first look now.
std::optional<Clock::time_point> WaitForPixels(Display* display, const Found& found, Child& child,
                                               Clock::time_point deadline) {
  std::optional<Row> blank = found.seen.blank;
  if (blank && !Uniform(*blank)) {
    std::fputs("wait_painted: window already drawn when it was mapped\n", stderr);
    return found.seen.mapped;
  }
  while (Clock::now() < deadline) {
    if (!child.Running()) return std::nullopt;
    if (auto row = ReadRow(display, found.window)) {
      if (!blank) {
        blank = std::move(row);
      } else if (*row != *blank) {
        return Clock::now();
      }
    }
    std::this_thread::sleep_for(1ms);
  }
  std::fputs("wait_painted: the window was not drawn within the timeout\n", stderr);
  return std::nullopt;
}

}  // namespace

int main(int argc, char** argv) {
  const Options options = ParseOptions(argc, argv);
  std::setlocale(LC_CTYPE, "");  // WM_NAME in the locale's encoding is decoded through it

  // A busy server may refuse a connection now and then; the clock has not started yet.
  Display* display = nullptr;
  for (int attempt = 0; attempt < 5 && display == nullptr; ++attempt) {
    if (attempt > 0) std::this_thread::sleep_for(50ms);
    display = XOpenDisplay(nullptr);
  }
  if (display == nullptr) {
    std::fputs("wait_painted: cannot open the X display (is DISPLAY set?)\n", stderr);
    return 1;
  }
  XSetErrorHandler(IgnoreXError);
  const Desktop desktop{display};
  XSelectInput(display, desktop.Root(), SubstructureNotifyMask);
  XSync(display, False);
  fcntl(ConnectionNumber(display), F_SETFD, FD_CLOEXEC);

  const auto start = Clock::now();
  const auto deadline = start + options.timeout;
  Child child{options.argv};

  const auto found = WaitForWindow(display, desktop, options, child, deadline);
  if (!found) return 1;
  const auto painted = WaitForPixels(display, *found, child, deadline);
  if (!painted) return 1;

  if (options.settle.count() > 0) std::this_thread::sleep_for(options.settle);
  // The window's owner, if it says so; the started process otherwise (or if it is a wrapper).
  pid_t owner = child.Pid();
  if (const auto pid = desktop.Pid(found->window); pid && PeakRssKib(*pid) >= 0) owner = *pid;
  const long peakKib = PeakRssKib(owner);
  child.Stop();
  XCloseDisplay(display);

  std::printf("mapped_ms=%.2f painted_ms=%.2f vmhwm_kib=%ld\n", MsSince(start, found->seen.mapped),
              MsSince(start, *painted), peakKib);
  return peakKib >= 0 ? 0 : 1;
}
