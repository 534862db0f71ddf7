#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QWidget window;
  window.setWindowTitle("Quorvane");
  window.resize(577, 662);
  window.show();
  return application.exec();
}
