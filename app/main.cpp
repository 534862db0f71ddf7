#include "app/main_form.h"
#include "platform/ui/application.h"

int main(int argc, char** argv) {
  TApplication application(argc, argv);
  application.CreateForm(MainForm);
  return application.Run();
}
