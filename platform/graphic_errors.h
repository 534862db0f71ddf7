#pragma once

#include "platform/exceptions.h"

// Raised by the picture loader and the readers for a file that is no valid
// picture of its kind, or whose kind has no reader.
class EInvalidGraphic : public Exception {
public:
  using Exception::Exception;
};

// Raised by the JPEG reader; a decoder failure carries the library's message
// number in "JPEG-Fehler #%d".
class EJPEG : public EInvalidGraphic {
public:
  using EInvalidGraphic::EInvalidGraphic;
};

class EFOpenError : public EStreamError {
public:
  using EStreamError::EStreamError;
};

class EFCreateError : public EStreamError {
public:
  using EStreamError::EStreamError;
};
