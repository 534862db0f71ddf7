#pragma once

#include "platform/persistent.h"

#include <cstdint>
#include <mutex>

// A persistent object with change notification, update brackets and a
// re-entrant lock. Notifications inside a StartUpdate/EndUpdate bracket are
// dropped, not queued: the owner of the bracket notifies once afterwards.
class TThreadPersistent : public TPersistent {
public:
  TThreadPersistent() = default;
  TThreadPersistent(const TThreadPersistent&) = delete;
  TThreadPersistent& operator=(const TThreadPersistent&) = delete;
  ~TThreadPersistent() override = default;

  const char* ClassName() const override { return "TThreadPersistent"; }

  void StartUpdate() { ++updateNesting_; }
  void EndUpdate();
  virtual void NotifyChanged();

  void EnterLock() { objectLock_.lock(); }
  void LeaveLock() { objectLock_.unlock(); }

  int32_t UpdateNesting() const { return updateNesting_; }

  TNotifyEvent OnChange;

private:
  std::recursive_mutex objectLock_;
  int32_t updateNesting_ = 0;
};
