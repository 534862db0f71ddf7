#include "platform/ui/application.h"

#include <QMessageBox>

TApplication* Application = nullptr;

namespace {

void ShowErrorBox(const std::string& Message) noexcept {
  try {
    QMessageBox::critical(QApplication::activeWindow(), QApplication::applicationDisplayName(),
                          QString::fromStdString(Message));
  } catch (...) {
    // The report itself failed; there is nobody left to tell.
  }
}

}  // namespace

TApplication::TApplication(int& Argc, char** Argv) {
  if (QApplication::instance() == nullptr)
    ownQApplication_ = std::make_unique<QApplication>(Argc, Argv);
  Application = this;
}

TApplication::~TApplication() {
  forms_.clear();
  if (Application == this) Application = nullptr;
}

void TApplication::Adopt(std::unique_ptr<TForm> Form) {
  if (mainForm_ == nullptr) mainForm_ = Form.get();
  forms_.push_back(std::move(Form));
}

int TApplication::Run() {
  if (mainForm_ == nullptr) return 0;
  mainForm_->show();
  return QApplication::exec();
}

void TApplication::HandleException(std::exception_ptr Error) {
  const std::string message = ExceptionMessage(Error);
  if (!OnException) return ShowErrorBox(message);
  try {
    OnException(message);
  } catch (...) {
    ShowErrorBox(ExceptionMessage(std::current_exception()));
  }
}

std::string ExceptionMessage(std::exception_ptr Error) {
  try {
    std::rethrow_exception(Error);
  } catch (const std::exception& e) {
    return e.what();
  } catch (...) {
    return "Unknown error";
  }
}

void RunGuarded(const std::function<void()>& Handler) {
  try {
    Handler();
  } catch (...) {
    if (Application != nullptr)
      Application->HandleException(std::current_exception());
    else
      ShowErrorBox(ExceptionMessage(std::current_exception()));
  }
}
