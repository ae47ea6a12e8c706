// png_same EXPECTED ACTUAL: compares two PNG files by what they show, so that
// an expected picture may be stored with any compression. Exit status 0 when
// both have the same width, height, bit depth, colour type and interlace and
// the same pixels (palettes and transparency expanded); 1 with the first
// difference on standard output when they differ; 2 when a file cannot be read.
#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace {

struct Picture {
  png_uint_32 width = 0, height = 0;
  int bitDepth = 0, colourType = 0, interlace = 0;
  std::vector<png_byte> pixels;  // rows after expansion, one after another
  std::vector<png_bytep> rows;   // where each row goes in `pixels`
};

struct CloseFile {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

// Decodes `file` into `picture`; false when libpng stops on a fault. No object
// with a destructor may live in this frame: libpng stops by a long jump.
bool Decode(png_structp png, png_infop info, std::FILE* file, Picture* picture) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_init_io(png, file);
  png_read_info(png, info);
  png_get_IHDR(png, info, &picture->width, &picture->height, &picture->bitDepth, &picture->colourType,
               &picture->interlace, nullptr, nullptr);
  png_set_expand(png);
  png_set_interlace_handling(png);
  png_read_update_info(png, info);
  const std::size_t stride = png_get_rowbytes(png, info);
  picture->pixels.resize(stride * picture->height);
  picture->rows.resize(picture->height);
  for (png_uint_32 y = 0; y < picture->height; ++y) picture->rows[y] = picture->pixels.data() + y * stride;
  png_read_image(png, picture->rows.data());
  png_read_end(png, nullptr);
  return true;
}

bool Read(const char* path, Picture& picture) {
  const std::unique_ptr<std::FILE, CloseFile> file(std::fopen(path, "rb"));
  png_byte signature[8] = {};
  if (!file || std::fread(signature, 1, 8, file.get()) != 8 || png_sig_cmp(signature, 0, 8) != 0) {
    std::printf("%s is not a PNG file\n", path);
    return false;
  }
  std::rewind(file.get());
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  const bool ok = info != nullptr && Decode(png, info, file.get(), &picture);
  png_destroy_read_struct(&png, &info, nullptr);
  if (!ok) std::printf("%s cannot be decoded\n", path);
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: png_same EXPECTED ACTUAL\n");
    return 2;
  }
  Picture expected, actual;
  if (!Read(argv[1], expected) || !Read(argv[2], actual)) return 2;
  if (expected.width != actual.width || expected.height != actual.height ||
      expected.bitDepth != actual.bitDepth || expected.colourType != actual.colourType ||
      expected.interlace != actual.interlace) {
    std::printf("%ux%u, bit depth %d, colour type %d, interlace %d expected; %ux%u, %d, %d, %d written\n",
                expected.width, expected.height, expected.bitDepth, expected.colourType, expected.interlace,
                actual.width, actual.height, actual.bitDepth, actual.colourType, actual.interlace);
    return 1;
  }
  if (expected.pixels != actual.pixels) {
    const std::size_t stride = expected.pixels.size() / expected.height;
    std::size_t at = 0;
    while (expected.pixels[at] == actual.pixels[at]) ++at;
    std::printf("pixels differ, first in row %zu (of %u)\n", at / stride, expected.height);
    return 1;
  }
  return 0;
}
