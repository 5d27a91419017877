#pragma once
// Where the program's own files live.
#include <string>

// Full path of the running executable.
std::string ExecutablePath();

// Where the layout file is read and where it is saved. They differ only on a
// user's first start of an installed copy: the defaults shipped beside the
// program are read, and the first save writes the user's own file.
struct LayoutFiles {
  std::string read;
  std::string write;
};

// What decides where the layout file lives. An environment variable that is
// unset is empty.
struct LayoutPlace {
  std::string programFolder;
  bool programFolderWritable;
  std::string xdgConfigHome;
  std::string home;
};

// tarnwick.ini beside the program when the user may write its folder (a
// build folder, an unpacked copy). Else, for an installed copy, the user's
// $XDG_CONFIG_HOME/tarnwick/tarnwick.ini (~/.config when that is unset or
// relative), read from the tarnwick.ini beside the program until the user's
// own exists. Without either variable the file stays beside the program.
LayoutFiles LayoutFilesFor(const LayoutPlace& place);

// The layout files of this program and of its tools. On Windows always
// beside the executable.
LayoutFiles LayoutFilesOfThisProgram();
