#include "app/main_form.h"
#include "platform/colors.h"

#include <tuple>

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

// A panel with its caption label on top and its image view below.
std::tuple<TPanel*, TLabel*, TImage32*> MakePane(QWidget* Form, const char* PanelName,
                                                 const char* LabelName, const char* ImageName,
                                                 int Left, int Top, const char* Caption,
                                                 const char* Hint) {
  auto* panel = new TPanel(Form);
  PlaceControl(panel, PanelName, Left, Top, 273, 289);

  auto* label = new TLabel(panel);
  PlaceControl(label, LabelName, 2, 2, 269, 16);
  label->setText(Caption);
  label->setAlignment(Qt::AlignCenter);
  label->setFont(PlatformFont("Tahoma", -11, true));
  SetControlColor(label, clAppWorkSpace);

  auto* image = new TImage32(panel);
  PlaceControl(image, ImageName, 2, 18, 269, 269);
  image->SetBitmapAlign(baCenter);
  image->SetColor(clBlack);
  image->SetHint(Hint);
  return {panel, label, image};
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

  std::tie(TexAPnl, Label1, TexAImg) = MakePane(this, "TexAPnl", "Label1", "TexAImg", 8, 8,
                                                "Texture A", "Load Texture with Double Click");
  std::tie(TexBPnl, Label2, TexBImg) = MakePane(this, "TexBPnl", "Label2", "TexBImg", 288, 8,
                                                "Texture B", "Load Texture with Double Click");
  std::tie(WeightmapPnl, Label3, WeightmapImg) =
      MakePane(this, "WeightmapPnl", "Label3", "WeightmapImg", 8, 304, "Weightmap",
               "Load Weightmap Texture with Double Click");
  std::tie(CombPnl, Label4, CombImg) =
      MakePane(this, "CombPnl", "Label4", "CombImg", 288, 304, "Combined Texture",
               "Save Texture with Double Click");

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
