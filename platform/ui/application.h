#pragma once

// The application object: owns the Qt application and the forms, runs the
// event loop, and reports every exception that leaves an event handler.
// Handlers run through RunGuarded, so no exception ever unwinds through a Qt
// frame; the program goes on with whatever state the failed step left.

#include "platform/ui/controls.h"

#include <QApplication>

#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class TApplication {
public:
  // Creates the Qt application unless one exists already (as in a test).
  TApplication(int& Argc, char** Argv);
  ~TApplication();
  TApplication(const TApplication&) = delete;
  TApplication& operator=(const TApplication&) = delete;

  // Creates a form owned by the application; the first one is the main form,
  // whose closing ends the event loop. Reference is set before the form's
  // OnCreate runs.
  template <class TFormClass>
  void CreateForm(TFormClass*& Reference) {
    auto form = std::make_unique<TFormClass>();
    Reference = form.get();
    TForm* created = form.get();
    Adopt(std::move(form));
    created->AfterConstruction();
  }

  // Shows the main form and runs the event loop until it closes.
  int Run();

  TForm* MainForm() const { return mainForm_; }

  // Reports an exception: through OnException when assigned, otherwise in a
  // message box carrying the exception's message.
  void HandleException(std::exception_ptr Error);

  std::function<void(const std::string& Message)> OnException;

private:
  void Adopt(std::unique_ptr<TForm> Form);

  std::unique_ptr<QApplication> ownQApplication_;
  std::vector<std::unique_ptr<TForm>> forms_;
  TForm* mainForm_ = nullptr;
};

// The application object while one exists, else null.
extern TApplication* Application;

// The message of an exception as the report shows it.
std::string ExceptionMessage(std::exception_ptr Error);

// Runs Handler and reports whatever it raises (through Application, or in a
// message box when there is none). Every event handler is called this way.
void RunGuarded(const std::function<void()>& Handler);
