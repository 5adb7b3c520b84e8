// The plug-in host with stand-in plug-ins: where it looks and in which
// order, which plug-in decodes a file, where, and which stay loaded.
#include "viewer/engine/windows/plugin_host.h"

#include <gtest/gtest.h>

#include "base/sizes.h"
#include "platform/windows/text.h"
#include "tests/engine_windows/support.h"
#include "tests/gui_inprocess/import_patch.h"
#include "viewer/engine/windows/image_libraries.h"

namespace {

using platform::Utf16;
using platform::Utf8;

constexpr uint32_t kDefaultFlags = PluginList::kUnloadAfterProbe | PluginList::kAcceptImage;

// A 1 × 1 24-bit picture in the stand-in format for plug-in `digit`.
Bytes Picture(char digit) { return FakeFile(digit, PackedBitmap(1, 1, 24, {}, {1, 2, 3, 0})); }

struct DecodedBlocks {
  SpiResult result;
  LONG decodedBy = 0;  // the stand-in's number, kept in biXPelsPerMeter
  LONG position = 0;   // the position it was given, in biYPelsPerMeter
};

DecodedBlocks Decode(PluginList& plugins, const std::string& path) {
  SpiHandle info = nullptr, bits = nullptr;
  DecodedBlocks d{plugins.DecodeFile(path.c_str(), &info, &bits)};
  if (d.result == SpiResult::Ok) {
    const auto* header = static_cast<const BITMAPINFOHEADER*>(LocalLock(info));
    d.decodedBy = header->biXPelsPerMeter;
    d.position = header->biYPelsPerMeter;
    LocalUnlock(info);
    LocalFree(info);
    LocalFree(bits);
  }
  return d;
}

std::string PathOf(const PluginRecord& record) { return Utf8(record.path()); }

bool IsLoaded(const std::string& path) { return GetModuleHandleW(Utf16(path).c_str()) != nullptr; }

// Stand-ins in a folder of the test's own that the search takes for the
// program's folder, and in a second folder given to the search.
class PluginHostTest : public testing::Test {
 protected:
  void SetUp() override {
    program_ = NewFolder("program");
    given_ = NewFolder("given");
    files_ = NewFolder("files");
  }
  void Place(int number, const std::string& folder) { CopyInto(FakesFolder() + "\\" + FakeName(number), folder); }
  std::string File(const std::string& name, const Bytes& bytes) {
    const std::string path = files_ + "\\" + name;
    WriteFileBytes(path, bytes);
    return path;
  }

  // Stand-in `number` alone in the program's folder, its decodes told to
  // `progress`; a file of `name` that it takes.
  std::string SearchWithProgress(int number, PluginList& plugins, DecodeProgress& progress, const std::string& name) {
    Place(number, program_);
    plugins.Search(kDefaultFlags, Utf16(program_), nullptr);
    plugins.SetProgress(&progress);
    return File(name, Picture(static_cast<char>('0' + number)));
  }

  std::string program_, given_, files_;
};

TEST_F(PluginHostTest, SearchesTheProgramsFolderThenTheGivenOneThenTheSystemFolder) {
  Place(1, program_);
  Place(2, given_);
  char system[MAX_PATH];
  GetSystemDirectoryA(system, sizeof system);
  const std::string inSystem = std::string(system) + "\\" + FakeName(3);
  const std::string againInSystem = std::string(system) + "\\" + FakeName(1);
  ASSERT_TRUE(CopyFileA((FakesFolder() + "\\" + FakeName(3)).c_str(), inSystem.c_str(), FALSE));
  ASSERT_TRUE(CopyFileA((FakesFolder() + "\\" + FakeName(1)).c_str(), againInSystem.c_str(), FALSE));
  {
    PluginList plugins;
    plugins.Search(kDefaultFlags, Utf16(program_), Utf16(given_).c_str());
    ASSERT_EQ(plugins.records().size(), 4u);
    EXPECT_EQ(PathOf(plugins.records()[0]), program_ + "\\" + FakeName(1));
    EXPECT_EQ(PathOf(plugins.records()[1]), given_ + "\\" + FakeName(2));
    // Both of the system folder's, in the order the system lists them; the
    // library found twice is listed twice.
    EXPECT_TRUE(PathOf(plugins.records()[2]) == againInSystem || PathOf(plugins.records()[3]) == againInSystem);
    for (const PluginRecord& record : plugins.records()) EXPECT_FALSE(record.IsLoaded()) << PathOf(record);
    // The first that says yes decodes: the program folder's.
    EXPECT_EQ(Decode(plugins, File("any.fk", Picture('*'))).decodedBy, 1);
  }
  DeleteFileA(inSystem.c_str());
  DeleteFileA(againInSystem.c_str());
}

// Started from a downloads folder or through "Open with", the current folder
// is the pictures' folder: a plug-in planted there never runs. Nor does one
// renamed to switch it off, whose short alias still ends in the extension.
TEST_F(PluginHostTest, OnlyThePluginsOfTheProgramsFolderWithTheirExactExtensionRun) {
  const std::string current = NewFolder("downloads");
  const std::string planted = current + "\\planted" + kPluginSuffix;
  const std::string switchedOff = program_ + "\\off" + kPluginSuffix + "_old";
  std::string upper = program_ + "\\UPPER" + kPluginSuffix;
  CharUpperA(&upper[upper.size() - 4]);
  for (const std::string& path : {planted, switchedOff})
    ASSERT_TRUE(CopyFileW(Utf16(FakesFolder() + "\\" + FakeName(12)).c_str(), Utf16(path).c_str(), FALSE));
  ASSERT_TRUE(CopyFileW(Utf16(FakesFolder() + "\\" + FakeName(1)).c_str(), Utf16(upper).c_str(), FALSE));
  CurrentFolder in(current);
  PluginList plugins;
  plugins.Search(kDefaultFlags, Utf16(program_), nullptr);
  ASSERT_EQ(plugins.records().size(), 1u);
  EXPECT_EQ(PathOf(plugins.records()[0]), upper) << "the extension in any case";
  for (const std::string& path : {planted, switchedOff})
    EXPECT_EQ(GetFileAttributesW(Utf16(path + ".loaded").c_str()), INVALID_FILE_ATTRIBUTES) << path << " ran";
}

TEST_F(PluginHostTest, APluginThatMatchedStaysLoadedTheOthersAreLetGo) {
  Place(1, program_);
  Place(2, program_);
  PluginList plugins;
  plugins.Search(kDefaultFlags, Utf16(program_), nullptr);
  const DecodedBlocks d = Decode(plugins, File("two.fk", Picture('2')));
  EXPECT_EQ(d.result, SpiResult::Ok);
  EXPECT_EQ(d.decodedBy, 2);
  EXPECT_EQ(d.position, 0);
  EXPECT_TRUE(IsLoaded(program_ + "\\" + FakeName(2)));
  EXPECT_FALSE(IsLoaded(program_ + "\\" + FakeName(1)));
  EXPECT_EQ(Decode(plugins, File("two-again.fk", Picture('2'))).decodedBy, 2) << "asked directly";
}

TEST_F(PluginHostTest, AFileAfterA128BytePrefixIsDecodedThere) {
  Place(2, program_);
  PluginList plugins;
  plugins.Search(kDefaultFlags, Utf16(program_), nullptr);
  Bytes prefixed(128, 'x');
  Append(prefixed, Picture('2'));
  const DecodedBlocks d = Decode(plugins, File("prefixed.fk", prefixed));
  EXPECT_EQ(d.result, SpiResult::Ok);
  EXPECT_EQ(d.position, 128);
}

TEST_F(PluginHostTest, ResultsOfTheHostsOwn) {
  Place(5, program_);  // answers 0 without a pixel block
  Place(6, program_);  // answers 6
  PluginList plugins;
  plugins.Search(kDefaultFlags, Utf16(program_), nullptr);
  EXPECT_EQ(Decode(plugins, File("nobody.fk", Picture('9'))).result, kRefused) << "no plug-in takes it";
  EXPECT_EQ(Decode(plugins, files_ + "\\absent.fk").result, kRefused) << "a file that cannot be opened";
  EXPECT_EQ(Decode(plugins, File("five.fk", Picture('5'))).result, kNothingHandedOver);
  EXPECT_EQ(Decode(plugins, File("six.fk", Picture('6'))).result, SpiResult::FileReadError) << "the plug-in's own code";
}

// A plug-in that answers 0 but hands over one block, or one block as both,
// has its blocks freed by the host (each once); one that fails keeps what
// it points the handles at. Fifty decodes of each leave the heap as it was.
TEST_F(PluginHostTest, BlocksHandedOverInVainAreFreedOnce) {
  for (int number : {4, 5, 8, 9}) Place(number, program_);
  PluginList plugins;
  plugins.Search(kDefaultFlags, Utf16(program_), nullptr);
  const std::string onlyBits = File("four.fk", Picture('4')), onlyInfo = File("five.fk", Picture('5')),
                    sameBlock = File("eight.fk", Picture('8')), failing = File("nine.fk", Picture('9'));
  const auto keptBlockSize = [&] {
    const auto size = reinterpret_cast<SIZE_T(SPI_CALL*)()>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA(FakeName(9).c_str()), "FakeKeptBlockSize")));
    return size ? size() : 0;
  };
  // Loads each plug-in once: what its loading allocates stays.
  for (const std::string& file : {onlyBits, onlyInfo, sameBlock, failing}) Decode(plugins, file);
  keptBlockSize();
  const size_t before = BusyHeapBlocks();
  for (int i = 0; i < 50; ++i) {
    EXPECT_EQ(Decode(plugins, onlyBits).result, kNothingHandedOver) << "only the pixel block";
    EXPECT_EQ(Decode(plugins, onlyInfo).result, kNothingHandedOver) << "only the information block";
    EXPECT_EQ(Decode(plugins, sameBlock).result, kNothingHandedOver) << "one block as both";
    EXPECT_EQ(Decode(plugins, failing).result, SpiResult::BrokenData);
    EXPECT_EQ(keptBlockSize(), 4u) << "a failing plug-in's block is its own";
  }
  EXPECT_EQ(BusyHeapBlocks(), before);
}

// Once the search is restricted, as the viewer does at start-up, a plug-in's
// dependency is found in the plug-in's own folder but never in the current
// folder.
TEST_F(PluginHostTest, ADependencyIsNeverTakenFromTheCurrentFolder) {
  RestrictLibrarySearch();
  Place(0, given_);
  const std::string current = NewFolder("current");
  CopyInto(FakesFolder() + "\\fakedep.dll", current);
  {
    CurrentFolder in(current);
    PluginList plugins;
    plugins.Search(kDefaultFlags, Utf16(program_), Utf16(given_).c_str());
    EXPECT_TRUE(plugins.records().empty()) << "fakedep.dll lies only in the current folder";
  }
  CopyInto(FakesFolder() + "\\fakedep.dll", given_);
  CurrentFolder in(current);
  PluginList plugins;
  plugins.Search(kDefaultFlags, Utf16(program_), Utf16(given_).c_str());
  EXPECT_EQ(plugins.records().size(), 1u) << "fakedep.dll beside the plug-in";
}

// A folder whose name no ANSI code page holds whole.
const char kEveryScript[] = u8"한글 ☃ テスト";
// A name no ANSI code page holds at all.
const char kEveryScriptName[] = u8"한글";

// A file in such a folder goes to a plug-in by a name it can open: here the
// short name the volume keeps. Where the system has none, the file is read
// and handed over in memory, which a plug-in that cannot open such a name
// decodes too; so it does after a 128-byte prefix.
TEST_F(PluginHostTest, AFileNoAnsiPathNamesIsHandedOverInMemory) {
  Place(3, program_);  // opens ASCII names only
  const std::string folder = NewFolder(kEveryScript);
  const std::string picture = folder + "\\" + kEveryScript + ".fk", prefixed = folder + "\\prefixed.fk";
  WriteFileBytes(picture, Picture('3'));
  Bytes withPrefix(128, 'x');
  Append(withPrefix, Picture('3'));
  WriteFileBytes(prefixed, withPrefix);
  PluginList plugins;
  plugins.Search(kDefaultFlags, Utf16(program_), nullptr);
  const DecodedBlocks byShortName = Decode(plugins, picture);
  EXPECT_EQ(byShortName.result, SpiResult::Ok);
  EXPECT_EQ(byShortName.decodedBy, 3);

  plugins.SetAnsiPathRule([](const std::wstring&) { return std::nullopt; });  // a volume without short names
  const DecodedBlocks inMemory = Decode(plugins, picture);
  EXPECT_EQ(inMemory.result, SpiResult::Ok);
  EXPECT_EQ(inMemory.decodedBy, 3);
  EXPECT_EQ(Decode(plugins, prefixed).result, SpiResult::Ok);
  EXPECT_EQ(Decode(plugins, folder + "\\gone.fk").result, kRefused) << "nothing to read: no plug-in takes it";

  // Given the name in the ANSI code page where it cannot open it, the
  // plug-in fails: why such a file goes in memory.
  plugins.SetAnsiPathRule([](const std::wstring& path) { return platform::ToAnsiLossy(path); });
  EXPECT_EQ(Decode(plugins, picture).result, SpiResult::FileReadError);
}

std::string Repeated(const std::string& text, int times) {
  std::string repeated;
  for (int i = 0; i < times; ++i) repeated += text;
  return repeated;
}

std::string Environment(const char* name) {
  char value[32] = "";
  GetEnvironmentVariableA(name, value, sizeof value);
  return value;
}

// The longest name the stand-in that copies names into a char[MAX_PATH]
// was given while the file was decoded.
size_t LongestNameGiven(PluginList& plugins, const std::string& path, SpiResult* result) {
  SetEnvironmentVariableA("FAKE_LONGEST_NAME", "0");
  *result = Decode(plugins, path).result;
  return std::stoul(Environment("FAKE_LONGEST_NAME"));
}

// Paths of fewer than 260 characters whose ANSI form, two bytes for each
// kana in code page 932, takes 260 bytes or more: given as they are, they
// would overflow a plug-in's buffer. Such a file goes by its short folder,
// or in memory with a name that fits.
TEST_F(PluginHostTest, NoNameOfMaxPathBytesOrMoreReachesAPlugin) {
  ASSERT_EQ(GetACP(), 932u) << "the Japanese locale gives the two-byte code page";
  Place(10, program_);
  const std::string deep = NewFolder(Repeated(u8"あ", 100)) + "\\" + Repeated(u8"い", 40) + ".fk";
  const std::string longName = files_ + "\\" + Repeated(u8"う", 140) + ".fk";
  for (const std::string& path : {deep, longName}) {
    WriteFileBytes(path, Picture('*'));
    ASSERT_LT(Utf16(path).size(), 260u);
    ASSERT_GE(platform::ToAnsiLossy(Utf16(path)).size(), 260u);
  }
  PluginList plugins;
  plugins.Search(kDefaultFlags, Utf16(program_), nullptr);
  const AnsiPathRule rules[] = {platform::AnsiPathOf,
                                // a volume without short names: in memory
                                [](const std::wstring&) { return std::nullopt; }};
  for (const AnsiPathRule& rule : rules) {
    plugins.SetAnsiPathRule(rule);
    for (const std::string& path : {deep, longName}) {
      SpiResult result;
      EXPECT_LT(LongestNameGiven(plugins, path, &result), size_t{MAX_PATH}) << path;
      EXPECT_EQ(result, SpiResult::Ok) << path;
    }
  }
}

// A plug-in that goes by the extension refuses "\\___~1.JPE" for a
// ".jpeg": the short name serves only when it keeps the extension, and a
// short folder before the file's own name keeps it.
TEST_F(PluginHostTest, AShortNameServesOnlyWhenItKeepsTheExtension) {
  Place(11, program_);
  const std::string noAnsiName = files_ + "\\" + kEveryScriptName + ".jpeg";
  const std::string inNoAnsiFolder = NewFolder(kEveryScriptName) + "\\photo.jpeg";
  for (const std::string& path : {noAnsiName, inNoAnsiFolder}) WriteFileBytes(path, Picture('*'));
  EXPECT_EQ(platform::AnsiPathOf(Utf16(noAnsiName)), std::nullopt);
  const std::optional<std::string> inShortFolder = platform::AnsiPathOf(Utf16(inNoAnsiFolder));
  ASSERT_TRUE(inShortFolder);
  EXPECT_EQ(inShortFolder->substr(inShortFolder->size() - 11), "\\photo.jpeg");
  PluginList plugins;
  plugins.Search(kDefaultFlags, Utf16(program_), nullptr);
  for (const std::string& path : {noAnsiName, inNoAnsiFolder}) {
    const DecodedBlocks d = Decode(plugins, path);
    EXPECT_EQ(d.result, SpiResult::Ok) << path;
    EXPECT_EQ(d.decodedBy, 11) << path;
  }
}

int opens = 0;
decltype(&CreateFileW) realCreateFileW = nullptr;
HANDLE WINAPI CountingCreateFileW(LPCWSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                                  DWORD disposition, DWORD flags, HANDLE templateFile) {
  ++opens;
  return realCreateFileW(name, access, share, security, disposition, flags, templateFile);
}

// What the plug-ins are asked about and what one of them decodes come from
// one read of the file; the block handed over ends in two zero bytes, for
// plug-ins that look for an end.
TEST_F(PluginHostTest, InMemoryTheFileIsReadOnceAndEndsInTwoZeroBytes) {
  Place(10, program_);
  const std::string picture = File("picture.fk", Picture('*'));
  PluginList plugins;
  plugins.Search(kDefaultFlags, Utf16(program_), nullptr);
  plugins.SetAnsiPathRule([](const std::wstring&) { return std::nullopt; });
  Decode(plugins, picture);  // loads the plug-in, which then stays
  opens = 0;
  SetEnvironmentVariableA("FAKE_ZERO_TAIL", "");
  {
    ImportPatch counting("kernel32.dll", "CreateFileW", reinterpret_cast<void*>(CountingCreateFileW));
    ASSERT_TRUE(counting.Active());
    realCreateFileW = reinterpret_cast<decltype(&CreateFileW)>(counting.original());
    EXPECT_EQ(Decode(plugins, picture).result, SpiResult::Ok);
  }
  EXPECT_EQ(opens, 1);
  EXPECT_EQ(Environment("FAKE_ZERO_TAIL"), "1");
}

// No picture the programs hold comes from a longer file: it is refused with
// the memory code before a byte of it is read (the file is sparse).
TEST_F(PluginHostTest, AFileLongerThanAnyPictureIsRefusedBeforeItIsRead) {
  Place(10, program_);
  const std::string huge = File("huge.fk", Picture('*'));
  HANDLE file = CreateFileW(Utf16(huge).c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  LARGE_INTEGER end;
  end.QuadPart = static_cast<LONGLONG>(kMaxPictureFileBytes + 1);
  ASSERT_TRUE(SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file));
  CloseHandle(file);
  PluginList plugins;
  plugins.Search(kDefaultFlags, Utf16(program_), nullptr);
  plugins.SetAnsiPathRule([](const std::wstring&) { return std::nullopt; });
  EXPECT_EQ(Decode(plugins, huge).result, SpiResult::OutOfMemory);
  DeleteFileW(Utf16(huge).c_str());
}

TEST_F(PluginHostTest, ArchivePluginsAreKeptOnlyWhenAskedFor) {
  Place(7, program_);
  PluginList plugins;
  plugins.Search(kDefaultFlags, Utf16(program_), nullptr);
  EXPECT_TRUE(plugins.records().empty());
  plugins.Search(PluginList::kUnloadAfterProbe | PluginList::kAcceptImage | PluginList::kAcceptArchive,
                 Utf16(program_), nullptr);
  ASSERT_EQ(plugins.records().size(), 1u);
  EXPECT_EQ(Decode(plugins, File("seven.fk", Picture('7'))).result, kRefused) << "archives are never asked to decode";
}

TEST_F(PluginHostTest, ALibraryThatIsNoPluginIsSkipped) {
  CopyFileA((FakesFolder() + "\\" + FakeName(1)).c_str(), (program_ + "\\renamed" + kPluginSuffix).c_str(), FALSE);
  WriteFileBytes(program_ + "\\text" + kPluginSuffix, {'n', 'o', 't', ' ', 'a', ' ', 'D', 'L', 'L'});
  PluginList plugins;
  plugins.Search(kDefaultFlags, Utf16(program_), nullptr);
  ASSERT_EQ(plugins.records().size(), 1u);
  EXPECT_EQ(PathOf(plugins.records()[0]), program_ + "\\renamed" + kPluginSuffix);
}

// Keeps what the host tells it; asks to stop at report `stopAt` (never
// with -1).
class RecordingProgress final : public DecodeProgress {
 public:
  explicit RecordingProgress(int stopAt = -1) : stopAt_(stopAt) {}
  void Begin() override { events += "B"; }
  bool Report(int done, int total) override {
    events += std::to_string(done) + "/" + std::to_string(total) + " ";
    return done == stopAt_;
  }
  void End() override { events += "E"; }
  std::string events;

 private:
  int stopAt_;
};

int ReportsAnswered() {
  char count[16] = "";
  GetEnvironmentVariableA("FAKE_REPORTS", count, sizeof count);
  return std::atoi(count);
}

// The callback is called with the convention of this width (stdcall in
// 32-bit: a wrong one would unbalance the stack and crash the run), sees
// every report and none outside a decode.
TEST_F(PluginHostTest, ProgressHearsEveryReportBetweenBeginAndEnd) {
  PluginList plugins;
  RecordingProgress progress;
  EXPECT_EQ(Decode(plugins, SearchWithProgress(14, plugins, progress, "a.fk")).result, SpiResult::Ok);
  EXPECT_EQ(progress.events, "B0/5 1/5 2/5 3/5 4/5 5/5 E");
  // A file no plug-in takes is a decode too, without reports.
  progress.events.clear();
  EXPECT_EQ(Decode(plugins, File("b.fk", Picture('7'))).result, kRefused);
  EXPECT_EQ(progress.events, "BE");
  // Without a progress the plug-in is told to go on.
  plugins.SetProgress(nullptr);
  EXPECT_EQ(Decode(plugins, File("c.fk", Picture(static_cast<char>('0' + 14)))).result, SpiResult::Ok);
  EXPECT_EQ(ReportsAnswered(), 6);
}

TEST_F(PluginHostTest, AStopEndsTheDecodeWithAbortedAndNothingHandedOver) {
  PluginList plugins;
  RecordingProgress progress(2);
  const std::string file = SearchWithProgress(13, plugins, progress, "slow.fk");
  EXPECT_EQ(Decode(plugins, file).result, SpiResult::Aborted);  // and the plug-in stays loaded
  EXPECT_EQ(progress.events, "B0/20 1/20 2/20 E");
  EXPECT_EQ(ReportsAnswered(), 3);
  const size_t blocks = BusyHeapBlocks();
  EXPECT_EQ(Decode(plugins, file).result, SpiResult::Aborted);
  EXPECT_EQ(BusyHeapBlocks(), blocks);
}

// A plug-in that goes on after it was asked to stop is asked again at each
// report, without the progress being asked; what it hands over is freed.
TEST_F(PluginHostTest, APluginThatFinishesAfterAStopHandsOverNothing) {
  PluginList plugins;
  RecordingProgress progress(1);
  const std::string file = SearchWithProgress(14, plugins, progress, "stubborn.fk");
  Decode(plugins, file);  // loads the plug-in for good
  progress.events.clear();
  const size_t blocks = BusyHeapBlocks();
  SpiHandle info = nullptr, bits = nullptr;
  EXPECT_EQ(plugins.DecodeFile(file.c_str(), &info, &bits), SpiResult::Aborted);
  EXPECT_EQ(info, nullptr);
  EXPECT_EQ(bits, nullptr);
  EXPECT_EQ(progress.events, "B0/5 1/5 E");
  EXPECT_EQ(ReportsAnswered(), 6);
  EXPECT_EQ(BusyHeapBlocks(), blocks);
}

}  // namespace
