// The plan's view of Windows' file system, and full paths.
#pragma once

#include <string>
#include <vector>

#include "tools/spiconv/batch_plan.h"

class WindowsFiles : public FileSystemView {
 public:
  PathKind KindOf(const std::wstring& path) override;
  bool List(const std::wstring& folder, std::vector<FolderEntry>* entries) override;
};

// The path made full against the current folder; the path itself where
// Windows cannot make it full.
std::wstring FullPath(const std::wstring& path);
