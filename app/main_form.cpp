#include "app/main_form.h"

#include "app/combination.h"
#include "app/formula_catalogue.h"
#include "app/pane_files.h"
#include "app/weightmap.h"
#include "platform/ui/application.h"

TMainForm* MainForm = nullptr;

TMainForm::TMainForm() {
  BuildLayout();
  WireEvents();
}

TMixBitmaps TMainForm::Bitmaps() const {
  return {TexAImg->Bitmap(), TexBImg->Bitmap(), WeightmapImg->Bitmap(), CombImg->Bitmap()};
}

// Each default texture is read on its own: a missing or broken one is
// reported and the start-up goes on, so the weightmap and formula 1 are
// always there.
void TMainForm::FormCreate(TObject*) {
  BuildCosTab();
  RunGuarded([this] { TexAImg->Bitmap()->ReadPictureFile("texture_a.jpg"); });
  RunGuarded([this] { TexBImg->Bitmap()->ReadPictureFile("texture_b.jpg"); });
  WeightmapImg->Bitmap()->SetDimensions(256, 256);
  SelectFormula(+1);
}

void TMainForm::FormKeyPress(TObject*, char& Key) {
  if (Key == 27) Close();
}

void TMainForm::TexAImgDblClick(TObject*) { LoadIntoPane(TexAImg); }

void TMainForm::TexBImgDblClick(TObject*) { LoadIntoPane(TexBImg); }

void TMainForm::WeightmapImgDblClick(TObject*) { LoadIntoPane(WeightmapImg); }

void TMainForm::CombImgDblClick(TObject*) {
  if (!SavePictureDialog1.Execute(this)) return;
  CombImg->Bitmap()->WritePictureFile(SavePictureDialog1.FileName);
}

void TMainForm::Button1Click(TObject*) { SelectFormula(-1); }

void TMainForm::Button2Click(TObject*) { SelectFormula(+1); }

void TMainForm::Button3Click(TObject*) { Close(); }

void TMainForm::SelectFormula(int32_t Step) {
  ::SelectFormula(
      Step, Bitmaps(),
      {[this](const std::string& Text) { Edit1->setText(QString::fromStdString(Text)); },
       [this] { WeightmapImg->NotifyViewChanged(); }});
}

void TMainForm::Recombine() { ::Recombine(Bitmaps()); }

void TMainForm::LoadIntoPane(TImage32* Pane) {
  if (OpenPictureDialog1.Execute(this))
    LoadPictureIntoPane(*Pane->Bitmap(), OpenPictureDialog1.FileName);
  Recombine();
}
