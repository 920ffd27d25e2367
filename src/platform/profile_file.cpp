#include "platform/profile_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

namespace platform {
namespace {

bool blank(char c) { return c == ' ' || c == '\t'; }

std::string_view trim(std::string_view s) {
  while (!s.empty() && blank(s.front())) s.remove_prefix(1);
  while (!s.empty() && blank(s.back())) s.remove_suffix(1);
  return s;
}

bool sameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    unsigned char x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
    if (x >= 'A' && x <= 'Z') x = static_cast<unsigned char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<unsigned char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

enum class LineKind { Other, Section, Key };

struct Parsed {
  LineKind kind = LineKind::Other;
  std::string_view name;   // section or key
  std::string_view value;  // keys only
};

Parsed parse(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  line = trim(line);
  Parsed p;
  if (line.empty()) return p;
  if (line.front() == '[') {
    line.remove_prefix(1);
    p.kind = LineKind::Section;
    p.name = trim(line.substr(0, line.find(']')));
    return p;
  }
  const std::size_t eq = line.find('=');
  if (eq == std::string_view::npos) return p;
  p.name = trim(line.substr(0, eq));
  if (p.name.empty()) return p;
  p.kind = LineKind::Key;
  p.value = trim(line.substr(eq + 1));
  return p;
}

// Editors on Windows put quotes around values and a byte-order mark in
// front of UTF-8 files; the profile functions there drop both.
std::string_view unquoted(std::string_view v) {
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front()) {
    v.remove_prefix(1);
    v.remove_suffix(1);
  }
  return v;
}

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool blankLine(std::string_view line) {
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  return trim(line).empty();
}

bool holdsLineBreak(std::string_view s) { return s.find_first_of("\r\n") != std::string_view::npos; }

// errno of the failure, 0 on success.
int readAll(const std::string& path, std::string& bytes) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno;
  struct stat st {};
  if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
    ::close(fd);
    return EISDIR;
  }
  bytes.clear();
  char buffer[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      const int e = errno;
      ::close(fd);
      return e;
    }
    bytes.append(buffer, static_cast<std::size_t>(n));
  }
  ::close(fd);
  return 0;
}

void setError(std::string* error, int e) {
  if (error) *error = std::strerror(e);
}

}  // namespace

bool ProfileText::load(const std::string& path, std::string* error) {
  std::string bytes;
  lines_.clear();
  crlf_ = false;
  bom_ = false;
  if (const int e = readAll(path, bytes)) {
    if (e == ENOENT) return true;
    setError(error, e);
    return false;
  }
  bom_ = std::string_view(bytes).substr(0, kByteOrderMark.size()) == kByteOrderMark;
  if (bom_) bytes.erase(0, kByteOrderMark.size());
  const std::size_t firstBreak = bytes.find('\n');
  crlf_ = firstBreak != std::string::npos && firstBreak > 0 && bytes[firstBreak - 1] == '\r';
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t end = bytes.find('\n', start);
    if (end == std::string::npos) end = bytes.size();
    lines_.emplace_back(bytes, start, end - start);
    start = end + 1;
  }
  return true;
}

std::string ProfileText::text() const {
  std::string out(bom_ ? kByteOrderMark : std::string_view());
  for (const std::string& line : lines_) {
    out += line;
    out += '\n';
  }
  return out;
}

bool ProfileText::save(const std::string& path, std::string* error) const { return replaceFile(path, text(), error); }

bool ProfileText::get(std::string_view section, std::string_view key, std::string& value) const {
  bool inSection = false;
  for (const std::string& line : lines_) {
    const Parsed p = parse(line);
    if (p.kind == LineKind::Section) {
      // Only the first section of that name counts.
      if (inSection) return false;
      inSection = sameName(p.name, section);
    } else if (inSection && p.kind == LineKind::Key && sameName(p.name, key)) {
      value.assign(unquoted(p.value));
      return true;
    }
  }
  return false;
}

bool ProfileText::set(std::string_view section, std::string_view key, std::string_view value) {
  // Reading trims the blanks around names, so a name with its own blanks
  // could never be found again and every write would add another copy.
  if (holdsLineBreak(section) || section.find(']') != std::string_view::npos || trim(section) != section) return false;
  if (holdsLineBreak(key) || key.find('=') != std::string_view::npos || trim(key).empty() || trim(key) != key ||
      key.front() == '[')
    return false;
  if (holdsLineBreak(value)) return false;
  const std::string ending = crlf_ ? "\r" : "";
  std::string keyLine = std::string(key) + "=" + std::string(value);

  std::size_t header = lines_.size();
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    const Parsed p = parse(lines_[i]);
    if (p.kind == LineKind::Section && sameName(p.name, section)) {
      header = i;
      break;
    }
  }
  if (header == lines_.size()) {
    lines_.push_back("[" + std::string(section) + "]" + ending);
    lines_.push_back(keyLine + ending);
    return true;
  }
  std::size_t lastFilled = header;
  for (std::size_t i = header + 1; i < lines_.size(); ++i) {
    const Parsed p = parse(lines_[i]);
    if (p.kind == LineKind::Section) break;
    if (p.kind == LineKind::Key && sameName(p.name, key)) {
      if (!lines_[i].empty() && lines_[i].back() == '\r') keyLine += '\r';
      lines_[i] = std::move(keyLine);
      return true;
    }
    if (!blankLine(lines_[i])) lastFilled = i;
  }
  // After the section's last line that is not blank, so that blank lines
  // before the next section stay where they are.
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(lastFilled) + 1, keyLine + ending);
  return true;
}

bool readProfileString(const std::string& path, std::string_view section, std::string_view key, std::string& out) {
  ProfileText text;
  return text.load(path) && text.get(section, key, out);
}

bool writeProfileString(const std::string& path, std::string_view section, std::string_view key,
                        std::string_view value, std::string* error) {
  ProfileText text;
  if (!text.load(path, error)) return false;
  if (!text.set(section, key, value)) {
    setError(error, EINVAL);
    return false;
  }
  return text.save(path, error);
}

bool readWholeFile(const std::string& path, std::string& bytes, std::string* error) {
  if (const int e = readAll(path, bytes)) {
    setError(error, e);
    return false;
  }
  return true;
}

bool replaceFile(const std::string& path, const std::string& bytes, std::string* error) {
  static std::atomic<unsigned> counter{0};
  std::string temp;
  int fd = -1;
  for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
    temp = path + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
    fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) {
    setError(error, errno);
    return false;
  }
  // The new file keeps the old one's permissions.
  struct stat st {};
  if (::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) (void)::fchmod(fd, st.st_mode & 07777);

  int failure = 0;
  std::size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      failure = errno;
      break;
    }
    done += static_cast<std::size_t>(n);
  }
  if (!failure && ::fsync(fd) != 0) failure = errno;
  if (::close(fd) != 0 && !failure) failure = errno;
  if (!failure && ::rename(temp.c_str(), path.c_str()) != 0) failure = errno;
  if (failure) {
    ::unlink(temp.c_str());
    setError(error, failure);
    return false;
  }
  return true;
}

}  // namespace platform
