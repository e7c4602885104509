#pragma once
// Small pictures beside the texts of push buttons (ProductFlags2 bit 10):
// next, cancel, browse and OK on the pages, and the buttons of the run's
// message boxes.
#include <windows.h>
#include <commctrl.h>

#include <vector>

namespace setup {

// The pictures given to buttons; they are released with this object, which
// must outlive the buttons' window.
class ButtonPictures {
 public:
  ButtonPictures() = default;
  ButtonPictures(const ButtonPictures&) = delete;
  ButtonPictures& operator=(const ButtonPictures&) = delete;
  ~ButtonPictures();

  // Puts the bitmap resource `pictureId` of the program (drawn on a magenta
  // key colour) on the left of the button. False when it cannot be loaded.
  bool Give(HWND button, int pictureId);

 private:
  std::vector<HIMAGELIST> lists_;
};

// The width a button needs for its text with a picture beside it.
int ButtonWidthWithPicture(HWND button);

}  // namespace setup
