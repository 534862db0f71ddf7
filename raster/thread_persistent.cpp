#include "raster/thread_persistent.h"

#include "platform/exceptions.h"

void TThreadPersistent::EndUpdate() {
  if (updateNesting_ <= 0) throw EAssertionFailed("Unpaired TThreadPersistent.EndUpdate");
  --updateNesting_;
}

void TThreadPersistent::NotifyChanged() {
  if (updateNesting_ == 0 && OnChange) OnChange(this);
}
