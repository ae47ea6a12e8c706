// Masters of a night from its frames, and master files: written as FITS
// (32-bit floats) with what made them in the header, read back to be used
// again. Pure code on decoded frames and bytes.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "base/reduction_fields.h"
#include "base/result.h"
#include "imagefile/fits_reader.h"
#include "reduce/frame.h"
#include "reduce/masters.h"

namespace lxr4 {

enum class MasterKind : std::uint8_t { Bias, Dark, Flat };

struct NamedFits {
  std::string name;  // the file's name, for the messages and the provenance
  FitsFrame frame;
};

struct MasterRequest {
  MasterKind kind = MasterKind::Bias;
  CombineChoice combine = CombineChoice::SigmaClip;
  double sigma = 3;
  DispersionAlong axis = DispersionAlong::Rows;  // for a flat's spectral shape
  const Frame* bias = nullptr;                   // applied to darks and flats when given
  const Frame* darkRate = nullptr;               // applied to flats when given
};

// The master of `frames` (each with its header's overscan subtracted; every
// frame's BIASSEC must be the first one's): the frame and its provenance,
// which starts "master bias of 5 frames: a.fits, ..."; a refusal's message
// names the frame at fault.
[[nodiscard]] MasterResult BuildMaster(std::span<const NamedFits> frames, const MasterRequest& request);

// The master as a FITS file: BITPIX -32, IMAGETYP MASTER BIAS, MASTER DARK
// (counts per second, EXPTIME 1) or MASTER FLAT, NCOMBINE, the binning, and
// one HISTORY card per provenance line.
[[nodiscard]] std::vector<std::uint8_t> MasterFileBytes(const Frame& master, MasterKind kind, int combined);

enum class MasterFileError : std::uint8_t {
  None,
  WrongKind,  // IMAGETYP is not the kind asked for (MASTER BIAS or BIAS for a bias, ...)
  BadHeader,  // XBINNING or YBINNING no binning (imagefile/reduction_frame.h)
};
struct MasterRead {
  Frame frame;
};
// A master file read back (decoded): refused when its IMAGETYP is not the kind
// asked for. The frame's type is BIAS, DARK or FLAT (as reduce/ takes it), its
// provenance the file's name.
[[nodiscard]] Result<MasterFileError, MasterRead> MasterFromFits(FitsFrame fits, const std::string& name,
                                                                 MasterKind kind);

}  // namespace lxr4
