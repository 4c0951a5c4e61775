// Checks of the dark theme we ship in data/skins/dark/: every image the window, the pages
// and the data files name is there, each has its @2x twin at exactly twice the size, the
// list in MANIFEST.txt matches the folder, the mouse pictures have the sizes their
// descriptions are drawn for and every hotspot line ends on the drawn mouse, and the
// program icon holds the sizes the desktop asks for.

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/Utf8.h"
#include "formats/AppConfig.h"
#include "formats/DeviceDescription.h"

namespace quillora {
namespace {

namespace fs = std::filesystem;

const std::string kShippedAppFolder = std::string(QUILLORA_SOURCE_DIR) + "/data/";
const fs::path kSkin = fs::path(kShippedAppFolder) / "skins" / "dark";

std::string ReadShippedFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
}

// The catalogue's models, read as the program reads config.xml.
std::vector<CatalogModel> CatalogueModels() {
    return ReadCatalogConfig(ConfigFilePath(kShippedAppFolder), u"").catalog.models;
}

DeviceDescription DescriptionOfModel(const std::string& model) {
    DeviceDescription description;
    EXPECT_TRUE(LoadDeviceDescription(kShippedAppFolder + "device/" + model + ".xml", description))
        << model;
    return description;
}
const fs::path kHicolor = fs::path(QUILLORA_SOURCE_DIR) / "packaging" / "icons" / "hicolor";

uint32_t BigEndian32(const std::string& s, size_t at) {
    return (uint32_t(uint8_t(s[at])) << 24) | (uint32_t(uint8_t(s[at + 1])) << 16) |
           (uint32_t(uint8_t(s[at + 2])) << 8) | uint32_t(uint8_t(s[at + 3]));
}

uint16_t LittleEndian16(const std::string& s, size_t at) {
    return uint16_t(uint8_t(s[at]) | (uint8_t(s[at + 1]) << 8));
}

struct Png {
    uint32_t width = 0;
    uint32_t height = 0;
    std::vector<uint8_t> rgba;  // filled by DecodePng only

    uint8_t Alpha(uint32_t x, uint32_t y) const { return rgba[(size_t(y) * width + x) * 4 + 3]; }
};

// Width and height from the IHDR chunk; nothing when the file is no PNG.
std::optional<Png> PngSize(const fs::path& file) {
    const std::string data = ReadShippedFile(file);
    if (data.size() < 33 || data.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0 ||
        data.compare(12, 4, "IHDR") != 0) {
        return std::nullopt;
    }
    return Png{BigEndian32(data, 16), BigEndian32(data, 20), {}};
}

// The pixels of an 8-bit RGBA, non-interlaced PNG (the only kind the theme holds).
std::optional<Png> DecodePng(const fs::path& file) {
    const std::string data = ReadShippedFile(file);
    std::optional<Png> png = PngSize(file);
    if (!png || uint8_t(data[24]) != 8 || uint8_t(data[25]) != 6 || uint8_t(data[28]) != 0) {
        return std::nullopt;
    }
    std::string idat;
    for (size_t at = 8; at + 8 <= data.size();) {
        const uint32_t length = BigEndian32(data, at);
        if (data.compare(at + 4, 4, "IDAT") == 0) {
            idat += data.substr(at + 8, length);
        }
        at += 12 + length;
    }
    const size_t stride = size_t(png->width) * 4;
    std::vector<uint8_t> raw((stride + 1) * png->height);
    uLongf rawSize = raw.size();
    if (uncompress(raw.data(), &rawSize, reinterpret_cast<const Bytef*>(idat.data()),
                   idat.size()) != Z_OK ||
        rawSize != raw.size()) {
        return std::nullopt;
    }
    png->rgba.assign(stride * png->height, 0);
    for (uint32_t y = 0; y < png->height; ++y) {
        const uint8_t filter = raw[y * (stride + 1)];
        const uint8_t* in = &raw[y * (stride + 1) + 1];
        uint8_t* out = &png->rgba[y * stride];
        const uint8_t* up = y > 0 ? out - stride : nullptr;
        for (size_t x = 0; x < stride; ++x) {
            const int a = x >= 4 ? out[x - 4] : 0;
            const int b = up ? up[x] : 0;
            const int c = (up && x >= 4) ? up[x - 4] : 0;
            int predictor = 0;
            switch (filter) {
                case 1:
                    predictor = a;
                    break;
                case 2:
                    predictor = b;
                    break;
                case 3:
                    predictor = (a + b) / 2;
                    break;
                case 4: {
                    const int p = a + b - c;
                    const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
                    predictor = (pa <= pb && pa <= pc) ? a : (pb <= pc ? b : c);
                    break;
                }
                default:
                    break;
            }
            out[x] = uint8_t(in[x] + predictor);
        }
    }
    return png;
}

fs::path TwiceAsLarge(const std::string& name) {
    return kSkin / (name.substr(0, name.size() - 4) + "@2x.png");
}

struct ManifestEntry {
    std::string name;
    uint32_t width = 0;  // the whole 1x image
    uint32_t height = 0;
};

// The image lines of MANIFEST.txt: "name | WxH ... | states | stretch | use".
std::vector<ManifestEntry> Manifest() {
    std::vector<ManifestEntry> entries;
    std::istringstream in(ReadShippedFile(kSkin / "MANIFEST.txt"));
    const std::regex line("([^ |]+) \\| ([0-9]+)x([0-9]+)\\b.*");
    std::string text;
    while (std::getline(in, text)) {
        std::smatch m;
        if (!text.empty() && text[0] != '#' && std::regex_match(text, m, line)) {
            entries.push_back({m[1], uint32_t(std::stoul(m[2])), uint32_t(std::stoul(m[3]))});
        }
    }
    return entries;
}

std::set<std::string> ManifestNames() {
    std::set<std::string> names;
    for (const ManifestEntry& e : Manifest()) {
        names.insert(e.name);
    }
    return names;
}

// The images the main window, its pages and dialogs load by name.
const std::vector<std::string> kWindowImages = {"main_bkg.png",
                                                "img_area_caption.png",
                                                "logo.png",
                                                "sysbtn_close.png",
                                                "sysbtn_min.png",
                                                "sysbtn_maximize.png",
                                                "sysbtn_restore.png",
                                                "sysbtn_setting.png",
                                                "icon/icon_battery_bkg.png",
                                                "icon/icon_batteryvalue.png",
                                                "icon/icon_charge.png",
                                                "img_area.png",
                                                "img_button.png",
                                                "icon/icon_arrow_up.png",
                                                "img_tab_bkg.png",
                                                "img_tabitem_bkg.png",
                                                "icon/tab_home.png",
                                                "icon/tab_key.png",
                                                "icon/tab_dpi.png",
                                                "icon/tab_macro.png",
                                                "icon/tab_light.png",
                                                "icon/tab_set.png",
                                                "area_device.png",
                                                "device_mode.png",
                                                "img_btn_pre.png",
                                                "img_btn_next.png",
                                                "bk_prompt.png",
                                                "img_area_content.png",
                                                "img_upgrade_bkg.png",
                                                "btn_reset.png",
                                                "img_button2.png",
                                                "img_combobox.png",
                                                "btn_close.png",
                                                "img_edit.png",
                                                "img_area2.png",
                                                "img_dpi_bar.png",
                                                "btn_radiobox.png",
                                                "btn_checkbox.png",
                                                "icon/icon_windows.png",
                                                "img_list_bkg.png",
                                                "btn_more.png",
                                                "img_eventcaption.png",
                                                "icon/icon_list.png",
                                                "icon/icon_rec.png",
                                                "icon/icon_stop_rec.png",
                                                "img_recorditem_up.png",
                                                "img_recorditem_down.png",
                                                "img_slider_bar.png",
                                                "img_return.png"};

TEST(ShippedSkin, EveryImageTheWindowLoadsIsListedAndPresent) {
    const std::set<std::string> listed = ManifestNames();
    for (const std::string& name : kWindowImages) {
        EXPECT_TRUE(listed.count(name)) << name << " missing in MANIFEST.txt";
        EXPECT_TRUE(fs::is_regular_file(kSkin / name)) << name;
    }
    EXPECT_TRUE(fs::is_regular_file(kSkin / "DeviceDriver.ico"));
}

TEST(ShippedSkin, EveryModelPictureTheDataNamesIsPresent) {
    const std::set<std::string> listed = ManifestNames();
    std::vector<std::string> pictures;
    for (const CatalogModel& model : CatalogueModels()) {
        pictures.push_back("device/" + ToUtf8(model.imagePath));
        const DeviceDescription description = DescriptionOfModel(ToUtf8(model.deviceAttr));
        if (description.picture) {
            pictures.push_back(ToUtf8(*description.picture));  // already "device/..."
        }
    }
    ASSERT_GE(pictures.size(), 6u);
    for (const std::string& name : pictures) {
        EXPECT_TRUE(listed.count(name)) << name << " missing in MANIFEST.txt";
        EXPECT_TRUE(fs::is_regular_file(kSkin / name)) << name;
        EXPECT_TRUE(fs::is_regular_file(TwiceAsLarge(name))) << name;
    }
}

TEST(ShippedSkin, ManifestAndFolderHoldTheSameImages) {
    std::set<std::string> onDisk;
    for (const auto& entry : fs::recursive_directory_iterator(kSkin)) {
        const std::string relative = fs::relative(entry.path(), kSkin).generic_string();
        if (entry.is_regular_file() && entry.path().extension() == ".png" &&
            !relative.starts_with("src/") && !relative.ends_with("@2x.png")) {
            onDisk.insert(relative);
        }
    }
    std::set<std::string> listed = ManifestNames();
    listed.erase("DeviceDriver.ico");
    EXPECT_EQ(onDisk, listed);
}

TEST(ShippedSkin, EachImageHasTheListedSizeAndATwinOfTwiceIt) {
    for (const ManifestEntry& e : Manifest()) {
        if (!e.name.ends_with(".png")) {
            continue;
        }
        const std::optional<Png> one = PngSize(kSkin / e.name);
        const std::optional<Png> two = PngSize(TwiceAsLarge(e.name));
        ASSERT_TRUE(one) << e.name;
        ASSERT_TRUE(two) << e.name << " has no @2x twin";
        EXPECT_EQ(one->width, e.width) << e.name;
        EXPECT_EQ(one->height, e.height) << e.name;
        EXPECT_EQ(two->width, 2 * one->width) << e.name;
        EXPECT_EQ(two->height, 2 * one->height) << e.name;
    }
}

// The size each description's hotspot coordinates are drawn for.
const std::map<std::string, std::pair<uint32_t, uint32_t>> kPictureSizes = {
    {"halcyon_pro", {360, 400}}, {"halcyon_core", {360, 400}}, {"wren_mini", {300, 360}}};

TEST(ShippedSkin, HotspotLinesEndOnTheDrawnMouse) {
    for (const CatalogModel& catalogued : CatalogueModels()) {
        const std::string model = ToUtf8(catalogued.deviceAttr);
        const DeviceDescription description = DescriptionOfModel(model);
        ASSERT_TRUE(description.picture.has_value()) << model;
        const std::string picture = ToUtf8(*description.picture);
        const std::optional<Png> png = DecodePng(kSkin / picture);
        ASSERT_TRUE(png) << picture << " is not an RGBA PNG";
        ASSERT_TRUE(kPictureSizes.count(model)) << model;
        EXPECT_EQ(png->width, kPictureSizes.at(model).first) << model;
        EXPECT_EQ(png->height, kPictureSizes.at(model).second) << model;

        ASSERT_FALSE(description.buttons.empty()) << model;
        for (const ButtonDefinition& key : description.buttons) {
            const HotspotLine& line = key.hotspot;
            ASSERT_GE(line.x1, 0) << model << " key " << key.keyValue;
            ASSERT_LT(line.x1, line.x2) << model << " key " << key.keyValue;
            ASSERT_LT(uint32_t(line.x2), png->width) << model << " key " << key.keyValue;
            ASSERT_LT(uint32_t(line.y), png->height) << model << " key " << key.keyValue;
            // The label is drawn at the end the direction names; the other end is the button.
            const uint32_t button = uint32_t(key.direction == 1 ? line.x1 : line.x2);
            const uint32_t label = uint32_t(key.direction == 1 ? line.x2 : line.x1);
            const uint32_t y = uint32_t(line.y);
            EXPECT_GE(png->Alpha(button, y), 200) << model << " key " << key.keyValue << ": ("
                                                  << button << ", " << y << ") is not on the mouse";
            EXPECT_EQ(png->Alpha(label, y), 0)
                << model << " key " << key.keyValue << ": the label end (" << label << ", " << y
                << ") lies on the mouse";
        }
    }
}

TEST(ShippedSkin, ProgramIconHoldsTheDesktopSizes) {
    const std::string ico = ReadShippedFile(kSkin / "DeviceDriver.ico");
    ASSERT_GE(ico.size(), 6u);
    EXPECT_EQ(LittleEndian16(ico, 0), 0);
    EXPECT_EQ(LittleEndian16(ico, 2), 1);  // icon, not cursor
    const uint16_t count = LittleEndian16(ico, 4);
    ASSERT_GE(ico.size(), 6u + 16u * count);
    std::set<int> sizes;
    for (uint16_t i = 0; i < count; ++i) {
        const size_t at = 6 + 16 * i;
        const int width = uint8_t(ico[at]) == 0 ? 256 : uint8_t(ico[at]);
        const int height = uint8_t(ico[at + 1]) == 0 ? 256 : uint8_t(ico[at + 1]);
        EXPECT_EQ(width, height);
        const uint32_t bytes =
            uint32_t(uint8_t(ico[at + 8])) | uint32_t(uint8_t(ico[at + 9])) << 8 |
            uint32_t(uint8_t(ico[at + 10])) << 16 | uint32_t(uint8_t(ico[at + 11])) << 24;
        const uint32_t offset =
            uint32_t(uint8_t(ico[at + 12])) | uint32_t(uint8_t(ico[at + 13])) << 8 |
            uint32_t(uint8_t(ico[at + 14])) << 16 | uint32_t(uint8_t(ico[at + 15])) << 24;
        EXPECT_LE(size_t(offset) + bytes, ico.size()) << width;
        sizes.insert(width);
    }
    EXPECT_EQ(sizes, (std::set<int>{16, 24, 32, 48, 256}));

    for (int size : {16, 24, 32, 48, 64, 128, 256}) {
        const std::string dir = std::to_string(size) + "x" + std::to_string(size);
        const std::optional<Png> png = PngSize(kHicolor / dir / "apps" / "quillora.png");
        ASSERT_TRUE(png) << dir;
        EXPECT_EQ(png->width, uint32_t(size));
        EXPECT_EQ(png->height, uint32_t(size));
    }
    EXPECT_TRUE(fs::is_regular_file(kHicolor / "scalable" / "apps" / "quillora.svg"));
}

}  // namespace
}  // namespace quillora
