#pragma once
// Our stand-in for the Windows profile ("INI") functions. The file is read
// once into memory; reads and writes work on its lines, and Save replaces the
// file in one step, so that a failed save leaves the old file as it was. A
// file is never replaced blind: not when it could not be read, nor when this
// user may not write it.
//
// Text form: lines end at CR LF, LF or a lone CR; "[name]" opens a section
// (the name runs to the last "]"); a line with "=" is a key; names match
// without regard to ASCII letter case; the first key of a name in the first
// copy of a section wins; there are no comments. Values are trimmed, lose one
// pair of enclosing quotes, end at a NUL byte and are cut to 2047 characters.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class ProfileFile {
 public:
  // Reads the file now. A missing file reads as empty and is created by the
  // first Save. A file that exists but cannot be read (no access, a folder,
  // an I/O error) also reads as empty, but is not Readable().
  explicit ProfileFile(std::string path);

  const std::string& FileName() const;
  bool Readable() const;

  // Whether the file has the section, or the key in the section.
  bool HasSection(std::string_view section) const;
  bool HasKey(std::string_view section, std::string_view key) const;

  // An absent key gives the default; a key with nothing after "=" gives "".
  std::string ReadString(std::string_view section, std::string_view key,
                         std::string_view defaultValue) const;
  // Decimal, or hexadecimal after "$" or "0x"; hexadecimal of up to 8 digits
  // is a 32-bit pattern ("$FFFFFFFF" is -1). Text that does not convert to a
  // 32-bit integer gives the default.
  std::int32_t ReadInteger(std::string_view section, std::string_view key,
                           std::int32_t defaultValue) const;
  // The integer rule; non-zero is true.
  bool ReadBool(std::string_view section, std::string_view key, bool defaultValue) const;
  // Decimal number text with "."; empty or unconvertible text gives the default.
  double ReadFloat(std::string_view section, std::string_view key, double defaultValue) const;

  // Replaces the key's line, or adds it after the section's last key line, or
  // appends the section with it at the end of the file. CR and LF bytes of
  // the value are dropped: they would start new lines. A value with blanks
  // at its ends or in a pair of quotes is written in quotes, so that it
  // reads back as it was.
  void WriteString(std::string_view section, std::string_view key, std::string_view value);
  void WriteInteger(std::string_view section, std::string_view key, std::int64_t value);
  void WriteBool(std::string_view section, std::string_view key, bool value);
  void WriteFloat(std::string_view section, std::string_view key, double value);

  // Removes every copy of the section: each header and the lines up to the
  // next header.
  void EraseSection(std::string_view section);

  // Writes the whole file with LF line ends and no CR byte: first to
  // "<file>.saving", which then replaces the file in one step and takes its
  // permission bits. A symbolic link is written through: its target is the
  // file replaced. Throws WriteError ("Unable to write to <path>") when it
  // cannot, when the file was not Readable(), or when it exists and this
  // user may not write it; the old file then stays as it was.
  void Save() const;
  // The same, to another file: the user's first save of a layout read from
  // the defaults shipped with the program.
  void SaveAs(const std::string& path) const;

 private:
  std::string path_;
  bool readable_ = true;
  bool byteOrderMark_ = false;
  std::vector<std::string> lines_;  // without line ends or CR bytes
};
