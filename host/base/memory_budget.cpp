#include "memory_budget.h"

#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <fstream>

namespace memory_budget {
namespace {

// MemAvailable of /proc/meminfo in bytes; 0 when it cannot be read.
double MemAvailable() {
  std::ifstream meminfo("/proc/meminfo");
  std::string key;
  double kilobytes = 0.0;
  std::string unit;
  while (meminfo >> key >> kilobytes >> unit)
    if (key == "MemAvailable:") return kilobytes * 1024.0;
  return 0.0;
}

double PhysicalMemory() {
  const long pages = sysconf(_SC_PHYS_PAGES);
  const long pageSize = sysconf(_SC_PAGE_SIZE);
  return pages > 0 && pageSize > 0 ? static_cast<double>(pages) * static_cast<double>(pageSize) : 0.0;
}

double SoftLimit(int resource) {
  rlimit limit{};
  if (getrlimit(resource, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return 0.0;
  return static_cast<double>(limit.rlim_cur);
}

}  // namespace

double AvailableBytes() {
  double budget = MemAvailable();
  if (budget <= 0.0) budget = PhysicalMemory();
  for (const double limit : {SoftLimit(RLIMIT_AS), SoftLimit(RLIMIT_DATA)})
    if (limit > 0.0) budget = budget > 0.0 ? std::min(budget, limit) : limit;
  return budget;
}

bool Fits(double bytes) {
  const double budget = AvailableBytes();
  return budget <= 0.0 || bytes < budget;
}

std::string FormatBytes(double bytes) {
  char text[32];
  std::snprintf(text, sizeof(text), "%.1f GB", bytes / 1e9);
  return text;
}

}  // namespace memory_budget
