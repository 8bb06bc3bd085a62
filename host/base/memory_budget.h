#pragma once

#include <string>

// How much memory a job may plan to take: what the system reports as available (without swapping),
// never more than the process's own address-space or data limits.
namespace memory_budget {

double AvailableBytes();

// Whether `bytes` fit into the budget.
bool Fits(double bytes);

// "8.6 GB" and the like, for messages.
std::string FormatBytes(double bytes);

}  // namespace memory_budget
