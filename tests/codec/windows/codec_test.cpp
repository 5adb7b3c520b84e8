// The codec under Wine, through the imaging factory and COM alone, in the
// order a user meets it: registered machine-wide with regsvr32, every
// sample opened by name, by stream and (where its format has a signature)
// by content, compared with the plug-in's own output for the same file;
// thumbnails against a reference reduction; hostile streams; then
// unregistered, and registered and unregistered for the user alone. The
// registry is compared before and after.
//
// MORNEL_PLUGIN names the plug-in DLL, MORNEL_CODEC the codec DLL.
#include <gtest/gtest.h>
#include <propsys.h>
#include <thumbcache.h>

#include <cstdio>
#include <cstdlib>
#include <set>
#include <vector>

#include "base/sizes.h"
#include "tests/codec/expected_pixels.h"
#include "tests/codec/windows/com_support.h"
#include "tests/fixtures/all_samples.h"
#include "tests/support/plugin_api.h"

namespace {

// The codec's identities as its one header gives them.
const GUID kDecoder = {0x9ac3f957, 0xc702, 0x454d, {0xb7, 0xc4, 0x67, 0x8a, 0xda, 0x60, 0xa6, 0xed}};
const GUID kThumbnails = {0xb38fe722, 0xe227, 0x4072, {0x8e, 0xf4, 0x5f, 0xc1, 0x40, 0x94, 0x7b, 0x20}};
const GUID kContainer = {0x5a93810d, 0x355b, 0x4f7d, {0xa8, 0xb5, 0x41, 0x0b, 0xa0, 0x3d, 0xce, 0xcc}};
const wchar_t kDecoderText[] = L"{9AC3F957-C702-454D-B7C4-678ADA60A6ED}";
const wchar_t kThumbnailText[] = L"{B38FE722-E227-4072-8EF4-5FC140947B20}";
const wchar_t kHandler[] = L"\\ShellEx\\{E357FCCD-A995-4576-B01F-234630154E96}";
const char* const kExtensions[] = {"px", "lfb", "lff", "lcf", "lgf", "cz1", "cz2", "tga", "bbm"};

std::wstring CodecPath() {
  const char* path = std::getenv("MORNEL_CODEC");
  return path ? Wide(path) : L"MornelCodec64.dll";
}

std::string Extension(const std::string& name) { return name.substr(name.rfind('.') + 1); }

bool HasSignature(const std::string& name) {
  static const std::set<std::string> signed_ = {"lfb", "lff", "lcf", "lgf", "cz1", "cz2"};
  return signed_.count(Extension(name)) != 0;
}

struct Sample {
  std::string name;
  Bytes bytes;
  std::string path;
  ExpectedPicture expected;
  double dpiX = 96, dpiY = 96;
};

// Every sample and seed, written to files, with what the plug-in makes of
// each file (by its name, as a Susie host asks).
const std::vector<Sample>& Samples() {
  static const std::vector<Sample> samples = [] {
    std::vector<Sample> all;
    NamedFiles files = AllSamples();
    const NamedFiles seeds = AllSeeds();
    files.insert(files.end(), seeds.begin(), seeds.end());
    for (const auto& [name, bytes] : files) {
      Sample s{name, bytes, WriteTempFile(name, bytes)};
      const Decoded plugin = DecodeFile(s.path);
      if (plugin.result == 0) {
        s.expected = ExpectFromBitmap(plugin.info, plugin.bits);
        const auto ppm = [&](size_t at) {
          return static_cast<int32_t>(plugin.info[at] | plugin.info[at + 1] << 8 | plugin.info[at + 2] << 16 |
                                      plugin.info[at + 3] << 24);
        };
        if (ppm(24) > 0) s.dpiX = ppm(24) * 0.0254;
        if (ppm(28) > 0) s.dpiY = ppm(28) * 0.0254;
      }
      all.push_back(std::move(s));
    }
    return all;
  }();
  return samples;
}

const Sample& SampleNamed(const std::string& name) {
  for (const Sample& s : Samples())
    if (s.name == name) return s;
  ADD_FAILURE() << "no sample " << name;
  return Samples().front();
}

GUID FormatGuid(const std::string& name) {
  if (name == "32bppBGRA") return GUID_WICPixelFormat32bppBGRA;
  if (name == "24bppBGR") return GUID_WICPixelFormat24bppBGR;
  if (name == "16bppBGR555") return GUID_WICPixelFormat16bppBGR555;
  return GUID_WICPixelFormat8bppIndexed;
}

// Our decoder from the factory by its container format, given a stream.
HRESULT OurDecoder(IStream* stream, Owned<IWICBitmapDecoder>* decoder) {
  IWICBitmapDecoder* made = nullptr;
  HRESULT hr = Factory()->CreateDecoder(kContainer, nullptr, &made);
  decoder->reset(made);
  if (SUCCEEDED(hr)) hr = made->Initialize(stream, WICDecodeMetadataCacheOnDemand);
  return hr;
}

// The factory's own choice of decoder for a file, by its content.
HRESULT FactoryDecoder(const std::string& path, Owned<IWICBitmapDecoder>* decoder) {
  IWICBitmapDecoder* made = nullptr;
  const HRESULT hr = Factory()->CreateDecoderFromFilename(Wide(path).c_str(), nullptr, GENERIC_READ,
                                                         WICDecodeMetadataCacheOnDemand, &made);
  decoder->reset(made);
  return hr;
}

// What a decoder's frame hands out.
struct FrameRead {
  HRESULT hr = E_FAIL;
  GUID container{};
  GUID format{};
  UINT width = 0, height = 0;
  double dpiX = 0, dpiY = 0;
  Bytes rows;
  std::vector<uint32_t> palette;
};

FrameRead ReadFrame(IWICBitmapDecoder* decoder, uint32_t bytesPerPixel) {
  FrameRead r;
  decoder->GetContainerFormat(&r.container);
  UINT count = 0;
  if (FAILED(r.hr = decoder->GetFrameCount(&count))) return r;
  EXPECT_EQ(count, 1u);
  IWICBitmapFrameDecode* frame = nullptr;
  if (FAILED(r.hr = decoder->GetFrame(0, &frame))) return r;
  Owned<IWICBitmapFrameDecode> owned(frame);
  frame->GetSize(&r.width, &r.height);
  frame->GetPixelFormat(&r.format);
  frame->GetResolution(&r.dpiX, &r.dpiY);
  const UINT stride = r.width * bytesPerPixel;
  r.rows.resize(size_t{stride} * r.height);
  if (FAILED(r.hr = frame->CopyPixels(nullptr, stride, static_cast<UINT>(r.rows.size()), r.rows.data()))) return r;
  IWICPalette* palette = nullptr;
  Factory()->CreatePalette(&palette);
  Owned<IWICPalette> ownedPalette(palette);
  if (SUCCEEDED(frame->CopyPalette(palette))) {
    UINT colours = 0;
    palette->GetColorCount(&colours);
    r.palette.resize(colours);
    palette->GetColors(colours, r.palette.data(), &colours);
  }
  return r;
}

void ExpectSame(const Sample& s, const FrameRead& r, const char* how) {
  ASSERT_EQ(r.hr, S_OK) << s.name << " " << how;
  EXPECT_TRUE(r.container == kContainer) << s.name << " " << how;
  EXPECT_TRUE(r.format == FormatGuid(s.expected.format)) << s.name << " " << how << " " << s.expected.format;
  EXPECT_EQ(r.width, s.expected.width) << s.name;
  EXPECT_EQ(r.height, s.expected.height) << s.name;
  EXPECT_NEAR(r.dpiX, s.dpiX, 1e-9) << s.name;
  EXPECT_NEAR(r.dpiY, s.dpiY, 1e-9) << s.name;
  EXPECT_TRUE(r.rows == s.expected.rows) << s.name << " " << how << ": the pixels differ";
  EXPECT_EQ(r.palette, s.expected.palette) << s.name << " " << how;
}

// The registry the codec may touch, in one view.
RegistrySnapshot Snapshot(HKEY hive) {
  RegistrySnapshot snapshot;
  const std::wstring classes = L"Software\\Classes";
  SnapshotNames(hive, classes, &snapshot);
  SnapshotNames(hive, classes + L"\\CLSID", &snapshot);
  for (const wchar_t* key : {kDecoderText, kThumbnailText, L"{7ED96837-96F0-4812-B211-F13C24117ED3}"})
    SnapshotKey(hive, classes + L"\\CLSID\\" + key, &snapshot);
  SnapshotKey(hive, classes + L"\\SystemFileAssociations", &snapshot);
  for (const char* e : kExtensions) SnapshotKey(hive, classes + L"\\." + Wide(e), &snapshot);
  return snapshot;
}

RegistrySnapshot g_machineBefore, g_userBefore;

class Registered : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    Factory();
    Samples();
    // What an earlier run that stopped half-way may have left registered.
    RunRegsvr32(L"/u", CodecPath());
    RunRegsvr32(L"/u /i:user /n", CodecPath());
    g_machineBefore = Snapshot(HKEY_LOCAL_MACHINE);
    g_userBefore = Snapshot(HKEY_CURRENT_USER);
    ASSERT_EQ(RunRegsvr32(L"", CodecPath()), 0u) << "regsvr32 failed";
  }
};

TEST_F(Registered, RegistryHoldsTheClassesTheExtensionsAndNoTgaOrBbm) {
  const std::wstring classes = L"Software\\Classes\\";
  EXPECT_EQ(RegistryText(HKEY_LOCAL_MACHINE, classes + L"CLSID\\" + kDecoderText + L"\\InprocServer32"), CodecPath());
  EXPECT_EQ(RegistryText(HKEY_LOCAL_MACHINE, classes + L"CLSID\\" + kThumbnailText + L"\\InprocServer32"), CodecPath());
  for (const char* e : {"px", "lfb", "lff", "lcf", "lgf", "cz1", "cz2"}) {
    EXPECT_EQ(RegistryText(HKEY_LOCAL_MACHINE, classes + L"." + Wide(e), L"PerceivedType"), L"image") << e;
    EXPECT_EQ(RegistryText(HKEY_LOCAL_MACHINE, classes + L"SystemFileAssociations\\." + Wide(e) + kHandler),
              kThumbnailText)
        << e;
  }
  for (const char* e : {"tga", "bbm"})
    EXPECT_EQ(RegistryText(HKEY_LOCAL_MACHINE, classes + L"SystemFileAssociations\\." + Wide(e) + kHandler), L"(none)");
  EXPECT_TRUE(Snapshot(HKEY_CURRENT_USER) == g_userBefore) << "a machine-wide registration writes nothing for the user";
}

TEST_F(Registered, ComponentInformationAsWicReadsIt) {
  IWICComponentInfo* component = nullptr;
  ASSERT_EQ(Factory()->CreateComponentInfo(kDecoder, &component), S_OK);
  Owned<IWICComponentInfo> owned(component);
  IWICBitmapDecoderInfo* info = nullptr;
  ASSERT_EQ(component->QueryInterface(IID_IWICBitmapDecoderInfo, reinterpret_cast<void**>(&info)), S_OK);
  Owned<IWICBitmapDecoderInfo> ownedInfo(info);
  GUID container{};
  info->GetContainerFormat(&container);
  EXPECT_TRUE(container == kContainer);
  wchar_t text[512];
  UINT length = 0;
  ASSERT_EQ(info->GetFileExtensions(512, text, &length), S_OK);
  EXPECT_STREQ(text, L".px,.lfb,.lff,.lcf,.lgf,.cz1,.cz2,.tga,.bbm");
  ASSERT_EQ(info->GetFriendlyName(512, text, &length), S_OK);
  EXPECT_STREQ(text, L"Mornel Leaf Picture Decoder");
  ASSERT_EQ(info->GetMimeTypes(512, text, &length), S_OK);
  EXPECT_NE(std::wstring(text).find(L"image/x-leaf-cz2"), std::wstring::npos);
  GUID formats[8];
  UINT count = 0;
  ASSERT_EQ(info->GetPixelFormats(8, formats, &count), S_OK);
  EXPECT_EQ(count, 4u);
  // The decoder's own answer names the same component.
  const Sample& lfb = SampleNamed("tiles.bbm");
  Owned<IWICBitmapDecoder> decoder;
  ASSERT_EQ(OurDecoder(MakeStream(lfb.bytes).get(), &decoder), S_OK);
  IWICBitmapDecoderInfo* again = nullptr;
  ASSERT_EQ(decoder->GetDecoderInfo(&again), S_OK);
  Owned<IWICBitmapDecoderInfo> ownedAgain(again);
  CLSID clsid{};
  again->GetCLSID(&clsid);
  EXPECT_TRUE(clsid == kDecoder);
}

TEST_F(Registered, EverySampleByNameAndByStreamGivesThePluginsPixels) {
  int compared = 0;
  std::set<std::string> formats;
  for (const Sample& s : Samples()) {
    if (!s.expected.valid) continue;
    ++compared;
    formats.insert(s.expected.format);
    const bool bySignature = HasSignature(s.name);
    // By name: the factory finds the decoder by content, or, for formats
    // without a signature, is asked for it by container format.
    Owned<IWICBitmapDecoder> decoder;
    if (bySignature) {
      ASSERT_EQ(FactoryDecoder(s.path, &decoder), S_OK) << s.name;
    } else {
      IWICStream* stream = nullptr;
      ASSERT_EQ(Factory()->CreateStream(&stream), S_OK);
      Owned<IWICStream> owned(stream);
      ASSERT_EQ(stream->InitializeFromFilename(Wide(s.path).c_str(), GENERIC_READ), S_OK);
      ASSERT_EQ(OurDecoder(stream, &decoder), S_OK) << s.name;
    }
    ExpectSame(s, ReadFrame(decoder.get(), s.expected.bytesPerPixel), "by name");
    // By stream.
    Owned<IStream> stream = MakeStream(s.bytes);
    Owned<IWICBitmapDecoder> fromStream;
    if (bySignature) {
      IWICBitmapDecoder* made = nullptr;
      ASSERT_EQ(Factory()->CreateDecoderFromStream(stream.get(), nullptr, WICDecodeMetadataCacheOnDemand, &made), S_OK)
          << s.name;
      fromStream.reset(made);
    } else {
      ASSERT_EQ(OurDecoder(stream.get(), &fromStream), S_OK) << s.name;
    }
    ExpectSame(s, ReadFrame(fromStream.get(), s.expected.bytesPerPixel), "by stream");
    // By content alone, from a file without an extension.
    if (bySignature) {
      const std::string bare = WriteTempFile("bare-" + s.name.substr(0, s.name.rfind('.')), s.bytes);
      Owned<IWICBitmapDecoder> byContent;
      ASSERT_EQ(FactoryDecoder(bare, &byContent), S_OK) << s.name;
      ExpectSame(s, ReadFrame(byContent.get(), s.expected.bytesPerPixel), "by content");
    }
  }
  EXPECT_GT(compared, 20);
  EXPECT_EQ(formats.size(), 4u) << "every pixel format met";
}

TEST_F(Registered, FilesOfOtherFormatsStayWithTheirOwnDecoders) {
  // A bitmap file the imaging component writes itself.
  IStream* memory = nullptr;
  ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &memory), S_OK);
  Owned<IStream> stream(memory);
  IWICBitmapEncoder* encoder = nullptr;
  ASSERT_EQ(Factory()->CreateEncoder(GUID_ContainerFormatBmp, nullptr, &encoder), S_OK);
  Owned<IWICBitmapEncoder> ownedEncoder(encoder);
  encoder->Initialize(memory, WICBitmapEncoderNoCache);
  IWICBitmapFrameEncode* frame = nullptr;
  encoder->CreateNewFrame(&frame, nullptr);
  Owned<IWICBitmapFrameEncode> ownedFrame(frame);
  frame->Initialize(nullptr);
  frame->SetSize(16, 4);
  WICPixelFormatGUID format = GUID_WICPixelFormat24bppBGR;
  frame->SetPixelFormat(&format);
  Bytes pixels(16 * 4 * 3, 0x40);
  frame->WritePixels(4, 48, static_cast<UINT>(pixels.size()), pixels.data());
  frame->Commit();
  encoder->Commit();
  LARGE_INTEGER start{};
  memory->Seek(start, STREAM_SEEK_SET, nullptr);
  IWICBitmapDecoder* decoder = nullptr;
  ASSERT_EQ(Factory()->CreateDecoderFromStream(memory, nullptr, WICDecodeMetadataCacheOnDemand, &decoder), S_OK);
  Owned<IWICBitmapDecoder> owned(decoder);
  GUID container{};
  decoder->GetContainerFormat(&container);
  EXPECT_TRUE(container == GUID_ContainerFormatBmp);
}

// A seed's name is its format, a dash and a number.
bool IsSeed(const std::string& name) {
  const size_t dash = name.rfind('-');
  return dash != std::string::npos && name[dash + 1] >= '0' && name[dash + 1] <= '9';
}

// With MORNEL_CODEC_SHOTS set, a thumbnail's rows are written there as
// NAME.WIDTHxHEIGHT.bgra for the sheet of scripts/thumbnail-sheet.py.
void KeepThumbnail(const std::string& name, uint32_t width, uint32_t height, const std::vector<uint8_t>& bgra) {
  const char* folder = std::getenv("MORNEL_CODEC_SHOTS");
  if (!folder || IsSeed(name)) return;
  const std::string path =
      std::string(folder) + "\\" + name + "." + std::to_string(width) + "x" + std::to_string(height) + ".bgra";
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return;
  std::fwrite(bgra.data(), 1, bgra.size(), file);
  std::fclose(file);
}

TEST_F(Registered, ThumbnailsAtThreeSizesMatchAReferenceReduction) {
  int compared = 0;
  for (const Sample& s : Samples()) {
    if (!s.expected.valid) continue;
    // Every size for the seeds (every decoder) and the sprites (soft alpha
    // edges); the other samples at 96 pixels, as their reference costs.
    const bool everySize = IsSeed(s.name) || s.name.rfind("sprite", 0) == 0;
    for (UINT edge : {32u, 96u, 256u}) {
      if (!everySize && edge != 96) continue;
      IThumbnailProvider* provider = nullptr;
      ASSERT_EQ(CoCreateInstance(kThumbnails, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IThumbnailProvider),
                                 reinterpret_cast<void**>(&provider)),
                S_OK);
      Owned<IThumbnailProvider> owned(provider);
      IInitializeWithStream* init = nullptr;
      ASSERT_EQ(provider->QueryInterface(__uuidof(IInitializeWithStream), reinterpret_cast<void**>(&init)), S_OK);
      Owned<IInitializeWithStream> ownedInit(init);
      ASSERT_EQ(init->Initialize(MakeStream(s.bytes).get(), STGM_READ), S_OK);
      HBITMAP bitmap = nullptr;
      WTS_ALPHATYPE alpha = WTSAT_UNKNOWN;
      ASSERT_EQ(provider->GetThumbnail(edge, &bitmap, &alpha), S_OK) << s.name;
      EXPECT_EQ(alpha, WTSAT_ARGB);
      BITMAP shape{};
      ASSERT_EQ(GetObject(bitmap, sizeof shape, &shape), static_cast<int>(sizeof shape));
      uint32_t width, height;
      ExpectedThumbnailSize(s.expected.width, s.expected.height, edge, &width, &height);
      EXPECT_EQ(shape.bmWidth, static_cast<LONG>(width)) << s.name << " " << edge;
      EXPECT_EQ(shape.bmHeight, static_cast<LONG>(height)) << s.name << " " << edge;
      EXPECT_EQ(shape.bmBitsPixel, 32);
      if (shape.bmWidth == static_cast<LONG>(width) && shape.bmHeight == static_cast<LONG>(height)) {
        // The rows asked for top first, whatever order the bitmap keeps.
        BITMAPINFO info{};
        info.bmiHeader = {sizeof(BITMAPINFOHEADER), LONG(width), -LONG(height), 1, 32, BI_RGB};
        std::vector<uint8_t> got(size_t{width} * height * 4);
        HDC screen = GetDC(nullptr);
        EXPECT_EQ(GetDIBits(screen, bitmap, 0, height, got.data(), &info, DIB_RGB_COLORS), int(height));
        ReleaseDC(nullptr, screen);
        const std::vector<uint8_t> reference =
            ReferenceReduction(s.expected.bgra, s.expected.width, s.expected.height, width, height);
        EXPECT_LE(LargestDifference(got, reference), 2) << s.name << " at " << edge;
        ++compared;
        if (edge == 96) KeepThumbnail(s.name, width, height, got);
      }
      DeleteObject(bitmap);
    }
  }
  EXPECT_GT(compared, 100);
}

TEST_F(Registered, FrameAndDecoderCheckEveryArgument) {
  const Sample& s = SampleNamed("tiles.bbm");
  IWICBitmapDecoder* made = nullptr;
  ASSERT_EQ(Factory()->CreateDecoder(kContainer, nullptr, &made), S_OK);
  Owned<IWICBitmapDecoder> decoder(made);
  IWICBitmapFrameDecode* frame = nullptr;
  UINT count = 0;
  EXPECT_EQ(decoder->GetFrame(0, &frame), WINCODEC_ERR_NOTINITIALIZED);
  EXPECT_EQ(decoder->GetFrameCount(&count), WINCODEC_ERR_NOTINITIALIZED);
  EXPECT_EQ(decoder->Initialize(nullptr, WICDecodeMetadataCacheOnDemand), E_INVALIDARG);
  ASSERT_EQ(decoder->Initialize(MakeStream(s.bytes).get(), WICDecodeMetadataCacheOnDemand), S_OK);
  EXPECT_EQ(decoder->Initialize(MakeStream(s.bytes).get(), WICDecodeMetadataCacheOnDemand), WINCODEC_ERR_WRONGSTATE);
  EXPECT_EQ(decoder->GetFrame(1, &frame), WINCODEC_ERR_FRAMEMISSING);
  EXPECT_EQ(decoder->GetFrame(0, nullptr), E_INVALIDARG);
  ASSERT_EQ(decoder->GetFrame(0, &frame), S_OK);
  Owned<IWICBitmapFrameDecode> owned(frame);
  decoder.reset();  // the frame outlives its decoder
  UINT width = 0, height = 0;
  ASSERT_EQ(frame->GetSize(&width, &height), S_OK);
  const UINT row = width * s.expected.bytesPerPixel;
  Bytes buffer(size_t{row} * height);
  EXPECT_EQ(frame->CopyPixels(nullptr, row, static_cast<UINT>(buffer.size()), nullptr), E_INVALIDARG);
  EXPECT_EQ(frame->CopyPixels(nullptr, row - 1, static_cast<UINT>(buffer.size()), buffer.data()), E_INVALIDARG);
  EXPECT_EQ(frame->CopyPixels(nullptr, row, static_cast<UINT>(buffer.size() - 1), buffer.data()),
            WINCODEC_ERR_INSUFFICIENTBUFFER);
  for (const WICRect& r : {WICRect{-1, 0, 1, 1}, WICRect{0, 0, INT(width) + 1, 1}, WICRect{0, INT(height), 1, 1},
                           WICRect{INT(width) - 1, 0, 0x7FFFFFFF, 1}})
    EXPECT_EQ(frame->CopyPixels(&r, row, static_cast<UINT>(buffer.size()), buffer.data()), E_INVALIDARG);
  // A rectangle inside: the same bytes as the whole picture has there.
  const WICRect inner{3, 2, 5, 4};
  const UINT innerStride = 5 * s.expected.bytesPerPixel + 7;
  Bytes part(size_t{innerStride} * 4);
  ASSERT_EQ(frame->CopyPixels(&inner, innerStride, static_cast<UINT>(part.size()), part.data()), S_OK);
  for (UINT y = 0; y < 4; ++y)
    for (UINT i = 0; i < 5 * s.expected.bytesPerPixel; ++i)
      EXPECT_EQ(part[y * innerStride + i], s.expected.rows[(y + 2) * row + 3 * s.expected.bytesPerPixel + i]);
  EXPECT_EQ(frame->GetPixelFormat(nullptr), E_INVALIDARG);
  EXPECT_EQ(frame->CopyPalette(nullptr), E_INVALIDARG);
  UINT contexts = 7;
  EXPECT_EQ(frame->GetColorContexts(0, nullptr, &contexts), S_OK);
  EXPECT_EQ(contexts, 0u);
  IWICBitmapSource* thumbnail = nullptr;
  EXPECT_EQ(frame->GetThumbnail(&thumbnail), WINCODEC_ERR_CODECNOTHUMBNAIL);
}

TEST_F(Registered, QueryCapabilityAnswersAndLeavesTheStreamWhereItWas) {
  IWICBitmapDecoder* made = nullptr;
  ASSERT_EQ(Factory()->CreateDecoder(kContainer, nullptr, &made), S_OK);
  Owned<IWICBitmapDecoder> decoder(made);
  for (const char* name : {"tiles.bbm", "sprite.tga"}) {
    Owned<IStream> stream = MakeStream(SampleNamed(name).bytes);
    LARGE_INTEGER five;
    five.QuadPart = 5;
    stream->Seek(five, STREAM_SEEK_SET, nullptr);
    DWORD capability = 0;
    ASSERT_EQ(decoder->QueryCapability(stream.get(), &capability), S_OK);
    EXPECT_EQ(capability, DWORD(WICBitmapDecoderCapabilityCanDecodeAllImages)) << name;
    EXPECT_EQ(StreamPosition(stream.get()), 5u);
  }
  DWORD capability = 99;
  Bytes counting(64);
  for (size_t i = 0; i < counting.size(); ++i) counting[i] = static_cast<uint8_t>(i);
  ASSERT_EQ(decoder->QueryCapability(MakeStream(counting).get(), &capability), S_OK);
  EXPECT_EQ(capability, 0u);
  HostileOptions noSeek;
  noSeek.failSeekFrom = 1;
  EXPECT_EQ(decoder->QueryCapability(MakeStream(SampleNamed("tiles.bbm").bytes, noSeek).get(), &capability),
            WINCODEC_ERR_STREAMREAD);
}

// The decoder and the thumbnail provider on one stream: the HRESULTs.
HRESULT DecodeThrough(const Bytes& bytes, const HostileOptions& options, Bytes* rows = nullptr) {
  Owned<IWICBitmapDecoder> decoder;
  HRESULT hr = OurDecoder(MakeStream(bytes, options).get(), &decoder);
  if (SUCCEEDED(hr) && rows) {
    IWICBitmapFrameDecode* frame = nullptr;
    decoder->GetFrame(0, &frame);
    Owned<IWICBitmapFrameDecode> owned(frame);
    UINT width = 0, height = 0;
    frame->GetSize(&width, &height);
    rows->resize(size_t{width} * height * 4);
    hr = frame->CopyPixels(nullptr, width * 4, static_cast<UINT>(rows->size()), rows->data());
  }
  return hr;
}

HRESULT ThumbnailThrough(const Bytes& bytes, const HostileOptions& options) {
  IThumbnailProvider* provider = nullptr;
  HRESULT hr = CoCreateInstance(kThumbnails, nullptr, CLSCTX_INPROC_SERVER, __uuidof(IThumbnailProvider),
                                reinterpret_cast<void**>(&provider));
  if (FAILED(hr)) return hr;
  Owned<IThumbnailProvider> owned(provider);
  IInitializeWithStream* init = nullptr;
  provider->QueryInterface(__uuidof(IInitializeWithStream), reinterpret_cast<void**>(&init));
  Owned<IInitializeWithStream> ownedInit(init);
  init->Initialize(MakeStream(bytes, options).get(), STGM_READ);
  HBITMAP bitmap = nullptr;
  WTS_ALPHATYPE alpha;
  hr = provider->GetThumbnail(96, &bitmap, &alpha);
  if (bitmap) DeleteObject(bitmap);
  return hr;
}

bool IsWicFailure(HRESULT hr) {
  return hr == WINCODEC_ERR_BADIMAGE || hr == WINCODEC_ERR_UNKNOWNIMAGEFORMAT || hr == WINCODEC_ERR_STREAMREAD ||
         hr == WINCODEC_ERR_UNSUPPORTEDPIXELFORMAT;
}

TEST_F(Registered, HostileStreams) {
  // Cut short at every offset: a failure of the imaging component's own,
  // or a picture, never a crash.
  for (const char* name : {"lfb-1.lfb", "cz2-1.cz2", "tga-2.tga", "px-1.px"}) {
    const Bytes& bytes = SampleNamed(name).bytes;
    int refused = 0;
    for (size_t cut = 0; cut < bytes.size(); ++cut) {
      const Bytes shorter(bytes.begin(), bytes.begin() + cut);
      const HRESULT hr = DecodeThrough(shorter, HostileOptions());
      EXPECT_TRUE(hr == S_OK || IsWicFailure(hr)) << name << " cut at " << cut << ": " << std::hex << hr;
      refused += FAILED(hr);
      if (cut % 5 == 0) {
        const HRESULT thumbnail = ThumbnailThrough(shorter, HostileOptions());
        EXPECT_TRUE(thumbnail == S_OK || IsWicFailure(thumbnail)) << name << " cut at " << cut;
      }
    }
    EXPECT_GT(refused, 0) << name;
  }
  for (const char* name : {"tiles.bbm", "lfb-1.lfb"}) {
    const Sample& s = SampleNamed(name);
    // A byte at a time: the same picture.
    HostileOptions trickle;
    trickle.chunk = 1;
    Bytes slow, fast;
    ASSERT_EQ(DecodeThrough(s.bytes, trickle, &slow), S_OK) << name;
    ASSERT_EQ(DecodeThrough(s.bytes, HostileOptions(), &fast), S_OK);
    EXPECT_TRUE(slow == fast);
    EXPECT_EQ(ThumbnailThrough(s.bytes, trickle), S_OK);
    // Reads that fail anywhere, seeks that fail, a claim past the cap.
    for (ULONGLONG at : {0ull, 1ull, ULONGLONG(s.bytes.size() / 2), ULONGLONG(s.bytes.size() - 1)}) {
      HostileOptions failing;
      failing.chunk = 100;
      failing.failReadAt = at;
      EXPECT_EQ(DecodeThrough(s.bytes, failing), WINCODEC_ERR_STREAMREAD) << name << " at " << at;
      EXPECT_EQ(ThumbnailThrough(s.bytes, failing), WINCODEC_ERR_STREAMREAD) << name << " at " << at;
    }
    HostileOptions noSeek;
    noSeek.failSeekFrom = 1;
    EXPECT_EQ(DecodeThrough(s.bytes, noSeek), WINCODEC_ERR_STREAMREAD);
    EXPECT_EQ(ThumbnailThrough(s.bytes, noSeek), WINCODEC_ERR_STREAMREAD);
    HostileOptions huge;
    huge.claimed = kMaxPictureFileBytes + 1;
    EXPECT_EQ(DecodeThrough(s.bytes, huge), WINCODEC_ERR_IMAGESIZEOUTOFRANGE);
    EXPECT_EQ(ThumbnailThrough(s.bytes, huge), WINCODEC_ERR_IMAGESIZEOUTOFRANGE);
    HostileOptions small;
    small.claimed = 3;  // claims too little: still read to its end
    EXPECT_EQ(DecodeThrough(s.bytes, small), S_OK);
  }
  // Streams of no Leaf picture.
  // (An empty stream reads as 32 zero bytes, which detection takes for a
  // BBM header, so it fails to decode rather than to be recognised.)
  EXPECT_TRUE(IsWicFailure(DecodeThrough(Bytes(), HostileOptions())));
  EXPECT_EQ(ThumbnailThrough(Bytes{'G', 'I', 'F', '8', '9', 'a', 1, 2, 3, 4, 5, 6, 7}, HostileOptions()),
            WINCODEC_ERR_UNKNOWNIMAGEFORMAT);
}

class Unregistered : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { ASSERT_EQ(RunRegsvr32(L"/u", CodecPath()), 0u) << "regsvr32 /u failed"; }
};

TEST_F(Unregistered, TheFactoryNoLongerFindsItAndTheRegistryIsAsBefore) {
  Owned<IWICBitmapDecoder> byName;
  EXPECT_EQ(FactoryDecoder(SampleNamed("lfb-1.lfb").path, &byName), WINCODEC_ERR_COMPONENTNOTFOUND);
  IWICBitmapDecoder* decoder = nullptr;
  EXPECT_TRUE(FAILED(Factory()->CreateDecoder(kContainer, nullptr, &decoder)));
  if (decoder) decoder->Release();
  IUnknown* provider = nullptr;
  EXPECT_EQ(CoCreateInstance(kThumbnails, nullptr, CLSCTX_INPROC_SERVER, IID_IUnknown,
                             reinterpret_cast<void**>(&provider)),
            REGDB_E_CLASSNOTREG);
  if (provider) provider->Release();
  EXPECT_TRUE(Snapshot(HKEY_LOCAL_MACHINE) == g_machineBefore) << "something of ours is left";
}

class PerUser : public ::testing::Test {};

TEST_F(PerUser, RegistersIntoTheUsersClassesAndUnregistersExactly) {
  ASSERT_EQ(RunRegsvr32(L"/i:user /n", CodecPath()), 0u);
  const std::wstring classes = L"Software\\Classes\\";
  EXPECT_EQ(RegistryText(HKEY_CURRENT_USER, classes + L"CLSID\\" + kDecoderText + L"\\InprocServer32"), CodecPath());
  EXPECT_EQ(RegistryText(HKEY_CURRENT_USER, classes + L"CLSID\\" + kThumbnailText + L"\\InprocServer32"), CodecPath());
  EXPECT_EQ(RegistryText(HKEY_CURRENT_USER,
                         classes + L"CLSID\\{7ED96837-96F0-4812-B211-F13C24117ED3}\\Instance\\" + kDecoderText,
                         L"CLSID"),
            kDecoderText);
  EXPECT_EQ(RegistryText(HKEY_CURRENT_USER, classes + L".cz2", L"PerceivedType"), L"image");
  EXPECT_EQ(RegistryText(HKEY_CURRENT_USER, classes + L"SystemFileAssociations\\.tga" + kHandler), L"(none)");
  EXPECT_TRUE(Snapshot(HKEY_LOCAL_MACHINE) == g_machineBefore) << "a user's registration writes nothing machine-wide";
  // tga and bbm on request.
  ASSERT_EQ(RunRegsvr32(L"/i:\"user tga bbm\" /n", CodecPath()), 0u);
  for (const char* e : {"tga", "bbm"})
    EXPECT_EQ(RegistryText(HKEY_CURRENT_USER, classes + L"SystemFileAssociations\\." + Wide(e) + kHandler),
              kThumbnailText)
        << e;
  ASSERT_EQ(RunRegsvr32(L"/u /i:user /n", CodecPath()), 0u);
  EXPECT_TRUE(Snapshot(HKEY_CURRENT_USER) == g_userBefore) << "something of ours is left";
  // An unknown word is refused and writes nothing.
  EXPECT_NE(RunRegsvr32(L"/i:everyone /n", CodecPath()), 0u);
  EXPECT_TRUE(Snapshot(HKEY_CURRENT_USER) == g_userBefore);
}

}  // namespace
