#include "base/text_file.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tolvex {
namespace fs = std::filesystem;
namespace {

// Paths are UTF-8 inside the program; on Windows a plain std::string would be taken as ANSI.
fs::path to_path(const std::string& path) {
  return fs::path(std::u8string(path.begin(), path.end()));
}

// Windows-1252 0x80..0x9F; the five unassigned bytes map to the C1 control of the same number,
// as Windows does, so they survive a round trip.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void append_utf8(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out.push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
}

// Length of the valid UTF-8 sequence at bytes[i] and its code point; 0 when invalid
// (overlong forms, surrogates and code points above U+10FFFF are invalid).
std::size_t utf8_sequence(std::string_view bytes, std::size_t i, char32_t& cp) {
  const auto b0 = static_cast<unsigned char>(bytes[i]);
  if (b0 < 0x80) {
    cp = b0;
    return 1;
  }
  std::size_t len;
  char32_t min;
  if (b0 >= 0xC2 && b0 <= 0xDF) {
    len = 2, min = 0x80, cp = b0 & 0x1F;
  } else if (b0 >= 0xE0 && b0 <= 0xEF) {
    len = 3, min = 0x800, cp = b0 & 0x0F;
  } else if (b0 >= 0xF0 && b0 <= 0xF4) {
    len = 4, min = 0x10000, cp = b0 & 0x07;
  } else {
    return 0;
  }
  if (i + len > bytes.size()) return 0;
  for (std::size_t k = 1; k < len; ++k) {
    const auto b = static_cast<unsigned char>(bytes[i + k]);
    if ((b & 0xC0) != 0x80) return 0;
    cp = (cp << 6) | (b & 0x3F);
  }
  if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
  return len;
}

std::string cp1252_to_utf8(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 8);
  for (char c : bytes) {
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x80) out.push_back(c);
    else if (b < 0xA0) append_utf8(out, kCp1252High[b - 0x80]);
    else append_utf8(out, b);
  }
  return out;
}

std::string utf8_to_cp1252(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  for (std::size_t i = 0; i < utf8.size();) {
    char32_t cp = 0;
    const std::size_t len = utf8_sequence(utf8, i, cp);
    if (len == 0) {
      out.push_back('?');
      ++i;
      continue;
    }
    i += len;
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
      out.push_back(static_cast<char>(cp));
      continue;
    }
    char mapped = '?';
    for (int k = 0; k < 32; ++k) {
      if (kCp1252High[k] == cp) {
        mapped = static_cast<char>(0x80 + k);
        break;
      }
    }
    out.push_back(mapped);
  }
  return out;
}

bool is_valid_utf8(std::string_view bytes) {
  for (std::size_t i = 0; i < bytes.size();) {
    if (static_cast<unsigned char>(bytes[i]) < 0x80) {
      ++i;
      continue;
    }
    char32_t cp;
    const std::size_t len = utf8_sequence(bytes, i, cp);
    if (len == 0) return false;
    i += len;
  }
  return true;
}

std::runtime_error write_error(const std::string& path) {
  return std::runtime_error("No se ha podido escribir el fichero " + path);
}

std::string temp_name_for(const std::string& path) {
  static std::atomic<unsigned> counter{0};
  const auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
#ifdef _WIN32
  const long pid = 0;
#else
  const long pid = static_cast<long>(::getpid());
#endif
  return path + ".tmp" + std::to_string(pid) + "-" + std::to_string(stamp % 1000000007) + "-" +
         std::to_string(counter.fetch_add(1));
}

#ifndef _WIN32
bool write_all(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}
#endif

}  // namespace

bool file_exists(const std::string& path) {
  std::error_code ec;
  return fs::exists(to_path(path), ec);
}

std::string read_file_bytes(const std::string& path) {
  std::ifstream in(to_path(path), std::ios::binary);
  std::error_code ec;
  if (!in || fs::is_directory(to_path(path), ec))
    throw std::runtime_error("No se ha podido leer el fichero " + path);
  std::string bytes;
  in.seekg(0, std::ios::end);
  const auto size = in.tellg();
  if (size > 0) {
    bytes.resize(static_cast<std::size_t>(size));
    in.seekg(0, std::ios::beg);
    in.read(bytes.data(), size);
    bytes.resize(static_cast<std::size_t>(in.gcount()));
  }
  if (in.bad()) throw std::runtime_error("No se ha podido leer el fichero " + path);
  return bytes;
}

std::string decode_text(std::string_view bytes) {
  if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xEF\xBB\xBF") bytes.remove_prefix(3);
  if (is_valid_utf8(bytes)) return std::string(bytes);
  return cp1252_to_utf8(bytes);
}

std::string decode_bytes(std::string_view bytes, TextEncoding encoding) {
  if (encoding == TextEncoding::Utf8) return std::string(bytes);
  return cp1252_to_utf8(bytes);
}

std::string encode_text(std::string_view utf8, TextEncoding encoding) {
  if (encoding == TextEncoding::Utf8) return std::string(utf8);
  return utf8_to_cp1252(utf8);
}

TextEncoding platform_text_encoding() {
#ifdef _WIN32
  return TextEncoding::Windows1252;
#else
  return TextEncoding::Utf8;
#endif
}

bool is_utf8(std::string_view bytes) { return is_valid_utf8(bytes); }

std::string read_text_file(const std::string& path) { return decode_text(read_file_bytes(path)); }

std::vector<std::string_view> split_lines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' || text[i] == '\r') {
      lines.push_back(text.substr(start, i - start));
      if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      start = i + 1;
    }
  }
  if (start < text.size()) lines.push_back(text.substr(start));
  return lines;
}

void write_file_atomically(const std::string& path_text, std::string_view bytes) {
  std::error_code ec;
  // Through a symbolic link the file it points at is replaced, not the link.
  std::string path = path_text;
  if (fs::is_symlink(to_path(path_text), ec)) {
    const fs::path target = fs::canonical(to_path(path_text), ec);
    if (!ec) {
      const std::u8string text = target.u8string();
      path.assign(text.begin(), text.end());
    }
  }
  const std::string temp = temp_name_for(path);
#ifdef _WIN32
  {
    FILE* f = _wfopen(to_path(temp).c_str(), L"wbx");
    if (!f) throw write_error(path_text);
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = std::fflush(f) == 0 && ok;
    ok = _commit(_fileno(f)) == 0 && ok;
    ok = std::fclose(f) == 0 && ok;
    if (!ok) {
      fs::remove(to_path(temp), ec);
      throw write_error(path_text);
    }
  }
#else
  const int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
  if (fd < 0) throw write_error(path_text);
  bool ok = write_all(fd, bytes);
  // Keep the permissions of the file we replace.
  struct stat old_stat;
  if (ok && ::stat(path.c_str(), &old_stat) == 0) (void)::fchmod(fd, old_stat.st_mode & 07777);
  ok = ok && ::fsync(fd) == 0;
  ok = (::close(fd) == 0) && ok;
  if (!ok) {
    ::unlink(temp.c_str());
    throw write_error(path_text);
  }
#endif
  // The content is on disk before the rename, so after a crash the file is the old one or the
  // new one, never a mix. The folder itself is not synced: that would make the rename durable
  // at once but costs several milliseconds more per save, and Windows' rename does not either.
  fs::rename(to_path(temp), to_path(path), ec);
  if (ec) {
    std::error_code ignored;
    fs::remove(to_path(temp), ignored);
    throw write_error(path_text);
  }
}

bool append_to_file(const std::string& path, std::string_view bytes) {
  try {
#ifdef _WIN32
    FILE* f = _wfopen(to_path(path).c_str(), L"ab");
    if (!f) return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = std::fclose(f) == 0 && ok;
    return ok;
#else
    const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) return false;
    bool ok = write_all(fd, bytes);
    ok = (::close(fd) == 0) && ok;
    return ok;
#endif
  } catch (...) {
    return false;
  }
}

bool delete_file(const std::string& path) {
  std::error_code ec;
  return fs::remove(to_path(path), ec);
}

std::uintmax_t file_size_or_zero(const std::string& path) {
  std::error_code ec;
  const std::uintmax_t size = fs::file_size(to_path(path), ec);
  return ec ? 0 : size;
}

bool rename_replacing(const std::string& from, const std::string& to) {
  std::error_code ec;
  fs::rename(to_path(from), to_path(to), ec);
  return !ec;
}

}  // namespace tolvex
