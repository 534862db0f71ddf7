#include "app/main_form.h"
#include "platform/colors.h"

namespace {

const char* const kOpenFilter =
    "Alle (*.tga;*.jpg;*.jpeg;*.bmp)|*.tga;*.jpg;*.jpeg;*.bmp;*.emf;*.wmf|Targa (*.tga)|*.tga|"
    "JPEG-Grafikdatei (*.jpg)|*.jpg|JPEG-Grafikdatei (*.jpeg)|*.jpeg|Bitmaps (*.bmp)|*.bmp";
const char* const kSaveFilter =
    "Alle (*.jpg;*.jpeg;*.bmp)|*.jpg;*.jpeg;*.bmp|Bitmaps (*.bmp)|*.bmp|"
    "JPEG-Grafikdatei (*.jpg)|*.jpg|JPEG-Grafikdatei (*.jpeg)|*.jpeg";

// The outer size 577 x 662 less the sizeable frame (4 pixels a side) and the
// caption (19 pixels) it was designed with.
constexpr int kClientWidth = 569;
constexpr int kClientHeight = 635;

struct TPane {
  TPanel* Panel;
  TLabel* Caption;
  TImage32* Image;
};

TPane MakePane(QWidget* Form, const char* PanelName, const char* LabelName, const char* ImageName,
               int Left, int Top, const char* Caption, const char* Hint) {
  TPane pane{new TPanel(Form), nullptr, nullptr};
  PlaceControl(pane.Panel, PanelName, Left, Top, 273, 289);

  pane.Caption = new TLabel(pane.Panel);
  PlaceControl(pane.Caption, LabelName, 2, 2, 269, 16);
  pane.Caption->setText(Caption);
  pane.Caption->setAlignment(Qt::AlignCenter);
  pane.Caption->setFont(PlatformFont("Tahoma", -11, true));
  SetControlColor(pane.Caption, clAppWorkSpace);

  pane.Image = new TImage32(pane.Panel);
  PlaceControl(pane.Image, ImageName, 2, 18, 269, 269);
  pane.Image->SetBitmapAlign(baCenter);
  pane.Image->SetColor(clBlack);
  pane.Image->SetHint(Hint);
  return pane;
}

TButton* MakeButton(QWidget* Form, const char* Name, int Left, int Top, int Width, int Height,
                    const char* Caption) {
  auto* button = new TButton(Form);
  PlaceControl(button, Name, Left, Top, Width, Height);
  button->setText(Caption);
  return button;
}

}  // namespace

void TMainForm::BuildLayout() {
  setObjectName("MainForm");
  SetCaption("Quorvane");
  SetBounds(307, 149, kClientWidth, kClientHeight);
  SetControlColor(this, clBtnFace);
  setFont(PlatformFont("MS Sans Serif", -11));

  const TPane texA = MakePane(this, "TexAPnl", "Label1", "TexAImg", 8, 8, "Texture A",
                              "Load Texture with Double Click");
  TexAPnl = texA.Panel, Label1 = texA.Caption, TexAImg = texA.Image;
  const TPane texB = MakePane(this, "TexBPnl", "Label2", "TexBImg", 288, 8, "Texture B",
                              "Load Texture with Double Click");
  TexBPnl = texB.Panel, Label2 = texB.Caption, TexBImg = texB.Image;
  const TPane weightmap = MakePane(this, "WeightmapPnl", "Label3", "WeightmapImg", 8, 304,
                                   "Weightmap", "Load Weightmap Texture with Double Click");
  WeightmapPnl = weightmap.Panel, Label3 = weightmap.Caption, WeightmapImg = weightmap.Image;
  const TPane comb = MakePane(this, "CombPnl", "Label4", "CombImg", 288, 304, "Combined Texture",
                              "Save Texture with Double Click");
  CombPnl = comb.Panel, Label4 = comb.Caption, CombImg = comb.Image;

  Button1 = MakeButton(this, "Button1", 8, 600, 49, 21, "previous");
  Button2 = MakeButton(this, "Button2", 64, 600, 57, 21, "next");
  SetDefaultButton(Button2);

  Edit1 = new TEdit(this);
  PlaceControl(Edit1, "Edit1", 128, 600, 321, 21);
  Edit1->setReadOnly(true);
  SetControlColor(Edit1, cl3DLight);
  Edit1->setText("loaded image");

  Button3 = MakeButton(this, "Button3", 480, 599, 81, 26, "close");

  // Tab order: the four panes, then "previous", "next", "close", the box.
  QWidget::setTabOrder(TexAImg, TexBImg);
  QWidget::setTabOrder(TexBImg, WeightmapImg);
  QWidget::setTabOrder(WeightmapImg, CombImg);
  QWidget::setTabOrder(CombImg, Button1);
  QWidget::setTabOrder(Button1, Button2);
  QWidget::setTabOrder(Button2, Button3);
  QWidget::setTabOrder(Button3, Edit1);

  OpenPictureDialog1.Filter = kOpenFilter;
  SavePictureDialog1.Filter = kSaveFilter;
}

void TMainForm::WireEvents() {
  OnCreate = MethodEvent(this, &TMainForm::FormCreate);
  TexAImg->OnDblClick = MethodEvent(this, &TMainForm::TexAImgDblClick);
  TexBImg->OnDblClick = MethodEvent(this, &TMainForm::TexBImgDblClick);
  WeightmapImg->OnDblClick = MethodEvent(this, &TMainForm::WeightmapImgDblClick);
  CombImg->OnDblClick = MethodEvent(this, &TMainForm::CombImgDblClick);
  Button1->OnClick = MethodEvent(this, &TMainForm::Button1Click);
  Button1->OnKeyPress = MethodEvent(this, &TMainForm::FormKeyPress);
  Button2->OnClick = MethodEvent(this, &TMainForm::Button2Click);
  Button2->OnKeyPress = MethodEvent(this, &TMainForm::FormKeyPress);
  Edit1->OnKeyPress = MethodEvent(this, &TMainForm::FormKeyPress);
  Button3->OnClick = MethodEvent(this, &TMainForm::Button3Click);
}
