// chime <file.wav>: writes a short two-note cue (16-bit mono PCM), which the build turns into
// the demo's MP3 when an MP3 encoder is installed.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <vector>

namespace {

void put16(std::vector<unsigned char>& out, std::uint16_t v) {
  out.push_back(static_cast<unsigned char>(v & 0xFF));
  out.push_back(static_cast<unsigned char>(v >> 8));
}

void put32(std::vector<unsigned char>& out, std::uint32_t v) {
  put16(out, static_cast<std::uint16_t>(v & 0xFFFF));
  put16(out, static_cast<std::uint16_t>(v >> 16));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "uso: chime <fichero.wav>\n");
    return 2;
  }
  constexpr int rate = 22050;
  constexpr double pi = 3.14159265358979323846;
  // Two bell-like notes (a rising fifth), each with a soft attack and an exponential decay.
  const struct {
    double start, frequency;
  } notes[] = {{0.0, 880.0}, {0.14, 1318.5}};
  const int count = static_cast<int>(0.55 * rate);
  std::vector<std::int16_t> samples(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    const double t = static_cast<double>(i) / rate;
    double v = 0;
    for (const auto& n : notes) {
      const double u = t - n.start;
      if (u < 0) continue;
      const double envelope = std::min(1.0, u / 0.005) * std::exp(-u * 7.0);
      v += envelope * (std::sin(2 * pi * n.frequency * u) + 0.25 * std::sin(4 * pi * n.frequency * u));
    }
    samples[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(std::lround(std::clamp(v * 0.35, -1.0, 1.0) * 32767));
  }
  std::vector<unsigned char> out;
  const std::uint32_t data_bytes = static_cast<std::uint32_t>(samples.size() * 2);
  for (char c : {'R', 'I', 'F', 'F'}) out.push_back(static_cast<unsigned char>(c));
  put32(out, 36 + data_bytes);
  for (char c : {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '}) out.push_back(static_cast<unsigned char>(c));
  put32(out, 16);
  put16(out, 1);  // PCM
  put16(out, 1);  // mono
  put32(out, rate);
  put32(out, rate * 2);
  put16(out, 2);
  put16(out, 16);
  for (char c : {'d', 'a', 't', 'a'}) out.push_back(static_cast<unsigned char>(c));
  put32(out, data_bytes);
  for (std::int16_t s : samples) put16(out, static_cast<std::uint16_t>(s));
  std::FILE* f = std::fopen(argv[1], "wb");
  if (!f || std::fwrite(out.data(), 1, out.size(), f) != out.size() || std::fclose(f) != 0) {
    std::fprintf(stderr, "chime: no se pudo escribir %s\n", argv[1]);
    return 1;
  }
  return 0;
}
