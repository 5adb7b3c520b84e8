// The plug-in host with stand-in plug-ins: where it looks and in which
// order, which plug-in decodes a file, where, and which stay loaded.
#include "viewer/engine/windows/plugin_host.h"

#include <gtest/gtest.h>

#include "platform/windows/text.h"
#include "tests/engine_windows/support.h"
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

// Stand-ins in a folder of the test's own that serves as the current
// folder, and in a second folder given to the search.
class PluginHostTest : public testing::Test {
 protected:
  void SetUp() override {
    current_ = NewFolder("current");
    given_ = NewFolder("given");
    files_ = NewFolder("files");
  }
  void Place(int number, const std::string& folder) { CopyInto(FakesFolder() + "\\" + FakeName(number), folder); }
  std::string File(const std::string& name, const Bytes& bytes) {
    const std::string path = files_ + "\\" + name;
    WriteFileBytes(path, bytes);
    return path;
  }

  std::string current_, given_, files_;
};

TEST_F(PluginHostTest, SearchesTheCurrentFolderThenTheGivenOneThenTheSystemFolder) {
  Place(1, current_);
  Place(2, given_);
  char system[MAX_PATH];
  GetSystemDirectoryA(system, sizeof system);
  const std::string inSystem = std::string(system) + "\\" + FakeName(3);
  const std::string againInSystem = std::string(system) + "\\" + FakeName(1);
  ASSERT_TRUE(CopyFileA((FakesFolder() + "\\" + FakeName(3)).c_str(), inSystem.c_str(), FALSE));
  ASSERT_TRUE(CopyFileA((FakesFolder() + "\\" + FakeName(1)).c_str(), againInSystem.c_str(), FALSE));
  {
    CurrentFolder in(current_);
    PluginList plugins;
    plugins.Search(kDefaultFlags, Utf16(given_).c_str());
    ASSERT_EQ(plugins.records().size(), 4u);
    EXPECT_EQ(PathOf(plugins.records()[0]), current_ + "\\" + FakeName(1));
    EXPECT_EQ(PathOf(plugins.records()[1]), given_ + "\\" + FakeName(2));
    // Both of the system folder's, in the order the system lists them; the
    // library found twice is listed twice.
    EXPECT_TRUE(PathOf(plugins.records()[2]) == againInSystem || PathOf(plugins.records()[3]) == againInSystem);
    for (const PluginRecord& record : plugins.records()) EXPECT_FALSE(record.IsLoaded()) << PathOf(record);
    // The first that says yes decodes: the current folder's.
    EXPECT_EQ(Decode(plugins, File("any.fk", Picture('*'))).decodedBy, 1);
  }
  DeleteFileA(inSystem.c_str());
  DeleteFileA(againInSystem.c_str());
}

TEST_F(PluginHostTest, APluginThatMatchedStaysLoadedTheOthersAreLetGo) {
  Place(1, current_);
  Place(2, current_);
  CurrentFolder in(current_);
  PluginList plugins;
  plugins.Search(kDefaultFlags, nullptr);
  const DecodedBlocks d = Decode(plugins, File("two.fk", Picture('2')));
  EXPECT_EQ(d.result, SpiResult::Ok);
  EXPECT_EQ(d.decodedBy, 2);
  EXPECT_EQ(d.position, 0);
  EXPECT_TRUE(IsLoaded(current_ + "\\" + FakeName(2)));
  EXPECT_FALSE(IsLoaded(current_ + "\\" + FakeName(1)));
  EXPECT_EQ(Decode(plugins, File("two-again.fk", Picture('2'))).decodedBy, 2) << "asked directly";
}

TEST_F(PluginHostTest, AFileAfterA128BytePrefixIsDecodedThere) {
  Place(2, current_);
  CurrentFolder in(current_);
  PluginList plugins;
  plugins.Search(kDefaultFlags, nullptr);
  Bytes prefixed(128, 'x');
  Append(prefixed, Picture('2'));
  const DecodedBlocks d = Decode(plugins, File("prefixed.fk", prefixed));
  EXPECT_EQ(d.result, SpiResult::Ok);
  EXPECT_EQ(d.position, 128);
}

TEST_F(PluginHostTest, ResultsOfTheHostsOwn) {
  Place(5, current_);  // answers 0 without a pixel block
  Place(6, current_);  // answers 6
  CurrentFolder in(current_);
  PluginList plugins;
  plugins.Search(kDefaultFlags, nullptr);
  EXPECT_EQ(Decode(plugins, File("nobody.fk", Picture('9'))).result, kRefused) << "no plug-in takes it";
  EXPECT_EQ(Decode(plugins, files_ + "\\absent.fk").result, kRefused) << "a file that cannot be opened";
  EXPECT_EQ(Decode(plugins, File("five.fk", Picture('5'))).result, kNothingHandedOver);
  EXPECT_EQ(Decode(plugins, File("six.fk", Picture('6'))).result, SpiResult::FileReadError) << "the plug-in's own code";
}

// A plug-in that answers 0 but hands over one block, or one block as both,
// has its blocks freed by the host (each once); one that fails keeps what
// it points the handles at. Fifty decodes of each leave the heap as it was.
TEST_F(PluginHostTest, BlocksHandedOverInVainAreFreedOnce) {
  for (int number : {4, 5, 8, 9}) Place(number, current_);
  CurrentFolder in(current_);
  PluginList plugins;
  plugins.Search(kDefaultFlags, nullptr);
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
  CopyInto(FakesFolder() + "\\fakedep.dll", current_);
  {
    CurrentFolder in(current_);
    PluginList plugins;
    plugins.Search(kDefaultFlags, Utf16(given_).c_str());
    EXPECT_TRUE(plugins.records().empty()) << "fakedep.dll lies only in the current folder";
  }
  CopyInto(FakesFolder() + "\\fakedep.dll", given_);
  CurrentFolder in(current_);
  PluginList plugins;
  plugins.Search(kDefaultFlags, Utf16(given_).c_str());
  EXPECT_EQ(plugins.records().size(), 1u) << "fakedep.dll beside the plug-in";
}

// A folder whose name no ANSI code page holds whole.
const char kEveryScript[] = u8"한글 ☃ テスト";

// A file in such a folder goes to a plug-in by a name it can open: here the
// short name the volume keeps. Where the system has none, the file is read
// and handed over in memory, which a plug-in that cannot open such a name
// decodes too; so it does after a 128-byte prefix.
TEST_F(PluginHostTest, AFileNoAnsiPathNamesIsHandedOverInMemory) {
  Place(3, current_);  // opens ASCII names only
  const std::string folder = NewFolder(kEveryScript);
  const std::string picture = folder + "\\" + kEveryScript + ".fk", prefixed = folder + "\\prefixed.fk";
  WriteFileBytes(picture, Picture('3'));
  Bytes withPrefix(128, 'x');
  Append(withPrefix, Picture('3'));
  WriteFileBytes(prefixed, withPrefix);
  CurrentFolder in(current_);
  PluginList plugins;
  plugins.Search(kDefaultFlags, nullptr);
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

TEST_F(PluginHostTest, ArchivePluginsAreKeptOnlyWhenAskedFor) {
  Place(7, current_);
  CurrentFolder in(current_);
  PluginList plugins;
  plugins.Search(kDefaultFlags, nullptr);
  EXPECT_TRUE(plugins.records().empty());
  plugins.Search(PluginList::kUnloadAfterProbe | PluginList::kAcceptImage | PluginList::kAcceptArchive, nullptr);
  ASSERT_EQ(plugins.records().size(), 1u);
  EXPECT_EQ(Decode(plugins, File("seven.fk", Picture('7'))).result, kRefused) << "archives are never asked to decode";
}

TEST_F(PluginHostTest, ALibraryThatIsNoPluginIsSkipped) {
  CopyFileA((FakesFolder() + "\\" + FakeName(1)).c_str(), (current_ + "\\renamed" + kPluginSuffix).c_str(), FALSE);
  WriteFileBytes(current_ + "\\text" + kPluginSuffix, {'n', 'o', 't', ' ', 'a', ' ', 'D', 'L', 'L'});
  CurrentFolder in(current_);
  PluginList plugins;
  plugins.Search(kDefaultFlags, nullptr);
  ASSERT_EQ(plugins.records().size(), 1u);
  EXPECT_EQ(PathOf(plugins.records()[0]), current_ + "\\renamed" + kPluginSuffix);
}

}  // namespace
