#include "bitmap_watcher.h"

namespace {
thread_local BitmapWatcher* g_current = nullptr;
}  // namespace

BitmapWatcher::BitmapWatcher() : previous_(g_current) { g_current = this; }

BitmapWatcher::~BitmapWatcher() { g_current = previous_; }

BitmapWatcher* BitmapWatcher::Current() { return g_current; }
