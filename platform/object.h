#pragma once

#include <functional>

// Root of the platform's class family: gives every object a class name for
// messages such as the conversion error.
class TObject {
public:
  virtual ~TObject() = default;
  virtual const char* ClassName() const { return "TObject"; }
};

// A method callback with one argument, the sender. Empty means unassigned.
using TNotifyEvent = std::function<void(TObject* Sender)>;
