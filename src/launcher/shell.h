#pragma once

#include <string>

namespace fablewick {

// What became of a request to start a program.
enum class StartResult {
  Started,
  Refused,   // the shell would not start it (a damaged or foreign executable)
  Cancelled, // the user said no when the system asked (the elevation prompt)
};

// The file system and the shell as the launcher meets them. File names are
// the program's own, bare, and resolve against the process's current
// directory; the directory itself is the user's and may be in any script.
class Shell {
public:
  virtual ~Shell() = default;

  // True for an existing file that is not a directory.
  virtual bool IsPlainFile(const std::string& name) = 0;

  // Asks the shell to open the file with its "open" verb and no arguments.
  // The started program is not waited for; the result says only whether the
  // shell accepted the request.
  virtual StartResult OpenDetached(const std::string& name) = 0;

  // Makes path the current directory. False when it cannot; the current
  // directory is then as it was.
  virtual bool MakeCurrent(const std::u16string& path) = 0;

  // The short form of the folder's full path, which the system accepts where
  // the long one is too long for it; empty where it has none.
  virtual std::u16string ShortName(const std::u16string& path) = 0;
};

} // namespace fablewick
