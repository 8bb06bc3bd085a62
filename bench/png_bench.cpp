// PNG read and write of one image through the host's own PNG code beside the image library (behind the
// seam's table): the read time, then the write time and file size at each deflate level and row filter,
// so that the level and filter the renderer uses can be chosen (and checked again) on real renders.
//
//   png_bench IMAGE.png [THREADS] [RUNS]
#include "image/image_codec.h"
#include "image/png_writer.h"

#include <tbb/global_control.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

double MedianSeconds(int runs, const std::function<void()>& work) {
  std::vector<double> times;
  for (int run = 0; run < runs; ++run) {
    const auto start = std::chrono::steady_clock::now();
    work();
    times.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: png_bench IMAGE.png [THREADS] [RUNS]\n");
    return 2;
  }
  const std::string path = argv[1];
  const int threads = argc > 2 ? std::atoi(argv[2]) : 2;
  const int runs = argc > 3 ? std::atoi(argv[3]) : 5;
  tbb::global_control limit(tbb::global_control::max_allowed_parallelism, static_cast<size_t>(threads));
  image_codec::Header header;
  std::vector<unsigned char> pixels;
  std::string error;
  std::vector<float> floats;  // allocated once: the read alone is timed, not the kernel's fresh pages
  const double read = MedianSeconds(runs, [&] {
    image_codec::Reader reader;
    if (!reader.Open(path, error)) return;
    header = reader.header();
    pixels.resize(static_cast<size_t>(header.width) * header.height * header.channels);
    floats.resize(pixels.size());
    if (!reader.ReadFloats(floats.data(), error)) pixels.clear();
  });
  image_codec::Reader reader;
  if (!reader.Open(path, error) || !reader.ReadBytes(pixels.data(), error)) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  std::printf("%s: %d x %d x %d, read as floats %.3f s (median of %d, %d threads)\n", path.c_str(),
              header.width, header.height, header.channels, read, runs, threads);
  const image_codec::Table* library = image_codec::Load(error);
  if (!library) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return 1;
  }
  const double libraryRead = MedianSeconds(runs, [&] {
    image_codec::Header ignored;
    image_codec::Decoder* decoder = library->openFile(path.c_str(), &ignored, &error);
    if (decoder && !library->read(decoder, image_codec::SampleType::Float, floats.data(), &error)) return;
    if (decoder) library->close(decoder);
  });
  image_codec::EncodeRequest request;
  request.path = path;
  request.width = header.width;
  request.height = header.height;
  request.channels = header.channels;
  request.alphaChannel = header.channels == 4 ? 3 : -1;
  request.bytePixels = pixels.data();
  std::vector<unsigned char> libraryBytes;
  const double libraryWrite = MedianSeconds(runs, [&] {
    libraryBytes.clear();
    library->encode(&request, &libraryBytes, &error);
  });
  std::printf("image library: read as floats %.3f s, write %.3f s, %.2f MB\n", libraryRead, libraryWrite,
              libraryBytes.size() / 1e6);
  std::printf("%-6s %-6s %10s %10s\n", "level", "filter", "seconds", "MB");
  const char* names[] = {"none", "sub", "up", "paeth"};
  const png_codec::Filter filters[] = {png_codec::Filter::None, png_codec::Filter::Sub, png_codec::Filter::Up,
                                       png_codec::Filter::Paeth};
  for (int level = 1; level <= 6; ++level) {
    for (int filter = 0; filter < 4; ++filter) {
      png_codec::WriteRequest request;
      request.width = header.width;
      request.height = header.height;
      request.channels = header.channels;
      request.level = level;
      request.filter = filters[filter];
      const size_t rowBytes = static_cast<size_t>(header.width) * header.channels;
      request.row = [&](int y, unsigned char* row) {
        std::memcpy(row, pixels.data() + static_cast<size_t>(y) * rowBytes, rowBytes);
      };
      std::vector<unsigned char> bytes;
      const double seconds = MedianSeconds(runs, [&] { png_codec::Encode(request, bytes, error); });
      std::printf("%-6d %-6s %10.3f %10.2f\n", level, names[filter], seconds, bytes.size() / 1e6);
    }
  }
  return 0;
}
