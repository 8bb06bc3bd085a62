#pragma once

#include "c4d_math.h"

class BaseBitmap;

// Something that watches the colour reads and writes of the host's bitmaps on one thread (the
// merge's alpha trace). Bitmaps tell the watcher of the calling thread, if there is one, and know
// nothing else of it.
class BitmapWatcher {
 public:
  BitmapWatcher(const BitmapWatcher&) = delete;
  BitmapWatcher& operator=(const BitmapWatcher&) = delete;

  virtual void Read(const BaseBitmap& source, Int32 x, Int32 y, Int32 count) = 0;
  virtual void Write(const BaseBitmap& target, Int32 x, Int32 y, Int32 count) = 0;

  // The calling thread's watcher; nullptr when none.
  static BitmapWatcher* Current();

 protected:
  // Watches the calling thread's bitmaps from construction until destruction, in place of any
  // watcher before it, which watches again afterwards.
  BitmapWatcher();
  virtual ~BitmapWatcher();

 private:
  BitmapWatcher* previous_;
};
