#pragma once
// The "FileVersion" text of a Windows executable or DLL, read from its
// version resource the way the system's version calls find it: resource
// type 16 (RT_VERSION), name 1 (VS_VERSION_INFO), the first language; in the
// block, the string table named by the first "\VarFileInfo\Translation"
// entry, its "FileVersion" string. The authoring tool reads the files it
// packs with it; the bytes may come from anywhere, so every offset is
// checked and nothing is read outside the span given.
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace setup {

enum class VersionLookup {
  kFound,
  kNotAnImage,          // no "MZ" / "PE\0\0" headers, or not PE32 or PE32+
  kNoVersionResource,   // no resource directory, or no type 16 / name 1 in it
  kDamaged,             // a header, directory or data entry points outside the file
};

struct VersionResource {
  VersionLookup status = VersionLookup::kNotAnImage;
  std::span<const uint8_t> block;  // the VS_VERSIONINFO bytes when kFound
};

// Finds the version resource of a PE32 or PE32+ image held whole in `image`.
VersionResource FindVersionResource(std::span<const uint8_t> image);

// The "FileVersion" string of a VS_VERSIONINFO block (the 32-bit, UTF-16
// form), under "\StringFileInfo\<language><code page>\" where both come from
// the first "\VarFileInfo\Translation" entry; keys compare without regard to
// letter case, as the system's lookup does. Characters outside Latin-1 become
// "?". Empty when there is no translation, no such table or no such string.
// The text is returned as stored; see NormalizedVersionText.
std::string FileVersionOfBlock(std::span<const uint8_t> block);

// A version text as the replacement rules compare it: every "," becomes "."
// and blanks, CR, LF and tabs are trimmed from both ends.
std::string NormalizedVersionText(std::string_view text);

// FindVersionResource, FileVersionOfBlock and NormalizedVersionText in one:
// empty for a file without a version resource or without the string.
std::string FileVersionText(std::span<const uint8_t> image);

}  // namespace setup
