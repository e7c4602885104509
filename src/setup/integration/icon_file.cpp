#include "setup/integration/icon_file.h"

#include <algorithm>

#include "setup/payload/pe_image.h"

namespace setup {
namespace {

constexpr size_t kEntrySizeField = 8;
constexpr size_t kEntryOffsetField = 12;
constexpr uint16_t kIconType = 1;
constexpr uint16_t kCursorType = 2;

IconFileRead Fail(IconFileError error) {
  IconFileRead read;
  read.error = error;
  return read;
}

}  // namespace

const char* IconFileErrorText(IconFileError error) {
  switch (error) {
    case IconFileError::kNone:
      return "no error";
    case IconFileError::kShortHeader:
      return "icon file shorter than its header";
    case IconFileError::kReservedNotZero:
      return "icon file header: reserved field is not 0";
    case IconFileError::kUnknownType:
      return "icon file header: type is neither icon (1) nor cursor (2)";
    case IconFileError::kTooManyImages:
      return "icon file header: more than 1000 images";
    case IconFileError::kShortEntries:
      return "icon file ends inside its image entries";
    case IconFileError::kImageOutside:
      return "icon image data lies beyond the end of the file";
  }
  return "unknown icon file error";
}

IconFileRead ReadIconFile(std::span<const uint8_t> file) {
  if (file.size() < kIconFileHeaderSize) return Fail(IconFileError::kShortHeader);
  const uint8_t* b = file.data();
  if (LoadU16(b) != 0) return Fail(IconFileError::kReservedNotZero);
  const uint16_t type = LoadU16(b + 2);
  if (type != kIconType && type != kCursorType) return Fail(IconFileError::kUnknownType);
  const uint16_t count = LoadU16(b + 4);
  if (count > kMaxIconFileImages) return Fail(IconFileError::kTooManyImages);
  if (!Inside(kIconFileHeaderSize, uint64_t{count} * kIconFileEntrySize, file.size()))
    return Fail(IconFileError::kShortEntries);

  IconFileRead read;
  read.type = type;
  read.images.reserve(count);
  for (size_t i = 0; i < count; ++i) {
    const uint8_t* entry = b + kIconFileHeaderSize + i * kIconFileEntrySize;
    const uint32_t size = LoadU32(entry + kEntrySizeField);
    const uint32_t offset = LoadU32(entry + kEntryOffsetField);
    if (!Inside(offset, size, file.size())) {
      IconFileRead bad = Fail(IconFileError::kImageOutside);
      bad.badEntry = i;
      return bad;
    }
    IconImage image;
    std::copy_n(entry, kIconEntryDescriptionSize, image.description.begin());
    image.data = file.subspan(offset, size);
    read.images.push_back(image);
  }
  return read;
}

std::vector<uint8_t> IconGroupResource(std::span<const IconImage> images, uint16_t firstNumber) {
  std::vector<uint8_t> group(kIconFileHeaderSize + images.size() * kIconGroupEntrySize);
  StoreU16(&group[0], 0);
  StoreU16(&group[2], kIconType);
  StoreU16(&group[4], static_cast<uint16_t>(images.size()));
  uint8_t* out = group.data() + kIconFileHeaderSize;
  for (size_t i = 0; i < images.size(); ++i, out += kIconGroupEntrySize) {
    std::copy(images[i].description.begin(), images[i].description.end(), out);
    StoreU16(out + kIconEntryDescriptionSize, static_cast<uint16_t>(firstNumber + i));
  }
  return group;
}

}  // namespace setup
