// The program's side of the untrusted-file boundary: the decoder process is
// started for one file, fed its bytes, watched by the clock and reaped; what
// it answers is checked before any of it is used.
#include "imagefile/fits_reader.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <filesystem>
#include <new>
#include <string_view>

#include "imagefile/fits_answer.h"
#include "imagefile/gzip.h"

namespace lxr4 {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr std::string_view kSimpleCard = "SIMPLE  =";
// Every small file is decided or refused within two seconds; a large one gets a
// second more for each 16 MiB it holds (an 8192 x 8192 16-bit frame takes
// about four seconds on a busy machine).
constexpr milliseconds kTimeAllowed{1800};
constexpr std::size_t kBytesPerExtraSecond = std::size_t{16} << 20;
constexpr std::size_t kSendBytes = std::size_t{1} << 20;

bool StartsAsFits(std::span<const std::uint8_t> bytes) {
  return bytes.size() >= kSimpleCard.size() &&
         std::equal(kSimpleCard.begin(), kSimpleCard.end(), bytes.begin(),
                    [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; });
}

// The decoder's process: its end of the socket that is both its standard input and output.
struct Decoder {
  pid_t pid = -1;
  int socket = -1;
};

// `mode`: the decoder's one argument, or null for none (a frame).
bool Start(const std::string& path, const char* mode, Decoder& d) {
  int ends[2];
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, ends) != 0) return false;
  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attributes;
  posix_spawn_file_actions_init(&actions);
  posix_spawnattr_init(&attributes);
  // The window program has threads that may open files at any moment: only the
  // socket and /dev/null reach the decoder, whatever their close-on-exec flags.
  posix_spawn_file_actions_adddup2(&actions, ends[1], STDIN_FILENO);
  posix_spawn_file_actions_adddup2(&actions, ends[1], STDOUT_FILENO);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);
  // No signal blocked or ignored in the program (SIGPIPE, say) stays so in the decoder.
  sigset_t none, all;
  sigemptyset(&none);
  sigfillset(&all);
  sigdelset(&all, SIGKILL);
  sigdelset(&all, SIGSTOP);
  posix_spawnattr_setsigmask(&attributes, &none);
  posix_spawnattr_setsigdefault(&attributes, &all);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  std::string program = path, argument = mode != nullptr ? mode : "";
  char* argv[] = {program.data(), mode != nullptr ? argument.data() : nullptr, nullptr};
  char* envp[] = {nullptr};
  const int rc = posix_spawn(&d.pid, path.c_str(), &actions, &attributes, argv, envp);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  close(ends[1]);
  if (rc != 0) {
    close(ends[0]);
    return false;
  }
  d.socket = ends[0];
  fcntl(d.socket, F_SETFL, fcntl(d.socket, F_GETFL) | O_NONBLOCK);
  return true;
}

// The answer as it arrives: the head, then the values straight into the frame.
struct Answer {
  std::vector<std::uint8_t> head = std::vector<std::uint8_t>(kAnswerHeadBytes);
  std::size_t headBytes = 0;
  std::optional<AnswerStart> start;
  std::size_t valueBytes = 0;
  bool outOfForm = false;

  // Where the next bytes go and how many are expected; an extra byte after the
  // values lands in `spare` and makes the answer out of form.
  std::span<std::uint8_t> Space(std::span<std::uint8_t> spare) {
    if (!start) return {head.data() + headBytes, kAnswerHeadBytes - headBytes};
    auto& values = start->result.frame.values;
    const std::size_t total = values.size() * sizeof(float);
    if (valueBytes < total) return {reinterpret_cast<std::uint8_t*>(values.data()) + valueBytes, total - valueBytes};
    return spare;
  }
  void Took(std::size_t n) {
    if (!start) {
      headBytes += n;
      if (headBytes < kAnswerHeadBytes) return;
      start = ReadAnswerHead(head);
      if (!start) {
        outOfForm = true;
        return;
      }
      start->result.frame.values.resize(start->valueCount);  // checked against the frame limits
      return;
    }
    const std::size_t total = start->result.frame.values.size() * sizeof(float);
    if (valueBytes >= total) outOfForm = true;
    valueBytes += n;
  }
  [[nodiscard]] bool Whole() const {
    return !outOfForm && start && valueBytes == start->result.frame.values.size() * sizeof(float);
  }
};

// A spectrum answer as it arrives: the head, then a table's wavelengths and the
// fluxes straight into their vectors.
struct SpectrumAnswer {
  std::vector<std::uint8_t> head = std::vector<std::uint8_t>(kSpectrumAnswerHeadBytes);
  std::size_t headBytes = 0;
  std::optional<FitsSpectrumResult> start;
  std::size_t valueBytes = 0;
  bool outOfForm = false;

  [[nodiscard]] std::size_t WavelengthBytes() const { return start->spectrum.wavelength.size() * sizeof(double); }
  [[nodiscard]] std::size_t Total() const { return WavelengthBytes() + start->spectrum.flux.size() * sizeof(double); }
  std::span<std::uint8_t> Space(std::span<std::uint8_t> spare) {
    if (!start) return {head.data() + headBytes, kSpectrumAnswerHeadBytes - headBytes};
    const std::size_t wave = WavelengthBytes(), total = Total();
    if (valueBytes < wave)
      return {reinterpret_cast<std::uint8_t*>(start->spectrum.wavelength.data()) + valueBytes, wave - valueBytes};
    if (valueBytes < total)
      return {reinterpret_cast<std::uint8_t*>(start->spectrum.flux.data()) + (valueBytes - wave), total - valueBytes};
    return spare;
  }
  void Took(std::size_t n) {
    if (!start) {
      headBytes += n;
      if (headBytes < kSpectrumAnswerHeadBytes) return;
      start = ReadSpectrumAnswerHead(head);  // sizes the vectors, within the spectrum limits
      outOfForm = !start;
      return;
    }
    if (valueBytes >= Total()) outOfForm = true;
    valueBytes += n;
  }
  [[nodiscard]] bool Whole() const { return !outOfForm && start && valueBytes == Total(); }
};

// Sends the file and reads the answer until the decoder closes its end; false
// when the time is up, the answer is out of form or the socket fails.
template <typename Answer>
bool Talk(const Decoder& d, std::span<const std::uint8_t> file, Clock::time_point deadline, Answer& answer) {
  std::size_t sent = 0;
  bool sending = true;
  std::array<std::uint8_t, 256> spare{};
  for (;;) {
    const auto left = std::chrono::duration_cast<milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) return false;
    pollfd p{d.socket, static_cast<short>(POLLIN | (sending ? POLLOUT : 0)), 0};
    const int ready = poll(&p, 1, static_cast<int>(std::min<long long>(left, 1000)));
    if (ready < 0 && errno != EINTR) return false;
    if (ready <= 0) continue;
    if (sending && (p.revents & POLLOUT) != 0) {
      const ssize_t n = send(d.socket, file.data() + sent, std::min(file.size() - sent, kSendBytes),
                             MSG_NOSIGNAL | MSG_DONTWAIT);
      if (n > 0) sent += static_cast<std::size_t>(n);
      // The decoder stops reading once it has what the headers need (or has refused).
      if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) sending = false;
      if (sent == file.size()) {
        shutdown(d.socket, SHUT_WR);
        sending = false;
      }
    }
    if ((p.revents & (POLLIN | POLLHUP | POLLERR)) != 0) {
      const std::span<std::uint8_t> space = answer.Space(spare);
      const ssize_t n = recv(d.socket, space.data(), space.size(), MSG_DONTWAIT);
      if (n == 0) return true;
      if (n < 0) {
        if (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR) continue;
        return errno == ECONNRESET;  // closed while input was still unread: the answer so far is all
      }
      answer.Took(static_cast<std::size_t>(n));
      if (answer.outOfForm) return false;
    }
  }
}

// Waits for the decoder to end, killing it if it outlives the deadline or
// `kill` is set; true when it ended by itself with status 0.
bool Reap(pid_t pid, Clock::time_point deadline, bool kill) {
  int status = 0;
  if (!kill) {
    for (;;) {
      const pid_t r = waitpid(pid, &status, WNOHANG);
      if (r == pid) return WIFEXITED(status) && WEXITSTATUS(status) == 0;
      if (r < 0 && errno != EINTR) return false;
      if (Clock::now() >= deadline) break;
      const timespec pause{0, 1'000'000};
      nanosleep(&pause, nullptr);
    }
  }
  ::kill(pid, SIGKILL);
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  return false;
}

// Runs the decoder on the file and reads its whole answer: None, or
// Unavailable, or DecoderFailed when it crashed, overran its time or answered
// out of form.
template <typename Answer>
FitsError Converse(std::span<const std::uint8_t> file, const std::string& decoder, const char* mode, Answer& answer) {
  if (decoder.empty() || access(decoder.c_str(), X_OK) != 0) return FitsError::Unavailable;
  Decoder d;
  if (!Start(decoder, mode, d)) return FitsError::Unavailable;
  const auto deadline = Clock::now() + kTimeAllowed + std::chrono::seconds(file.size() / kBytesPerExtraSecond);
  bool talked = false;
  try {
    talked = Talk(d, file, deadline, answer);
  } catch (const std::bad_alloc&) {
    answer.outOfForm = true;  // the announced values do not fit this program's memory
  }
  close(d.socket);
  const bool ended = Reap(d.pid, deadline, !talked);
  return talked && ended && answer.Whole() ? FitsError::None : FitsError::DecoderFailed;
}

FitsReadResult Decode(std::span<const std::uint8_t> file, const std::string& decoder) {
  Answer answer;
  if (const FitsError e = Converse(file, decoder, nullptr, answer); e != FitsError::None)
    return FitsReadResult::Refused(e);
  FitsReadResult result = std::move(answer.start->result);
  if (result.error != FitsError::None) return FitsReadResult::Refused(result.error);
  if (!AnswerValuesSound(result.frame.values)) return FitsReadResult::Refused(FitsError::DecoderFailed);
  return result;
}

}  // namespace

bool LooksLikeFits(std::span<const std::uint8_t> file) {
  if (StartsAsFits(file)) return true;
  if (!IsGzip(file)) return false;
  try {
    const auto start = InflateGzip(file, kSimpleCard.size());
    return start && StartsAsFits(*start);
  } catch (const std::bad_alloc&) {
    return false;
  }
}

FitsReadResult ReadFitsFrame(std::span<const std::uint8_t> file, const std::string& decoder) {
  if (!StartsAsFits(file) && !IsGzip(file)) return FitsReadResult::Refused(FitsError::NotFits);
  return Decode(file, decoder);
}

FitsSpectrumResult ReadFitsSpectrum(std::span<const std::uint8_t> file, const std::string& decoder) {
  if (!StartsAsFits(file) && !IsGzip(file)) return FitsSpectrumResult::Refused(FitsError::NotFits);
  SpectrumAnswer answer;
  if (const FitsError e = Converse(file, decoder, kFitsDecoderSpectrumMode, answer); e != FitsError::None)
    return FitsSpectrumResult::Refused(e);
  FitsSpectrumResult result = std::move(*answer.start);
  if (result.error != FitsError::None) return FitsSpectrumResult::Refused(result.error);
  return result;  // NaN values are the file's undefined samples: the reader drops them
}

std::string FitsDecoderBesideProgram() {
  std::error_code ec;
  const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (ec) return {};
  return (self.parent_path() / kFitsDecoderName).string();
}

}  // namespace lxr4
