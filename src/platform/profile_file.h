#pragma once
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// An INI file held as its lines, read and edited the way the classic
// profile functions do: sections and keys match without regard to case,
// only the first matching section and key count, keys may hold spaces,
// values are kept verbatim apart from the spaces around them and one pair
// of enclosing quotes. Lines that an edit does not touch stay as they were,
// comments, unknown keys and a leading UTF-8 byte-order mark included.
class ProfileText {
 public:
  // A missing file loads as an empty one.
  bool load(const std::string& path, std::string* error = nullptr);
  // Replaces the file as a whole: the old or the new file, never a mix.
  bool save(const std::string& path, std::string* error = nullptr) const;

  // False when the section or the key is missing.
  bool get(std::string_view section, std::string_view key, std::string& value) const;
  // Replaces the key's line, or appends the key to its section, or appends
  // the section to the end. False, and nothing changed, for names or values
  // that a line cannot hold and for names that a read could not find again
  // (blanks around them).
  bool set(std::string_view section, std::string_view key, std::string_view value);

  std::string text() const;

 private:
  std::vector<std::string> lines_;  // without their '\n'; a '\r' stays in them
  bool crlf_ = false;               // how the file ends its lines
  bool bom_ = false;                // starts with a UTF-8 byte-order mark
};

// One key, read straight from the file; false when the file, the section or
// the key is missing.
bool readProfileString(const std::string& path, std::string_view section, std::string_view key, std::string& out);
// One key, written straight into the file (created when missing).
bool writeProfileString(const std::string& path, std::string_view section, std::string_view key,
                        std::string_view value, std::string* error = nullptr);

// Whole-file helpers. A write goes to a temporary file in the same folder
// that is then renamed over the target; error gets the system's reason.
bool readWholeFile(const std::string& path, std::string& bytes, std::string* error = nullptr);
bool replaceFile(const std::string& path, const std::string& bytes, std::string* error = nullptr);

}  // namespace platform
