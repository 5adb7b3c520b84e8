// spiconv's plan of a run: which files, in which order, written where, and
// the inputs it refuses before any plug-in is asked.
#include <gtest/gtest.h>

#include <map>

#include "tools/spiconv/batch_plan.h"

namespace {

// A tree of folders and files by full path; a folder listed with no
// entries is empty, one named in `unlisted` cannot be listed.
class TableFiles : public FileSystemView {
 public:
  std::map<std::wstring, std::vector<FolderEntry>> folders;
  std::vector<std::wstring> files;
  std::wstring unlisted;

  PathKind KindOf(const std::wstring& path) override {
    if (folders.count(path)) return PathKind::Folder;
    for (const std::wstring& file : files)
      if (file == path) return PathKind::File;
    return PathKind::Missing;
  }
  bool List(const std::wstring& folder, std::vector<FolderEntry>* entries) override {
    if (folder == unlisted) return false;
    *entries = folders.at(folder);
    return true;
  }
};

// C:\in\b.cz1, C:\in\A.tga, C:\in\sub\c.px, C:\in\sub\deep\d.lfb,
// C:\in\link (a junction), C:\in\out (the output folder) and C:\one.bbm.
TableFiles Tree() {
  TableFiles t;
  t.folders[L"C:\\in"] = {{L"sub", true}, {L"b.cz1"}, {L"link", true, true}, {L"A.tga"}, {L"out", true}};
  t.folders[L"C:\\in\\sub"] = {{L"deep", true}, {L"c.px"}};
  t.folders[L"C:\\in\\sub\\deep"] = {{L"d.lfb"}};
  t.folders[L"C:\\in\\link"] = {{L"loop.cz1"}};
  t.folders[L"C:\\in\\out"] = {{L"b.cz1.png"}};
  t.files = {L"C:\\one.bbm"};
  return t;
}

std::vector<Job> Plan(TableFiles& files, std::vector<std::wstring> inputs, bool recursive) {
  return PlanJobs(inputs, PlanOptions{recursive, L"C:\\in\\out", L".png"}, files);
}

std::vector<std::wstring> Shown(const std::vector<Job>& jobs) {
  std::vector<std::wstring> shown;
  for (const Job& job : jobs) shown.push_back(job.shown);
  return shown;
}

TEST(BatchPlan, AFileGoesUnderTheOutputFolderByItsName) {
  TableFiles files = Tree();
  const std::vector<Job> jobs = Plan(files, {L"C:\\one.bbm"}, false);
  ASSERT_EQ(jobs.size(), 1u);
  EXPECT_EQ(jobs[0].kind, JobKind::Convert);
  EXPECT_EQ(jobs[0].source, L"C:\\one.bbm");
  EXPECT_EQ(jobs[0].shown, L"one.bbm");
  EXPECT_EQ(jobs[0].output, L"C:\\in\\out\\one.bbm.png");
  EXPECT_FALSE(jobs[0].fromWalk);
}

TEST(BatchPlan, AFolderGivesItsOwnFilesInOrderOfName) {
  TableFiles files = Tree();
  const std::vector<Job> jobs = Plan(files, {L"C:\\in\\"}, false);
  EXPECT_EQ(Shown(jobs), (std::vector<std::wstring>{L"A.tga", L"b.cz1"}));
  EXPECT_EQ(jobs[0].source, L"C:\\in\\A.tga");
  EXPECT_EQ(jobs[0].output, L"C:\\in\\out\\A.tga.png");
  EXPECT_TRUE(jobs[0].fromWalk);
}

TEST(BatchPlan, RecursiveWalksTheTreeKeepingItsFoldersButNotLinksOrTheOutput) {
  TableFiles files = Tree();
  const std::vector<Job> jobs = Plan(files, {L"C:\\in"}, true);
  EXPECT_EQ(Shown(jobs), (std::vector<std::wstring>{L"A.tga", L"b.cz1", L"sub\\c.px", L"sub\\deep\\d.lfb"}));
  EXPECT_EQ(jobs[3].source, L"C:\\in\\sub\\deep\\d.lfb");
  EXPECT_EQ(jobs[3].output, L"C:\\in\\out\\sub\\deep\\d.lfb.png");
}

TEST(BatchPlan, InputsThatCannotBeConvertedHaveJobsThatSaySo) {
  TableFiles files = Tree();
  files.unlisted = L"C:\\in\\sub";
  const std::vector<Job> jobs = Plan(files, {L"C:\\gone.cz1", L"C:\\in"}, true);
  ASSERT_EQ(jobs.size(), 4u);
  EXPECT_EQ(jobs[0].kind, JobKind::Missing);
  EXPECT_EQ(jobs[0].shown, L"C:\\gone.cz1");
  EXPECT_EQ(jobs[3].kind, JobKind::UnlistedFolder);
  EXPECT_EQ(jobs[3].shown, L"sub");
}

TEST(BatchPlan, NoOutputIsWrittenTwiceOrOverAnInput) {
  TableFiles files;
  files.folders[L"C:\\a"] = {{L"x.cz1"}};
  files.folders[L"C:\\b"] = {{L"X.CZ1"}};
  files.folders[L"C:\\c"] = {{L"y.cz1"}, {L"y.cz1.png"}};
  // C:\b\X.CZ1 would go where C:\a\x.cz1 goes (names compare without case).
  const std::vector<Job> twice = PlanJobs({L"C:\\a", L"C:\\b"}, PlanOptions{false, L"C:\\out", L".png"}, files);
  ASSERT_EQ(twice.size(), 2u);
  EXPECT_EQ(twice[0].kind, JobKind::Convert);
  EXPECT_EQ(twice[1].kind, JobKind::SameOutput);
  EXPECT_EQ(twice[1].other, L"x.cz1");
  // Converted into their own folder, y.cz1 would replace y.cz1.png, an input.
  const std::vector<Job> over = PlanJobs({L"C:\\c"}, PlanOptions{false, L"C:\\c", L".png"}, files);
  ASSERT_EQ(over.size(), 2u);
  EXPECT_EQ(over[0].kind, JobKind::OverwritesInput);
  EXPECT_EQ(over[1].kind, JobKind::Convert);
  EXPECT_EQ(over[1].output, L"C:\\c\\y.cz1.png.png");
}

TEST(PathParts, JoinSplitAndCompare) {
  EXPECT_EQ(JoinPath(L"C:\\", L"a"), L"C:\\a");
  EXPECT_EQ(JoinPath(L"C:\\x", L"a"), L"C:\\x\\a");
  EXPECT_EQ(JoinPath(L"", L"a"), L"a");
  EXPECT_EQ(FileNameOf(L"C:\\x/y\\a.cz1"), L"a.cz1");
  EXPECT_EQ(FolderOf(L"C:\\x\\a.cz1"), L"C:\\x");
  EXPECT_EQ(FolderOf(L"a.cz1"), L"");
  EXPECT_TRUE(SameName(L"C:\\Out", L"c:\\oUT"));
  EXPECT_FALSE(SameName(L"C:\\\u00C4", L"C:\\\u00E4"));
}

TEST(PathParts, LongPathsTakeTheExtendedForm) {
  const std::wstring folder(260, L'x');
  EXPECT_EQ(ExtendedPath(L"C:\\short"), L"C:\\short");
  EXPECT_EQ(ExtendedPath(L"C:\\" + folder + L"/a"), L"\\\\?\\C:\\" + folder + L"\\a");
  EXPECT_EQ(ExtendedPath(L"\\\\server\\share\\" + folder), L"\\\\?\\UNC\\server\\share\\" + folder);
  EXPECT_EQ(ExtendedPath(L"\\\\?\\C:\\" + folder), L"\\\\?\\C:\\" + folder);
  // A relative path has no extended form.
  EXPECT_EQ(ExtendedPath(folder), folder);
}

}  // namespace
