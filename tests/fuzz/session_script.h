// Random session scripts for the session fuzzer: clicks, list entries, thumb
// drags, printer changes and dialog answers with garbage and huge numbers,
// loading good, bad and special files from a scratch folder. One generator
// serves both the libFuzzer target (choices from the fuzz input) and the
// fixed-seed run of the test build (choices from a seeded generator).
#pragma once

#include <cstddef>
#include <cstdint>
#include <random>
#include <span>
#include <string>

namespace lxr4 {

class Choices {
 public:
  virtual ~Choices() = default;
  // A number from 0 to n - 1 (n at least 1).
  virtual unsigned Pick(unsigned n) = 0;
  // True once the choices are used up: the session ends.
  [[nodiscard]] virtual bool Done() const = 0;
};

// Choices read from a fuzz input, one or two bytes each.
class ByteChoices final : public Choices {
 public:
  explicit ByteChoices(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}
  unsigned Pick(unsigned n) override;
  [[nodiscard]] bool Done() const override { return at_ >= bytes_.size(); }

 private:
  std::span<const std::uint8_t> bytes_;
  std::size_t at_ = 0;
};

// Choices of a seeded generator, `steps` script lines long.
class SeededChoices final : public Choices {
 public:
  SeededChoices(std::uint32_t seed, unsigned steps) : random_(seed), left_(steps) {}
  unsigned Pick(unsigned n) override;
  [[nodiscard]] bool Done() const override { return left_ == 0; }

 private:
  std::mt19937 random_;
  unsigned left_;
};

// Makes a fresh scratch folder with the files the sessions use and gives its
// path: the samples, an image named like its own text file, truncated, empty
// and absurd images, a folder, a FIFO and a read-only file.
[[nodiscard]] std::string MakeSessionFolder(const std::string& samplesDir);

// A session script built from the choices, on the files of `folder`.
[[nodiscard]] std::string RandomSession(Choices& choices, const std::string& folder);

// Runs the script on the scripted platform with `folder` as the working folder
// (a typed strip name or the text file of nothing loaded lands there) and gives
// its exit status (a fault of the script is one: a dialog left without an
// answer); aborts when the program itself fails. `errors` receives the script's
// fault. The working folder is restored afterwards, for the fuzzer's own files.
int PlaySession(const std::string& script, const std::string& folder, std::string* errors = nullptr);

}  // namespace lxr4
