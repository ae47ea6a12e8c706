// cfitsio for the writers of the program's own FITS files, loaded when one is
// first written rather than at the program's start: the library brings some
// thirty others (a network stack among them) that a session without FITS files
// never needs. (Users' files are read by the decoder process, which links
// cfitsio itself: imagefile/decoder.) Include this in place of <fitsio.h>; the
// calls keep cfitsio's own names. Before any call, check CfitsioLoaded(): when
// the library cannot be loaded, no FITS file can be written, and the caller
// fails as it does for a bad file.
#pragma once

#include <fitsio.h>

namespace lxr4 {

#define LXR4_CFITSIO_FUNCTIONS(X)                                                                      \
  X(ffcmsg) X(ffclos) X(ffcrim) X(ffimem) X(ffcrtb) X(ffflus) X(ffghadll) X(ffgiprll) X(ffthdu)         \
  X(ffmahd) X(ffomem) X(ffgky) X(ffgpxvll) X(ffpscl) X(ffpcl) X(ffppr) X(ffpky) X(ffpkls) X(ffplsw)    \
  X(ffphis) X(ffppxll) X(fits_is_compressed_image) X(fits_set_compression_type) X(fits_set_tile_dim)

struct CfitsioFunctions {
#define LXR4_CFITSIO_POINTER(name) decltype(&::name) name = nullptr;
  LXR4_CFITSIO_FUNCTIONS(LXR4_CFITSIO_POINTER)
#undef LXR4_CFITSIO_POINTER
};

// The library's functions, loaded at the first call; every pointer is null
// when it could not be loaded.
[[nodiscard]] const CfitsioFunctions& Cfitsio();
[[nodiscard]] inline bool CfitsioLoaded() { return Cfitsio().ffomem != nullptr; }

}  // namespace lxr4

// Each call goes through the loaded library.
#ifndef LXR4_CFITSIO_LOADER
#define ffcmsg (::lxr4::Cfitsio().ffcmsg)
#define ffclos (::lxr4::Cfitsio().ffclos)
#define ffcrim (::lxr4::Cfitsio().ffcrim)
#define ffimem (::lxr4::Cfitsio().ffimem)
#define ffcrtb (::lxr4::Cfitsio().ffcrtb)
#define ffflus (::lxr4::Cfitsio().ffflus)
#define ffghadll (::lxr4::Cfitsio().ffghadll)
#define ffgiprll (::lxr4::Cfitsio().ffgiprll)
#define ffthdu (::lxr4::Cfitsio().ffthdu)
#define ffmahd (::lxr4::Cfitsio().ffmahd)
#define ffomem (::lxr4::Cfitsio().ffomem)
#define ffgky (::lxr4::Cfitsio().ffgky)
#define ffgpxvll (::lxr4::Cfitsio().ffgpxvll)
#define ffpscl (::lxr4::Cfitsio().ffpscl)
#define ffpcl (::lxr4::Cfitsio().ffpcl)
#define ffppr (::lxr4::Cfitsio().ffppr)
#define ffpky (::lxr4::Cfitsio().ffpky)
#define ffpkls (::lxr4::Cfitsio().ffpkls)
#define ffplsw (::lxr4::Cfitsio().ffplsw)
#define ffphis (::lxr4::Cfitsio().ffphis)
#define ffppxll (::lxr4::Cfitsio().ffppxll)
#define fits_is_compressed_image (::lxr4::Cfitsio().fits_is_compressed_image)
#define fits_set_compression_type (::lxr4::Cfitsio().fits_set_compression_type)
#define fits_set_tile_dim (::lxr4::Cfitsio().fits_set_tile_dim)
#endif
