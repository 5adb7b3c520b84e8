// Which files one run of spiconv converts and where each result goes. The
// inputs are files and folders; a folder gives its own files, or with
// `recursive` every file of its tree, and its structure is kept under the
// output folder. Paths are full Windows paths in UTF-16.
#pragma once

#include <string>
#include <vector>

enum class PathKind { Missing, File, Folder };

struct FolderEntry {
  std::wstring name;
  bool isFolder = false;
  // A link or junction to a folder: never walked, since it may lead back
  // up the tree.
  bool isLink = false;
};

// The file system as the plan sees it; Windows' in spiconv, a table in the tests.
class FileSystemView {
 public:
  virtual ~FileSystemView() = default;
  virtual PathKind KindOf(const std::wstring& path) = 0;
  // The entries of a folder without "." and ".."; false when it cannot be listed.
  virtual bool List(const std::wstring& folder, std::vector<FolderEntry>* entries) = 0;
};

enum class JobKind {
  Convert,
  Missing,          // an input that names nothing
  UnlistedFolder,   // a folder that cannot be listed
  SameOutput,       // its output is an earlier file's output
  OverwritesInput,  // its output is one of the pictures to convert
};

struct Job {
  JobKind kind = JobKind::Convert;
  std::wstring source;  // the picture, or the input or folder the fault is about
  std::wstring shown;   // its name on its line: relative to its input folder, else the file name
  std::wstring output;  // the file to write
  std::wstring other;   // SameOutput: the earlier file's shown name
  // Found in a folder rather than named: a file the plug-in does not read
  // is skipped, not failed.
  bool fromWalk = false;
};

struct PlanOptions {
  bool recursive = false;
  std::wstring outputFolder;  // full path
  std::wstring suffix;        // added to each picture's name: ".png" or ".bmp"
};

// One job per file, in the order of the inputs; a folder's files in order
// of name, before its subfolders. The output folder is not walked when it
// lies inside an input folder.
std::vector<Job> PlanJobs(const std::vector<std::wstring>& inputs, const PlanOptions& options, FileSystemView& files);

// The folder and the name joined by one backslash.
std::wstring JoinPath(const std::wstring& folder, const std::wstring& name);
// The text after the last backslash or slash.
std::wstring FileNameOf(const std::wstring& path);
// The folder part of a path, without its last separator; empty for a bare name.
std::wstring FolderOf(const std::wstring& path);
// Equal as Windows names compare, as far as ASCII letters go: other
// letters must match in case too.
bool SameName(const std::wstring& a, const std::wstring& b);
// A full path that Windows' calls take even past MAX_PATH characters: the
// \\?\ form for a long path of a drive or a share, the path itself otherwise.
std::wstring ExtendedPath(const std::wstring& fullPath);
