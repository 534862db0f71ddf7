#include "app/pane_files.h"

void LoadPictureIntoPane(TBitmap32& Pane, const std::string& FileName) {
  TBitmap32 picture;
  picture.ReadPictureFile(FileName);
  if (Pane.IsEmpty()) {
    Pane.Assign(&picture);
    return;
  }
  if (picture.IsEmpty()) return;
  picture.DrawInto(&Pane, Pane.FullRect());
}
