// The night reduction's dialogs as the user left them: the Masters dialog
// (frames to combine and the master files), the Extraction dialog (how an
// object's spectrum is taken from a frame) and the Instrument Response
// dialog. Texts as typed; the program checks them (app/reduction_handlers).
#pragma once

#include <cstdint>
#include <string>

namespace lxr4 {

// How frames are combined into one: the median, or the mean of what a
// sigma clip about the median keeps.
enum class CombineChoice : std::uint8_t { Median, SigmaClip };

// Frame lists hold file paths separated by ';'. A master file is written
// from its frames when the list is not empty, read when it is; a kind with
// neither is not used.
struct MastersFields {
  std::string biasFrames, darkFrames, flatFrames;
  std::string biasMaster, darkMaster, flatMaster;
  CombineChoice combine = CombineChoice::SigmaClip;
  std::string sigma = "3";  // the clip's limit, in standard deviations

  friend bool operator==(const MastersFields&, const MastersFields&) = default;
};

// Swath: the imported swath, as a frame always was. Boxcar and Optimal sum
// an aperture along the object's trace, less the sky of two side bands.
enum class ExtractionChoice : std::uint8_t { Swath, Boxcar, Optimal };
enum class SkyChoice : std::uint8_t { None, Median, Fit };

struct ExtractionFields {
  ExtractionChoice method = ExtractionChoice::Swath;
  std::string aperture;  // half-width, pixels; empty: three sigma of the trace's profile
  SkyChoice sky = SkyChoice::Median;
  std::string skyOffset = "10";  // from the trace's centre to a band's inner edge, pixels
  std::string skyWidth = "10";   // of each band, pixels
  bool cosmicRays = false;       // removed from single object frames
  CombineChoice stack = CombineChoice::SigmaClip;  // how a stack of object frames is combined

  friend bool operator==(const ExtractionFields&, const ExtractionFields&) = default;
};

// None: no response in force. Make: from the object loaded (a reference
// star, calibrated) and its reference spectrum, saved to `file`. Use: the
// response saved in `file`.
enum class ResponseChoice : std::uint8_t { None, Make, Use };

struct ResponseFields {
  ResponseChoice mode = ResponseChoice::None;
  std::string reference;          // the reference star's spectrum file
  std::string file;               // the response file
  std::string smoothing = "50";   // Angstrom
  bool maskLines = true;          // the stars' strong lines and the telluric bands left out

  friend bool operator==(const ResponseFields&, const ResponseFields&) = default;
};

}  // namespace lxr4
