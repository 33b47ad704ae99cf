// The embedded pictures, icons and manifests, read back the way the programs read them.
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>
#include <gtest/gtest.h>

#include "PicturePixels.h"
#include "TestSupport.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "ComPtr.h"
#include "PngResource.h"
#include "UniqueHandle.h"

namespace {

const WORD kChineseSimplified = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);

struct PictureSize {
    int id;
    int width;
    int height;
};

// Every picture the client draws, with the size its users lay it out for.
const PictureSize kPictures[] = {
    {130, 28, 28},   {131, 84, 24},  {132, 84, 24},  {133, 84, 24},  {134, 84, 24},
    {135, 23, 23},   {137, 16, 16},  {138, 82, 22},  {139, 82, 22},  {140, 82, 22},
    {141, 82, 22},   {142, 295, 190}, {144, 68, 35}, {145, 1154, 704}, {146, 68, 35},
    {147, 68, 35},   {148, 68, 35},  {151, 84, 24},  {152, 84, 24},  {153, 28, 28},
    {154, 23, 23},   {155, 84, 24},  {156, 84, 24},  {157, 25, 25},  {158, 25, 25},
    {196, 25, 25},   {208, 25, 25},  {209, 25, 25},  {210, 25, 25},  {211, 25, 25},
    {212, 25, 25},   {213, 25, 25},  {214, 25, 25},  {215, 25, 25},  {216, 25, 25},
    {217, 25, 25},   {229, 25, 25},  {230, 25, 25},  {231, 25, 25},  {232, 25, 25},
    {234, 25, 25},   {235, 400, 240}, {236, 96, 34}, {237, 96, 34},
};

// A picture decoded into 32-bit ARGB pixels, so no GDI+ object outlives a test.
struct Picture {
    Gdiplus::Status status = Gdiplus::GenericError;
    int width = 0;
    int height = 0;
    bool hasAlphaFormat = false;
    std::vector<uint32_t> argb;

    uint32_t At(int x, int y) const { return argb[static_cast<size_t>(y) * width + x]; }
};

int Alpha(uint32_t c) { return static_cast<int>(c >> 24); }
int Red(uint32_t c) { return static_cast<int>((c >> 16) & 0xFF); }
int Green(uint32_t c) { return static_cast<int>((c >> 8) & 0xFF); }
int Blue(uint32_t c) { return static_cast<int>(c & 0xFF); }

// Whether two colours visibly differ: in some channel by more than 24.
bool Differs(uint32_t a, uint32_t b) { return !testing_support::ColorNear(a, b, 24); }

// A bitmap's size, format and pixels.
Picture Read(Gdiplus::Bitmap& bitmap) {
    Picture picture;
    picture.status = bitmap.GetLastStatus();
    if (picture.status != Gdiplus::Ok) return picture;
    picture.width = static_cast<int>(bitmap.GetWidth());
    picture.height = static_cast<int>(bitmap.GetHeight());
    picture.hasAlphaFormat = Gdiplus::IsAlphaPixelFormat(bitmap.GetPixelFormat()) != FALSE;
    picture.argb = testing_support::ArgbPixels(bitmap);
    if (picture.argb.empty()) picture.status = Gdiplus::GenericError;
    return picture;
}

// Decodes PNG bytes with GDI+ alone, through a stream on movable global memory.
Picture Decode(const std::vector<BYTE>& bytes) {
    if (bytes.empty()) return {};
    UniqueGlobal block(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes.size()));
    if (!block) return {};
    std::memcpy(GlobalLock(block.Get()), bytes.data(), bytes.size());
    GlobalUnlock(block.Get());
    ComPtr<IStream> stream;
    if (FAILED(CreateStreamOnHGlobal(block.Get(), TRUE, stream.Put()))) return {};
    block.Detach();  // the stream frees it
    Gdiplus::Bitmap bitmap(stream.Get(), TRUE);
    return Read(bitmap);
}

// The same bytes as the client's loader reads them.
Picture Load(const std::vector<BYTE>& bytes) {
    GdipPtr<Gdiplus::Image> image = DecodePng(bytes.data(), bytes.size());
    if (!image || image->GetType() != Gdiplus::ImageTypeBitmap) return {};
    return Read(static_cast<Gdiplus::Bitmap&>(*image));
}

Picture LoadPicture(int id) {
    return Decode(testing_support::ResourceBytes(GetModuleHandleW(nullptr), L"PNG", MAKEINTRESOURCEW(id)));
}

// Pixels (x, y) of the rectangle x0 <= x < x1, y0 <= y < y1 for which holds(x, y) is true.
template <typename F>
int CountWhere(int x0, int y0, int x1, int y1, F holds) {
    int n = 0;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x)
            if (holds(x, y)) ++n;
    return n;
}

// Share of pixels of a rectangle of two equally sized pictures that visibly differ.
double DifferingShare(const Picture& a, int ax, const Picture& b, int bx, int width, int height) {
    auto differs = [&](int x, int y) { return Differs(a.At(ax + x, y), b.At(bx + x, y)); };
    return static_cast<double>(CountWhere(0, 0, width, height, differs)) / (width * height);
}

BOOL CALLBACK CollectName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR param) {
    auto* ids = reinterpret_cast<std::set<int>*>(param);
    ids->insert(IS_INTRESOURCE(name) ? static_cast<int>(reinterpret_cast<ULONG_PTR>(name)) : -1);
    return TRUE;
}

BOOL CALLBACK CollectLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR param) {
    reinterpret_cast<std::set<WORD>*>(param)->insert(language);
    return TRUE;
}

TEST(Resources, EveryPictureIsAChinesePngOfItsSizeWithThePixelsTheArtScriptDrewAndNoOtherIsEmbedded) {
    const BYTE signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    // The art script records a checksum of each picture's pixels as it drew them, before the
    // lossless recompression: what the client decodes must be exactly those pixels.
    FILE* sums = _wfopen(testing_support::WindowsPath(HM_PIXEL_SUMS).c_str(), L"r");
    ASSERT_NE(sums, nullptr) << HM_PIXEL_SUMS;
    std::map<int, uint64_t> drawn;
    char line[128];
    int id = 0;
    unsigned long long sum = 0;
    while (std::fgets(line, sizeof line, sums))
        if (line[0] != '#' && std::sscanf(line, "%d %llx", &id, &sum) == 2) drawn[id] = sum;
    std::fclose(sums);
    for (const PictureSize& expected : kPictures) {
        SCOPED_TRACE("picture " + std::to_string(expected.id));
        LPCWSTR name = MAKEINTRESOURCEW(expected.id);
        ASSERT_NE(nullptr, FindResourceW(nullptr, name, L"PNG"));
        EXPECT_NE(nullptr, FindResourceExW(nullptr, L"PNG", name, kChineseSimplified));
        // The lookup above may fall back to another language; the stored one is exactly 2052.
        std::set<WORD> languages;
        EnumResourceLanguagesW(nullptr, L"PNG", name, CollectLanguage,
                               reinterpret_cast<LONG_PTR>(&languages));
        EXPECT_EQ(std::set<WORD>{kChineseSimplified}, languages);
        std::vector<BYTE> bytes = testing_support::ResourceBytes(GetModuleHandleW(nullptr), L"PNG", name);
        ASSERT_GT(bytes.size(), sizeof signature);
        EXPECT_EQ(0, std::memcmp(bytes.data(), signature, sizeof signature));
        const auto drew = drawn.find(expected.id);
        ASSERT_TRUE(drew != drawn.end()) << "no checksum";
        // GDI+ alone, and the client's own loader.
        for (const Picture& picture : {Decode(bytes), Load(bytes)}) {
            ASSERT_EQ(Gdiplus::Ok, picture.status);
            EXPECT_EQ(expected.width, picture.width);
            EXPECT_EQ(expected.height, picture.height);
            EXPECT_TRUE(picture.hasAlphaFormat);
            bool anyOpaque = std::any_of(picture.argb.begin(), picture.argb.end(),
                                         [](uint32_t c) { return Alpha(c) == 255; });
            EXPECT_TRUE(anyOpaque) << "nothing solid is drawn";
            uint64_t h = 0xCBF29CE484222325ull;
            for (uint32_t argb : picture.argb) {
                for (int shift : {16, 8, 0, 24}) h = (h ^ ((argb >> shift) & 0xFF)) * 0x100000001B3ull;
            }
            EXPECT_EQ(h, drew->second);
        }
        drawn.erase(drew);
    }
    EXPECT_TRUE(drawn.empty()) << "checksums of pictures that are not embedded";
    // And no picture beyond the listed.
    std::set<int> embedded, listed;
    EnumResourceNamesW(nullptr, L"PNG", CollectName, reinterpret_cast<LONG_PTR>(&embedded));
    for (const PictureSize& p : kPictures) listed.insert(p.id);
    EXPECT_EQ(listed, embedded);
}

TEST(Resources, BackdropIsASceneWithAFramedOpeningForThePage) {
    Picture back = LoadPicture(145);
    ASSERT_EQ(Gdiplus::Ok, back.status);
    ASSERT_EQ(1154, back.width);
    ASSERT_EQ(704, back.height);
    const RECT page = {377, 208, 977, 594};

    // The scene fills the picture: only the rounded outer corners may be see-through, so the
    // window can be dragged by any part of it.
    const auto clear = std::count_if(back.argb.begin(), back.argb.end(),
                                     [](uint32_t c) { return Alpha(c) < 255; });
    const std::set<uint32_t> colours(back.argb.begin(), back.argb.end());
    EXPECT_LT(clear, 2000);
    EXPECT_GT(colours.size(), 5000u) << "an illustration, not flat fills";
    for (POINT p : {POINT{10, 10}, POINT{1143, 10}, POINT{10, 693}, POINT{1143, 693},
                    POINT{180, 120}, POINT{1100, 400}, POINT{600, 680}})
        EXPECT_EQ(255, Alpha(back.At(p.x, p.y))) << p.x << "," << p.y;

    // Under the page: opaque and in the game view's dark teal family (blue-green over red).
    long long r = 0, g = 0, b = 0;
    int count = 0;
    for (int y = page.top; y < page.bottom; ++y)
        for (int x = page.left; x < page.right; ++x) {
            uint32_t c = back.At(x, y);
            ASSERT_EQ(255, Alpha(c)) << x << "," << y;
            r += Red(c), g += Green(c), b += Blue(c), ++count;
        }
    EXPECT_LT(r / count, g / count);
    EXPECT_LT(r / count, b / count);
    EXPECT_LT(g / count, 110);

    // A brass frame runs round the opening: the band just outside it is warm (red over blue)
    // on every side, unlike the scene and the opening.
    auto warmShare = [&](int x0, int y0, int x1, int y1) {
        auto warm = [&](int x, int y) { return Red(back.At(x, y)) > Blue(back.At(x, y)) + 20; };
        return static_cast<double>(CountWhere(x0, y0, x1, y1, warm)) / ((x1 - x0) * (y1 - y0));
    };
    EXPECT_GT(warmShare(page.left, page.top - 8, page.right, page.top), 0.25);
    EXPECT_GT(warmShare(page.left, page.bottom, page.right, page.bottom + 8), 0.25);
    EXPECT_GT(warmShare(page.left - 8, page.top, page.left, page.bottom), 0.25);
    EXPECT_GT(warmShare(page.right, page.top, page.right + 8, page.bottom), 0.25);
    EXPECT_LT(warmShare(page.left + 20, page.top + 20, page.right - 20, page.bottom - 20), 0.02);
    // The page's edge is a real edge: the rows just inside and just outside differ.
    auto edge = [&](int x, int y) { return Differs(back.At(x, y), back.At(x, y - 4)); };
    EXPECT_GT(CountWhere(page.left, page.top, page.right, page.top + 1, edge),
              (page.right - page.left) * 9 / 10);
}

TEST(Resources, ButtonLooksDifferFromEachOther) {
    // normal, hover and (where it has its own picture) pressed of every image button
    const std::vector<std::vector<int>> looks = {
        {130, 153}, {135, 154}, {131, 155}, {132, 151}, {133, 152}, {134, 156},
        {144, 146}, {147, 148}, {209, 210}, {211, 212, 229}, {215, 216, 158},
        {213, 214, 157}, {231, 232, 230}, {196, 208, 234}, {236, 237},
    };
    for (const std::vector<int>& set : looks) {
        std::vector<Picture> pictures;
        for (int id : set) {
            pictures.push_back(LoadPicture(id));
            ASSERT_EQ(Gdiplus::Ok, pictures.back().status) << id;
        }
        for (size_t i = 0; i < set.size(); ++i)
            for (size_t j = i + 1; j < set.size(); ++j) {
                const Picture& a = pictures[i];
                const Picture& b = pictures[j];
                ASSERT_EQ(a.width, b.width);
                ASSERT_EQ(a.height, b.height);
                EXPECT_GT(DifferingShare(a, 0, b, 0, a.width, a.height), 0.10)
                    << set[i] << " and " << set[j] << " look alike";
            }
    }
}

TEST(Resources, QuickLinkStripsHoldTwoDifferentFramesOfTheSameLabel) {
    for (int id : {138, 139, 140, 141}) {
        Picture strip = LoadPicture(id);
        ASSERT_EQ(Gdiplus::Ok, strip.status) << id;
        ASSERT_EQ(82, strip.width);
        EXPECT_GT(DifferingShare(strip, 0, strip, 41, 41, strip.height), 0.10) << id;
        // Both frames carry a bright label in their middle.
        auto bright = [&](int x, int y) {
            const uint32_t c = strip.At(x, y);
            return Alpha(c) > 200 && Red(c) > 180 && Green(c) > 180;
        };
        EXPECT_GT(CountWhere(8, 4, 33, 18, bright), 25) << id << " first frame";
        EXPECT_GT(CountWhere(49, 4, 74, 18, bright), 25) << id << " second frame";
    }
    // The two official-site links share a label, so their strips draw the same.
    Picture a = LoadPicture(139), b = LoadPicture(140);
    EXPECT_LT(DifferingShare(a, 0, b, 0, 82, 22), 0.01);
}

TEST(Resources, CloseQuestionCarriesItsTextAboveTheButtonPlaces) {
    Picture dialog = LoadPicture(142);
    ASSERT_EQ(Gdiplus::Ok, dialog.status);
    // The question is written into the picture between the header and the buttons.
    auto bright = [&](int x, int y) {
        const uint32_t c = dialog.At(x, y);
        return Red(c) > 200 && Green(c) > 200 && Blue(c) > 200;
    };
    EXPECT_GT(CountWhere(40, 45, 255, 95, bright), 150);
    // The confirm and cancel buttons lie over opaque, darker wells; the window is solid
    // everywhere inside its rounded outline, so clicks never fall through.
    for (RECT r : {RECT{50, 100, 118, 135}, RECT{178, 100, 246, 135}}) {
        uint32_t well = dialog.At((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        uint32_t beside = dialog.At(r.left - 12, (r.top + r.bottom) / 2);
        EXPECT_EQ(255, Alpha(well));
        EXPECT_LT(Green(well) + 10, Green(beside));
    }
    for (POINT p : {POINT{10, 10}, POINT{147, 95}, POINT{284, 179}, POINT{147, 185}})
        EXPECT_EQ(255, Alpha(dialog.At(p.x, p.y))) << p.x << "," << p.y;
    // The confirm and cancel pictures are told apart by more than their colour: each has a label.
    for (int id : {144, 147}) {
        Picture button = LoadPicture(id);
        ASSERT_EQ(Gdiplus::Ok, button.status);
        std::set<uint32_t> colours(button.argb.begin(), button.argb.end());
        EXPECT_GT(colours.size(), 100u) << id;
    }
}

// Checks one icon group: at least the five sizes, each of which decodes to its size.
void ExpectIconGroup(HMODULE module, int groupId) {
    std::vector<BYTE> dir = testing_support::ResourceBytes(module, RT_GROUP_ICON, MAKEINTRESOURCEW(groupId));
    ASSERT_GE(dir.size(), 6u + 14u);
    WORD count = 0;
    std::memcpy(&count, dir.data() + 4, sizeof count);
    EXPECT_GE(count, 5);
    ASSERT_GE(dir.size(), 6u + 14u * count);
    std::set<int> sizes;
    for (int i = 0; i < count; ++i) {
        const BYTE* entry = dir.data() + 6 + 14 * i;
        sizes.insert(entry[0] == 0 ? 256 : entry[0]);
    }
    EXPECT_EQ((std::set<int>{16, 24, 32, 48, 256}), sizes);
    for (int size : {16, 24, 32, 48}) {
        SCOPED_TRACE("icon " + std::to_string(groupId) + " at " + std::to_string(size));
        int iconId = LookupIconIdFromDirectoryEx(const_cast<BYTE*>(dir.data()), TRUE, size, size,
                                                 LR_DEFAULTCOLOR);
        ASSERT_NE(0, iconId);
        std::vector<BYTE> bits = testing_support::ResourceBytes(module, RT_ICON, MAKEINTRESOURCEW(iconId));
        ASSERT_FALSE(bits.empty());
        const UniqueIcon icon(CreateIconFromResourceEx(bits.data(), static_cast<DWORD>(bits.size()),
                                                       TRUE, 0x00030000, size, size, LR_DEFAULTCOLOR));
        ASSERT_TRUE(icon);
        const SIZE made = testing_support::IconSize(icon.Get());
        EXPECT_EQ(size, made.cx);
        EXPECT_EQ(size, made.cy);
    }
}

// A built program opened for its resources only.
using ProgramImage = UniqueHandle<NullHandleTraits<HMODULE, &FreeLibrary>>;
ProgramImage OpenProgramImage(const wchar_t* path) {
    return ProgramImage(LoadLibraryExW(testing_support::WindowsPath(path).c_str(), nullptr,
                                       LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE));
}

std::string Manifest(HMODULE module) {
    std::vector<BYTE> bytes = testing_support::ResourceBytes(module, RT_MANIFEST, MAKEINTRESOURCEW(1));
    return std::string(bytes.begin(), bytes.end());
}

void ExpectManifest(const std::string& manifest, const char* level) {
    EXPECT_NE(std::string::npos, manifest.find(std::string("level=\"") + level + "\""));
    EXPECT_NE(std::string::npos, manifest.find("Microsoft.Windows.Common-Controls"));
    EXPECT_NE(std::string::npos, manifest.find("version=\"6.0.0.0\""));
    // Windows 10 and 11
    EXPECT_NE(std::string::npos, manifest.find("{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"));
}

TEST(Resources, ClientCarriesIconGroupAndAnInvokerManifest) {
    ExpectIconGroup(GetModuleHandleW(nullptr), 128);
    const UniqueIcon icon(static_cast<HICON>(
        LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(128), IMAGE_ICON, 16, 16, 0)));
    EXPECT_TRUE(icon);
#ifdef HM_HARROWMERE_EXE
    const ProgramImage client = OpenProgramImage(HM_HARROWMERE_EXE);
    ASSERT_NE(nullptr, client.Get()) << HM_HARROWMERE_EXE << " error " << GetLastError();
    ExpectManifest(Manifest(client.Get()), "asInvoker");
    EXPECT_EQ(std::string::npos, Manifest(client.Get()).find("requireAdministrator"));
    ExpectIconGroup(client.Get(), 128);
    EXPECT_NE(nullptr, FindResourceExW(client.Get(), L"PNG", MAKEINTRESOURCEW(145),
                                       kChineseSimplified));
#else
    GTEST_SKIP() << "the client program is not part of this build";
#endif
}

TEST(Resources, UninstallerCarriesIconGroupAndAnAdministratorManifest) {
#ifdef HM_UNINSTALL_EXE
    const ProgramImage uninstaller = OpenProgramImage(HM_UNINSTALL_EXE);
    ASSERT_NE(nullptr, uninstaller.Get()) << HM_UNINSTALL_EXE << " error " << GetLastError();
    ExpectIconGroup(uninstaller.Get(), 107);
    ExpectManifest(Manifest(uninstaller.Get()), "requireAdministrator");
    // The uninstaller shares nothing with the client: none of its pictures ride along.
    EXPECT_EQ(nullptr, FindResourceW(uninstaller.Get(), MAKEINTRESOURCEW(145), L"PNG"));
#else
    GTEST_SKIP() << "the uninstaller is not part of this build";
#endif
}

}  // namespace
