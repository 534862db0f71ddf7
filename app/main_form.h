#pragma once

// The main window: four image panes (texture A, texture B, the weightmap and
// the combined texture), "previous", "next" and "close", and the read-only
// formula box. Every handler runs guarded by the application object, and every
// one that changes a picture ends in Recombine.

#include "app/mix_bitmaps.h"
#include "platform/ui/controls.h"
#include "platform/ui/image32.h"
#include "platform/ui/picture_dialogs.h"

#include <cstdint>

class TMainForm : public TForm {
public:
  TMainForm();
  const char* ClassName() const override { return "TMainForm"; }

  // Components in declaration order; the form owns them for its whole life.
  TPanel* TexAPnl;
  TLabel* Label1;
  TImage32* TexAImg;
  TPanel* TexBPnl;
  TLabel* Label2;
  TImage32* TexBImg;
  TPanel* WeightmapPnl;
  TLabel* Label3;
  TImage32* WeightmapImg;
  TPanel* CombPnl;
  TLabel* Label4;
  TImage32* CombImg;
  TButton* Button1;
  TButton* Button2;
  TEdit* Edit1;
  TButton* Button3;
  TOpenPictureDialog OpenPictureDialog1;
  TSavePictureDialog SavePictureDialog1;

  void FormCreate(TObject* Sender);
  void FormKeyPress(TObject* Sender, char& Key);
  void TexAImgDblClick(TObject* Sender);
  void TexBImgDblClick(TObject* Sender);
  void WeightmapImgDblClick(TObject* Sender);
  void CombImgDblClick(TObject* Sender);
  void Button1Click(TObject* Sender);
  void Button2Click(TObject* Sender);
  void Button3Click(TObject* Sender);

  void SelectFormula(int32_t Step);
  void Recombine();
  // Asks for a picture and draws it into Pane's bitmap; a cancel still
  // recombines, a failed read leaves everything as it was.
  void LoadIntoPane(TImage32* Pane);

  TMixBitmaps Bitmaps() const;

private:
  void BuildLayout();
  void WireEvents();
};

// The main window once it is created.
extern TMainForm* MainForm;
