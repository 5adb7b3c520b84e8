#include "tools/spiconv/batch_plan.h"

#include <algorithm>
#include <map>

namespace {

// Paths shorter than this go to Windows as they are; CreateDirectory takes
// no more than MAX_PATH less 12 characters.
constexpr size_t kLongPath = 248;

wchar_t FoldAscii(wchar_t c) { return c >= L'A' && c <= L'Z' ? static_cast<wchar_t>(c - L'A' + L'a') : c; }

std::wstring Folded(const std::wstring& text) {
  std::wstring folded = text;
  std::transform(folded.begin(), folded.end(), folded.begin(), FoldAscii);
  return folded;
}

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

std::wstring WithoutTrailingSeparator(std::wstring path) {
  // A drive's root keeps its backslash: "C:" alone is the drive's current folder.
  while (path.size() > 1 && IsSeparator(path.back()) && !(path.size() == 3 && path[1] == L':')) path.pop_back();
  return path;
}

class Planner {
 public:
  Planner(const PlanOptions& options, FileSystemView& files, std::vector<Job>* jobs)
      : options_(options), files_(files), jobs_(*jobs) {}

  void Input(const std::wstring& input) {
    const std::wstring path = WithoutTrailingSeparator(input);
    switch (files_.KindOf(path)) {
      case PathKind::Missing:
        jobs_.push_back(Job{JobKind::Missing, path, path, {}, {}, false});
        break;
      case PathKind::File:
        AddPicture(path, FileNameOf(path), false);
        break;
      case PathKind::Folder:
        Walk(path, L"");
        break;
    }
  }

 private:
  void AddPicture(const std::wstring& source, const std::wstring& shown, bool fromWalk) {
    jobs_.push_back(Job{JobKind::Convert, source, shown,
                        JoinPath(options_.outputFolder, shown) + options_.suffix, {}, fromWalk});
  }

  void Walk(const std::wstring& folder, const std::wstring& relative) {
    std::vector<FolderEntry> entries;
    if (!files_.List(folder, &entries)) {
      jobs_.push_back(Job{JobKind::UnlistedFolder, folder, relative.empty() ? folder : relative, {}, {}, false});
      return;
    }
    std::stable_sort(entries.begin(), entries.end(), [](const FolderEntry& a, const FolderEntry& b) {
      return Folded(a.name) < Folded(b.name);
    });
    for (const FolderEntry& entry : entries)
      if (!entry.isFolder) AddPicture(JoinPath(folder, entry.name), JoinPath(relative, entry.name), true);
    if (!options_.recursive) return;
    for (const FolderEntry& entry : entries) {
      const std::wstring path = JoinPath(folder, entry.name);
      if (!entry.isFolder || entry.isLink || SameName(path, WithoutTrailingSeparator(options_.outputFolder)))
        continue;
      Walk(path, JoinPath(relative, entry.name));
    }
  }

  const PlanOptions& options_;
  FileSystemView& files_;
  std::vector<Job>& jobs_;
};

// Two pictures written to one file would lose the first; a picture written
// over one of the inputs would lose that input.
void MarkCollisions(std::vector<Job>* jobs) {
  std::map<std::wstring, size_t> sources;
  for (size_t i = 0; i < jobs->size(); ++i)
    if ((*jobs)[i].kind == JobKind::Convert) sources.emplace(Folded((*jobs)[i].source), i);
  std::map<std::wstring, size_t> outputs;
  for (size_t i = 0; i < jobs->size(); ++i) {
    Job& job = (*jobs)[i];
    if (job.kind != JobKind::Convert) continue;
    const std::wstring key = Folded(job.output);
    if (sources.count(key)) {
      job.kind = JobKind::OverwritesInput;
      continue;
    }
    const auto [earlier, added] = outputs.emplace(key, i);
    if (!added) {
      job.kind = JobKind::SameOutput;
      job.other = (*jobs)[earlier->second].shown;
    }
  }
}

}  // namespace

std::vector<Job> PlanJobs(const std::vector<std::wstring>& inputs, const PlanOptions& options, FileSystemView& files) {
  std::vector<Job> jobs;
  Planner planner(options, files, &jobs);
  for (const std::wstring& input : inputs) planner.Input(input);
  MarkCollisions(&jobs);
  return jobs;
}

std::wstring JoinPath(const std::wstring& folder, const std::wstring& name) {
  if (folder.empty()) return name;
  if (IsSeparator(folder.back())) return folder + name;
  return folder + L'\\' + name;
}

std::wstring FileNameOf(const std::wstring& path) {
  const size_t separator = path.find_last_of(L"\\/");
  return separator == std::wstring::npos ? path : path.substr(separator + 1);
}

std::wstring FolderOf(const std::wstring& path) {
  const size_t separator = path.find_last_of(L"\\/");
  return separator == std::wstring::npos ? std::wstring() : path.substr(0, separator);
}

bool SameName(const std::wstring& a, const std::wstring& b) { return Folded(a) == Folded(b); }

std::wstring ExtendedPath(const std::wstring& fullPath) {
  if (fullPath.size() < kLongPath || fullPath.compare(0, 4, L"\\\\?\\") == 0) return fullPath;
  std::wstring path = fullPath;
  // The \\?\ form takes every character as it is: only backslashes separate.
  std::replace(path.begin(), path.end(), L'/', L'\\');
  if (path.size() >= 3 && path[1] == L':' && path[2] == L'\\') return L"\\\\?\\" + path;
  if (path.compare(0, 2, L"\\\\") == 0) return L"\\\\?\\UNC\\" + path.substr(2);
  return fullPath;
}
