#include "ext_profile.h"

#include <algorithm>
#include <cctype>
#include <filesystem>

#include "resources/string_table.h"

namespace vantrell {

std::array<ColourPair, kColourClassCount> ExtProfile::DefaultColours() {
  return {{
      {0x000000, 0x00FFFF},  // header
      {0xFFFFFF, 0x808080},  // address
      {0x000000, 0xFFFFFF},  // data
      {0xFFFFFF, 0x8000FF},  // mark 1
      {0xFFFFFF, 0x00FF00},  // mark 2
      {0xFFFFFF, 0xFF8080},  // mark 3
      {0xFFFFFF, 0x0000FF},  // compare difference
      {0xFF0000, 0xFFFFFF},  // structure-edit area
  }};
}

ExtProfile ExtProfile::MakeBase() {
  ExtProfile profile;
  profile.extension = kBaseExtension;
  profile.comment = std::string(StringText(ids::kStrAllFiles));
  profile.base = true;
  return profile;
}

std::array<Colour, 256> ExtProfile::TextColourTable() const {
  std::array<Colour, 256> table;
  table.fill(colours[kColourData].text);
  for (const EmphasisedCode& code : emphasised) table[code.byte] = code.colour;
  return table;
}

namespace {

bool SameExtension(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

}  // namespace

const ExtProfile& ChooseExtProfile(const std::vector<ExtProfile>& profiles,
                                   const std::string& path) {
  std::string extension = std::filesystem::path(path).extension().string();
  if (!extension.empty()) extension.erase(0, 1);  // the leading dot
  if (!extension.empty()) {
    for (const ExtProfile& profile : profiles)
      if (!profile.base && SameExtension(profile.extension, extension)) return profile;
  }
  return profiles.front();
}

}  // namespace vantrell
