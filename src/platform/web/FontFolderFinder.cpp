#include "platform/web/FontFolderFinder.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SFNT_NAMES_H
#include FT_TRUETYPE_IDS_H

#include <algorithm>
#include <filesystem>

#include "platform/web/Cp932Codec.h"

namespace zepa {
namespace {

constexpr uint32_t kHiraganaA = 0x3042;
constexpr const char* kDefaultFamily = "IPAGothic";
constexpr FT_UShort kFamilyNameId = 1;

// A Windows-platform name (UTF-16 big-endian) as UTF-8; surrogate pairs are dropped, no family
// name of a Japanese font needs them.
std::string NameToUtf8(const FT_SfntName& name) {
    std::string out;
    for (FT_UInt i = 0; i + 1 < name.string_len; i += 2) {
        const uint32_t unit = uint32_t{name.string[i]} << 8 | name.string[i + 1];
        if (unit < 0xD800 || unit > 0xDFFF) cp932::AppendUtf8(out, unit);
    }
    return out;
}

// The face's family names: FreeType's own first, then the localised ones of its name table.
std::vector<std::string> FamilyNames(FT_Face face) {
    std::vector<std::string> names;
    if (face->family_name) names.emplace_back(face->family_name);
    const FT_UInt count = FT_Get_Sfnt_Name_Count(face);
    for (FT_UInt i = 0; i < count; ++i) {
        FT_SfntName name;
        if (FT_Get_Sfnt_Name(face, i, &name) != 0 || name.name_id != kFamilyNameId ||
            name.platform_id != TT_PLATFORM_MICROSOFT)
            continue;
        std::string text = NameToUtf8(name);
        if (!text.empty() && std::find(names.begin(), names.end(), text) == names.end())
            names.push_back(std::move(text));
    }
    return names;
}

char FoldAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

}  // namespace

CFontFolderFinder::CFontFolderFinder(const std::string& folder) {
    if (FT_Init_FreeType(&library_) != 0) {
        library_ = nullptr;
        return;
    }
    std::error_code error;
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        if (entry.is_regular_file(error)) files.push_back(entry.path().string());
    }
    std::sort(files.begin(), files.end());
    for (const std::string& file : files) AddFaces(file);
}

CFontFolderFinder::~CFontFolderFinder() {
    if (library_) FT_Done_FreeType(library_);
}

bool CFontFolderFinder::AddFile(const std::string& path) {
    return AddFaces(path);
}

bool CFontFolderFinder::AddFaces(const std::string& path) {
    if (!library_) return false;
    FT_Face face = nullptr;
    if (FT_New_Face(library_, path.c_str(), 0, &face) != 0) return false;
    const FT_Long faces = face->num_faces;
    for (FT_Long index = 0; face && fonts_.size() < kMaxFonts;) {
        if (FT_Get_Char_Index(face, kHiraganaA) != 0)
            fonts_.push_back(Font{path, static_cast<int>(index), FamilyNames(face)});
        FT_Done_Face(face);
        face = nullptr;
        if (++index >= faces || FT_New_Face(library_, path.c_str(), index, &face) != 0) break;
    }
    if (face) FT_Done_Face(face);
    return true;
}

bool CFontFolderFinder::SameFamily(const std::string& a, const std::string& b) const {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                      [](char x, char y) { return FoldAscii(x) == FoldAscii(y); });
}

const CFontFolderFinder::Font* CFontFolderFinder::Find(const std::string& family) const {
    for (const Font& font : fonts_) {
        for (const std::string& name : font.families) {
            if (SameFamily(name, family)) return &font;
        }
    }
    return nullptr;
}

// The family name given back is the font's name that was asked for when it has it, else its main
// name.
FontLocation CFontFolderFinder::Match(const std::string& family) {
    const Font* font = family.empty() ? nullptr : Find(family);
    if (!font) font = Find(kDefaultFamily);
    if (!font && !fonts_.empty()) font = &fonts_.front();
    if (!font) return FontLocation{};
    FontLocation location{font->file, font->index, font->families.empty() ? "" : font->families.front()};
    for (const std::string& name : font->families) {
        if (!family.empty() && SameFamily(name, family)) location.family = name;
    }
    return location;
}

}  // namespace zepa
