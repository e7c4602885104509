#include "setup/ui/button_pictures_win.h"

#include <string>

namespace setup {
namespace {

constexpr COLORREF kPictureKey = RGB(255, 0, 255);
constexpr int kPictureSize = 16;
constexpr int kPictureMargin = 4;

}  // namespace

ButtonPictures::~ButtonPictures() {
  for (HIMAGELIST list : lists_) ::ImageList_Destroy(list);
}

bool ButtonPictures::Give(HWND button, int pictureId) {
  if (!button) return false;
  HBITMAP picture = static_cast<HBITMAP>(::LoadImageW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(pictureId),
                                                      IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
  if (!picture) return false;
  HIMAGELIST list = ::ImageList_Create(kPictureSize, kPictureSize, ILC_COLOR24 | ILC_MASK, 1, 0);
  if (list) ::ImageList_AddMasked(list, picture, kPictureKey);
  ::DeleteObject(picture);
  if (!list) return false;
  lists_.push_back(list);
  BUTTON_IMAGELIST images = {};
  images.himl = list;
  images.margin = {kPictureMargin, 0, 0, 0};
  images.uAlign = BUTTON_IMAGELIST_ALIGN_LEFT;
  return ::SendMessageW(button, BCM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(&images)) != 0;
}

int ButtonWidthWithPicture(HWND button) {
  std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(button)) + 1, L'\0');
  text.resize(static_cast<size_t>(::GetWindowTextW(button, text.data(), static_cast<int>(text.size()))));
  HDC dc = ::GetDC(button);
  HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(::SendMessageW(button, WM_GETFONT, 0, 0)));
  RECT measured = {};
  ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &measured, DT_CALCRECT | DT_SINGLELINE);
  ::SelectObject(dc, old);
  ::ReleaseDC(button, dc);
  const int frame = 2 * ::GetSystemMetrics(SM_CXEDGE) + 12;
  return (measured.right - measured.left) + kPictureSize + 2 * kPictureMargin + frame;
}

}  // namespace setup
