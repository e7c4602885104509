#pragma once
// Icon files (.ico, and .cur, which share the layout) as the product's
// uninstaller icon comes in the settings, and the icon group resource that
// ties their images together inside a program. The reader checks every
// offset and size against the bytes, so any input is safe to hand to it.
//
//   header   u16 reserved (0), u16 type (1 icon, 2 cursor), u16 count
//   entries  count x 16 bytes: u8 width, u8 height, u8 colour count,
//            u8 reserved, u16 planes, u16 bit count, u32 data size,
//            u32 data offset (from the start of the file)
//   images   each entry's data at its offset
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace setup {

inline constexpr size_t kIconFileHeaderSize = 6;
inline constexpr size_t kIconFileEntrySize = 16;
// Of an entry, the part an icon group repeats: everything before the offset.
inline constexpr size_t kIconEntryDescriptionSize = 12;
inline constexpr size_t kIconGroupEntrySize = kIconEntryDescriptionSize + 2;
inline constexpr uint16_t kMaxIconFileImages = 1000;

enum class IconFileError {
  kNone,
  kShortHeader,      // fewer than 6 bytes
  kReservedNotZero,  // first header field is not 0
  kUnknownType,      // neither 1 (icon) nor 2 (cursor)
  kTooManyImages,    // more than kMaxIconFileImages entries
  kShortEntries,     // the entry table runs past the end of the file
  kImageOutside,     // an entry's data runs past the end of the file
};

const char* IconFileErrorText(IconFileError error);

struct IconImage {
  std::array<uint8_t, kIconEntryDescriptionSize> description{};  // the entry's first 12 bytes
  std::span<const uint8_t> data;  // the image bytes, a view into the file
};

// The images' data are views into the file that was read.
struct IconFileRead {
  IconFileError error = IconFileError::kNone;
  uint16_t type = 0;
  std::vector<IconImage> images;  // in entry order
  size_t badEntry = 0;            // index of the entry with kImageOutside
  bool ok() const { return error == IconFileError::kNone; }
};

IconFileRead ReadIconFile(std::span<const uint8_t> file);

// The RT_GROUP_ICON resource for images stored as RT_ICON resources
// numbered firstNumber, firstNumber + 1, ...: u16 0, u16 1, u16 count, then
// per image its entry's first 12 bytes and its u16 resource number.
std::vector<uint8_t> IconGroupResource(std::span<const IconImage> images, uint16_t firstNumber = 1);

}  // namespace setup
