// lxr4-fits-decoder: the one place where cfitsio reads a user's FITS file. The
// program starts it for each FITS load (imagefile/fits_boundary.cpp), writes
// the file's bytes to its standard input and reads the frame from its standard
// output (imagefile/fits_answer.h). Before it reads a byte it limits itself
// (memory, CPU time, no files) and, where libseccomp is at hand, allows itself
// only the system calls of reading, writing and memory, so that a file that
// crashes cfitsio, loops in it or makes it claim memory without end ends this
// process, never the program. It reads and inflates only the bytes the
// headers say the frame needs (imagefile/fits_layout.h). Started with the
// argument "spectrum", it answers a 1-D spectrum instead (fits_answer.h).
//
// It is built without the sanitizers of a test build: AddressSanitizer reserves
// terabytes of shadow memory, which an address-space limit cannot allow, and
// the limits are what this program is for.
#include <sys/resource.h>
#include <unistd.h>
#include <zlib.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <new>
#include <span>
#include <string_view>
#include <vector>

#ifdef LXR4_HAVE_SECCOMP
#include <seccomp.h>
#endif

#include "imagefile/decoder/fits_decode.h"
#include "imagefile/fits_answer.h"
#include "imagefile/fits_layout.h"

namespace lxr4 {

namespace {

constexpr rlim_t kMemoryBytes = rlim_t{1} << 30;
constexpr rlim_t kCpuSeconds = 10;  // the program's own clock stops it sooner
constexpr std::size_t kReadBytes = std::size_t{1} << 16;
constexpr std::size_t kRecordBytes = 2880;
constexpr std::size_t kFitsStart = 9;  // "SIMPLE  ="

void LimitSelf() {
  const auto limit = [](int resource, rlim_t value) {
    const rlimit r{value, value};
    setrlimit(resource, &r);
  };
  limit(RLIMIT_AS, kMemoryBytes);
  limit(RLIMIT_CPU, kCpuSeconds);
  limit(RLIMIT_FSIZE, 0);
  limit(RLIMIT_CORE, 0);
  limit(RLIMIT_NPROC, 0);
#ifdef LXR4_HAVE_SECCOMP
  // Everything else ends the process. The calls are those of reading the input,
  // writing the answer, managing memory and ending.
  scmp_filter_ctx filter = seccomp_init(SCMP_ACT_KILL_PROCESS);
  if (filter == nullptr) return;
  for (const int call : {SCMP_SYS(read), SCMP_SYS(write), SCMP_SYS(brk), SCMP_SYS(mmap), SCMP_SYS(munmap),
                         SCMP_SYS(mremap), SCMP_SYS(madvise), SCMP_SYS(mprotect), SCMP_SYS(exit),
                         SCMP_SYS(exit_group), SCMP_SYS(rt_sigreturn), SCMP_SYS(futex), SCMP_SYS(fstat),
                         SCMP_SYS(newfstatat), SCMP_SYS(lseek), SCMP_SYS(close), SCMP_SYS(getrandom),
                         SCMP_SYS(clock_gettime)})
    seccomp_rule_add(filter, SCMP_ACT_ALLOW, call, 0);
  seccomp_load(filter);
  seccomp_release(filter);
#endif
}

// Reads up to `count` bytes of the input into `to`; 0 at its end (or on a failed read).
std::size_t ReadInput(std::uint8_t* to, std::size_t count) {
  for (;;) {
    const ssize_t n = read(STDIN_FILENO, to, count);
    if (n >= 0) return static_cast<std::size_t>(n);
    if (errno != EINTR) return 0;
  }
}

bool WriteOutput(std::span<const std::uint8_t> bytes) {
  while (!bytes.empty()) {
    const ssize_t n = write(STDOUT_FILENO, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes = bytes.subspan(static_cast<std::size_t>(n));
  }
  return true;
}

// The file as it grows: walked again whenever it reaches what the last walk needed.
struct Growing {
  std::vector<std::uint8_t> bytes;
  FitsLayout layout;
  FitsTarget target = FitsTarget::Frame;
  std::size_t maxBytes = kMaxFitsBytes;

  // False once the walk has a verdict: a refusal or the frame's bytes all there.
  bool WantsMore(bool ended) {
    if (!ended && bytes.size() < layout.needed) return true;
    layout = WalkFitsLayout(bytes, maxBytes, ended, target);
    if (layout.error != FitsError::None || layout.Complete(bytes.size())) return false;
    // Room for the frame's bytes and their padding, and no more: a doubling
    // vector would reach past the memory limit.
    if (layout.imageHdu != 0) bytes.reserve((layout.needed + kRecordBytes - 1) / kRecordBytes * kRecordBytes);
    return !ended;
  }
  // How many bytes to take next.
  [[nodiscard]] std::size_t Step() const {
    return layout.needed > bytes.size() ? std::max<std::size_t>(layout.needed - bytes.size(), 1) : kReadBytes;
  }
};

FitsError ReadPlain(Growing& file) {
  while (file.WantsMore(false)) {
    const std::size_t have = file.bytes.size(), take = std::min(file.Step(), kReadBytes);
    file.bytes.resize(have + take);
    const std::size_t got = ReadInput(file.bytes.data() + have, take);
    file.bytes.resize(have + got);
    if (got == 0) {
      file.WantsMore(true);
      break;
    }
  }
  return file.layout.error;
}

// Inflates member after member (gzip allows several in one file) until the
// frame's bytes are there; bytes after the last member are not gzip and are left.
FitsError ReadGzip(Growing& file, std::vector<std::uint8_t> input) {
  z_stream z{};
  if (inflateInit2(&z, 16 + MAX_WBITS) != Z_OK) return FitsError::TooLarge;
  struct End {
    z_stream& z;
    ~End() { inflateEnd(&z); }
  } end{z};
  std::size_t inputUsed = 0;
  bool inputEnded = false, memberStart = false;
  z.next_in = input.data();
  z.avail_in = static_cast<uInt>(input.size());
  const auto corrupt = [&] { return file.bytes.size() < kFitsStart ? FitsError::NotFits : FitsError::Corrupt; };
  while (file.WantsMore(false)) {
    if (z.avail_in == 0 && !inputEnded) {
      input.resize(kReadBytes);
      inputUsed = ReadInput(input.data(), input.size());
      inputEnded = inputUsed == 0;
      z.next_in = input.data();
      z.avail_in = static_cast<uInt>(inputUsed);
    }
    const std::size_t have = file.bytes.size(), take = std::min<std::size_t>(file.Step(), 1U << 20);
    file.bytes.resize(have + take);
    z.next_out = file.bytes.data() + have;
    z.avail_out = static_cast<uInt>(take);
    const int rc = inflate(&z, Z_NO_FLUSH);
    file.bytes.resize(have + take - z.avail_out);
    if (file.bytes.size() > have) memberStart = false;
    bool ended = false;
    if (rc == Z_STREAM_END) {
      ended = z.avail_in == 0 && inputEnded;
      if (!ended) {
        inflateReset(&z);
        memberStart = true;
      }
    } else if (rc == Z_BUF_ERROR && z.avail_in == 0 && inputEnded) {
      ended = true;  // the stream stops within a member: what came is the file
    } else if (rc != Z_OK && rc != Z_BUF_ERROR) {
      if (!memberStart) return corrupt();
      ended = true;  // not a further member: bytes after the gzip stream
    }
    if (ended) {
      if (file.bytes.size() < kFitsStart && file.bytes.empty()) return FitsError::NotFits;
      file.WantsMore(true);
      break;
    }
  }
  return file.layout.error;
}

// Reads the file (plain or gzip-compressed) up to the end of what `file.target`
// needs; the layout's refusal, or None.
FitsError ReadFile(Growing& file, bool& gzipped) {
  std::vector<std::uint8_t> start(kReadBytes);
  std::size_t got = 0;
  while (got < 2) {
    const std::size_t n = ReadInput(start.data() + got, start.size() - got);
    if (n == 0) break;
    got += n;
  }
  start.resize(got);
  if (got >= 2 && start[0] == 0x1f && start[1] == 0x8b) {
    gzipped = true;
    return ReadGzip(file, std::move(start));
  }
  if (got > 0 && start[0] == 'S') {
    file.bytes = std::move(start);
    return ReadPlain(file);
  }
  return FitsError::NotFits;
}

FitsReadResult DecodeFrame() {
  Growing file;
  bool gzipped = false;
  if (const FitsError error = ReadFile(file, gzipped); error != FitsError::None) return FitsReadResult::Refused(error);
  FitsReadResult result = DecodeFitsFrame(file.bytes, file.layout.imageHdu);
  result.frame.gzipped = gzipped;
  return result;
}

FitsSpectrumResult DecodeSpectrum() {
  Growing file;
  file.target = FitsTarget::Spectrum;
  file.maxBytes = kMaxSpectrumFitsBytes;
  bool gzipped = false;
  if (const FitsError error = ReadFile(file, gzipped); error != FitsError::None)
    return FitsSpectrumResult::Refused(error);
  return DecodeFitsSpectrum(file.bytes, file.layout.imageHdu);
}

template <typename Value>
bool WriteValues(const std::vector<Value>& values) {
  return WriteOutput({reinterpret_cast<const std::uint8_t*>(values.data()), values.size() * sizeof(Value)});
}

int AnswerFrame() {
  FitsReadResult result;
  try {
    result = DecodeFrame();
  } catch (const std::bad_alloc&) {
    result = FitsReadResult::Refused(FitsError::TooLarge);
  }
  if (result.error != FitsError::None) result.frame = {};
  return WriteOutput(AnswerHead(result)) && WriteValues(result.frame.values) ? 0 : 1;
}

int AnswerSpectrum() {
  FitsSpectrumResult result;
  try {
    result = DecodeSpectrum();
  } catch (const std::bad_alloc&) {
    result = FitsSpectrumResult::Refused(FitsError::TooLarge);
  }
  if (result.error != FitsError::None) result.spectrum = {};
  const FitsSpectrum& s = result.spectrum;
  return WriteOutput(SpectrumAnswerHead(result)) && WriteValues(s.wavelength) && WriteValues(s.flux) ? 0 : 1;
}

}  // namespace

}  // namespace lxr4

int main(int argc, char** argv) {
  const bool spectrum = argc == 2 && std::string_view(argv[1]) == lxr4::kFitsDecoderSpectrumMode;
  lxr4::LimitSelf();
  return spectrum ? lxr4::AnswerSpectrum() : lxr4::AnswerFrame();
}
